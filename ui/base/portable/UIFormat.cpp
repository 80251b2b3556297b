#include "ui/base/portable/UIFormat.h"

#include <type_traits>

namespace Trellis {
namespace {

// Collects output into a fixed buffer, dropping whatever does not fit.
class BoundedOutput {
 public:
  BoundedOutput(UIChar* buffer, size_t capacity)
      : m_buffer(capacity == 0 ? nullptr : buffer), m_limit(capacity == 0 ? 0 : capacity - 1) {}
  void Put(UIChar ch) {
    if (m_count < m_limit) m_buffer[m_count++] = ch;
  }
  void Repeat(UIChar ch, int times) {
    for (int i = 0; i < times; ++i) Put(ch);
  }
  int Finish() {
    if (m_buffer != nullptr) m_buffer[m_count] = 0;
    return static_cast<int>(m_count);
  }

 private:
  UIChar* m_buffer;
  size_t m_limit;
  size_t m_count = 0;
};

struct Spec {
  bool leftAlign = false;
  bool alternate = false;
  bool zeroPad = false;
  int width = 0;
  int precision = -1;
};

// Emits body (already in display order) padded to the field width.
void EmitField(BoundedOutput& out, const Spec& spec, const UIChar* prefix, int prefixLength, const UIChar* body,
               int bodyLength, int leadingZeros) {
  const int used = prefixLength + leadingZeros + bodyLength;
  const int padding = spec.width > used ? spec.width - used : 0;
  if (!spec.leftAlign && !spec.zeroPad) out.Repeat(' ', padding);
  for (int i = 0; i < prefixLength; ++i) out.Put(prefix[i]);
  if (!spec.leftAlign && spec.zeroPad) out.Repeat('0', padding);
  out.Repeat('0', leadingZeros);
  for (int i = 0; i < bodyLength; ++i) out.Put(body[i]);
  if (spec.leftAlign) out.Repeat(' ', padding);
}

void EmitNumber(BoundedOutput& out, const Spec& spec, unsigned long value, bool negative, unsigned base, bool upper) {
  UIChar digits[32];
  int count = 0;
  const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  while (value != 0) {
    digits[count++] = static_cast<UIChar>(symbols[value % base]);
    value /= base;
  }
  if (count == 0 && spec.precision != 0) digits[count++] = '0';
  UIChar body[32];
  for (int i = 0; i < count; ++i) body[i] = digits[count - 1 - i];
  UIChar prefix[2];
  int prefixLength = 0;
  if (negative) {
    prefix[prefixLength++] = '-';
  } else if (spec.alternate && base == 16 && count > 0 && !(count == 1 && body[0] == '0')) {
    prefix[prefixLength++] = '0';
    prefix[prefixLength++] = upper ? 'X' : 'x';
  }
  const int leadingZeros = spec.precision > count ? spec.precision - count : 0;
  Spec field = spec;
  if (spec.precision >= 0) field.zeroPad = false;
  EmitField(out, field, prefix, prefixLength, body, count, leadingZeros);
}

template <typename Char>
void EmitString(BoundedOutput& out, const Spec& spec, const Char* text) {
  static const char kNull[] = "(null)";
  int length = 0;
  if (text == nullptr) {
    length = 6;
  } else {
    while (text[length] != 0 && (spec.precision < 0 || length < spec.precision)) ++length;
  }
  if (spec.precision >= 0 && length > spec.precision) length = spec.precision;
  const int padding = spec.width > length ? spec.width - length : 0;
  const UIChar pad = spec.zeroPad && !spec.leftAlign ? '0' : ' ';
  if (!spec.leftAlign) out.Repeat(pad, padding);
  for (int i = 0; i < length; ++i) {
    // Narrow text is widened byte by byte: exact for ASCII.
    out.Put(text == nullptr ? static_cast<UIChar>(kNull[i])
                            : static_cast<UIChar>(static_cast<typename std::make_unsigned<Char>::type>(text[i])));
  }
  if (spec.leftAlign) out.Repeat(' ', padding);
}

}  // namespace

int UIFormatV(UIChar* buffer, size_t capacity, const UIChar* format, va_list args) {
  BoundedOutput out(buffer, capacity);
  if (format == nullptr) return out.Finish();
  for (const UIChar* p = format; *p != 0; ++p) {
    if (*p != '%') {
      out.Put(*p);
      continue;
    }
    const UIChar* start = p++;
    Spec spec;
    for (;; ++p) {
      if (*p == '-') spec.leftAlign = true;
      else if (*p == '#') spec.alternate = true;
      else if (*p == '0') spec.zeroPad = true;
      else break;
    }
    while (*p >= '0' && *p <= '9') {
      if (spec.width < 10000) spec.width = spec.width * 10 + (*p - '0');
      ++p;
    }
    if (*p == '.') {
      ++p;
      spec.precision = 0;
      while (*p >= '0' && *p <= '9') {
        if (spec.precision < 10000) spec.precision = spec.precision * 10 + (*p - '0');
        ++p;
      }
    }
    char size = 0;
    if (*p == 'h' || *p == 'l') size = static_cast<char>(*p++);
    switch (*p) {
      case 'c':
      case 'C': {
        const int value = va_arg(args, int);
        const bool narrow = size == 'h' || (*p == 'C' && size != 'l');
        const UIChar ch[2] = {narrow ? static_cast<UIChar>(value & 0xFF) : static_cast<UIChar>(value), 0};
        EmitString(out, spec, ch);
        break;
      }
      case 'd':
      case 'i': {
        const long value = size == 'l' ? va_arg(args, long) : va_arg(args, int);
        const unsigned long magnitude =
            value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        EmitNumber(out, spec, magnitude, value < 0, 10, false);
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        const unsigned long value = size == 'l' ? va_arg(args, unsigned long) : va_arg(args, unsigned);
        EmitNumber(out, spec, value, false, *p == 'u' ? 10 : 16, *p == 'X');
        break;
      }
      case 's':
      case 'S': {
        const bool narrow = size == 'h' || (*p == 'S' && size != 'l');
        if (narrow) EmitString(out, spec, va_arg(args, const char*));
        else EmitString(out, spec, va_arg(args, const UIChar*));
        break;
      }
      case 0:
        // A lone '%' at the end: write what was there and stop.
        for (const UIChar* q = start; q < p; ++q) out.Put(*q);
        return out.Finish();
      default:
        // "%%" and unknown conversions write the character itself.
        out.Put(*p);
        break;
    }
  }
  return out.Finish();
}

}  // namespace Trellis
