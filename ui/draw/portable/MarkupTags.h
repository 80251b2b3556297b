#pragma once
// The tag grammar of markup text, without drawing: what stands at a bracket
// (a tag, a closing tag, an escape or plain text) and the parameters of the
// tags that carry some ("i" images, "f" fonts, "c" colours, "v" alignment).
// Nothing here reads past the text's NUL.

#include <cstdint>

#include "ui/base/portable/UIString.h"

namespace Trellis {

struct MarkupToken {
  enum Kind { kText, kEscape, kOpen, kClose };
  Kind kind = kText;
  UIChar letter = 0;              // tag letter (kOpen, kClose) or the escaped character (kEscape)
  const UIChar* param = nullptr;  // kOpen: the parameter, paramLength characters, not terminated
  int paramLength = 0;
  const UIChar* next = nullptr;   // the first character after the token
};

bool IsMarkupOpenBracket(UIChar ch);
// Reads what stands at p, whose first character is '<' or '{': "<b>",
// "{b}", "<a param>" open a tag (letters a to z, then ' ', '>' or '}');
// "</b>" closes one; "<{>", "<}>", "{<}", "{>}" print their middle
// character; anything else is text (next is p + 1). A tag runs to the next
// '>' or '}', or to the end of the text.
MarkupToken ReadMarkupToken(const UIChar* p);
// True for the closing raw tag ("</r>" or "{/r}" or mixed brackets) at p.
bool IsMarkupRawEnd(const UIChar* p);

// "i" with a parameter: "name [frames [index]]", or description pairs with
// "file='" or "res='" (keys file, res, restype). frames is at least 1; an
// index outside 0..frames-1 is 0.
struct MarkupImageParam {
  CUIString name;
  CUIString resType;  // only with "res"
  int frames = 1;
  int frame = 0;
};
MarkupImageParam ParseMarkupImageParam(const UIChar* param);

// "f": a font id (the parameter starts with a digit), or a face, a size
// (default 10) and any of the words "bold", "underline", "italic" (any case).
struct MarkupFontParam {
  bool byId = false;
  int id = 0;
  CUIString face;
  int size = 10;
  bool bold = false;
  bool underline = false;
  bool italic = false;
};
MarkupFontParam ParseMarkupFontParam(const UIChar* param);

// "c": hexadecimal, optional '#', read as a signed 32-bit number (larger
// values become 0x7FFFFFFF, smaller ones 0x80000000; a negative number keeps
// its bits, "-1" is 0xFFFFFFFF); only the RGB bytes matter.
uint32_t ParseMarkupColor(const UIChar* param);

// "v": "center" (1), "top" (2), anything else bottom (0); case ignored.
int ParseMarkupVAlign(const UIChar* param);

}  // namespace Trellis
