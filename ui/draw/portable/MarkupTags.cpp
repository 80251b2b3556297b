#include "ui/draw/portable/MarkupTags.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/draw/portable/ImageDescription.h"

namespace Trellis {

namespace {

bool IsCloseBracket(UIChar ch) { return ch == '>' || ch == '}'; }
bool IsTagLetter(UIChar ch) { return ch >= 'a' && ch <= 'z'; }

const UIChar* TagEnd(const UIChar* p) {
  while (*p != 0 && !IsCloseBracket(*p)) ++p;
  return p;
}

const UIChar* SkipSpaces(const UIChar* p) {
  while (*p == ' ') ++p;
  return p;
}

const UIChar* WordEnd(const UIChar* p) {
  while (*p != 0 && *p != ' ') ++p;
  return p;
}

const UIChar kFileKey[] = {'f', 'i', 'l', 'e', '=', '\'', 0};
const UIChar kResKey[] = {'r', 'e', 's', '=', '\'', 0};
const UIChar kBold[] = {'b', 'o', 'l', 'd', 0};
const UIChar kUnderline[] = {'u', 'n', 'd', 'e', 'r', 'l', 'i', 'n', 'e', 0};
const UIChar kItalic[] = {'i', 't', 'a', 'l', 'i', 'c', 0};
const UIChar kCenter[] = {'c', 'e', 'n', 't', 'e', 'r', 0};
const UIChar kTop[] = {'t', 'o', 'p', 0};

}  // namespace

bool IsMarkupOpenBracket(UIChar ch) { return ch == '<' || ch == '{'; }

MarkupToken ReadMarkupToken(const UIChar* p) {
  MarkupToken token;
  token.next = p + 1;
  const UIChar c1 = p[1];
  if (c1 == 0) return token;
  const UIChar c2 = p[2];
  if ((p[0] == '<' && (c1 == '{' || c1 == '}') && c2 == '>') ||
      (p[0] == '{' && (c1 == '<' || c1 == '>') && c2 == '}')) {
    token.kind = MarkupToken::kEscape;
    token.letter = c1;
    token.next = p + 3;
    return token;
  }
  if (c1 == '/' && IsTagLetter(c2)) {
    token.kind = MarkupToken::kClose;
    token.letter = c2;
    const UIChar* end = TagEnd(p + 3);
    token.next = *end != 0 ? end + 1 : end;
    return token;
  }
  if (IsTagLetter(c1) && (c2 == ' ' || IsCloseBracket(c2))) {
    token.kind = MarkupToken::kOpen;
    token.letter = c1;
    const UIChar* start = c2 == ' ' ? p + 3 : p + 2;
    const UIChar* end = c2 == ' ' ? TagEnd(start) : p + 2;
    token.param = start;
    token.paramLength = static_cast<int>(end - start);
    token.next = *end != 0 ? end + 1 : end;
  }
  return token;
}

bool IsMarkupRawEnd(const UIChar* p) {
  return IsMarkupOpenBracket(p[0]) && p[1] == '/' && p[2] == 'r' && IsCloseBracket(p[3]);
}

MarkupImageParam ParseMarkupImageParam(const UIChar* param) {
  MarkupImageParam out;
  if (param == nullptr) return out;
  const CUIString text(param);
  if (text.FindText(kFileKey) >= 0 || text.FindText(kResKey) >= 0) {
    UIImageDescription description;
    ParseImageDescription(param, &description, ImageKeySet::kAttribute);
    out.name = description.name;
    if (description.source == UIImageDescription::Source::kResource) out.resType = description.resType;
    return out;
  }
  const UIChar* start = SkipSpaces(param);
  const UIChar* end = WordEnd(start);
  out.name.Assign(start, static_cast<int>(end - start));
  const UIChar* rest = end;
  const int frames = ParseAttributeInt(rest, &rest);
  out.frames = frames < 1 ? 1 : frames;
  const int frame = ParseAttributeInt(rest);
  out.frame = frame < 0 || frame >= out.frames ? 0 : frame;
  return out;
}

MarkupFontParam ParseMarkupFontParam(const UIChar* param) {
  MarkupFontParam out;
  if (param == nullptr) return out;
  const UIChar* p = SkipSpaces(param);
  if (*p >= '0' && *p <= '9') {
    out.byId = true;
    out.id = ParseAttributeInt(p);
    return out;
  }
  const UIChar* faceEnd = WordEnd(p);
  out.face.Assign(p, static_cast<int>(faceEnd - p));
  bool sizeRead = false;
  for (const UIChar* q = SkipSpaces(faceEnd); *q != 0; q = SkipSpaces(q)) {
    const UIChar* end = WordEnd(q);
    CUIString word(q, static_cast<int>(end - q));
    q = end;
    if (!sizeRead && word.GetAt(0) >= '0' && word.GetAt(0) <= '9') {
      out.size = ParseAttributeInt(word.GetText());
      sizeRead = true;
      continue;
    }
    word.MakeLower();
    if (word.EqualsText(kBold)) out.bold = true;
    if (word.EqualsText(kUnderline)) out.underline = true;
    if (word.EqualsText(kItalic)) out.italic = true;
  }
  return out;
}

uint32_t ParseMarkupColor(const UIChar* param) {
  if (param == nullptr) return 0;
  const UIChar* p = SkipSpaces(param);
  if (*p == '#') ++p;
  // A negative number keeps its two's-complement bits ("-1" is white).
  return static_cast<uint32_t>(ParseAttributeSignedHex(p));
}

int ParseMarkupVAlign(const UIChar* param) {
  CUIString word(param);
  word.MakeLower();
  if (word.EqualsText(kCenter)) return 1;
  if (word.EqualsText(kTop)) return 2;
  return 0;
}

}  // namespace Trellis
