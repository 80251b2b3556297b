#pragma once
// One font of a window manager's font table: the handle it owns (a skin's
// font is made at its first lookup, empty until then), what it was made from,
// and its metrics once measured.

#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

struct UIFontInfo {
  OwnedFont hFont;         // owned: deleted with the record
  CUIString sFontName;     // face name
  int iSize = 0;           // pixels; the font height is minus the size
  BYTE bBold = 0;
  BYTE bUnderline = 0;
  BYTE bItalic = 0;
  TEXTMETRICW tm = {};     // tmHeight 0 = not measured yet (measured on first use)
};

}  // namespace Trellis
