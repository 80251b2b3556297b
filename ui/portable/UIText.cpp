#include "ui/portable/UIChar.h"

#include <cwctype>

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
  return std::iswalnum(static_cast<std::wint_t>(ch)) != 0;
}

}  // namespace Trellis
