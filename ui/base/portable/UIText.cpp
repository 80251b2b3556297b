#include "ui/base/portable/UIChar.h"

#include <cwctype>
#ifndef _WIN32
#include <clocale>
#include <wctype.h>
#endif

namespace Trellis {

size_t UITextLength(const UIChar* text) {
  if (text == nullptr) return 0;
  const UIChar* end = text;
  while (*end != 0) ++end;
  return static_cast<size_t>(end - text);
}

int UITextCompare(const UIChar* a, const UIChar* b) {
  // Code units compare as unsigned 16-bit values, as the platform's wcscmp does.
  while (*a != 0 && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<int>(*a) - static_cast<int>(*b);
}

int UITextCompareNoCase(const UIChar* a, const UIChar* b) {
  for (;; ++a, ++b) {
    const int ca = static_cast<int>(UICharToLower(*a));
    const int cb = static_cast<int>(UICharToLower(*b));
    if (ca != cb || ca == 0) return ca - cb;
  }
}

UIChar UICharToLower(UIChar ch) {
  // Surrogate halves are not characters of their own and keep their value.
  if (ch >= 0xD800 && ch <= 0xDFFF) return ch;
  const std::wint_t lowered = std::towlower(static_cast<std::wint_t>(ch));
  const UIChar result = static_cast<UIChar>(lowered);
  return static_cast<std::wint_t>(result) == lowered ? result : ch;
}

bool UICharIsAlnum(UIChar ch) {
  if (ch >= 0xD800 && ch <= 0xDFFF) return false;
#ifdef _WIN32
  // The runtime classifies every character by the Unicode tables.
  return std::iswalnum(static_cast<std::wint_t>(ch)) != 0;
#else
  // The C library here classifies only ASCII in the "C" locale; its UTF-8
  // locale gives the same Unicode classes as the Windows runtime.
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (unicode == static_cast<locale_t>(0)) return std::iswalnum(static_cast<std::wint_t>(ch)) != 0;
  return iswalnum_l(static_cast<std::wint_t>(ch), unicode) != 0;
#endif
}

}  // namespace Trellis
