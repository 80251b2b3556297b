#include "ui/controls/menu/MenuUI.h"

#include "ui/controls/list/ListHeaderUI.h"
#include "ui/controls/menu/MenuElementUI.h"

namespace Trellis {

CMenuUI::CMenuUI() {
  if (GetHeader() != nullptr) GetHeader()->SetVisible(false);
}

CMenuUI::~CMenuUI() = default;

const UIChar* CMenuUI::GetClassName() const { return UI_TEXT("MenuUI"); }

void* CMenuUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompareNoCase(name, UI_TEXT("Menu")) == 0) return this;
  return CListUI::GetInterface(name);
}

bool CMenuUI::IsMenuElement(CControlUI* control) {
  return control != nullptr && control->GetInterface(UI_TEXT("MenuElement")) != nullptr;
}

void CMenuUI::HideSubItems(CControlUI* control) {
  auto* container = static_cast<IContainerUI*>(control->GetInterface(UI_TEXT("IContainer")));
  if (container == nullptr) return;
  for (int i = 0; i < container->GetCount(); ++i) {
    CControlUI* child = container->GetItemAt(i);
    if (IsMenuElement(child)) child->SetInheritedVisible(false);
  }
}

bool CMenuUI::AddItem(CControlUI* control) {
  if (!IsMenuElement(control)) return false;
  HideSubItems(control);
  return CListUI::AddItem(control);
}

bool CMenuUI::AddItemAt(CControlUI* control, int index) {
  if (!IsMenuElement(control)) return false;
  HideSubItems(control);
  return CListUI::AddItemAt(control, index);
}

int CMenuUI::GetItemIndex(CControlUI* control) const {
  if (!IsMenuElement(control)) return -1;
  return CListUI::GetItemIndex(control);
}

bool CMenuUI::SetItemIndex(CControlUI* control, int index) {
  if (!IsMenuElement(control)) return false;
  return CListUI::SetItemIndex(control, index);
}

bool CMenuUI::RemoveItem(CControlUI* control, bool keep) {
  if (!IsMenuElement(control)) return false;
  return CListUI::RemoveItem(control, keep);
}

void CMenuUI::HandleEvent(UIEvent& event) {
  if (event.Type == kUIEventKeyDown && (event.chKey == VK_RIGHT || event.chKey == VK_RETURN)) {
    CControlUI* selected = GetItemAt(GetCurSel());
    auto* item = selected != nullptr ? static_cast<CMenuElementUI*>(selected->GetInterface(UI_TEXT("MenuElement")))
                                     : nullptr;
    if (item != nullptr) {
      if (event.chKey == VK_RIGHT) {
        item->OpenOrCloseSubMenus(false);
      } else {
        item->Choose();
      }
    }
    return;
  }
  CListUI::HandleEvent(event);
}

CUISize CMenuUI::EstimateSize(CUISize available) {
  int width = 0;
  int height = 0;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (item == nullptr || !item->IsVisible()) continue;
    const CUISize size = item->EstimateSize(available);
    height += size.cy;
    if (size.cx > width) width = size.cx;
  }
  return CUISize(width, height);
}

}  // namespace Trellis
