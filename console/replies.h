// Replies to the movie's requests, stored as BSTRs in the request record.
#ifndef OMBRIX_CONSOLE_REPLIES_H
#define OMBRIX_CONSOLE_REPLIES_H

#include "app_function_call.h"
#include "values/string.h"
#include "win32.h"

// "<string>" + the text + "</string>", the text inserted unchanged.
WString ComposeTextReply(const WCHAR* text);

// "<string>" + the path + "</string>", with "&", "<" and ">" of the path
// written as "&amp;", "&lt;" and "&gt;", as the canvas library writes its own
// text replies, so that a folder such as "C:\Tom & Jerry" still gives a
// well-formed reply.
WString ComposePathReply(const WCHAR* path);

// ComposeTextReply and ComposePathReply stored with SysAllocStringLen.
void StoreTextReply(AppFunctionCall& call, const WCHAR* text);
void StorePathReply(AppFunctionCall& call, const WCHAR* path);

// A reply made by write_response, widened with the thread's ANSI code page and
// stored with SysAllocStringLen.
void StoreResponse(AppFunctionCall& call, const ombrix::string_t& response);

// write_response of the value as a double.
ombrix::string_t WriteNumberResponse(const int& value);

#endif
