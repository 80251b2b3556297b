#pragma once
// The image description grammar of the skin: either a bare image name or
// pairs key='value', each closing quote followed by exactly one space before
// the next pair. Parsing never reads past the text's NUL; the first pair that
// breaks the form ends it and what was read so far stays in force.

#include <cstdint>

#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

// Everything one description can say. The image name starts as the whole text.
struct UIImageDescription {
  enum class Source { kName, kFile, kResource, kColor };

  CUIString name;                 // image name: the whole text, or the last "file"/"res"/"color" value
  CUIString resType;              // "restype" value as written
  Source source = Source::kName;  // which key gave the name
  CUIRect dest;
  CUIRect sourceRect;
  CUIRect corner;                 // "corner" or "scale9"
  uint32_t mask = 0;              // ARGB of pixels cut out at load; 0 = none
  uint8_t fade = 255;
  bool hole = false;
  bool xtiled = false;
  bool ytiled = false;
  bool hsl = false;

  // The resource type to load the image with: "*COLOR*" for a colour, the
  // "restype" value for "res" (null when empty), else null (a file or
  // archive entry). Valid while this record lives.
  const UIChar* LoadType() const;
};

// The key sets of the two readers: image descriptions know every key;
// image attributes (menu icons) ignore "color", "scale9" and "hsl".
enum class ImageKeySet { kDescription, kAttribute };

// Parses text (null reads as empty) into out, starting from out's current
// values (callers pass a fresh record); out->name is set to the whole text
// first. Returns the number of pairs applied.
int ParseImageDescription(const UIChar* text, UIImageDescription* out,
                          ImageKeySet keys = ImageKeySet::kDescription);

// The colour text of "*COLOR*" images: hexadecimal ARGB with one optional
// leading '#' (the shared attribute colour reader).
uint32_t ParseHexColor(const UIChar* text);

}  // namespace Trellis
