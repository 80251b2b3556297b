#include "ui/layout/HorizontalLayoutUI.h"

namespace Trellis {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CStackLayoutUI(true) {}

const UIChar* CHorizontalLayoutUI::GetClassName() const { return UI_TEXT("HorizontalLayout"); }

void* CHorizontalLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("HorizontalLayout")) == 0) return static_cast<CHorizontalLayoutUI*>(this);
  return CContainerUI::GetInterface(name);
}

}  // namespace Trellis
