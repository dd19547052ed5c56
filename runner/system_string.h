// A system-string (BSTR) copy of a wide string for the length of one call, as
// the runner hands paths and command lines to Windows.
#ifndef OMBRIX_RUNNER_SYSTEM_STRING_H
#define OMBRIX_RUNNER_SYSTEM_STRING_H

#include "win32.h"

class SystemString {
 public:
  // Throws E_OUTOFMEMORY when the copy cannot be allocated.
  explicit SystemString(const WString& text)
      : value_(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {
    if (value_ == nullptr) throw E_OUTOFMEMORY;
  }
  ~SystemString() { SysFreeString(value_); }
  SystemString(const SystemString&) = delete;
  SystemString& operator=(const SystemString&) = delete;

  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

#endif
