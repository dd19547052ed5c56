// Wide text back to UTF-8, as test programs print what the layer gave them.
#ifndef OMBRIX_TESTS_WIDE_TEXT_H
#define OMBRIX_TESTS_WIDE_TEXT_H

#include <string>

#include "win32.h"

namespace ombrix_test {

// The UTF-8 bytes of a NUL-terminated wide text, without the NUL.
std::string Utf8(const WCHAR* text);

}  // namespace ombrix_test

#endif
