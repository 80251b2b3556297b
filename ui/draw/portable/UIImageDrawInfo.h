#pragma once
// One parsed image description as controls and the window manager keep it:
// the text, the image it names once loaded, and how it is drawn. The caller
// sets the text and resets the record when the text changes; the first draw
// parses it and loads the image (CDrawEngine::DrawImageString).

#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

struct UIImageInfo;

struct UIImageDrawInfo {
  CUIString sDrawString;            // the description text as set
  CUIString sImageName;             // the file, resource or colour it names
  UIImageInfo* pImageInfo = nullptr;  // borrowed from the window manager's image table; null until loaded
  bool bLoaded = false;             // load attempted (also when it failed)
  CUIRect rcDest;                   // relative to the drawing rectangle; all zero = the whole rectangle
  CUIRect rcSource;                 // in the image; all zero = the whole image
  CUIRect rcCorner;                 // nine-grid border widths: left, top, right, bottom
  unsigned char uFade = 255;        // constant alpha of the drawing
  bool bHole = false;               // leave the nine-grid centre undrawn
  bool bTiledX = false;             // tile the centre horizontally
  bool bTiledY = false;             // tile the centre vertically

  // Back to the empty state (strings empty, no image, fade 255, rest zero).
  void Clear();
};

}  // namespace Trellis
