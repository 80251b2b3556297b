#include "ui/controls/list/ListLabelElementUI.h"

#include "ui/draw/DrawEngine.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

bool SameRect(const CUIRect& a, const CUIRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

CListLabelElementUI::CListLabelElementUI() = default;

// --- IListItemUI ---

void CListLabelElementUI::SetOwner(CControlUI* owner) {
  m_bNeedEstimateSize = true;
  CListElementUI::SetOwner(owner);
}

void CListLabelElementUI::DrawItemText(HDC hDC, const CUIRect& rcItem) {
  if (m_sText.IsEmpty() || m_pOwner == nullptr) return;
  UIListInfo* info = m_pOwner->GetListInfo();
  if (info == nullptr) return;
  DWORD color = info->dwTextColor;
  if ((m_uButtonState & kUIStateHot) != 0) color = info->dwHotTextColor;
  if (m_bSelected) color = info->dwSelectedTextColor;
  if (!IsEnabled()) color = info->dwDisabledTextColor;
  CUIRect rc = rcItem;
  rc.left += info->rcTextPadding.left;
  rc.top += info->rcTextPadding.top;
  rc.right -= info->rcTextPadding.right;
  rc.bottom -= info->rcTextPadding.bottom;
  if (info->bShowHtml) {
    int links = 0;
    CDrawEngine::DrawMarkupText(hDC, m_pManager, rc, m_sText.GetText(), color, nullptr, nullptr, links, info->iFont,
                                info->uTextStyle);
  } else {
    CDrawEngine::DrawPlainText(hDC, m_pManager, rc, m_sText.GetText(), color, info->iFont, info->uTextStyle);
  }
}

// --- CControlUI ---

const UIChar* CListLabelElementUI::GetClassName() const { return UI_TEXT("ListLabelElement"); }

void* CListLabelElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListLabelElement"))) return static_cast<CListLabelElementUI*>(this);
  return CListElementUI::GetInterface(name);
}

bool CListLabelElementUI::HandleHotTracking(UIEvent& event) { return HandleListItemHot(this, event, m_uButtonState); }

void CListLabelElementUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pOwner != nullptr) {
      m_pOwner->HandleItemEvent(event);
    } else {
      CListElementUI::HandleEvent(event);
    }
    return;
  }
  if (event.Type == kUIEventButtonDown || event.Type == kUIEventRightButtonDown) {
    if (!IsEnabled()) return;
    CListItemLifeGuard guard(this, &m_pLifeGuard);
    if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("itemclick"));
    // An "itemclick" handler may rebuild the list: nothing touches an item
    // it deleted or took out.
    if (guard.IsGone()) return;
    Select(true, true);
    if (guard.IsGone()) return;
    InvalidateItem();
    return;
  }
  if (event.Type == kUIEventMouseMove || event.Type == kUIEventButtonUp) return;
  if (HandleHotTracking(event)) return;
  CListElementUI::HandleEvent(event);
}

void CListLabelElementUI::SetText(const UIChar* text) {
  m_bNeedEstimateSize = true;
  CListElementUI::SetText(text);
}

void CListLabelElementUI::SetFixedWidth(int cx) {
  m_bNeedEstimateSize = true;
  CListElementUI::SetFixedWidth(cx);
}

void CListLabelElementUI::SetFixedHeight(int cy) {
  m_bNeedEstimateSize = true;
  CListElementUI::SetFixedHeight(cy);
}

CUISize CListLabelElementUI::EstimateSize(CUISize available) {
  if (m_pOwner == nullptr || m_pOwner->GetListInfo() == nullptr) return CUISize(0, 0);
  return EstimateText(available, m_sText.GetText(), m_cxyFixed.cx);
}

// --- Size cache ---

bool CListLabelElementUI::OwnerValuesChanged(const UIListInfo& info) const {
  return m_iOwnerItemHeight != info.iItemHeight || m_iOwnerFont != info.iFont ||
         m_uOwnerTextStyle != info.uTextStyle || !SameRect(m_rcOwnerTextPadding, info.rcTextPadding);
}

void CListLabelElementUI::StoreOwnerValues(const UIListInfo& info) {
  m_iOwnerItemHeight = info.iItemHeight;
  m_iOwnerFont = info.iFont;
  m_uOwnerTextStyle = info.uTextStyle;
  m_rcOwnerTextPadding = info.rcTextPadding;
}

CUIRect CListLabelElementUI::MeasureText(const UIChar* text, CUIRect rc, UINT style) {
  if (m_pManager == nullptr || m_pOwner == nullptr) return CUIRect();
  const UIListInfo& info = *m_pOwner->GetListInfo();
  if (info.bShowHtml) {
    int links = 0;
    CDrawEngine::DrawMarkupText(m_pManager->GetPaintDC(), m_pManager, rc, text, 0, nullptr, nullptr, links, info.iFont,
                                style | DT_CALCRECT);
  } else {
    CDrawEngine::DrawPlainText(m_pManager->GetPaintDC(), m_pManager, rc, text, 0, info.iFont, style | DT_CALCRECT);
  }
  return rc;
}

CUISize CListLabelElementUI::EstimateText(CUISize available, const UIChar* text, int fixedWidth) {
  const UIListInfo& info = *m_pOwner->GetListInfo();
  if (fixedWidth > 0) {
    // A known width with a known height: nothing to measure.
    if (m_cxyFixed.cy > 0) return CUISize(fixedWidth, m_cxyFixed.cy);
    if (info.iItemHeight != 0) return CUISize(fixedWidth, info.iItemHeight);
  }
  const bool singleLine = (info.uTextStyle & DT_SINGLELINE) != 0;
  if (!singleLine && (available.cx != m_szAvailableLast.cx || available.cy != m_szAvailableLast.cy)) {
    m_bNeedEstimateSize = true;
  }
  if (m_bNeedEstimateSize || OwnerValuesChanged(info)) {
    m_szAvailableLast = available;
    m_bNeedEstimateSize = false;
    StoreOwnerValues(info);
    const CUIRect& pad = info.rcTextPadding;
    m_cxCached = fixedWidth;
    m_cyCached = m_cxyFixed.cy != 0 ? m_cxyFixed.cy : info.iItemHeight;
    if (singleLine) {
      if (m_cyCached == 0) {
        const UIFontInfo* font = m_pManager != nullptr ? m_pManager->GetFontInfo(info.iFont) : nullptr;
        m_cyCached = (font != nullptr ? font->tm.tmHeight : 0) + 8 + pad.top + pad.bottom;
      }
      if (m_cxCached == 0) {
        const UINT style = info.uTextStyle & ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
        const CUIRect measured = MeasureText(text, CUIRect(0, 0, 9999, m_cyCached), style);
        m_cxCached = measured.GetWidth() + pad.left + pad.right;
      }
    } else {
      if (m_cxCached == 0) m_cxCached = available.cx;
      const UINT style = info.uTextStyle & ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
      const CUIRect measured = MeasureText(text, CUIRect(pad.left, 0, m_cxCached - pad.right, 9999), style);
      m_cyCached = measured.GetHeight() + pad.top + pad.bottom;
    }
  }
  return CUISize(m_cxCached, m_cyCached);
}

}  // namespace Trellis
