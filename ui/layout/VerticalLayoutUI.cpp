#include "ui/layout/VerticalLayoutUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/layout/ContainerLayoutItems.h"
#include "ui/layout/portable/StackLayout.h"

namespace Trellis {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(false) {}

const UIChar* CVerticalLayoutUI::GetClassName() const { return UI_TEXT("VerticalLayout"); }

void* CVerticalLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("VerticalLayout")) == 0) return static_cast<CVerticalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  const CUIRect area = CContainerUI::GetClientPos();
  if (m_items.IsEmpty()) {
    ProcessScrollBar(area, 0, 0);
    return;
  }
  CContainerLayoutItems items(*this);
  UIStackLayoutParams params;
  params.area = area;
  params.childPadding = m_iChildPadding;
  params.align = m_iChildAlign;
  params.scroll = ReadLayoutScroll(*this);
  const CUISize needed = LayOutVertical(items, params);
  ProcessScrollBar(area, needed.cx, needed.cy);
}

void CVerticalLayoutUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (UITextCompare(name, UI_TEXT("sepheight")) == 0) {
    SetSepSize(ParseAttributeInt(value));
  } else if (!SetSeparatorAttribute(name, value)) {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Trellis
