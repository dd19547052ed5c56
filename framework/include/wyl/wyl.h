// OmbrixWyl, the player framework: start and stop, the player window class
// "WYL.BriskPlayer" and the movie it plays. Every call runs on the thread that
// called WYLInitialize; after WYLTerminate each call fails.
#ifndef OMBRIX_WYL_WYL_H
#define OMBRIX_WYL_WYL_H

#include "win32.h"

extern "C" {

// Registers the player window class (a global class of this library's own
// instance). 0 = started; nonzero when the class cannot be registered or the
// framework was started or terminated before.
int WYLInitialize(void* startParams);

// Stops the framework: later calls of either library fail. 0 = stopped;
// nonzero when it was not running.
int WYLTerminate();

// True for a window of the player class while the framework runs.
bool WYLIsBriskPlayer(HWND window);

// Reads the movie file into the player. 0 = loaded; nonzero when the window is
// no player, the framework does not run, or the file is missing or malformed.
// The movie starts playing once the thread's message loop runs.
int WYLBriskPlayerLoadMovie(HWND player, LPCWSTR moviePath, int flags);

// Records the attribute's new value. 0 = changed; nonzero when the window is
// no player or the framework does not run.
int WYLBriskPlayerChangeAttributes(HWND player, int attribute, int value);
}

#endif
