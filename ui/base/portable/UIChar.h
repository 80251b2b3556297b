#pragma once
// The framework's character type and its basic text functions.

#include <cstddef>

// The framework's character: one UTF-16 code unit. On Windows it is wchar_t, so
// framework texts go to the wide Win32 functions unchanged; elsewhere (the
// native build of the portable units) it is char16_t, so both builds see the
// same code units, lengths and hashes. Write literals with UI_TEXT("...").
namespace Trellis {

#ifdef _WIN32
using UIChar = wchar_t;
#define UI_TEXT(literal) L##literal
#else
using UIChar = char16_t;
#define UI_TEXT(literal) u##literal
#endif
static_assert(sizeof(UIChar) == 2, "framework text is UTF-16");

// Number of characters before the NUL; 0 for a null text.
size_t UITextLength(const UIChar* text);
// Ordinal comparison of the code units: negative, 0 or positive.
int UITextCompare(const UIChar* a, const UIChar* b);
// The same with both sides lower-cased by the C runtime's wide lower-casing.
int UITextCompareNoCase(const UIChar* a, const UIChar* b);
// The C runtime's wide lower-casing and letter-or-digit test of one code unit.
UIChar UICharToLower(UIChar ch);
bool UICharIsAlnum(UIChar ch);

}  // namespace Trellis
