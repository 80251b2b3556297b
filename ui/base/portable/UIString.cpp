#include "ui/base/portable/UIString.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "ui/base/portable/UIFormat.h"

namespace Trellis {
namespace {

// Copies at most length characters, stopping at a NUL, pads with NULs up to
// length and terminates after them.
void CopyPadded(UIChar* target, const UIChar* text, int length) {
  int i = 0;
  for (; i < length && text[i] != 0; ++i) target[i] = text[i];
  for (; i <= length; ++i) target[i] = 0;
}

UIChar* AllocateText(int characters) {
  return static_cast<UIChar*>(std::malloc(static_cast<size_t>(characters) * sizeof(UIChar)));
}

}  // namespace

CUIString::CUIString() : m_pstr(m_szBuffer) { m_szBuffer[0] = 0; }

CUIString::CUIString(UIChar ch) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = ch;
  m_szBuffer[1] = 0;
}

CUIString::CUIString(const UIChar* text, int length) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = 0;
  Assign(text, length);
}

CUIString::CUIString(const CUIString& other) : m_pstr(m_szBuffer) {
  m_szBuffer[0] = 0;
  Assign(other.m_pstr);
}

CUIString& CUIString::operator=(const CUIString& other) {
  if (this != &other) AssignString(other);
  return *this;
}

CUIString::~CUIString() {
  if (!IsInline()) std::free(m_pstr);
}

int CUIString::GetLength() const { return static_cast<int>(UITextLength(m_pstr)); }

bool CUIString::PointsIntoSelf(const UIChar* text) const {
  // std::less gives a total order even for pointers into different objects.
  std::less<const UIChar*> below;
  const UIChar* heapEnd = m_pstr + GetLength() + 1;
  const bool inInline = !below(text, m_szBuffer) && below(text, m_szBuffer + kInlineSize);
  const bool inHeap = !below(text, m_pstr) && below(text, heapEnd);
  return inInline || inHeap;
}

void CUIString::Assign(const UIChar* text, int length) {
  if (text == nullptr) {
    text = UI_TEXT("");
    length = 0;
  }
  if (length < 0) {
    const size_t full = UITextLength(text);
    length = full > static_cast<size_t>(INT_MAX - 1) ? INT_MAX - 1 : static_cast<int>(full);
  }
  if (length == INT_MAX) length = INT_MAX - 1;
  if (PointsIntoSelf(text)) {
    // Freeing or moving our buffer would pull the text away under the copy.
    const CUIString copy(text, length);
    AssignFrom(copy.m_pstr, length);
    return;
  }
  AssignFrom(text, length);
}

void CUIString::AssignFrom(const UIChar* text, int length) {
  if (length <= kMaxInlineLength) {
    if (!IsInline()) {
      std::free(m_pstr);
      m_pstr = m_szBuffer;
    }
  } else if (GetLength() < length) {
    // Grows only: a shorter text reuses the heap buffer it has.
    UIChar* grown = IsInline() ? AllocateText(length + 1)
                               : static_cast<UIChar*>(std::realloc(m_pstr, (static_cast<size_t>(length) + 1) * sizeof(UIChar)));
    if (grown == nullptr) return;  // out of memory: the string keeps its text
    m_pstr = grown;
  }
  CopyPadded(m_pstr, text, length);
}

void CUIString::AssignText(const UIChar* text) {
  if (text == nullptr) {
    Clear();
    return;
  }
  Assign(text, -1);
}

void CUIString::AssignString(const CUIString& other) { Assign(other.m_pstr, -1); }

void CUIString::Clear() {
  if (!IsInline()) std::free(m_pstr);
  m_pstr = m_szBuffer;
  m_szBuffer[0] = 0;
}

void CUIString::Append(const UIChar* text) {
  if (text == nullptr) return;
  const size_t length = UITextLength(text);
  if (length == 0) return;
  if (length > static_cast<size_t>(INT_MAX / 2)) return;
  if (PointsIntoSelf(text)) {
    const CUIString copy(text, static_cast<int>(length));
    AppendFrom(copy.m_pstr, static_cast<int>(length));
    return;
  }
  AppendFrom(text, static_cast<int>(length));
}

void CUIString::AppendFrom(const UIChar* text, int length) {
  const int current = GetLength();
  if (current > INT_MAX - 1 - length) return;
  const int total = current + length;
  if (total > kMaxInlineLength) {
    UIChar* grown;
    if (IsInline()) {
      grown = AllocateText(total + 1);
      if (grown != nullptr) std::memcpy(grown, m_szBuffer, (static_cast<size_t>(current) + 1) * sizeof(UIChar));
    } else {
      grown = static_cast<UIChar*>(std::realloc(m_pstr, (static_cast<size_t>(total) + 1) * sizeof(UIChar)));
    }
    if (grown == nullptr) return;  // out of memory: the string keeps its text
    m_pstr = grown;
  } else if (!IsInline()) {
    std::memcpy(m_szBuffer, m_pstr, (static_cast<size_t>(current) + 1) * sizeof(UIChar));
    std::free(m_pstr);
    m_pstr = m_szBuffer;
  }
  std::memcpy(m_pstr + current, text, static_cast<size_t>(length) * sizeof(UIChar));
  m_pstr[total] = 0;
}

