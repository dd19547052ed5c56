// How the transcript names the messages that reach the player's own procedure.
#ifndef OMBRIX_FRAMEWORK_MESSAGE_NAMES_H
#define OMBRIX_FRAMEWORK_MESSAGE_NAMES_H

#include <string>

#include "win32.h"

namespace wyl {

// "WM_PAINT"; for input and size messages also wParam and lParam
// ("WM_MOUSEWHEEL 0xFF880000 0x00C80064"); "0x0118" for a message without a name here.
std::string describe_message(UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace wyl

#endif
