#include "ui/control/portable/AttributeText.h"

#include <cmath>
#include <cstdlib>

namespace Trellis {

namespace {

// The blanks the C runtime's number readers skip.
bool IsBlank(UIChar ch) { return ch == ' ' || (ch >= 0x09 && ch <= 0x0D); }

const UIChar* SkipBlanks(const UIChar* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

int HexDigit(UIChar ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

const UIChar kEmpty[] = {0};

const UIChar* OrEmpty(const UIChar* text) { return text != nullptr ? text : kEmpty; }

// Reads count numbers with `read`, each starting one character after the end
// of the previous one, never past the NUL.
template <typename T, typename Reader>
int ReadList(const UIChar* text, T* values, int count, Reader read) {
  const UIChar* p = OrEmpty(text);
  int read_count = 0;
  for (int i = 0; i < count; ++i) values[i] = T();
  for (int i = 0; i < count; ++i) {
    const UIChar* end = p;
    values[i] = read(p, &end);
    ++read_count;
    // The separator is the one character after the number; at the NUL the
    // list has ended and the remaining numbers stay 0.
    if (*end == 0) break;
    p = end + 1;
  }
  return read_count;
}

}  // namespace

int32_t ParseAttributeInt(const UIChar* text, const UIChar** end) {
  const UIChar* start = OrEmpty(text);
  const UIChar* p = SkipBlanks(start);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (*p < '0' || *p > '9') {
    if (end != nullptr) *end = start;
    return 0;
  }
  // Accumulate in 64 bits and saturate, as a 32-bit long reading does.
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value <= INT64_C(0x80000000)) value = value * 10 + (*p - '0');
  }
  if (end != nullptr) *end = p;
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

uint32_t ParseAttributeHex(const UIChar* text, const UIChar** end) {
  const UIChar* start = OrEmpty(text);
  const UIChar* p = SkipBlanks(start);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  // "0x" counts as a prefix only when a hexadecimal digit follows it.
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
  if (HexDigit(*p) < 0) {
    if (end != nullptr) *end = start;
    return 0;
  }
  uint64_t value = 0;
  for (; HexDigit(*p) >= 0; ++p) {
    if (value <= UINT64_C(0xFFFFFFFF)) value = value * 16 + static_cast<uint64_t>(HexDigit(*p));
  }
  if (end != nullptr) *end = p;
  if (value > UINT64_C(0xFFFFFFFF)) return 0xFFFFFFFFu;
  const uint32_t result = static_cast<uint32_t>(value);
  return negative ? 0u - result : result;
}

double ParseAttributeDouble(const UIChar* text, const UIChar** end) {
  const UIChar* start = OrEmpty(text);
  const UIChar* p = SkipBlanks(start);
  // Copy the ASCII run that can belong to a number into a bounded narrow
  // buffer for strtod; a longer run is cut (no skin writes such fractions).
  char buffer[64];
  int n = 0;
  while (n < static_cast<int>(sizeof(buffer)) - 1 && p[n] > 0x20 && p[n] < 0x7F) {
    buffer[n] = static_cast<char>(p[n]);
    ++n;
  }
  buffer[n] = 0;
  char* stop = buffer;
  double value = std::strtod(buffer, &stop);
  if (stop == buffer) {
    if (end != nullptr) *end = start;
    return 0.0;
  }
  if (end != nullptr) *end = p + (stop - buffer);
  return std::isfinite(value) ? value : 0.0;
}

int ParseAttributeIntList(const UIChar* text, int32_t* values, int count) {
  return ReadList(text, values, count, [](const UIChar* p, const UIChar** e) { return ParseAttributeInt(p, e); });
}

int ParseAttributeDoubleList(const UIChar* text, double* values, int count) {
  return ReadList(text, values, count, [](const UIChar* p, const UIChar** e) { return ParseAttributeDouble(p, e); });
}

CUIRect ParseAttributeRect(const UIChar* text) {
  int32_t v[4];
  ParseAttributeIntList(text, v, 4);
  return CUIRect(v[0], v[1], v[2], v[3]);
}

CUISize ParseAttributeSize(const UIChar* text) {
  int32_t v[2];
  ParseAttributeIntList(text, v, 2);
  return CUISize(v[0], v[1]);
}

CUIPoint ParseAttributePoint(const UIChar* text) {
  int32_t v[2];
  ParseAttributeIntList(text, v, 2);
  return CUIPoint(v[0], v[1]);
}

uint32_t ParseAttributeColor(const UIChar* text) {
  const UIChar* p = OrEmpty(text);
  while (*p > 0 && *p <= ' ') ++p;
  if (*p == '#') ++p;
  return ParseAttributeHex(p);
}

bool ParseAttributeBool(const UIChar* text) {
  static const UIChar kTrue[] = {'t', 'r', 'u', 'e', 0};
  return text != nullptr && UITextCompare(text, kTrue) == 0;
}

bool AttributeHasChar(const UIChar* text, UIChar ch) {
  for (const UIChar* p = OrEmpty(text); *p != 0; ++p) {
    if (*p == ch) return true;
  }
  return false;
}

int32_t ScaleByFraction(int32_t length, double fraction) {
  const double scaled = static_cast<double>(length) * fraction;
  if (!(scaled > -2147483648.0)) return std::isnan(scaled) ? 0 : INT32_MIN;
  if (!(scaled < 2147483647.0)) return INT32_MAX;
  return static_cast<int32_t>(scaled);
}

bool CAttributeListReader::Fail(const UIChar* p) {
  m_pMalformed = p;
  m_pCursor = nullptr;
  return false;
}

bool CAttributeListReader::Next(CUIString& name, CUIString& value) {
  const UIChar* p = m_pCursor;
  if (p == nullptr || *p == 0) {
    m_pCursor = nullptr;
    return false;
  }
  // The name runs to the first "="; the NUL before it ends the list.
  const UIChar* nameStart = p;
  while (*p != 0 && *p != '=') ++p;
  if (*p != '=' || p[1] != '"') return Fail(nameStart);
  name.Assign(nameStart, static_cast<int>(p - nameStart));
  p += 2;
  const UIChar* valueStart = p;
  while (*p != 0 && *p != '"') ++p;
  if (*p != '"') return Fail(nameStart);
  value.Assign(valueStart, static_cast<int>(p - valueStart));
  ++p;
  // Exactly one blank separates pairs; anything else ends the list after
  // this pair (and is malformed unless it is the end of the text).
  if (*p == ' ') {
    m_pCursor = p + 1;
  } else {
    m_pCursor = nullptr;
    if (*p != 0) m_pMalformed = p;
  }
  return true;
}

}  // namespace Trellis
