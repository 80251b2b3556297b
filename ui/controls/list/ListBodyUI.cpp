#include "ui/controls/list/ListBodyUI.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/controls/list/ListHeaderUI.h"
#include "ui/controls/list/ListItemDrawing.h"
#include "ui/controls/list/ListUI.h"

namespace Trellis {

namespace {

int Clamp(int value, int low, int high) {
  if (value > high) value = high;
  if (value < low) value = low;
  return value;
}

bool IsInside(const CUIRect& rc, CUIPoint pt) {
  POINT p = {pt.x, pt.y};
  return ::PtInRect(AsRECT(&rc), p) != FALSE;
}

}  // namespace

CListBodyUI::CListBodyUI(CListUI* owner) : m_pOwner(owner) {}
CListBodyUI::~CListBodyUI() = default;

void CListBodyUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  CUIRect inner = m_rcItem;
  inner.left += m_rcInset.left;
  inner.top += m_rcInset.top;
  inner.right -= m_rcInset.right;
  inner.bottom -= m_rcInset.bottom;
  const bool vbar = m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible();
  const bool hbar = m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->IsVisible();
  if (vbar) inner.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (hbar) inner.bottom -= m_pHorizontalScrollBar->GetFixedHeight();

  CUISize available(inner.GetWidth(), inner.GetHeight());
  if (hbar) available.cx += m_pHorizontalScrollBar->GetScrollRange();
  UIListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
  const int childPadding = m_iChildPadding + (info != nullptr ? info->iHLineSize : 0);
  if (info != nullptr && info->iColumnCount > 0) {
    const int last = (info->iColumnCount < kListMaxColumns ? info->iColumnCount : kListMaxColumns) - 1;
    available.cx = info->rcColumns[last].right - info->rcColumns[0].left;
  }

  // First pass: how wide the rows want to be and how many there are.
  int count = 0;
  int neededWidth = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items.GetAt(i));
    if (!child->IsVisible() || child->IsFloat()) continue;
    CUISize size = child->EstimateSize(available);
    size.cy = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
    if (size.cx < 0) size.cx = 0;
    size.cx = Clamp(size.cx, child->GetMinWidth(), child->GetMaxWidth());
    if (size.cx > neededWidth) neededWidth = size.cx;
    ++count;
  }
  if (m_pOwner != nullptr) {
    CListHeaderUI* header = m_pOwner->GetHeader();
    if (header != nullptr && header->GetCount() > 0) {
      const int width = header->EstimateSize(CUISize(inner.GetWidth(), available.cy)).cx;
      neededWidth = width < 0 ? 0 : width;
    }
  }

  // Second pass: one row per item from the top.
  int rowTop = inner.top;
  int columnLeft = inner.left;
  if (vbar) rowTop -= m_pVerticalScrollBar->GetScrollPos();
  if (hbar) columnLeft -= m_pHorizontalScrollBar->GetScrollPos();
  int remaining = available.cy;
  int neededHeight = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items.GetAt(i));
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const CUIRect p = child->GetPadding();
    int width = child->GetFixedWidth();
    if (width < 1) width = child->GetMaxWidth();
    if (width > available.cx - p.left - p.right) width = available.cx - p.left - p.right;
    int heightLimit = child->GetFixedHeight();
    if (heightLimit < 1) heightLimit = child->GetMaxHeight();
    remaining -= p.top;
    CUISize size = child->EstimateSize(CUISize(width, heightLimit < remaining ? heightLimit : remaining));
    const int height = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
    int limit = child->GetMaxWidth();
    if (limit == 0) limit = available.cx - p.left - p.right;
    int finalWidth = width < (limit > 0 ? limit : 0) ? width : (limit > 0 ? limit : 0);
    if (finalWidth < child->GetMinWidth()) finalWidth = child->GetMinWidth();
    child->SetPos(CUIRect(columnLeft + p.left, rowTop + p.top, columnLeft + p.left + finalWidth,
                          rowTop + p.top + height + p.bottom),
                  false);
    neededHeight += height + p.top + p.bottom;
    rowTop += height + p.top + p.bottom + childPadding;
    remaining -= height + p.bottom + childPadding;
  }
  ProcessScrollBar(inner, neededWidth, neededHeight + (count > 0 ? (count - 1) * childPadding : 0));
}

void CListBodyUI::HandleEvent(UIEvent& event) {
  if (m_pOwner == nullptr) {
    CControlUI::HandleEvent(event);
    return;
  }
  if (event.Type == kUIEventScrollWheel && m_pHorizontalScrollBar != nullptr &&
      m_pHorizontalScrollBar->IsVisible() && m_pHorizontalScrollBar->IsEnabled() &&
      IsInside(m_pHorizontalScrollBar->GetPos(), event.ptMouse)) {
    if (LOWORD(event.wParam) == SB_LINEUP) {
      m_pOwner->LineLeft();
      return;
    }
    if (LOWORD(event.wParam) == SB_LINEDOWN) {
      m_pOwner->LineRight();
      return;
    }
  }
  m_pOwner->HandleEvent(event);
}

bool CListBodyUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  NumberListRows(*this);
  const bool finished = CVerticalLayoutUI::PaintContent(hDC, rcPaint, pStopControl);
  UIListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
  if (finished && info != nullptr) DrawListRowLines(*this, hDC, rcPaint, *info);
  return finished;
}

void CListBodyUI::SetScrollPos(CUISize pos) {
  // The container moves the bars and the rows; the body adds the header.
  const int oldX = GetScrollPos().cx;
  CVerticalLayoutUI::SetScrollPos(pos);
  const int dx = GetScrollPos().cx - oldX;
  if (dx == 0 || m_pOwner == nullptr) return;
  // Horizontal scrolling carries the header items and the columns along;
  // vertical scrolling never moves the header.
  CListHeaderUI* header = m_pOwner->GetHeader();
  if (header == nullptr) return;
  UIListInfo* info = m_pOwner->GetListInfo();
  const int count = header->GetCount() < kListMaxColumns ? header->GetCount() : kListMaxColumns;
  info->iColumnCount = count;
  for (int i = 0; i < count; ++i) {
    CControlUI* item = header->GetItemAt(i);
    if (!item->IsVisible() || item->IsFloat()) continue;
    item->Move(CUISize(-dx, 0), false);
    info->rcColumns[i] = item->GetPos();
  }
  header->Invalidate();
}

}  // namespace Trellis
