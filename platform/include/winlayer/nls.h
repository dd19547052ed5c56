// National language support: the languages of the user and the system, and
// locale data, from the machine profile's [locale] section.
#ifndef WINLAYER_NLS_H
#define WINLAYER_NLS_H

#include "winlayer/types.h"

typedef WORD LANGID;
typedef DWORD LCID;
typedef DWORD LCTYPE;

#define LANG_NEUTRAL 0x00
#define LANG_INVARIANT 0x7f
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02

#define LOCALE_NEUTRAL 0x0000u
#define LOCALE_INVARIANT 0x007fu
#define LOCALE_USER_DEFAULT 0x0400u
#define LOCALE_SYSTEM_DEFAULT 0x0800u
#define LOCALE_CUSTOM_DEFAULT 0x0c00u
#define LOCALE_CUSTOM_UNSPECIFIED 0x1000u
#define LOCALE_CUSTOM_UI_DEFAULT 0x1400u

#define LOCALE_SDECIMAL 0x0000000eu
#define LOCALE_NOUSEROVERRIDE 0x80000000u
#define LOCALE_USE_CP_ACP 0x40000000u
#define LOCALE_RETURN_NUMBER 0x20000000u

// The user's interface language: the profile's [locale] ui_language (default
// 0x0409). 0 is possible, for a profile without one; callers then ask
// GetSystemDefaultLangID. Never fails.
LANGID WINAPI GetUserDefaultUILanguage();

// The system's language: [locale] system_language (default 0x0409). Never fails.
LANGID WINAPI GetSystemDefaultLangID();

// Locale data. The layer knows one type, LOCALE_SDECIMAL, the decimal
// separator, which LOCALE_NOUSEROVERRIDE and LOCALE_USE_CP_ACP may accompany
// (the layer has no user overrides). Locale may be:
// - a locale identifier of the layer's table (its sort identifier, bits 16 to
//   19, is not looked at);
// - a primary language with SUBLANG_NEUTRAL: that language's default locale
//   (9, English, gives the data of 0x0409);
// - LOCALE_USER_DEFAULT, LOCALE_CUSTOM_DEFAULT or LOCALE_NEUTRAL: the user's
//   locale, [locale] user_locale, which defaults to the system language;
//   LOCALE_SYSTEM_DEFAULT: the system language; LOCALE_CUSTOM_UI_DEFAULT: the
//   user's interface language, or the system language when that is 0;
//   LOCALE_INVARIANT: the invariant locale.
// Returns the characters written with the NUL; with cchData 0 the size needed
// with the NUL, and lpLCData is not used. Failure returns 0: a buffer too small
// for the text and its NUL, or a null one, ERROR_INSUFFICIENT_BUFFER (the buffer
// is left as it was); another type or LOCALE_RETURN_NUMBER, ERROR_INVALID_FLAGS;
// a locale the layer does not know (LOCALE_CUSTOM_UNSPECIFIED among them), bits
// above the sort identifier, or a negative cchData, ERROR_INVALID_PARAMETER.
int WINAPI GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData);

#endif
