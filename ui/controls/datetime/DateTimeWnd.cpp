// CDateTimeWnd: creation of the platform's date picker over its owner, its
// placement, its keys and focus loss, and its end.
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
    if (window->m_hWnd != nullptr) ::DestroyWindow(window->m_hWnd);
    delete window;
    return nullptr;
  }
  return window;
}

bool CDateTimeWnd::Init(CDateTimeUI* owner) {
  m_pOwner = owner;
  m_pManager = owner->GetManager();
  if (m_pManager == nullptr || m_pManager->GetPaintWindow() == nullptr) return false;
  owner->SetUpdateFlag(CDateTimeUI::kUpdateNone);
  m_bCreating = true;
  const CUIRect rc = ComputeRect();
  if (CreateWithRect(m_pManager->GetPaintWindow(), L"", WS_CHILD, 0, rc) == nullptr) {
    DebugTrace(L"CDateTimeWnd: the date picker could not be created (error %lu)", ::GetLastError());
    return false;
  }
  const HWND self = m_hWnd;
  ::SendMessageW(self, WM_SETFONT, reinterpret_cast<WPARAM>(m_pManager->GetFontHandle(owner->GetFont())), TRUE);
  // An emptied control starts again from today.
  if (owner->GetText().IsEmpty()) ::GetLocalTime(&owner->m_sysTime);
  SYSTEMTIME time = owner->GetTime();
  ::SendMessageW(self, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
  ::ShowWindow(self, NativeChildShowCommand(rc));
  ::SetFocus(self);
  // Taking the focus runs other windows' handlers; one may have closed this one.
  if (m_hWnd == nullptr || m_pOwner == nullptr) return false;
  m_bInit = true;
  m_bCreating = false;
  return true;
}

void CDateTimeWnd::Reactivate() {
  if (m_hWnd == nullptr || m_bClosing) return;
  const CUIRect rc = ComputeRect();
  ::ShowWindow(m_hWnd, NativeChildShowCommand(rc));
  ::SetFocus(m_hWnd);
}

void CDateTimeWnd::DetachOwner() { m_pOwner = nullptr; }

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
    case WM_CREATE:
      if (m_pManager != nullptr && m_pOwner != nullptr) m_pManager->AddNativeWindow(m_pOwner, m_hWnd);
      break;
    case WM_PAINT:
      if (m_pManager != nullptr && m_pOwner != nullptr && m_pManager->IsLayered()) {
        m_pManager->AddNativeWindow(m_pOwner, m_hWnd);
      }
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
    case WM_DESTROY:
      m_bClosing = true;
      break;
    case WM_KEYUP:
      if (wParam == VK_BACK || wParam == VK_DELETE) {
        const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
        if (m_pOwner != nullptr) {
          m_pOwner->SetUpdateFlag(CDateTimeUI::kUpdateDelete);
          m_pOwner->UpdateText();
        }
        PostWindowMessage(WM_CLOSE);
        return result;
      }
      if (wParam == VK_ESCAPE) {
        const LRESULT result = CWindowWnd::HandleMessage(message, wParam, lParam);
        if (m_pOwner != nullptr) m_pOwner->SetUpdateFlag(CDateTimeUI::kUpdateKeep);
        PostWindowMessage(WM_CLOSE);
        return result;
      }
      break;
    case WM_KILLFOCUS:
      return OnKillFocus(wParam, lParam);
    default:
      break;
  }
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CDateTimeWnd::OnKillFocus(WPARAM wParam, LPARAM lParam) {
  const HWND self = m_hWnd;
  const LRESULT result = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
  if (m_pOwner == nullptr || m_pManager == nullptr) return result;
  // The focus may only have moved into the picker's own drop-down calendar.
  const HWND gaining = reinterpret_cast<HWND>(wParam);
  if (gaining != nullptr && (::IsChild(self, gaining) || ::GetWindow(gaining, GW_OWNER) == self)) return result;
  if (m_pOwner->GetUpdateFlag() == CDateTimeUI::kUpdateNone) {
    SYSTEMTIME picked = {};
    if (::SendMessageW(self, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked)) == GDT_VALID) {
      m_pOwner->m_sysTime = picked;
    }
    m_pOwner->SetUpdateFlag(CDateTimeUI::kUpdateText);
    m_pOwner->UpdateText();
  }
  if (m_bClosing) return result;
  const HWND paint = m_pManager->GetPaintWindow();
  if (gaining != paint) ::SendMessageW(paint, WM_KILLFOCUS, wParam, lParam);
  // That handler may have closed this window already.
  if (!::IsWindow(self) || m_bClosing) return result;
  ::SendMessageW(self, WM_CLOSE, 0, 0);
  return result;
}

// --- Last message ---

void CDateTimeWnd::OnLastMessage(HWND hWnd) {
  if (m_pManager != nullptr) m_pManager->RemoveNativeWindow(hWnd);
  if (m_pOwner != nullptr) {
    CDateTimeUI* owner = m_pOwner;
    m_pOwner = nullptr;
    owner->OnPickerClosed(this);
  }
  if (!m_bCreating) delete this;
}

}  // namespace Trellis
