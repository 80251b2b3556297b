#include "ui/controls/list/ListTextElementUI.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

bool Is(const UIChar* name, const UIChar* literal) { return UITextCompare(name, literal) == 0; }

bool IsInside(const CUIRect& rc, CUIPoint pt) {
  POINT p = {pt.x, pt.y};
  return ::PtInRect(AsRECT(&rc), p) != FALSE;
}

}  // namespace

CListTextElementUI::CListTextElementUI() = default;

CListTextElementUI::~CListTextElementUI() {
  for (int i = 0; i < m_aTexts.GetSize(); ++i) delete static_cast<CUIString*>(m_aTexts.GetAt(i));
}

const UIChar* CListTextElementUI::GetText(int column) const {
  auto* text = static_cast<CUIString*>(m_aTexts.GetAt(column));
  return text != nullptr ? text->GetText() : nullptr;
}

void CListTextElementUI::SetText(int column, const UIChar* text) {
  if (column < 0) return;
  while (m_aTexts.GetSize() <= column) {
    auto* empty = new CUIString();
    if (!m_aTexts.Add(empty)) {
      delete empty;
      return;
    }
  }
  static_cast<CUIString*>(m_aTexts.GetAt(column))->Assign(text);
  m_bNeedEstimateSize = true;
  Invalidate();
}

CUIRect CListTextElementUI::GetLinkRect(int index) const {
  if (index < 0 || index >= m_nLinks) return CUIRect();
  return m_rcLinks[index];
}

// --- IListItemUI ---

void CListTextElementUI::SetOwner(CControlUI* owner) {
  if (owner != nullptr) {
    m_bNeedEstimateSize = true;
    m_pListOwner = static_cast<IListUI*>(owner->GetInterface(UI_TEXT("IList")));
  }
  CListLabelElementUI::SetOwner(owner);
}

CUIString CListTextElementUI::GetFirstColumnText() {
  IListTextProviderUI* provider = m_pListOwner != nullptr ? m_pListOwner->GetTextProvider() : nullptr;
  if (provider != nullptr) return CUIString(provider->GetItemText(this, m_iIndex, 0));
  if (m_aTexts.GetSize() == 0) return m_sText;
  return CUIString(GetText(0));
}

void CListTextElementUI::DrawItemText(HDC hDC, const CUIRect& rcItem) {
  if (m_pListOwner == nullptr) return;
  UIListInfo* info = m_pListOwner->GetListInfo();
  if (info == nullptr) return;
  DWORD color = info->dwTextColor;
  if ((m_uButtonState & kUIStateHot) != 0) color = info->dwHotTextColor;
  if (m_bSelected) color = info->dwSelectedTextColor;
  if (!IsEnabled()) color = info->dwDisabledTextColor;
  IListTextProviderUI* provider = m_pListOwner->GetTextProvider();
  const CUIRect& pad = info->rcTextPadding;
  m_nLinks = 0;
  int freeSlots = kMaxLinks;

  auto drawOne = [&](CUIRect rc, const UIChar* text) {
    rc.left += pad.left;
    rc.top += pad.top;
    rc.right -= pad.right;
    rc.bottom -= pad.bottom;
    if (text == nullptr || text[0] == 0) return;
    if (info->bShowHtml) {
      int found = freeSlots;
      CDrawEngine::DrawMarkupText(hDC, m_pManager, rc, text, color, &m_rcLinks[m_nLinks], &m_sLinks[m_nLinks], found,
                                  info->iFont, info->uTextStyle);
      if (found < 0) found = 0;
      if (found > freeSlots) found = freeSlots;
      m_nLinks += found;
      freeSlots -= found;
    } else {
      CDrawEngine::DrawPlainText(hDC, m_pManager, rc, text, color, info->iFont, info->uTextStyle);
    }
  };

  const int columns = info->iColumnCount < kListMaxColumns ? info->iColumnCount : kListMaxColumns;
  if (columns <= 0) {
    const CUIString text = GetFirstColumnText();
    drawOne(rcItem, text.GetText());
  } else {
    for (int i = 0; i < columns; ++i) {
      CUIRect rc(info->rcColumns[i].left, rcItem.top, info->rcColumns[i].right, rcItem.bottom);
      if (info->iVLineSize > 0 && i < columns - 1) {
        const int x = info->rcColumns[i].right - info->iVLineSize / 2;
        CDrawEngine::DrawLine(hDC, CUIRect(x, rcItem.top, x, rcItem.bottom), info->iVLineSize,
                              ApplyHslToColor(info->dwVLineColor));
        rc.right -= info->iVLineSize;
      }
      const UIChar* text = provider != nullptr ? provider->GetItemText(this, m_iIndex, i) : GetText(i);
      drawOne(rc, text);
    }
  }
  // No stale link of an earlier paint survives.
  for (int i = m_nLinks; i < kMaxLinks; ++i) {
    m_rcLinks[i] = CUIRect();
    m_sLinks[i].Clear();
  }
}

