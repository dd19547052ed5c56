// The console's entry body.
#ifndef OMBRIX_CONSOLE_CONSOLE_MAIN_H
#define OMBRIX_CONSOLE_CONSOLE_MAIN_H

#include "win32.h"

// Hands the start to a console already running, or runs this one: the log, the
// program folder, the frame and the movie, the message loop. 0 for a normal
// end, a second instance or a failed start; -1 when an exception escapes. Only
// the instance handle is used.
int ConsoleWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);

#endif
