#include "ui/controls/NativeChildPlacement.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ControlUI.h"

namespace Trellis {

CUIRect ClipToAncestors(const CControlUI& control, CUIRect rc) {
  for (CControlUI* ancestor = control.GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
    if (!ancestor->IsVisible()) return CUIRect();
    CUIRect clipped;
    if (!IntersectRects(&clipped, rc, ancestor->GetClientPos())) return CUIRect();
    rc = clipped;
  }
  return rc;
}

void PlaceNativeChild(HWND child, const CUIRect& rc) {
  if (child == nullptr) return;
  if (rc.GetWidth() <= 0 || rc.GetHeight() <= 0) {
    ::ShowWindow(child, SW_HIDE);
    return;
  }
  ::SetWindowPos(child, nullptr, rc.left, rc.top, rc.GetWidth(), rc.GetHeight(),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

int NativeChildShowCommand(const CUIRect& rc) {
  return rc.GetWidth() > 0 && rc.GetHeight() > 0 ? SW_SHOWNOACTIVATE : SW_HIDE;
}

}  // namespace Trellis
