// Automation strings: a 32-bit byte count, the characters, a NUL.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "winlayer/oleauto.h"

namespace {

std::uint32_t* prefix_of(BSTR s) { return reinterpret_cast<std::uint32_t*>(s) - 1; }

}  // namespace

BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  if (ui > (std::numeric_limits<std::uint32_t>::max() - 8) / sizeof(OLECHAR)) return nullptr;
  auto* block = static_cast<std::uint32_t*>(std::malloc(sizeof(std::uint32_t) + (ui + 1) * sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  *block = static_cast<std::uint32_t>(ui * sizeof(OLECHAR));
  BSTR text = reinterpret_cast<BSTR>(block + 1);
  if (strIn != nullptr) std::memcpy(text, strIn, ui * sizeof(OLECHAR));
  else std::memset(text, 0, ui * sizeof(OLECHAR));
  text[ui] = u'\0';
  return text;
}

BSTR WINAPI SysAllocString(const OLECHAR* psz) {
  if (psz == nullptr) return nullptr;
  return SysAllocStringLen(psz, static_cast<UINT>(std::char_traits<char16_t>::length(psz)));
}

void WINAPI SysFreeString(BSTR bstrString) {
  if (bstrString != nullptr) std::free(prefix_of(bstrString));
}

UINT WINAPI SysStringLen(BSTR pbstr) {
  return pbstr == nullptr ? 0 : *prefix_of(pbstr) / sizeof(OLECHAR);
}
