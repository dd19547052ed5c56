// The handled requests, one row each.
#include "requests.h"

#include <cstring>
#include <iterator>

#include "frame_window.h"
#include "later_calls.h"
#include "player_window.h"
#include "replies.h"
#include "request.h"
#include "values/any_regular.h"
#include "values/string.h"
#include "values/unicode.h"
#include "wyl_canvas/brisk_external_interface.h"

LANGID uiLanguageId = 0;

namespace {

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;
using ombrix::string_t;

struct Request {
  HWND player;
  const canvas::request_t& request;
  AppFunctionCall& call;
};

// The operand at index 1 as text; null when the request has no such argument.
// Throws bad_cast when the operand is no text.
const string_t* Operand(const canvas::request_t& request) {
  if (request.arguments.size() < 2) return nullptr;
  return &request.arguments[1].cast<string_t>();
}

bool TextIs(const string_t& text, const char* expected) {
  return text.size() == std::strlen(expected) && std::memcmp(text.c_str(), expected, text.size()) == 0;
}

// The UTF-8 operand as a wide path; false when it does not convert into the
// buffer, for instance when it is too long.
bool OperandPath(const string_t& operand, WCHAR (&path)[MAX_PATH]) {
  return MultiByteToWideChar(CP_UTF8, 0, operand.c_str(), -1, path, MAX_PATH) != 0;
}

void Ready(const Request& r) {
  r.call.reply = SysAllocString(TEXT("<string>This is the returned value from C++ code</string>"));
  // Runs from the queue, once this reply has gone back.
  PostInvokeLater(canvas::NewNamedRequest("testFunction1"));
}

void Exit(const Request& r) { PostMessageW(r.player, WM_NCDESTROY, 0, 0); }

int HelpResult(INT_PTR shellResult) {
  if (shellResult > 32) return 0;
  if (shellResult == ERROR_FILE_NOT_FOUND || shellResult == ERROR_PATH_NOT_FOUND) return 1;
  if (shellResult == SE_ERR_NOASSOC) return 2;
  return -1;
}

void ShowHelp(const Request& r) {
  const string_t* operand = Operand(r.request);
  if (operand == nullptr) return;
  WCHAR path[MAX_PATH];
  int result = 2;
  if (OperandPath(*operand, path)) {
    const HINSTANCE shell = ShellExecuteW(/*hwnd=*/nullptr, TEXT("open"), path, /*lpParameters=*/nullptr,
                                          /*lpDirectory=*/nullptr, SW_SHOW);
    result = HelpResult(reinterpret_cast<INT_PTR>(shell));
  }
  StoreResponse(r.call, WriteNumberResponse(result));
}

void CreateFolder(const Request& r) {
  const string_t* operand = Operand(r.request);
  if (operand == nullptr) return;
  WCHAR path[MAX_PATH];
  bool created = false;
  if (OperandPath(*operand, path)) {
    const int result = SHCreateDirectoryExW(/*hwnd=*/nullptr, path, /*psa=*/nullptr);
    created = result == ERROR_SUCCESS || result == ERROR_FILE_EXISTS || result == ERROR_ALREADY_EXISTS;
  }
  StoreResponse(r.call, canvas::write_response(ombrix::any_regular_t(created)));
}

// A path that fails or does not fit the buffer gets no reply.
void TempPath(const Request& r) {
  WCHAR path[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, path);
  if (length != 0 && length < MAX_PATH) StorePathReply(r.call, path);
}

// The running program's folder, not the process's current directory.
void ProgramFolder(const Request& r) {
  WCHAR path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(/*hModule=*/nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  PathRemoveFileSpecW(path);
  StorePathReply(r.call, path);
}

void UserAppFolder(const Request& r) {
  WCHAR path[MAX_PATH];
  if (SHGetSpecialFolderPathW(/*hwndOwner=*/nullptr, path, CSIDL_APPDATA, /*fCreate=*/FALSE)) {
    StorePathReply(r.call, path);
  }
}

void WindowOperate(const Request& r) {
  const string_t* operand = Operand(r.request);
  if (operand == nullptr) return;
  if (TextIs(*operand, "0")) ShowWindow(frameWindow, SW_MINIMIZE);
  else if (TextIs(*operand, "3")) moveByDrag = true;
}

struct LocaleRow {
  WORD primary;
  int sub;  // -1: any
  const char* name;
};

// Rows of one primary language with a sublanguage come before its catch-all row.
constexpr LocaleRow kLocales[] = {
    {7, -1, "de_DE"},  {9, 2, "en_GB"},   {9, -1, "en_US"},  {10, 2, "es_MX"},
    {10, -1, "es_ES"}, {12, 3, "fr_CA"},  {12, -1, "fr_FR"}, {16, -1, "it_IT"},
    {17, -1, "ja_JP"}, {19, -1, "nl_NL"}, {29, -1, "sv_SE"},
};

// The locale name of uiLanguageId; a language without a row becomes English.
const char* ResolveLocaleName() {
  const WORD primary = uiLanguageId & 0x3FF;
  const int sub = uiLanguageId >> 10;
  for (const LocaleRow& row : kLocales) {
    if (row.primary == primary && (row.sub == -1 || row.sub == sub)) return row.name;
  }
  uiLanguageId = 9;
  return "en_US";
}

void Locale(const Request& r) {
  LANGID language = GetUserDefaultUILanguage();
  if (language == 0) language = GetSystemDefaultLangID();
  uiLanguageId = language;
  StoreResponse(r.call, canvas::write_response(string_t(ResolveLocaleName())));
}

// A separator that fails or does not fit three characters is "."; it goes into
// the reply as it is.
void DecimalSeparator(const Request& r) {
  WCHAR separator[4] = {};
  if (GetLocaleInfoW(uiLanguageId, LOCALE_SDECIMAL, separator, 4) == 0) {
    separator[0] = '.';
    separator[1] = 0;
  }
  StoreTextReply(r.call, separator);
}

struct RequestRow {
  const char* name;
  void (*handle)(const Request&);
};

constexpr RequestRow kRequests[] = {
    {"qevCallBackReady", Ready},
    {"externalAppExit", Exit},
    {"externalShowHelp", ShowHelp},
    {"externalAppGetTempPath", TempPath},
    {"externalAppGetCurrentDirectory", ProgramFolder},
    {"externalAppGetCurrentUserAppDirectory", UserAppFolder},
    {"externalAppWindowOperate", WindowOperate},
    {"externalAppGetLocale", Locale},
    {"externalAppGetDecimalSeparator", DecimalSeparator},
    {"externalAppCreateFolder", CreateFolder},
};

// The text as UTF-8; throws std::runtime_error for a lone surrogate.
string_t ToUtf8(const WString& text) {
  string_t utf8;
  if (!text.empty()) utf8.reserve(text.size() + 1);
  ombrix::utf16_to_utf8(text.begin(), text.end(), std::back_inserter(utf8));
  return utf8;
}

struct DestroyAtEnd {
  canvas::request_t& request;
  ~DestroyAtEnd() { canvas::DestroyRequest(request); }
};

}  // namespace

void HandleAppFunction(HWND player, AppFunctionCall& call) {
  const string_t text = ToUtf8(WString(call.requestText));
  canvas::request_t request = canvas::read_request(text.c_str(), text.size());
  const DestroyAtEnd end{request};
  for (const RequestRow& row : kRequests) {
    if (std::strcmp(request.name.c_str(), row.name) == 0) {
      row.handle(Request{player, request, call});
      return;
    }
  }
}
