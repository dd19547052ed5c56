// Kernel path functions: full paths, the temporary folder and the Windows folder.
#include <cstdlib>
#include <cstring>
#include <string>

#include "paths.h"
#include "profile.h"
#include "text.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_file.h"

namespace {

// Copies text and its NUL into a caller's buffer by the convention of these
// functions: the length without the NUL, or the size needed with it.
DWORD copy_out(const std::u16string& text, LPWSTR buffer, DWORD size) {
  if (buffer == nullptr || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = u'\0';
  return static_cast<DWORD>(text.size());
}

// A Linux path when it starts with a slash; otherwise a Windows path, which may
// be relative to the current folder, as GetFullPathNameW takes it.
std::u16string temp_folder() {
  for (const char* variable : {"TMP", "TEMP", "TMPDIR"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::u16string folder = value[0] == '/' && value[1] != '/'
                                ? winlayer::to_windows_path(value)
                                : winlayer::full_path_name(winlayer::utf8_to_utf16(value),
                                                           winlayer::current_windows_folder());
    if (folder.back() != u'\\') folder += u'\\';
    return folder;
  }
  return u"Z:\\tmp\\";
}

}  // namespace

DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart) {
  if (lpFileName == nullptr || *lpFileName == u'\0') {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  const std::u16string full = winlayer::full_path_name(lpFileName, winlayer::current_windows_folder());
  const DWORD result = copy_out(full, lpBuffer, nBufferLength);
  if (result == full.size() && lpFilePart != nullptr) {
    const std::size_t name = full.find_last_of(u'\\') + 1;
    *lpFilePart = name < full.size() ? lpBuffer + name : nullptr;
  }
  return result;
}

DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
  return copy_out(temp_folder(), lpBuffer, nBufferLength);
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  const std::string folder = winlayer::utf16_to_utf8(temp_folder());
  if (lpBuffer == nullptr || nBufferLength <= folder.size()) return static_cast<DWORD>(folder.size() + 1);
  std::memcpy(lpBuffer, folder.c_str(), folder.size() + 1);
  return static_cast<DWORD>(folder.size());
}

UINT WINAPI GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
  std::u16string folder = winlayer::utf8_to_utf16(winlayer::profile().windows);
  while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
  return copy_out(folder, lpBuffer, uSize);
}
