// What both stand-in libraries take from their surroundings: UTF-8 and UTF-16
// conversion, the environment variables that steer them (WYL_TRANSCRIPT,
// WYL_FAIL, WYL_AUTOMATION) and the transcript file.
#ifndef OMBRIX_FRAMEWORK_HOST_H
#define OMBRIX_FRAMEWORK_HOST_H

#include <string>

#include "win32.h"

namespace wyl {

std::string to_utf8(const WCHAR* text, int length);  // length -1: up to the NUL
std::string to_utf8(const WString& text);
WString to_wide(const std::string& text);

// The variable's value; empty when it is not set.
WString environment_variable(const WCHAR* name);

// The file's bytes; false when it cannot be read.
bool read_file(const WString& path, std::string& bytes);

// Appends the line and a LF to the transcript that WYL_TRANSCRIPT names.
void record(const std::string& line);

// Whether the transcript holds a line equal to the text.
bool transcript_holds(const std::string& line);

// True, with "fail <call>" recorded, when WYL_FAIL names the call.
bool call_fails(const char* call);

}  // namespace wyl

#endif
