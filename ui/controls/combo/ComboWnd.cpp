// CComboWnd: placement below (or above) the combo, the pop-up's messages, and
// the items' return whenever the window ends.
#include "ui/controls/combo/ComboWnd.h"

#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/controls/combo/ComboDropBodyUI.h"
#include "ui/controls/combo/ComboUI.h"

namespace Trellis {

namespace {

bool IsScrollBar(CControlUI* control) {
  return control != nullptr && UITextCompare(control->GetClassName(), UI_TEXT("ScrollBar")) == 0;
}

// Maps an owner-window client rectangle to the desktop.
CUIRect ClientToScreenRect(HWND hWnd, CUIRect rc) {
  ::MapWindowPoints(hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(AsRECT(&rc)), 2);
  return rc;
}

}  // namespace

CComboWnd::CComboWnd() = default;
CComboWnd::~CComboWnd() = default;

const UIChar* CComboWnd::GetWindowClassName() const { return UI_TEXT("ComboWnd"); }

bool CComboWnd::Init(CComboUI* owner) {
  m_bScrollBarPressed = false;
  m_pOwner = owner;
  m_iOldSel = owner->GetCurSel();
  CWindowManagerUI* ownerManager = owner->GetManager();
  if (ownerManager == nullptr) return false;
  HWND ownerWnd = ownerManager->GetPaintWindow();

  const CUISize dropSize = owner->GetDropBoxSize();
  const CUIRect ownerPos = owner->GetPos();
  CUIRect rc(ownerPos.left, ownerPos.bottom, ownerPos.right, ownerPos.bottom + dropSize.cy);
  if (dropSize.cx > 0) rc.right = rc.left + dropSize.cx;

  // The height the items need (their estimates are only read here: nothing
  // is stored in them and no layout is asked for), capped by the drop-box size.
  const CUISize available(rc.GetWidth(), dropSize.cy);
  int height = 0;
  for (int i = 0; i < owner->GetCount(); ++i) {
    CControlUI* item = owner->GetItemAt(i);
    if (!item->IsVisible()) continue;
    height += item->EstimateSize(available).cy;
  }
  height += 4;
  if (height > dropSize.cy) height = dropSize.cy;
  rc.bottom = rc.top + height;
  CUIRect screen = ClientToScreenRect(ownerWnd, rc);

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(ownerWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
  if (screen.bottom > monitor.rcWork.bottom) {
    // No room below: the same height above the combo.
    CUIRect above(rc.left, ownerPos.top - height, rc.right, ownerPos.top);
    screen = ClientToScreenRect(ownerWnd, above);
  }
  if (CreateWithRect(ownerWnd, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, screen) == nullptr) {
    DebugTrace(L"ComboWnd: the drop-down window could not be created");
    m_lent.Return();
    return false;
  }
  ::ShowWindow(m_hWnd, SW_SHOW);
  return true;
}

void CComboWnd::OnCreate() {
  m_pm.SetShareLoadedImages(true);
  m_pm.InitForWindow(m_hWnd);
  m_pLayout = new CComboDropBodyUI(m_pOwner);
  m_pLayout->SetManager(&m_pm, nullptr, true);
  if (CWindowManagerUI* ownerManager = m_pOwner->GetManager()) {
    const UIChar* defaults = ownerManager->GetDefaultAttributeList(UI_TEXT("VerticalLayout"));
    if (defaults != nullptr) m_pLayout->ApplyAttributeList(defaults);
  }
  m_pLayout->SetInset(CUIRect(1, 1, 1, 1));
  m_pLayout->SetBkColor(0xFFFFFFFF);
  m_pLayout->SetBorderColor(0xFFC6C7D2);
  m_pLayout->SetBorderSize(1);
  m_pLayout->SetAutoDestroy(false);
  m_pLayout->EnableScrollBar(true, false);
  m_pLayout->ApplyAttributeList(m_pOwner->GetDropBoxAttributeList().GetText());
  m_lent.Lend(m_pOwner, m_pLayout);
  m_pm.AttachRootControl(m_pLayout);
}

void CComboWnd::ReturnItems() { m_lent.Return(); }

void CComboWnd::OnClose() {
  // The items go home before the window goes, whatever closed it.
  m_lent.Return();
  if (m_pOwner == nullptr) return;
  m_pOwner->SetPos(m_pOwner->IsFloat() ? m_pOwner->GetRelativePos() : m_pOwner->GetPos(), false);
  m_pOwner->SetFocus();
}

void CComboWnd::EnsureVisible(int index) {
  if (m_pOwner == nullptr || m_pOwner->GetCurSel() < 0 || m_pLayout == nullptr) return;
  CControlUI* item = m_pLayout->GetItemAt(index);
  if (item == nullptr) return;
  const CUIRect rcItem = item->GetPos();
  CUIRect area = m_pLayout->GetPos();
  CScrollBarUI* hbar = m_pLayout->GetHorizontalScrollBar();
  if (hbar != nullptr && hbar->IsVisible()) area.bottom -= hbar->GetFixedHeight();
  if (rcItem.top >= area.top && rcItem.bottom < area.bottom) return;
  int dy = 0;
  if (rcItem.top < area.top) dy = rcItem.top - area.top;
  if (rcItem.bottom > area.bottom) dy = rcItem.bottom - area.bottom;
  Scroll(0, dy);
}

void CComboWnd::Scroll(int dx, int dy) {
  if ((dx == 0 && dy == 0) || m_pLayout == nullptr) return;
  const CUISize pos = m_pLayout->GetScrollPos();
  m_pLayout->SetScrollPos(CUISize(pos.cx + dx, pos.cy + dy));
}

LRESULT CComboWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      if (m_pOwner == nullptr) return -1;
      OnCreate();
      return 0;
    case WM_KILLFOCUS: {
      // wParam is the window taking the focus: null for the kill-focus that
      // Enter and Escape post, so those close the list even though the
      // focus has not moved yet. Focus moving into a child of the drop-down
      // keeps it open.
      HWND next = reinterpret_cast<HWND>(wParam);
      if (next == m_hWnd) break;
      while (next != nullptr && next != m_hWnd) next = ::GetParent(next);
      if (next != m_hWnd) PostWindowMessage(WM_CLOSE);
      return 0;
    }
    case WM_CLOSE:
      OnClose();
      break;
    case WM_KEYDOWN:
      if (m_pOwner == nullptr) break;
      if (wParam == VK_RETURN) {
        PostWindowMessage(WM_KILLFOCUS);
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        m_pOwner->SelectItem(m_iOldSel, true, true);
        EnsureVisible(m_iOldSel);
        PostWindowMessage(WM_KILLFOCUS);
        return 0;
      }
      {
        UIEvent event;
        event.Type = kUIEventKeyDown;
        event.pSender = m_pOwner;
        event.chKey = static_cast<UIChar>(wParam);
        event.wParam = wParam;
        event.lParam = lParam;
        event.dwTimestamp = ::GetTickCount();
        m_pOwner->HandleEvent(event);
        EnsureVisible(m_pOwner->GetCurSel());
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const CUIPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      if (IsScrollBar(m_pm.FindControlAtPoint(pt))) m_bScrollBarPressed = true;
      break;
    }
    case WM_LBUTTONUP: {
      const CUIPoint pt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      if (m_bScrollBarPressed) {
        m_bScrollBarPressed = false;
      } else {
        CControlUI* control = m_pm.FindControlAtPoint(pt);
        // A click on an item closes the list after the item's own selection.
        if (control != nullptr && !IsScrollBar(control)) PostWindowMessage(WM_KILLFOCUS);
      }
      break;
    }
    case WM_MOUSEWHEEL:
      if (m_pOwner == nullptr) break;
      {
        UIEvent event;
        event.Type = kUIEventScrollWheel;
        event.pSender = m_pOwner;
        event.wParam = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP;
        event.lParam = lParam;
        event.dwTimestamp = ::GetTickCount();
        m_pOwner->HandleEvent(event);
        EnsureVisible(m_pOwner->GetCurSel());
      }
      return 0;
    default:
      break;
  }
  LRESULT result = 0;
  if (m_pm.ProcessMessage(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void CComboWnd::OnLastMessage(HWND) {
  m_lent.Return();
  if (m_pOwner != nullptr) {
    if (m_pOwner->m_pWindow == this) m_pOwner->m_pWindow = nullptr;
    m_pOwner->m_uButtonState &= ~static_cast<UINT>(kUIStatePushed);
    m_pOwner->Invalidate();
  }
  delete this;
}

}  // namespace Trellis
