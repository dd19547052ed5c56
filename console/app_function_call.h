// The record of the request message: the framework fills and owns it, the
// console reads the text and writes the reply.
#ifndef OMBRIX_CONSOLE_APP_FUNCTION_CALL_H
#define OMBRIX_CONSOLE_APP_FUNCTION_CALL_H

#include <cstddef>

#include "win32.h"

struct AppFunctionCall {
  DWORD unused;              // neither read nor written
  const WCHAR* requestText;  // UTF-16, NUL-terminated
  BSTR reply;                // written without reading or freeing what it held
};
static_assert(sizeof(AppFunctionCall) == 12, "three 32-bit fields");
static_assert(offsetof(AppFunctionCall, requestText) == 4, "the text second");
static_assert(offsetof(AppFunctionCall, reply) == 8, "the reply third");

#endif
