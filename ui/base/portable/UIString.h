#pragma once
// The framework's string, which owns its text (inline or on the heap).

#include "ui/base/portable/UIChar.h"

namespace Trellis {

// The framework's string: a NUL-terminated UTF-16 text that lives in a
// 64-character inline buffer while it has at most 62 characters and in a heap
// buffer from 63 characters on. The text pointer is never null. Copying copies
// the text. Indexes and lengths count characters (UTF-16 code units).
class CUIString {
 public:
  static constexpr int kInlineSize = 64;
  static constexpr int kMaxInlineLength = 62;

  CUIString();
  explicit CUIString(UIChar ch);
  // A negative length takes the text up to its NUL; a null text gives the empty string.
  CUIString(const UIChar* text, int length = -1);
  CUIString(const CUIString& other);
  CUIString& operator=(const CUIString& other);
  ~CUIString();

  // Assigns at most length characters of the text (negative: up to its NUL),
  // stopping early at a NUL. A null text assigns the empty text. The text may
  // point into this string.
  void Assign(const UIChar* text, int length = -1);
  // A null text empties the string.
  void AssignText(const UIChar* text);
  void AssignString(const CUIString& other);
  // Frees a heap buffer and leaves the empty inline text.
  void Clear();

  // Appends the text (null appends nothing); the text may point into this string.
  void Append(const UIChar* text);
  void AppendText(const UIChar* text);
  void AppendString(const CUIString& other);
  void AppendChar(UIChar ch);
  // A new string: this text followed by the text (null: a copy).
  CUIString ConcatText(const UIChar* text) const;

  const UIChar* GetText() const { return m_pstr; }
  int GetLength() const;
  bool IsEmpty() const { return m_pstr[0] == 0; }
  // No bounds check: callers keep 0 <= index <= GetLength().
  UIChar GetAt(int index) const { return m_pstr[index]; }

  // Ordinal comparison of the code units (null compares as the empty text).
  int Compare(const UIChar* text) const;
  // Comparison ignoring case as the C runtime's wide lower-casing folds it.
  int CompareNoCase(const UIChar* text) const;
  bool EqualsText(const UIChar* text) const { return Compare(text) == 0; }
  bool DiffersFromText(const UIChar* text) const { return Compare(text) != 0; }
  bool IsLessThan(const UIChar* text) const { return Compare(text) < 0; }

  // Index of the first occurrence at or after start, else -1; -1 also when
  // start is negative or beyond the length (start == length is searched).
  int FindText(const UIChar* text, int start = 0) const;
  // Index of the first occurrence at or after start, else -1; -1 also when
  // start is negative or at or beyond the length, except that a start of 0 is
  // always searched.
  int FindChar(UIChar ch, int start = 0) const;
  int ReverseFind(UIChar ch) const;

  // The first n characters, n clamped to 0..length.
  CUIString Left(int n) const;
  // n characters from start; a negative n or one past the end takes the rest.
  CUIString Mid(int start, int n = -1) const;

  // Lower-cases the text in place as the C runtime's wide lower-casing does.
  void MakeLower();
  // Replaces every occurrence of from by to, never searching text that a
  // replacement brought in; returns the number of replacements (0 for an
  // empty or null from).
  int Replace(const UIChar* from, const UIChar* to);
  // Formats into at most 63 characters (see UIFormatV; longer results are cut)
  // and assigns the result; returns the number of characters written.
  int Format(const UIChar* format, ...);

 private:
  bool IsInline() const { return m_pstr == m_szBuffer; }
  bool PointsIntoSelf(const UIChar* text) const;
  void AssignFrom(const UIChar* text, int length);
  void AppendFrom(const UIChar* text, int length);

  UIChar* m_pstr;                  // m_szBuffer or an owned heap buffer
  UIChar m_szBuffer[kInlineSize];  // inline text of at most 62 characters
};

}  // namespace Trellis
