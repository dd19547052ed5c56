// The dispatcher in front of the player window's own procedure: the movie's
// requests, the later calls into the movie, the wheel, the drag move, the
// clipboard keys and the exit chain.
#ifndef OMBRIX_CONSOLE_PLAYER_WINDOW_H
#define OMBRIX_CONSOLE_PLAYER_WINDOW_H

#include "win32.h"

// A call into the movie that the console posted to itself: wParam is the
// request, lParam 0.
constexpr UINT kInvokeLaterMessage = WM_USER + 125;

// "com.ombrix.wyl.brisk-player.resize-request", registered and never used.
extern UINT resizeRequestMessage;
// "com.ombrix.wyl.brisk-player.app-function", the request message; 0 when its
// registration failed, and then no message is a request.
extern UINT appFunctionMessage;
// Set by "externalAppWindowOperate" with "3", cleared by WM_LBUTTONUP.
extern bool moveByDrag;
// The last mouse position of a drag: the client position plus framePosition.
extern POINT dragAnchor;

// Every message of the player window. Exceptions end here: the message gives 0
// and is not passed on, and a request being handled gets no reply.
LRESULT CALLBACK PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
