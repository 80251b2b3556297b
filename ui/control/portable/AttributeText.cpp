#include "ui/control/portable/AttributeText.h"

#include <cmath>
#include <cstdlib>
#include <string>

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

// Characters that strtod may take as part of a number.
bool IsNumberChar(UIChar ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '+' ||
         ch == '-' || ch == '.' || ch == '_' || ch == '(' || ch == ')';
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

// The hexadecimal reading both hex readers share: blanks, one sign, an
// optional "0x" (only when a digit follows it) and the digits, the magnitude
// saturating just above 32 bits. False, with *end at the text, when no digit
// is readable.
bool ReadHexMagnitude(const UIChar* text, const UIChar** end, bool& negative, uint64_t& magnitude) {
  const UIChar* start = OrEmpty(text);
  const UIChar* p = SkipBlanks(start);
  negative = false;
  magnitude = 0;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
  if (HexDigit(*p) < 0) {
    if (end != nullptr) *end = start;
    return false;
  }
  for (; HexDigit(*p) >= 0; ++p) {
    if (magnitude <= UINT64_C(0xFFFFFFFF)) magnitude = magnitude * 16 + static_cast<uint64_t>(HexDigit(*p));
  }
  if (end != nullptr) *end = p;
  return true;
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
  bool negative = false;
  uint64_t value = 0;
  if (!ReadHexMagnitude(text, end, negative, value)) return 0;
  if (value > UINT64_C(0xFFFFFFFF)) return 0xFFFFFFFFu;
  const uint32_t result = static_cast<uint32_t>(value);
  return negative ? 0u - result : result;
}

int32_t ParseAttributeSignedHex(const UIChar* text, const UIChar** end) {
  bool negative = false;
  uint64_t value = 0;
  if (!ReadHexMagnitude(text, end, negative, value)) return 0;
  if (negative) return value >= UINT64_C(0x80000000) ? INT32_MIN : -static_cast<int32_t>(value);
  return value > UINT64_C(0x7FFFFFFF) ? INT32_MAX : static_cast<int32_t>(value);
}

double ParseAttributeDouble(const UIChar* text, const UIChar** end) {
  const UIChar* start = OrEmpty(text);
  const UIChar* p = SkipBlanks(start);
  // Copy the run of characters that can belong to a number (digits, signs,
  // the point, exponent and hexadecimal letters, "inf", "nan(...)") into a
  // narrow text for strtod, whatever its length: a number cut short would
  // leave the end inside it, and a list would read its rest as the next one.
  std::string narrow;
  for (const UIChar* q = p; IsNumberChar(*q); ++q) narrow.push_back(static_cast<char>(*q));
  const char* begin = narrow.c_str();
  char* stop = nullptr;
  const double value = std::strtod(begin, &stop);
  if (stop == begin) {
    if (end != nullptr) *end = start;
    return 0.0;
  }
  if (end != nullptr) *end = p + (stop - begin);
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
