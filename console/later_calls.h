// Calls into the movie that the console posts to the player window as
// kInvokeLaterMessage, kept until their message is handled, so that a wParam
// that names no such call is known as foreign.
#ifndef OMBRIX_CONSOLE_LATER_CALLS_H
#define OMBRIX_CONSOLE_LATER_CALLS_H

#include "request.h"
#include "win32.h"

// Posts the request to playerWindow; the posted message owns it from then on.
// When the post fails the request is deleted at once.
void PostInvokeLater(ombrix::wyl_canvas::brisk_external_interface::RequestPointer request);

// The posted request that wParam names, taken back from the posted ones; null
// for 0 and for any value that is no request the console posted and has not
// yet taken.
ombrix::wyl_canvas::brisk_external_interface::RequestPointer TakePostedRequest(WPARAM wParam);

#endif
