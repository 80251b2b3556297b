// CContainerUI scrolling: the scroll position, line and page steps, the
// creation of the bars, floating placement and the bar processing that a
// layout runs after measuring its children.
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

int SaturateInt(int64_t value) {
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int>(value);
}

}  // namespace

CUISize CContainerUI::GetScrollPos() const {
  CUISize pos;
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    pos.cx = m_pHorizontalScrollBar->GetScrollPos();
  }
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    pos.cy = m_pVerticalScrollBar->GetScrollPos();
  }
  return pos;
}

CUISize CContainerUI::GetScrollRange() const {
  CUISize range;
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    range.cx = m_pHorizontalScrollBar->GetScrollRange();
  }
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    range.cy = m_pVerticalScrollBar->GetScrollRange();
  }
  return range;
}

void CContainerUI::SetScrollPos(CUISize pos) {
  int dx = 0;
  int dy = 0;
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    const int old = m_pVerticalScrollBar->GetScrollPos();
    m_pVerticalScrollBar->SetScrollPos(pos.cy);
    dy = m_pVerticalScrollBar->GetScrollPos() - old;
  }
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    const int old = m_pHorizontalScrollBar->GetScrollPos();
    m_pHorizontalScrollBar->SetScrollPos(pos.cx);
    dx = m_pHorizontalScrollBar->GetScrollPos() - old;
  }
  if (dx == 0 && dy == 0) return;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (child->IsVisible() && !child->IsFloat()) child->Move(CUISize(-dx, -dy), false);
  }
  Invalidate();
}

int CContainerUI::GetVerticalLineStep() const {
  if (m_pManager == nullptr) return 8;
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->GetScrollUnit() > 1) {
    return m_pVerticalScrollBar->GetScrollUnit();
  }
  const UIFontInfo* font = m_pManager->GetDefaultFontInfo();
  return (font != nullptr ? static_cast<int>(font->tm.tmHeight) : 0) + 8;
}

void CContainerUI::LineUp() {
  const CUISize pos = GetScrollPos();
  SetScrollPos(CUISize(pos.cx, SaturateInt(static_cast<int64_t>(pos.cy) - GetVerticalLineStep())));
}

void CContainerUI::LineDown() {
  const CUISize pos = GetScrollPos();
  SetScrollPos(CUISize(pos.cx, SaturateInt(static_cast<int64_t>(pos.cy) + GetVerticalLineStep())));
}

void CContainerUI::PageUp() {
  const CUISize pos = GetScrollPos();
  int64_t page = static_cast<int64_t>(GetHeight()) - m_rcInset.top - m_rcInset.bottom;
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    page -= m_pHorizontalScrollBar->GetFixedHeight();
  }
  SetScrollPos(CUISize(pos.cx, SaturateInt(pos.cy - page)));
}

void CContainerUI::PageDown() {
  const CUISize pos = GetScrollPos();
  int64_t page = static_cast<int64_t>(GetHeight()) - m_rcInset.top - m_rcInset.bottom;
  if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible()) {
    page -= m_pHorizontalScrollBar->GetFixedHeight();
  }
  SetScrollPos(CUISize(pos.cx, SaturateInt(pos.cy + page)));
}

void CContainerUI::ScrollToTop() { SetScrollPos(CUISize(GetScrollPos().cx, 0)); }

void CContainerUI::ScrollToBottom() { SetScrollPos(CUISize(GetScrollPos().cx, GetScrollRange().cy)); }

void CContainerUI::LineLeft() {
  const int step = (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->GetScrollUnit() > 1)
                       ? m_pHorizontalScrollBar->GetScrollUnit()
                       : 8;
  const CUISize pos = GetScrollPos();
  SetScrollPos(CUISize(SaturateInt(static_cast<int64_t>(pos.cx) - step), pos.cy));
}

void CContainerUI::LineRight() {
  const int step = (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->GetScrollUnit() > 1)
                       ? m_pHorizontalScrollBar->GetScrollUnit()
                       : 8;
  const CUISize pos = GetScrollPos();
  SetScrollPos(CUISize(SaturateInt(static_cast<int64_t>(pos.cx) + step), pos.cy));
}

