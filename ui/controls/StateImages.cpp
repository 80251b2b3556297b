#include "ui/controls/StateImages.h"

#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"

namespace Trellis {

namespace {

UINT StateBitOf(CStateImages::Slot slot) {
  switch (slot) {
    case CStateImages::kHot: return kUIStateHot;
    case CStateImages::kPushed: return kUIStatePushed;
    case CStateImages::kFocused: return kUIStateFocused;
    case CStateImages::kDisabled: return kUIStateDisabled;
    default: return 0;
  }
}

}  // namespace

bool CStateImages::Set(Slot slot, const UIChar* description) {
  if (description == nullptr) description = UI_TEXT("");
  UIImageDrawInfo& image = m_images[slot];
  if (image.bLoaded && image.sDrawString.EqualsText(description)) return false;
  image.Clear();
  image.sDrawString.AssignText(description);
  return true;
}

CStateImages::Slot CStateImages::Choose(UINT state, const Slot* order, int count) {
  for (int i = 0; i < count; ++i) {
    if ((state & StateBitOf(order[i])) != 0) return order[i];
  }
  return kNormal;
}

void CStateImages::Draw(CControlUI& control, HDC hDC, Slot slot) {
  UIImageDrawInfo& image = m_images[slot];
  if (!image.sDrawString.IsEmpty() && control.DrawImage(hDC, image)) return;
  UIImageDrawInfo& normal = m_images[kNormal];
  if (slot != kNormal && !normal.sDrawString.IsEmpty()) control.DrawImage(hDC, normal);
}

}  // namespace Trellis
