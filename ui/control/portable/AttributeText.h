#pragma once

// Readers of skin attribute values, shared by every control, layout, image
// description and window attribute, so all of them read numbers, lists,
// colours and booleans by the same rules:
// - integers as the C runtime reads a base-10 long: leading blanks and one
//   sign accepted, reading stops at the first non-digit, nothing readable is
//   0; values beyond 32 bits saturate;
// - lists ("pos", "padding", "inset", "itemsize", "dest", "size", ...): the
//   next number is read one character after the end of the previous one, so
//   any single character separates them; the reader never steps over the
//   terminating NUL, and numbers the text does not hold are 0;
// - colours: hexadecimal ARGB after leading blanks and one optional "#";
// - booleans: true only for the exact text "true".
// Every reader accepts a null text (read as the empty text).
#include <cstdint>

#include "ui/base/portable/UIChar.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

// Reads one base-10 integer; *end (when given) receives the character after
// the last one used, or the text itself when nothing was readable.
int32_t ParseAttributeInt(const UIChar* text, const UIChar** end = nullptr);
// Reads one number as the C runtime reads a double (decimal, with fraction
// and exponent); text that is no finite number gives 0.0. *end as above.
double ParseAttributeDouble(const UIChar* text, const UIChar** end = nullptr);
// Reads an unsigned hexadecimal number (optional "0x", values beyond 32 bits
// saturate) as the C runtime's unsigned base-16 reading does. *end as above.
uint32_t ParseAttributeHex(const UIChar* text, const UIChar** end = nullptr);
// Reads a signed hexadecimal number as the C runtime's base-16 reading of a
// 32-bit long does: one sign, optional "0x", values beyond the range
// saturate at INT32_MIN and INT32_MAX. *end as above.
int32_t ParseAttributeSignedHex(const UIChar* text, const UIChar** end = nullptr);

// Fills values[0..count-1] from a list; positions the text does not reach
// are 0. Returns how many numbers were read from the text.
int ParseAttributeIntList(const UIChar* text, int32_t* values, int count);
// The same for a list of fractions ("float"); missing ones are 0.0.
int ParseAttributeDoubleList(const UIChar* text, double* values, int count);
// Four numbers as left, top, right, bottom.
CUIRect ParseAttributeRect(const UIChar* text);
// Two numbers as cx, cy.
CUISize ParseAttributeSize(const UIChar* text);
// Two numbers as x, y.
CUIPoint ParseAttributePoint(const UIChar* text);

// An ARGB colour: leading blanks skipped, then one optional "#", then
// hexadecimal; unreadable text gives 0 (no colour).
uint32_t ParseAttributeColor(const UIChar* text);
// True only for the exact text "true".
bool ParseAttributeBool(const UIChar* text);
// True when the text holds the character (before its NUL).
bool AttributeHasChar(const UIChar* text, UIChar ch);

// Scales a length by a fraction as the layouts place floating controls
// (truncation toward zero), saturating at the 32-bit range so a hostile
// fraction cannot overflow the conversion.
int32_t ScaleByFraction(int32_t length, double fraction);

// Reads an attribute list: pairs name="value" separated by exactly one blank.
// The name is everything up to "=" (a NUL ends the list); the "=" must be
// followed by a double quote; the value runs to the next double quote (no
// escapes). A malformed pair ends the list; pairs before it stay read.
class CAttributeListReader {
 public:
  explicit CAttributeListReader(const UIChar* text) : m_pCursor(text) {}

  // Reads the next pair into name and value; false at the end of the list or
  // at the first malformed pair (name and value are then unspecified).
  bool Next(CUIString& name, CUIString& value);
  // After Next returned false: the text from the malformed pair on, or null
  // when the list simply ended.
  const UIChar* GetMalformedRest() const { return m_pMalformed; }

 private:
  // Ends the list at p, remembering it as malformed.
  bool Fail(const UIChar* p);

  const UIChar* m_pCursor;              // borrowed; null once the list has ended
  const UIChar* m_pMalformed = nullptr; // borrowed; where a malformed pair starts
};

}  // namespace Trellis
