#include "ui/controls/list/ListHeaderUI.h"

#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

CListHeaderUI::CListHeaderUI() = default;
CListHeaderUI::~CListHeaderUI() = default;

const UIChar* CListHeaderUI::GetClassName() const { return UI_TEXT("ListHeader"); }

void* CListHeaderUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("ListHeader")) == 0) return static_cast<CListHeaderUI*>(this);
  return CHorizontalLayoutUI::GetInterface(name);
}

CUISize CListHeaderUI::EstimateSize(CUISize available) {
  int height = m_cxyFixed.cy;
  if (height == 0 && m_pManager != nullptr) {
    const UIFontInfo* font = m_pManager->GetDefaultFontInfo();
    height = (font != nullptr ? font->tm.tmHeight : 0) + 8;
    for (int i = 0; i < m_items.GetSize(); ++i) {
      const int cy = static_cast<CControlUI*>(m_items.GetAt(i))->EstimateSize(available).cy;
      if (cy > height) height = cy;
    }
  }
  int width = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) width += static_cast<CControlUI*>(m_items.GetAt(i))->EstimateSize(available).cx;
  return CUISize(width, height);
}

}  // namespace Trellis