void CContainerUI::PageLeft() {
  const CUISize pos = GetScrollPos();
  int64_t page = static_cast<int64_t>(GetWidth()) - m_rcInset.left - m_rcInset.right;
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    page -= m_pVerticalScrollBar->GetFixedWidth();
  }
  SetScrollPos(CUISize(SaturateInt(pos.cx - page), pos.cy));
}

void CContainerUI::PageRight() {
  const CUISize pos = GetScrollPos();
  int64_t page = static_cast<int64_t>(GetWidth()) - m_rcInset.left - m_rcInset.right;
  if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
    page -= m_pVerticalScrollBar->GetFixedWidth();
  }
  SetScrollPos(CUISize(SaturateInt(pos.cx + page), pos.cy));
}

void CContainerUI::ScrollToLeftEnd() { SetScrollPos(CUISize(0, GetScrollPos().cy)); }

void CContainerUI::ScrollToRightEnd() { SetScrollPos(CUISize(GetScrollRange().cx, GetScrollPos().cy)); }

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal) {
  if (enableVertical && m_pVerticalScrollBar == nullptr) {
    CScrollBarUI* bar = new CScrollBarUI();
    bar->SetScrollRange(0);
    bar->SetOwner(this);
    bar->SetManager(m_pManager, nullptr, false);
    m_pVerticalScrollBar = bar;
    if (m_pManager != nullptr) {
      if (const UIChar* list = m_pManager->GetDefaultAttributeList(UI_TEXT("VScrollBar"))) bar->ApplyAttributeList(list);
    }
  } else if (!enableVertical && m_pVerticalScrollBar != nullptr) {
    CScrollBarUI* bar = m_pVerticalScrollBar;
    m_pVerticalScrollBar = nullptr;
    bar->Delete();
  }
  if (enableHorizontal && m_pHorizontalScrollBar == nullptr) {
    CScrollBarUI* bar = new CScrollBarUI();
    bar->SetScrollRange(0);
    bar->SetHorizontal(true);
    bar->SetOwner(this);
    bar->SetManager(m_pManager, nullptr, false);
    m_pHorizontalScrollBar = bar;
    if (m_pManager != nullptr) {
      if (const UIChar* list = m_pManager->GetDefaultAttributeList(UI_TEXT("HScrollBar"))) bar->ApplyAttributeList(list);
    }
  } else if (!enableHorizontal && m_pHorizontalScrollBar != nullptr) {
    CScrollBarUI* bar = m_pHorizontalScrollBar;
    m_pHorizontalScrollBar = nullptr;
    bar->Delete();
  }
  RequestLayout();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }

CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

void CContainerUI::SetFloatPos(int index) {
  CControlUI* child = GetItemAt(index);
  if (child == nullptr || !child->IsVisible() || !child->IsFloat()) return;
  UIFloatFixed fixed;
  const CUISize xy = child->GetFixedXY();
  fixed.x = xy.cx;
  fixed.y = xy.cy;
  fixed.width = child->GetFixedWidth();
  fixed.height = child->GetFixedHeight();
  child->SetPos(ComputeFloatRect(GetWidth(), GetHeight(), child->GetFloatPercent(), fixed), false);
}

void CContainerUI::Relayout(bool invalidate) { SetPos(IsFloat() ? GetRelativePos() : GetPos(), invalidate); }

namespace {

// The range a bar needs for content of `required` in `available`: what does
// not fit, and 0 (not a negative or mirrored value) when everything fits. A
// mirrored (absolute) value would give content that fits a scroll range, so
// it could be scrolled out of view while the bar should hide.
int NeededRange(int64_t required, int64_t available) {
  const int64_t excess = required - available;
  return excess > 0 ? SaturateInt(excess) : 0;
}

}  // namespace