void CUIString::AppendText(const UIChar* text) { Append(text); }

void CUIString::AppendString(const CUIString& other) { Append(other.m_pstr); }

void CUIString::AppendChar(UIChar ch) {
  const UIChar text[2] = {ch, 0};
  Append(text);
}

CUIString CUIString::ConcatText(const UIChar* text) const {
  CUIString result(*this);
  result.Append(text);
  return result;
}

int CUIString::Compare(const UIChar* text) const { return UITextCompare(m_pstr, text == nullptr ? UI_TEXT("") : text); }

int CUIString::CompareNoCase(const UIChar* text) const {
  return UITextCompareNoCase(m_pstr, text == nullptr ? UI_TEXT("") : text);
}

int CUIString::FindText(const UIChar* text, int start) const {
  const int length = GetLength();
  if (text == nullptr || start < 0 || start > length) return -1;
  const int searched = static_cast<int>(UITextLength(text));
  for (int i = start; i + searched <= length; ++i) {
    if (std::memcmp(m_pstr + i, text, static_cast<size_t>(searched) * sizeof(UIChar)) == 0) return i;
  }
  return -1;
}

int CUIString::FindChar(UIChar ch, int start) const {
  const int length = GetLength();
  if (start < 0 || (start > 0 && start >= length)) return -1;
  for (int i = start; i < length; ++i) {
    if (m_pstr[i] == ch) return i;
  }
  return -1;
}

int CUIString::ReverseFind(UIChar ch) const {
  for (int i = GetLength() - 1; i >= 0; --i) {
    if (m_pstr[i] == ch) return i;
  }
  return -1;
}

CUIString CUIString::Left(int n) const {
  const int length = GetLength();
  if (n < 0) n = 0;
  if (n > length) n = length;
  return CUIString(m_pstr, n);
}

CUIString CUIString::Mid(int start, int n) const {
  const int length = GetLength();
  if (start < 0) start = 0;  // outside the contract; kept inside the text
  if (start > length) return CUIString();
  if (n < 0 || n > length - start) n = length - start;
  if (n <= 0) return CUIString();
  return CUIString(m_pstr + start, n);
}

void CUIString::MakeLower() {
  for (UIChar* p = m_pstr; *p != 0; ++p) *p = UICharToLower(*p);
}

int CUIString::Replace(const UIChar* from, const UIChar* to) {
  if (from == nullptr || from[0] == 0) return 0;
  if (to == nullptr) to = UI_TEXT("");
  // The replacement texts may point into this string, which changes below.
  const CUIString search(from);
  const CUIString replacement(to);
  const size_t length = UITextLength(m_pstr);
  const size_t fromLength = UITextLength(search.m_pstr);
  const size_t toLength = UITextLength(replacement.m_pstr);
  // Searching again from the end of each inserted text only ever searches the
  // text that followed the occurrence, so one left-to-right pass over the
  // original finds the same occurrences; the result is then built once
  // instead of the whole string being rebuilt for every occurrence.
  const auto matchesAt = [&](size_t i) {
    return std::memcmp(m_pstr + i, search.m_pstr, fromLength * sizeof(UIChar)) == 0;
  };
  size_t count = 0;
  for (size_t i = 0; i + fromLength <= length;) {
    if (matchesAt(i)) {
      ++count;
      i += fromLength;
    } else {
      ++i;
    }
  }
  if (count == 0) return 0;
  const size_t kept = length - count * fromLength;
  if (toLength != 0 && count > (static_cast<size_t>(INT_MAX - 1) - kept) / toLength) return 0;  // cannot be held
  const size_t total = kept + count * toLength;
  UIChar* result = AllocateText(static_cast<int>(total) + 1);
  if (result == nullptr) return 0;  // out of memory: the string keeps its text
  UIChar* out = result;
  for (size_t i = 0; i < length;) {
    if (i + fromLength <= length && matchesAt(i)) {
      std::memcpy(out, replacement.m_pstr, toLength * sizeof(UIChar));
      out += toLength;
      i += fromLength;
    } else {
      *out++ = m_pstr[i++];
    }
  }
  *out = 0;
  Assign(result, static_cast<int>(total));
  std::free(result);
  return static_cast<int>(count);
}

int CUIString::Format(const UIChar* format, ...) {
  // Formatting goes into a buffer of its own first, so the format and the
  // arguments may be this string's own text.
  UIChar buffer[kInlineSize] = {};
  va_list args;
  va_start(args, format);
  const int written = UIFormatV(buffer, kInlineSize, format, args);
  va_end(args);
  Assign(buffer, -1);
  return written;
}

}  // namespace Trellis
