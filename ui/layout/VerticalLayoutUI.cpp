#include "ui/layout/VerticalLayoutUI.h"

namespace Trellis {

CVerticalLayoutUI::CVerticalLayoutUI() : CStackLayoutUI(false) {}

const UIChar* CVerticalLayoutUI::GetClassName() const { return UI_TEXT("VerticalLayout"); }

void* CVerticalLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("VerticalLayout")) == 0) return static_cast<CVerticalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

}  // namespace Trellis
