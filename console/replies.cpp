// Replies to the movie's requests.
#include "replies.h"

#include "values/any_regular.h"
#include "wyl_canvas/brisk_external_interface.h"

namespace {

void StoreReply(AppFunctionCall& call, const WString& text) {
  call.reply = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace

WString ComposeTextReply(const WCHAR* text) { return TEXT("<string>") + WString(text) + TEXT("</string>"); }

WString ComposePathReply(const WCHAR* path) {
  WString reply = TEXT("<string>");
  for (; *path != 0; ++path) {
    switch (*path) {
      case '&': reply += TEXT("&amp;"); break;
      case '<': reply += TEXT("&lt;"); break;
      case '>': reply += TEXT("&gt;"); break;
      default: reply += *path;
    }
  }
  return reply + TEXT("</string>");
}

void StoreTextReply(AppFunctionCall& call, const WCHAR* text) { StoreReply(call, ComposeTextReply(text)); }

void StorePathReply(AppFunctionCall& call, const WCHAR* path) { StoreReply(call, ComposePathReply(path)); }

void StoreResponse(AppFunctionCall& call, const ombrix::string_t& response) {
  // Each byte gives at most one UTF-16 unit.
  WString wide(response.size(), 0);
  const int length = response.empty() ? 0
                                        : MultiByteToWideChar(CP_THREAD_ACP, 0, response.c_str(),
                                                              static_cast<int>(response.size()), &wide[0],
                                                              static_cast<int>(wide.size()));
  wide.resize(static_cast<WString::size_type>(length));
  StoreReply(call, wide);
}

ombrix::string_t WriteNumberResponse(const int& value) {
  const ombrix::any_regular_t number(static_cast<double>(value));
  return ombrix::wyl_canvas::brisk_external_interface::write_response(number);
}
