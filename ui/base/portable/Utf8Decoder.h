#pragma once
// UTF-8 to UTF-16 decoding into a buffer the caller owns.

#include <cstddef>

#include "ui/base/portable/UIChar.h"

namespace Trellis {

// Decodes UTF-8 into UTF-16 code units as the platform's UTF-8 conversion
// does: every ill-formed sequence (its longest valid prefix) becomes one
// U+FFFD. Writes at most `length` code units (one per byte at the most) and no
// NUL; returns the number written.
size_t DecodeUtf8(const unsigned char* bytes, size_t length, UIChar* out);

}  // namespace Trellis
