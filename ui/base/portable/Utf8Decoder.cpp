#include "ui/base/portable/Utf8Decoder.h"

namespace Trellis {

size_t DecodeUtf8(const unsigned char* bytes, size_t length, UIChar* out) {
  size_t written = 0;
  size_t i = 0;
  while (i < length) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      out[written++] = lead;
      ++i;
      continue;
    }
    // Continuation count and the allowed range of the first continuation byte,
    // which rules out overlong forms, surrogates and values past U+10FFFF.
    int needed;
    unsigned char lower = 0x80, upper = 0xBF;
    unsigned code;
    if (lead >= 0xC2 && lead <= 0xDF) {
      needed = 1;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      needed = 2;
      code = lead & 0x0Fu;
      if (lead == 0xE0) lower = 0xA0;
      if (lead == 0xED) upper = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      needed = 3;
      code = lead & 0x07u;
      if (lead == 0xF0) lower = 0x90;
      if (lead == 0xF4) upper = 0x8F;
    } else {
      out[written++] = 0xFFFD;
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool complete = true;
    for (int k = 0; k < needed; ++k, ++j) {
      if (j >= length || bytes[j] < lower || bytes[j] > upper) {
        complete = false;
        break;
      }
      code = (code << 6) | (bytes[j] & 0x3Fu);
      lower = 0x80;
      upper = 0xBF;
    }
    i = j;
    if (!complete) {
      out[written++] = 0xFFFD;
    } else if (code >= 0x10000) {
      code -= 0x10000;
      out[written++] = static_cast<UIChar>(0xD800 + (code >> 10));
      out[written++] = static_cast<UIChar>(0xDC00 + (code & 0x3FF));
    } else {
      out[written++] = static_cast<UIChar>(code);
    }
  }
  return written;
}

}  // namespace Trellis
