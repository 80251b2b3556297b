#pragma once

// CStackLayoutUI: what the vertical and horizontal layouts share, the
// separator. A band along one edge (size "sepheight"/"sepwidth"; positive at
// the bottom or right, negative at the top or left) lets the user drag the
// layout's own height or width: live in immediate mode ("sepimm"), otherwise
// shown as a translucent band and applied on release.
#include "ui/control/ContainerUI.h"

namespace Trellis {

class CStackLayoutUI : public CContainerUI {
 public:
  // Takes the layout off the manager's after-paint list (a deferred drag may run).
  ~CStackLayoutUI() override;

  // CControlUI:
  // kUIFlagSetCursor while enabled with a separator.
  UINT GetControlFlags() const override;
  // Separator set-cursor, press, move and release; everything else (and
  // everything without a separator) goes to the container.
  void HandleEvent(UIEvent& event) override;
  // Fills the proposed band (black, alpha 0xAA) while a deferred drag runs.
  void PostPaint(HDC hDC, const CUIRect& rcPaint) override;
  // Places the children along the layout's direction, then the scroll bars.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // "sepwidth" (horizontal) or "sepheight" (vertical), "sepimm"; the rest to
  // the container.
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  int GetSepSize() const { return m_iSepSize; }
  // Stores the size (0 = no separator); no repaint, no layout.
  void SetSepSize(int size) { m_iSepSize = size; }
  bool IsSepImmediateMode() const { return m_bImmediateMode; }
  // Switching while a deferred drag runs takes the layout off the after-paint list.
  void SetSepImmediateMode(bool immediate);
  bool IsDragging() const { return (m_uButtonState & kUIStateCaptured) != 0; }
  // The separator band: of the rectangle the drag proposes (when asked and
  // dragging), else of the position.
  CUIRect GetThumbRect(bool useNewPos = false) const;

 protected:
  explicit CStackLayoutUI(bool horizontal) : m_bHorizontal(horizontal) {}

 private:
  const bool m_bHorizontal;        // children side by side and the separator drags the width (else stacked, the height)
  int m_iSepSize = 0;              // 0 none; positive: bottom/right band; negative: top/left band
  UINT m_uButtonState = 0;         // kUIStateCaptured while dragging
  CUIPoint m_ptLastMouse;          // last pointer point of the drag
  CUIRect m_rcNewPos;              // the rectangle the drag proposes
  bool m_bImmediateMode = false;   // resize live instead of on release
};

}  // namespace Trellis