// --- CControlUI ---

const UIChar* CListTextElementUI::GetClassName() const { return UI_TEXT("ListTextElement"); }

void* CListTextElementUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("ListTextElement"))) return static_cast<CListTextElementUI*>(this);
  return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const { return (IsEnabled() && m_nLinks > 0) ? static_cast<UINT>(kUIFlagSetCursor) : 0u; }

int CListTextElementUI::LinkAt(CUIPoint pt) const {
  for (int i = 0; i < m_nLinks; ++i) {
    if (IsInside(m_rcLinks[i], pt)) return i;
  }
  return -1;
}

void CListTextElementUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    if (m_pListOwner != nullptr) {
      m_pListOwner->HandleItemEvent(event);
    } else {
      CListLabelElementUI::HandleEvent(event);
    }
    return;
  }
  if (event.Type == kUIEventSetCursor && LinkAt(event.ptMouse) >= 0) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return;
  }
  if (event.Type == kUIEventButtonUp && IsEnabled()) {
    const int link = LinkAt(event.ptMouse);
    if (link >= 0) {
      if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("link"), static_cast<WPARAM>(link));
      return;
    }
  }
  if (m_nLinks > 0 && event.Type == kUIEventMouseMove) {
    const int hover = LinkAt(event.ptMouse);
    if (hover != m_nHoverLink) {
      m_nHoverLink = hover;
      InvalidateItem();
    }
  }
  if (m_nLinks > 0 && event.Type == kUIEventMouseLeave && m_nHoverLink != -1) {
    if (IsInside(m_rcLinks[m_nHoverLink], event.ptMouse)) {
      if (m_pManager != nullptr) m_pManager->AddMouseLeaveListener(this);
      return;
    }
    m_nHoverLink = -1;
    InvalidateItem();
    if (m_pManager != nullptr) m_pManager->RemoveMouseLeaveListener(this);
  }
  CListLabelElementUI::HandleEvent(event);
}

CUISize CListTextElementUI::EstimateSize(CUISize available) {
  if (m_pListOwner == nullptr || m_pListOwner->GetListInfo() == nullptr) return CUISize(0, 0);
  const UIListInfo& info = *m_pListOwner->GetListInfo();
  int width = m_cxyFixed.cx;
  if (width == 0 && info.iColumnCount > 0) {
    const int last = (info.iColumnCount < kListMaxColumns ? info.iColumnCount : kListMaxColumns) - 1;
    width = info.rcColumns[last].right - info.rcColumns[0].left;
    if (width != m_cxCached) m_bNeedEstimateSize = true;
  }
  const CUIString text = GetFirstColumnText();
  if (text.DiffersFromText(m_sCachedText.GetText())) {
    m_bNeedEstimateSize = true;
    m_sCachedText = text;
  }
  return EstimateText(available, text.GetText(), width);
}

}  // namespace Trellis
