#pragma once
// The framework's bounded text formatter.

#include <cstdarg>
#include <cstddef>

#include "ui/base/portable/UIChar.h"

namespace Trellis {

// A bounded formatter with the conversions of the platform's wide wsprintf:
// %[-][#][0][width][.precision] followed by c, C, d, i, u, x, X, s, S, with the
// size prefixes h and l (hs/S narrow strings widened byte by byte, ls/s wide
// strings, l reads a long), and %%. There is no floating point. Writes at most
// capacity - 1 characters and a NUL into the buffer (nothing when capacity is
// 0) and returns the number of characters written; longer results are cut.
int UIFormatV(UIChar* buffer, size_t capacity, const UIChar* format, va_list args);

}  // namespace Trellis
