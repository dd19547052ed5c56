// Languages from the machine profile and the locale data the layer knows.
#include <string>

#include "profile.h"
#include "winlayer/kernel.h"
#include "winlayer/nls.h"

namespace {

struct LocaleData {
  LANGID language;
  const char16_t* decimal;
};

// Decimal separators as Windows' locale data gives them; where that data is not
// documented, the values of the Unicode common locale data repository (CLDR).
constexpr LocaleData kLocales[] = {
    {0x0401, u"."},
    {0x0404, u"."}, {0x0804, u"."},
    {0x0405, u","},
    {0x0406, u","},
    {0x0407, u","}, {0x0807, u"."}, {0x0C07, u","}, {0x1007, u","}, {0x1407, u"."},
    {0x0408, u","},
    {0x0409, u"."}, {0x0809, u"."}, {0x0C09, u"."}, {0x1009, u"."}, {0x1409, u"."}, {0x1809, u"."},
    {0x1C09, u","}, {0x2009, u"."}, {0x2409, u"."}, {0x2809, u"."}, {0x2C09, u"."}, {0x3009, u"."},
    {0x3409, u"."}, {0x3C09, u"."}, {0x4009, u"."}, {0x4409, u"."}, {0x4809, u"."},
    {0x040A, u","}, {0x080A, u"."}, {0x0C0A, u","}, {0x100A, u"."}, {0x140A, u","}, {0x180A, u"."},
    {0x1C0A, u"."}, {0x200A, u","}, {0x240A, u","}, {0x280A, u"."}, {0x2C0A, u","}, {0x300A, u","},
    {0x340A, u","}, {0x380A, u","}, {0x3C0A, u","}, {0x400A, u","}, {0x440A, u"."}, {0x480A, u"."},
    {0x4C0A, u"."}, {0x500A, u"."}, {0x540A, u"."}, {0x580A, u"."}, {0x5C0A, u"."},
    {0x040B, u","},
    {0x040C, u","}, {0x080C, u","}, {0x0C0C, u","}, {0x100C, u"."}, {0x140C, u","}, {0x180C, u","},
    {0x1C0C, u","}, {0x200C, u","}, {0x240C, u","}, {0x280C, u","}, {0x2C0C, u","}, {0x300C, u","},
    {0x340C, u","}, {0x380C, u","}, {0x3C0C, u","},
    {0x040D, u"."},
    {0x040E, u","},
    {0x0410, u","}, {0x0810, u"."},
    {0x0411, u"."},
    {0x0412, u"."},
    {0x0413, u","}, {0x0813, u","},
    {0x0414, u","},
    {0x0415, u","},
    {0x0416, u","}, {0x0816, u","},
    {0x0419, u","},
    {0x041D, u","}, {0x081D, u","},
    {0x041F, u","},
    {0x007F, u"."},
};

// The locale whose data a language without a sublanguage stands for.
struct NeutralDefault {
  LANGID primary;
  LANGID locale;
};

constexpr NeutralDefault kNeutralDefaults[] = {
    {0x01, 0x0401}, {0x04, 0x0804}, {0x05, 0x0405}, {0x06, 0x0406}, {0x07, 0x0407}, {0x08, 0x0408},
    {0x09, 0x0409}, {0x0A, 0x0C0A}, {0x0B, 0x040B}, {0x0C, 0x040C}, {0x0D, 0x040D}, {0x0E, 0x040E},
    {0x10, 0x0410}, {0x11, 0x0411}, {0x12, 0x0412}, {0x13, 0x0413}, {0x14, 0x0414}, {0x15, 0x0415},
    {0x16, 0x0416}, {0x19, 0x0419}, {0x1D, 0x041D}, {0x1F, 0x041F},
};

const LocaleData* find_locale(LANGID language) {
  const LANGID primary = language & 0x3FF;
  if (primary != LANG_NEUTRAL && (language >> 10) == SUBLANG_NEUTRAL) {
    for (const NeutralDefault& neutral : kNeutralDefaults) {
      if (neutral.primary == primary) {
        language = neutral.locale;
        break;
      }
    }
  }
  for (const LocaleData& locale : kLocales) {
    if (locale.language == language) return &locale;
  }
  return nullptr;
}

// The language that a locale identifier stands for, the defaults resolved.
LANGID resolve_language(LCID locale) {
  const LANGID system = GetSystemDefaultLangID();
  switch (locale & 0xFFFF) {
    case LOCALE_NEUTRAL:
    case LOCALE_USER_DEFAULT:
    case LOCALE_CUSTOM_DEFAULT: return winlayer::profile().user_locale;
    case LOCALE_SYSTEM_DEFAULT: return system;
    case LOCALE_CUSTOM_UI_DEFAULT: {
      const LANGID ui = GetUserDefaultUILanguage();
      return ui != 0 ? ui : system;
    }
    default: return static_cast<LANGID>(locale & 0xFFFF);
  }
}

bool known_type(LCTYPE type) {
  return (type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP)) == LOCALE_SDECIMAL;
}

}  // namespace

LANGID WINAPI GetUserDefaultUILanguage() { return winlayer::profile().ui_language; }

LANGID WINAPI GetSystemDefaultLangID() { return winlayer::profile().system_language; }

int WINAPI GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData) {
  if (!known_type(LCType)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  const LocaleData* locale = (Locale >> 20) == 0 ? find_locale(resolve_language(Locale)) : nullptr;
  if (locale == nullptr || cchData < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string_view text = locale->decimal;
  const int needed = static_cast<int>(text.size()) + 1;
  if (cchData == 0) return needed;
  if (lpLCData == nullptr || cchData < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  text.copy(lpLCData, text.size());
  lpLCData[text.size()] = u'\0';
  return needed;
}
