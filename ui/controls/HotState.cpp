#include "ui/controls/HotState.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool IsInside(const CUIRect& rc, CUIPoint pt) {
  POINT p = {pt.x, pt.y};
  return ::PtInRect(AsRECT(&rc), p) != FALSE;
}

void Repaint(CControlUI& control, HotRepaint repaint) {
  if (repaint != nullptr) {
    repaint(&control);
  } else {
    control.Invalidate();
  }
}

}  // namespace

bool TrackHotState(CControlUI& control, const UIEvent& event, UINT& state, HotRepaint repaint) {
  CWindowManagerUI* manager = control.GetManager();
  if (event.Type == kUIEventMouseEnter) {
    if (control.IsEnabled() && IsInside(control.GetPos(), event.ptMouse) && (state & kUIStateHot) == 0) {
      state |= kUIStateHot;
      Repaint(control, repaint);
    }
    return true;
  }
  if (event.Type == kUIEventMouseLeave) {
    if (IsInside(control.GetPos(), event.ptMouse)) {
      if (manager != nullptr) manager->AddMouseLeaveListener(&control);
      return true;
    }
    if (control.IsEnabled() && (state & kUIStateHot) != 0) {
      state &= ~static_cast<UINT>(kUIStateHot);
      Repaint(control, repaint);
    }
    if (manager != nullptr) manager->RemoveMouseLeaveListener(&control);
    return true;
  }
  return false;
}

}  // namespace Trellis
