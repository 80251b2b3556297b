// CContainerUI painting: the container's own layers, then its children
// clipped to the client area (floating children to the whole container),
// then its scroll bars.
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/draw/DrawEngine.h"

namespace Trellis {

namespace {

bool Meets(const CUIRect& a, const CUIRect& b) {
  CUIRect unused;
  return IntersectRects(&unused, a, b);
}

}  // namespace

bool CContainerUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  CUIRect rc;
  if (!IntersectRects(&rc, rcPaint, m_rcItem)) return true;
  CDrawClip clip;
  CDrawClip::CreateRectClip(hDC, rc, clip);
  CControlUI::PaintContent(hDC, rcPaint, pStopControl);

  if (!m_items.IsEmpty()) {
    const CUIRect client = GetClientPos();
    CUIRect inner;
    if (IntersectRects(&inner, rcPaint, client)) {
      CDrawClip childClip;
      CDrawClip::CreateRectClip(hDC, inner, childClip);
      for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child == pStopControl) return false;
        if (!child->IsVisible() || !Meets(rcPaint, child->GetPos())) continue;
        if (child->IsFloat()) {
          if (!Meets(m_rcItem, child->GetPos())) continue;
          // A floating child may lie over the inset: paint it under the
          // container's clip, then return to the client clip.
          CDrawClip::SelectOuterClip(hDC, childClip);
          if (!child->Paint(hDC, rcPaint, pStopControl)) return false;
          CDrawClip::SelectInnerClip(hDC, childClip);
        } else {
          if (!Meets(client, child->GetPos())) continue;
          if (!child->Paint(hDC, rcPaint, pStopControl)) return false;
        }
      }
    } else {
      for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child == pStopControl) return false;
        if (!child->IsVisible() || !child->IsFloat()) continue;
        if (!Meets(rcPaint, child->GetPos()) || !Meets(m_rcItem, child->GetPos())) continue;
        if (!child->Paint(hDC, rcPaint, pStopControl)) return false;
      }
    }
  }

  for (CScrollBarUI* bar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
    if (bar == nullptr) continue;
    if (bar == pStopControl) return false;
    if (bar->IsVisible() && Meets(rcPaint, bar->GetPos()) && !bar->Paint(hDC, rcPaint, pStopControl)) return false;
  }
  return true;
}

}  // namespace Trellis
