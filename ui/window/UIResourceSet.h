#pragma once
// The resource tables of one window manager, and of the one set shared by
// every window of the process: default colours, the default font, fonts by
// number, images by name, default attribute lists by control element name,
// and (used only in the shared set) the multi-language texts. Lookups try the
// window's set first, then the shared one. UI thread only.

#include <windows.h>

#include <cstdint>

#include "ui/base/portable/UIStringMap.h"
#include "ui/draw/UIFontInfo.h"

namespace Trellis {

struct UIResourceSet {
  UIResourceSet() = default;
  UIResourceSet(const UIResourceSet&) = delete;
  UIResourceSet& operator=(const UIResourceSet&) = delete;

  uint32_t dwDefaultDisabledColor = 0;     // ARGB: disabled text
  uint32_t dwDefaultFontColor = 0;         // ARGB: text
  uint32_t dwDefaultLinkFontColor = 0;     // ARGB: link text
  uint32_t dwDefaultLinkHoverFontColor = 0;  // ARGB: link text under the mouse
  uint32_t dwDefaultSelectedBkColor = 0;   // ARGB: selected background
  UIFontInfo DefaultFontInfo;              // owned handle; an empty face in a window's set = use the shared default
  CUIStringMap m_CustomFonts{83};          // decimal id -> owned UIFontInfo*
  CUIStringMap m_ImageHash{83};            // image name -> owned UIImageInfo*
  CUIStringMap m_AttrHash{83};             // element name ("VScrollBar") -> owned CUIString* attribute list
  CUIStringMap m_MultiLanguageHash{83};    // decimal id -> owned CUIString* (only the shared set's table is used)
};

}  // namespace Trellis
