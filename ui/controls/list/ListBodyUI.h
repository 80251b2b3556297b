#pragma once

// CListBodyUI: the part of a list that holds the items and the scroll bars.
// It lays its items out one per row, draws the row lines, numbers the painted
// rows and moves the header items along with horizontal scrolling. Events it
// does not use go to its owner list.
#include "ui/layout/VerticalLayoutUI.h"

namespace Trellis {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
 public:
  // The owner may be null (the body then behaves as a plain vertical layout).
  explicit CListBodyUI(CListUI* owner);
  ~CListBodyUI() override;

  // CControlUI:
  // Lays the items out top to bottom, one per row, then the scroll bars.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Sideways wheel over the horizontal bar; everything else to the owner list.
  void HandleEvent(UIEvent& event) override;
  // The container's painting plus draw indexes and row lines.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  // CContainerUI:
  // Moves the bars and the items; horizontal moves carry the header along.
  void SetScrollPos(CUISize pos) override;

  CListUI* GetOwner() const { return m_pOwner; }

 protected:
  CListUI* m_pOwner;  // borrowed: the list that owns this body
};

}  // namespace Trellis
