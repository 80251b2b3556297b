#pragma once
// One loaded image: a 32-bit top-down DIB section with premultiplied BGRA
// pixels. Made by CDrawEngine::LoadImage, owned by the window manager's image
// tables, freed by CDrawEngine::FreeImage.

#include <windows.h>

#include <memory>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

struct UIImageInfo {
  OwnedBitmap hBitmap;                // owned: the DIB section
  BYTE* pBits = nullptr;              // borrowed: its pixels, B, G, R, A, premultiplied
  std::unique_ptr<BYTE[]> pSrcBits;   // owned copy of the pixels as loaded, the source of HSL shifts; null when not kept
  int nX = 0;                         // width in pixels
  int nY = 0;                         // height in pixels
  BYTE bAlpha = 0;                    // any pixel not fully opaque (or cut out by the mask colour)
  BYTE bUseHSL = 0;                   // takes part in the framework-wide HSL shift; set by the window manager
  CUIString sResType;                 // empty at load; filled by the window manager

  // Copies the current pixels into pSrcBits (replacing an earlier copy); false
  // without pixels or memory. Does not change bUseHSL.
  bool SaveSourceBits();
};

}  // namespace Trellis
