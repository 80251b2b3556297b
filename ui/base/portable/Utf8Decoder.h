#pragma once

#include <cstddef>

#include "ui/base/portable/UIChar.h"

namespace Trellis {

// Decodes UTF-8 into UTF-16 code units as the platform's UTF-8 conversion
// does: every ill-formed sequence (its longest valid prefix) becomes one
// U+FFFD. Writes at most `length` code units (one per byte at the most) and no
// NUL; returns the number written.
size_t DecodeUtf8(const unsigned char* bytes, size_t length, UIChar* out);

}  // namespace Trellis
