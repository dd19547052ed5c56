// The movie's requests: parsing, the table of handled names, and what each
// one does and replies.
#ifndef OMBRIX_CONSOLE_REQUESTS_H
#define OMBRIX_CONSOLE_REQUESTS_H

#include "app_function_call.h"
#include "win32.h"

// The user-interface language as "externalAppGetLocale" last resolved it; the
// locale whose decimal separator "externalAppGetDecimalSeparator" gives. 0
// until the first locale request.
extern LANGID uiLanguageId;

// Parses the call's text with the canvas library and carries out the row of
// its name, storing the reply in the call. A name that no row handles gets no
// reply. Throws what parsing, casting an operand or the canvas library throws;
// the reply is then left as it was.
void HandleAppFunction(HWND player, AppFunctionCall& call);

#endif
