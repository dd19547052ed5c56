// Automation strings (BSTR): a 32-bit byte length before the text, a NUL after it.
#ifndef WINLAYER_OLEAUTO_H
#define WINLAYER_OLEAUTO_H

#include "winlayer/types.h"

// A new string of ui characters copied from strIn (left zero when strIn is null),
// NUL-terminated. Out of memory: null.
BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui);
// A copy of a NUL-terminated text; null for null.
BSTR WINAPI SysAllocString(const OLECHAR* psz);
// Frees a string from SysAllocString*; null is allowed.
void WINAPI SysFreeString(BSTR bstrString);
// The number of characters, from the length prefix; 0 for null.
UINT WINAPI SysStringLen(BSTR pbstr);

#endif
