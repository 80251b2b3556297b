#include "ui/layout/HorizontalLayoutUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/layout/ContainerLayoutItems.h"
#include "ui/layout/portable/StackLayout.h"

namespace Trellis {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(true) {}

const UIChar* CHorizontalLayoutUI::GetClassName() const { return UI_TEXT("HorizontalLayout"); }

void* CHorizontalLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("HorizontalLayout")) == 0) return static_cast<CHorizontalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(CUIRect rc, bool invalidate) {
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
  params.align = m_iChildVAlign;
  params.scroll = ReadLayoutScroll(*this);
  const CUISize needed = LayOutHorizontal(items, params);
  ProcessScrollBar(area, needed.cx, needed.cy);
}

void CHorizontalLayoutUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name == nullptr) return;
  if (UITextCompare(name, UI_TEXT("sepwidth")) == 0) {
    SetSepSize(ParseAttributeInt(value));
  } else if (!SetSeparatorAttribute(name, value)) {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Trellis
