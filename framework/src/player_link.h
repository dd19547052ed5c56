// What the canvas library asks of the player framework. Private to the two
// libraries (and the tests); the host knows nothing of it.
#ifndef OMBRIX_FRAMEWORK_PLAYER_LINK_H
#define OMBRIX_FRAMEWORK_PLAYER_LINK_H

#include "win32.h"

extern "C" {

// The kinds of a movie function's result.
enum WYLResultKind { WYL_RESULT_TEXT = 0, WYL_RESULT_NUMBER = 1, WYL_RESULT_BOOLEAN = 2 };

// A movie function's result as the player holds it: text (UTF-8, valid until
// the player's next call), number or boolean.
struct WYLFunctionResult {
  WYLResultKind kind;
  const char* text;
  double number;
  int truth;
};

enum { WYL_STATE_NOT_STARTED = 0, WYL_STATE_RUNNING = 1, WYL_STATE_TERMINATED = 2 };
int WYLFrameworkState();

enum { WYL_RAN = 0, WYL_NO_MOVIE = 1, WYL_NO_FUNCTION = 2, WYL_NOT_RUNNING = 3 };
// Records "invoke <name><operands>" and runs the function of the player's
// movie to its end; operands is the arguments' transcript form.
int WYLInvokeFunction(HWND player, const char* name, const char* operands, WYLFunctionResult* result);
}

#endif
