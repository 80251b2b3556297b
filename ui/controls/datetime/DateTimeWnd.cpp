// CDateTimeWnd: creation of the platform's date picker over its owner, its
// placement, its keys, what a loss of focus stores, and its end.
//
// Sections: Creation; Placement; Messages; Last message.
#include "ui/controls/datetime/DateTimeWnd.h"

#include <commctrl.h>
#include <new>

#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/control/ControlUI.h"
#include "ui/control/portable/FloatPlacement.h"
#include "ui/controls/NativeChildPlacement.h"
#include "ui/controls/datetime/DateTimeUI.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// The date classes exist only after the common controls have been asked for them.
bool RegisterDateClasses() {
  INITCOMMONCONTROLSEX init = {sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
  if (::InitCommonControlsEx(&init)) return true;
  DebugTrace(L"CDateTimeWnd: the date classes could not be registered (error %lu)", ::GetLastError());
  return false;
}

}  // namespace

// --- Creation ---

CDateTimeWnd* CDateTimeWnd::Open(CDateTimeUI* owner) {
  if (owner == nullptr || !RegisterDateClasses()) return nullptr;
  auto* window = new (std::nothrow) CDateTimeWnd;
  if (window == nullptr) return nullptr;
  if (!window->Init(owner)) {
    Discard(window);
    return nullptr;
  }
  return window;
}

bool CDateTimeWnd::Init(CDateTimeUI* owner) {
  if (!BeginSetUp(owner)) return false;
  owner->SetUpdateFlag(CDateTimeUI::kUpdateNone);
  const CUIRect rc = ComputeRect();
  if (!CreateOver(rc, WS_CHILD, L"CDateTimeWnd: the date picker")) return false;
  const HWND self = m_hWnd;
  ::SendMessageW(self, WM_SETFONT, reinterpret_cast<WPARAM>(m_pManager->GetFontHandle(owner->GetFont())), TRUE);
  // An emptied control starts again from today.
  if (owner->GetText().IsEmpty()) ::GetLocalTime(&owner->m_sysTime);
  SYSTEMTIME time = owner->GetTime();
  ::SendMessageW(self, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  if (!ShowFocused(rc)) return false;
  EndSetUp();
  return true;
}

void CDateTimeWnd::Reactivate() {
  if (m_hWnd == nullptr || m_bClosing) return;
  const CUIRect rc = ComputeRect();
  ::ShowWindow(m_hWnd, NativeChildShowCommand(rc));
  ::SetFocus(m_hWnd);
}

// The owner is always the control that opened the picker (or none).
CDateTimeUI* CDateTimeWnd::Owner() const { return static_cast<CDateTimeUI*>(m_pOwner); }

// --- Placement ---

CUIRect CDateTimeWnd::ComputeRect() const {
  if (m_pOwner == nullptr) return CUIRect();
  return ClipToAncestors(*m_pOwner, m_pOwner->GetPos());
}

// --- Messages ---

const UIChar* CDateTimeWnd::GetWindowClassName() const { return L"DateTimeWnd"; }

const UIChar* CDateTimeWnd::GetSuperClassName() const { return DATETIMEPICK_CLASSW; }

LRESULT CDateTimeWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      if (m_pManager != nullptr && m_pManager->IsLayered()) RegisterWithManager();
      break;
    case WM_CLOSE: {
      m_bClosing = true;
      // Keys must not go nowhere once the picker is gone: the framework
      // window takes the focus back (the picker then no longer reads its date).
      if (::GetFocus() == m_hWnd && m_pManager != nullptr && !m_pManager->IsNoActivate()) {
        const HWND self = m_hWnd;
        ::SetFocus(m_pManager->GetPaintWindow());
        if (!::IsWindow(self)) return 0;
      }
      break;
    }
    case WM_KEYUP:
      if (wParam == VK_BACK || wParam == VK_DELETE) {
        const LRESULT result = CNativeChildWnd::HandleMessage(message, wParam, lParam);
        if (CDateTimeUI* owner = Owner()) {
          owner->SetUpdateFlag(CDateTimeUI::kUpdateDelete);
          owner->UpdateText();
        }
        PostWindowMessage(WM_CLOSE);
        return result;
      }
      if (wParam == VK_ESCAPE) {
        const LRESULT result = CNativeChildWnd::HandleMessage(message, wParam, lParam);
        if (CDateTimeUI* owner = Owner()) owner->SetUpdateFlag(CDateTimeUI::kUpdateKeep);
        PostWindowMessage(WM_CLOSE);
        return result;
      }
      break;
    default:
      break;
  }
  return CNativeChildWnd::HandleMessage(message, wParam, lParam);
}

bool CDateTimeWnd::OnFocusLeaving(HWND gaining) {
  // The focus may only have moved into the picker's own drop-down calendar.
  if (gaining != nullptr && (::IsChild(m_hWnd, gaining) || ::GetWindow(gaining, GW_OWNER) == m_hWnd)) return false;
  CDateTimeUI* owner = Owner();
  if (owner->GetUpdateFlag() == CDateTimeUI::kUpdateNone) {
    SYSTEMTIME picked = {};
    if (::SendMessageW(m_hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) == GDT_VALID) {
      owner->m_sysTime = picked;
    }
    owner->SetUpdateFlag(CDateTimeUI::kUpdateText);
    owner->UpdateText();
  }
  return true;
}

// --- Last message ---

void CDateTimeWnd::TellOwnerClosed(CControlUI* owner) { static_cast<CDateTimeUI*>(owner)->OnPickerClosed(this); }

}  // namespace Trellis
