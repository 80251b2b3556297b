#pragma once

// The separator drag shared by the vertical and horizontal layouts: its size,
// the drag state, the last pointer point, the rectangle the drag proposes and
// the immediate flag, with the event handling that turns set-cursor, press,
// move and release into a new size of the layout.
#include "ui/control/ContainerUI.h"

namespace Trellis {

class CStackSeparator {
 public:
  explicit CStackSeparator(bool horizontal) : m_bHorizontal(horizontal) {}

  int GetSize() const { return m_iSepSize; }
  // Stores the size (0 = no separator); no repaint, no layout.
  void SetSize(int size) { m_iSepSize = size; }
  bool IsImmediate() const { return m_bImmediateMode; }
  // Switching while a deferred drag runs takes the layout off the after-paint list.
  void SetImmediate(CControlUI& layout, bool immediate);
  bool IsDragging() const { return (m_uButtonState & kUIStateCaptured) != 0; }
  // The band of the separator: from the proposed rectangle while dragging
  // (when asked), else from the layout's position.
  CUIRect GetBand(const CControlUI& layout, bool useNewPos) const;

  // Handles a separator event of the layout; false when the event is not the
  // separator's (the caller gives it to the container).
  bool HandleEvent(CControlUI& layout, UIEvent& event);
  // Fills the proposed band while a deferred drag runs.
  void PostPaint(CControlUI& layout, HDC hDC);
  // Control flags of the layout: set-cursor events while enabled with a separator.
  UINT GetControlFlags(const CControlUI& layout) const;

 private:
  bool m_bHorizontal;
  int m_iSepSize = 0;          // 0 none; positive: band at the bottom/right; negative: at the top/left
  UINT m_uButtonState = 0;     // kUIStateCaptured while dragging
  CUIPoint m_ptLastMouse;      // last pointer point of the drag
  CUIRect m_rcNewPos;          // the rectangle the drag proposes
  bool m_bImmediateMode = false;  // resize live instead of on release
};

}  // namespace Trellis
