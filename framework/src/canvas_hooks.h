// Test hooks of the canvas library: its own allocator routines count the
// blocks they hand out and the blocks given back to them that they did not make.
#ifndef OMBRIX_FRAMEWORK_CANVAS_HOOKS_H
#define OMBRIX_FRAMEWORK_CANVAS_HOOKS_H

extern "C" {
// Blocks of the canvas's routines not yet given back, and blocks given to its
// deallocate that it never allocated (which it leaves alone).
void WYLCanvasBlockCounts(int* live, int* strays);
}

#endif