void CContainerUI::ProcessScrollBar(CUIRect rc, int cxRequired, int cyRequired) {
  CScrollBarUI* vbar = m_pVerticalScrollBar;
  CScrollBarUI* hbar = m_pHorizontalScrollBar;
  if (vbar == nullptr && hbar == nullptr) return;

  if (vbar == nullptr || hbar == nullptr) {
    // One bar: it follows the content along its own axis.
    CScrollBarUI* bar = vbar != nullptr ? vbar : hbar;
    const bool vertical = bar == vbar;
    const int range = vertical ? NeededRange(cyRequired, rc.GetHeight()) : NeededRange(cxRequired, rc.GetWidth());
    if (range > 0 && !bar->IsVisible()) {
      bar->SetVisible(true);
      bar->SetScrollRange(range);
      bar->SetScrollPos(0);
      m_bScrollProcess = true;
      Relayout(true);
      m_bScrollProcess = false;
      return;
    }
    if (!bar->IsVisible()) return;
    if (range > 0 || m_bScrollProcess) {
      if (vertical) {
        bar->SetPos(CUIRect(rc.right, rc.top, UICoordAdd(rc.right, bar->GetFixedWidth()), rc.bottom), false);
      } else {
        bar->SetPos(CUIRect(rc.left, rc.bottom, rc.right, UICoordAdd(rc.bottom, bar->GetFixedHeight())), false);
      }
      if (bar->GetScrollRange() == range) return;
      const int oldPos = bar->GetScrollPos();
      bar->SetScrollRange(range);
      if (range == 0) {
        bar->SetVisible(false);
        bar->SetScrollPos(0);
      }
      if (bar->GetScrollPos() < oldPos) Relayout(false);
      return;
    }
    bar->SetVisible(false);
    bar->SetScrollPos(0);
    bar->SetScrollRange(0);
    Relayout(true);
    return;
  }

  // Both bars: the horizontal one first, since it takes height from the area.
  bool hRangeChanged = false;
  const int hRange = NeededRange(cxRequired, rc.GetWidth());
  if (hRange > 0) {
    if (!hbar->IsVisible()) {
      hbar->SetVisible(true);
      hbar->SetScrollPos(0);
      rc.bottom = UICoordSubtract(rc.bottom, hbar->GetFixedHeight());
    }
    hbar->SetPos(CUIRect(rc.left, rc.bottom, rc.right, UICoordAdd(rc.bottom, hbar->GetFixedHeight())), false);
    if (hbar->GetScrollRange() != hRange) {
      hbar->SetScrollRange(hRange);
      hRangeChanged = true;
    }
  } else if (hbar->IsVisible()) {
    hbar->SetVisible(false);
    rc.bottom = UICoordAdd(rc.bottom, hbar->GetFixedHeight());
  }

  const int vRange = NeededRange(cyRequired, rc.GetHeight());
  if (vRange > 0 && !vbar->IsVisible()) {
    vbar->SetVisible(true);
    vbar->SetScrollRange(vRange);
    vbar->SetScrollPos(0);
    if (hbar->IsVisible()) {
      const UICoord narrowed = UICoordSubtract(rc.right, vbar->GetFixedWidth());
      hbar->SetPos(CUIRect(rc.left, rc.bottom, narrowed, UICoordAdd(rc.bottom, hbar->GetFixedHeight())), false);
      hbar->SetScrollRange(NeededRange(cxRequired, static_cast<int64_t>(narrowed) - rc.left));
    }
    m_bScrollProcess = true;
    Relayout(true);
    m_bScrollProcess = false;
    return;
  }
  if (!vbar->IsVisible()) {
    if (hRangeChanged) Relayout(true);
    return;
  }
  if (vRange > 0 || m_bScrollProcess) {
    vbar->SetPos(CUIRect(rc.right, rc.top, UICoordAdd(rc.right, vbar->GetFixedWidth()), rc.bottom), false);
    if (vbar->GetScrollRange() == vRange) {
      if (hRangeChanged) Relayout(false);
      return;
    }
    const int oldPos = vbar->GetScrollPos();
    vbar->SetScrollRange(vRange);
    if (vRange == 0) {
      vbar->SetVisible(false);
      vbar->SetScrollPos(0);
    }
    if (vbar->GetScrollPos() < oldPos || hRangeChanged) Relayout(false);
    return;
  }
  vbar->SetVisible(false);
  vbar->SetScrollPos(0);
  vbar->SetScrollRange(0);
  if (hbar->IsVisible()) {
    const UICoord widened = UICoordAdd(rc.right, vbar->GetFixedWidth());
    hbar->SetPos(CUIRect(rc.left, rc.bottom, widened, UICoordAdd(rc.bottom, hbar->GetFixedHeight())), false);
    hbar->SetScrollRange(NeededRange(cxRequired, static_cast<int64_t>(widened) - rc.left));
  }
  Relayout(true);
}

}  // namespace Trellis
