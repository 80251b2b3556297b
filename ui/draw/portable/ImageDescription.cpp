#include "ui/draw/portable/ImageDescription.h"

#include "ui/control/portable/AttributeText.h"

namespace Trellis {

namespace {

const UIChar kColorType[] = {'*', 'C', 'O', 'L', 'O', 'R', '*', 0};

bool IsBlank(UIChar ch) { return ch > 0 && ch <= 32; }

bool KeyIs(const CUIString& key, const char* name) {
  const UIChar* text = key.GetText();
  int i = 0;
  for (; name[i] != 0; ++i) {
    if (text[i] != static_cast<UIChar>(name[i])) return false;
  }
  return text[i] == 0;
}

// Applies one pair; false for a key this key set does not know.
bool ApplyPair(const CUIString& key, const CUIString& value, UIImageDescription* out, ImageKeySet keys) {
  const bool all = keys == ImageKeySet::kDescription;
  const UIChar* v = value.GetText();
  if (KeyIs(key, "file")) {
    out->name = value;
    out->source = UIImageDescription::Source::kFile;
  } else if (KeyIs(key, "res")) {
    out->name = value;
    out->source = UIImageDescription::Source::kResource;
  } else if (KeyIs(key, "restype")) {
    out->resType = value;
  } else if (all && KeyIs(key, "color")) {
    out->name = value;
    out->source = UIImageDescription::Source::kColor;
  } else if (KeyIs(key, "dest")) {
    out->dest = ParseAttributeRect(v);
  } else if (KeyIs(key, "source")) {
    out->sourceRect = ParseAttributeRect(v);
  } else if (KeyIs(key, "corner") || (all && KeyIs(key, "scale9"))) {
    out->corner = ParseAttributeRect(v);
  } else if (KeyIs(key, "mask")) {
    out->mask = ParseAttributeColor(v);
  } else if (KeyIs(key, "fade")) {
    const int32_t fade = ParseAttributeInt(v);
    out->fade = static_cast<uint8_t>(fade < 0 ? 0 : (fade > 255 ? 255 : fade));
  } else if (KeyIs(key, "hole")) {
    out->hole = ParseAttributeBool(v);
  } else if (KeyIs(key, "xtiled")) {
    out->xtiled = ParseAttributeBool(v);
  } else if (KeyIs(key, "ytiled")) {
    out->ytiled = ParseAttributeBool(v);
  } else if (all && KeyIs(key, "hsl")) {
    out->hsl = ParseAttributeBool(v);
  } else {
    return false;
  }
  return true;
}

}  // namespace

const UIChar* UIImageDescription::LoadType() const {
  switch (source) {
    case Source::kColor:
      return kColorType;
    case Source::kResource:
      return resType.IsEmpty() ? nullptr : resType.GetText();
    default:
      return nullptr;
  }
}

int ParseImageDescription(const UIChar* text, UIImageDescription* out, ImageKeySet keys) {
  static const UIChar kEmpty[] = {0};
  if (text == nullptr) text = kEmpty;
  out->name.Assign(text);
  int applied = 0;
  const UIChar* p = text;
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (*p == 0) break;
    // key: up to '=' or a blank
    const UIChar* keyStart = p;
    while (*p != 0 && *p != '=' && !IsBlank(*p)) ++p;
    CUIString key(keyStart, static_cast<int>(p - keyStart));
    while (IsBlank(*p)) ++p;
    if (*p != '=') break;
    ++p;
    while (IsBlank(*p)) ++p;
    if (*p != '\'') break;
    ++p;
    const UIChar* valueStart = p;
    while (*p != 0 && *p != '\'') ++p;
    if (*p != '\'') break;
    CUIString value(valueStart, static_cast<int>(p - valueStart));
    ++p;  // past the closing quote
    if (!value.IsEmpty() && ApplyPair(key, value, out, keys)) ++applied;
    // Exactly one separator after a closing quote; anything else ends the list.
    if (*p == 0) break;
    if (*p != ' ') break;
    ++p;
  }
  return applied;
}

uint32_t ParseHexColor(const UIChar* text) { return ParseAttributeColor(text); }

}  // namespace Trellis
