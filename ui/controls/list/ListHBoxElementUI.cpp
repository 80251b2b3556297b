#include "ui/controls/list/ListHBoxElementUI.h"

#include "ui/draw/DrawEngine.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

}  // namespace

CListHBoxElementUI::CListHBoxElementUI() = default;

const UIChar* CListHBoxElementUI::GetClassName() const { return UI_TEXT("ListHBoxElement"); }

void* CListHBoxElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListHBoxElement"))) return static_cast<CListHBoxElementUI*>(this);
  return CListContainerElementUI::GetInterface(name);
}

void CListHBoxElementUI::SetPos(CUIRect rc, bool invalidate) {
  if (m_pOwner == nullptr) {
    CListContainerElementUI::SetPos(rc, invalidate);
    return;
  }
  CControlUI::SetPos(rc, invalidate);
  UIListInfo* info = m_pOwner->GetListInfo();
  if (info == nullptr) return;
  const int columns = info->iColumnCount < kListMaxColumns ? info->iColumnCount : kListMaxColumns;
  int column = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    auto* child = static_cast<CControlUI*>(m_items.GetAt(i));
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      continue;
    }
    const CUIRect p = child->GetPadding();
    if (columns <= 0) {
      child->SetPos(CUIRect(m_rcItem.left + p.left, m_rcItem.top + p.top, m_rcItem.right - p.right,
                            m_rcItem.bottom - p.bottom),
                    false);
      continue;
    }
    // Children beyond the last column are not placed.
    if (column >= columns) continue;
    CUIRect cell(info->rcColumns[column].left + p.left, m_rcItem.top + p.top, info->rcColumns[column].right - p.right,
                 m_rcItem.bottom - p.bottom);
    if (info->iVLineSize > 0 && column < columns - 1) cell.right -= info->iVLineSize;
    child->SetPos(cell, false);
    ++column;
  }
}

bool CListHBoxElementUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  UIListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
  if (info == nullptr) return true;
  DrawItemBk(hDC, m_rcItem);
  const int columns = info->iColumnCount < kListMaxColumns ? info->iColumnCount : kListMaxColumns;
  if (info->iVLineSize > 0) {
    for (int i = 0; i < columns - 1; ++i) {
      const int x = info->rcColumns[i].right - info->iVLineSize / 2;
      CDrawEngine::DrawLine(hDC, CUIRect(x, m_rcItem.top, x, m_rcItem.bottom), info->iVLineSize,
                            ApplyHslToColor(info->dwVLineColor));
    }
  }
  return CContainerUI::PaintContent(hDC, rcPaint, pStopControl);
}

}  // namespace Trellis
