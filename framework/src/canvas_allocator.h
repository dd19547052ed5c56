// The canvas library's own allocator routines: every block the canvas hands to
// its host comes from them and goes back through them.
#ifndef OMBRIX_FRAMEWORK_CANVAS_ALLOCATOR_H
#define OMBRIX_FRAMEWORK_CANVAS_ALLOCATOR_H

#include "values/allocator.h"

namespace wyl {

ombrix::capture_allocator canvas_allocator();

}  // namespace wyl

#endif
