#pragma once
// CImageAttribute: an image description parsed once into an object (menu
// icons and CControlUI::DrawImageAttribute). The image is loaded through the
// window manager on first use and stays owned by the manager's image table.
// Keys: "file", "res", "restype", "dest", "source", "corner", "mask", "fade",
// "hole", "xtiled", "ytiled" ("color", "scale9" and "hsl" are ignored).

#include <windows.h>

#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

class CWindowManagerUI;
struct UIImageInfo;

class CImageAttribute {
 public:
  CImageAttribute();
  // Copies the settings and shares the loaded image pointer (not owned).
  CImageAttribute(const CImageAttribute& other);
  CImageAttribute& operator=(const CImageAttribute& other);
  virtual ~CImageAttribute();

  // Empties the strings, forgets the image, zeroes the rectangles and flags,
  // fade 255, usable again. Does not free the image (the manager owns it).
  void Reset();
  // A new text resets and parses; the same text as now changes nothing (the
  // loaded image is kept).
  void SetDescription(const UIChar* text);
  // Reads the key='value' pairs of text over the current settings.
  void Parse(const UIChar* text);
  // Replaces the destination rectangle (relative to the drawing rectangle).
  void SetDest(const CUIRect& rc);
  // The loaded image, or null.
  UIImageInfo* GetLoadedImage() const { return m_pImageInfo; }
  // True when the description is not empty and loading has not failed.
  bool IsUsable() const;
  // Loads the image through the manager once; a failed load is not retried
  // until the description changes. Clamps the source to the image.
  bool EnsureLoaded(CWindowManagerUI* manager);

  const CUIString& GetDescription() const { return m_sDescription; }
  const CUIString& GetImageName() const { return m_sImageName; }
  const CUIString& GetResType() const { return m_sResType; }
  const CUIRect& GetDest() const { return m_rcDest; }
  const CUIRect& GetSource() const { return m_rcSource; }
  const CUIRect& GetCorner() const { return m_rcCorner; }
  BYTE GetFade() const { return m_uFade; }
  DWORD GetMask() const { return m_dwMask; }
  bool IsHole() const { return m_bHole; }
  bool IsTiledX() const { return m_bTiledX; }
  bool IsTiledY() const { return m_bTiledY; }

 private:
  CUIString m_sDescription;          // the text as set
  CUIString m_sImageName;            // the whole text, or the "file"/"res" value
  CUIString m_sResType;              // "restype"; empty = a file or archive entry
  UIImageInfo* m_pImageInfo = nullptr;  // borrowed from the manager's image table
  bool m_bUsable = true;             // false once loading failed
  CUIRect m_rcDest;
  CUIRect m_rcSource;
  CUIRect m_rcCorner;
  BYTE m_uFade = 255;
  DWORD m_dwMask = 0;
  bool m_bHole = false;
  bool m_bTiledX = false;
  bool m_bTiledY = false;
};

}  // namespace Trellis
