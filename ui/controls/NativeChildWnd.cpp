// CNativeChildWnd: set-up steps, registration with the manager, closing on
// the loss of focus, and the last message.
//
// Sections: Set-up; Messages; Last message.
#include "ui/controls/NativeChildWnd.h"

#include "core/base/DebugTrace.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/NativeChildPlacement.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

// --- Set-up ---

bool CNativeChildWnd::BeginSetUp(CControlUI* owner) {
  m_pOwner = owner;
  m_pManager = owner != nullptr ? owner->GetManager() : nullptr;
  if (m_pManager == nullptr || m_pManager->GetPaintWindow() == nullptr) return false;
  // While set-up runs the last message must not delete the object: Open
  // still holds it and cleans up after a failure.
  m_bCreating = true;
  return true;
}

bool CNativeChildWnd::CreateOver(const CUIRect& rc, DWORD style, const wchar_t* what) {
  if (CreateWithRect(m_pManager->GetPaintWindow(), L"", style, 0, rc) != nullptr) return true;
  DebugTrace(L"%ls could not be created (error %lu)", what, ::GetLastError());
  return false;
}

bool CNativeChildWnd::ShowFocused(const CUIRect& rc) {
  ::ShowWindow(m_hWnd, NativeChildShowCommand(rc));
  ::SetFocus(m_hWnd);
  // Taking the focus runs other windows' handlers; one of them may have
  // closed this window already.
  return m_hWnd != nullptr && m_pOwner != nullptr;
}

void CNativeChildWnd::EndSetUp() {
  m_bInit = true;
  m_bCreating = false;
}

void CNativeChildWnd::Discard(CNativeChildWnd* window) {
  // Nothing of a failed attempt stays: a window that outlived a failed
  // set-up goes (its last message leaves the object to us), then the object.
  if (window->m_hWnd != nullptr) ::DestroyWindow(window->m_hWnd);
  delete window;
}

void CNativeChildWnd::Abandon() {
  DetachOwner();
  // The window must never reach the owner again: detached first, then
  // destroyed; its last message deletes this object.
  if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

// --- Messages ---

bool CNativeChildWnd::RegisterWithManager() {
  if (m_pManager == nullptr || m_pOwner == nullptr) return false;
  return m_pManager->AddNativeWindow(m_pOwner, m_hWnd);
}

bool CNativeChildWnd::OnFocusLeaving(HWND) { return true; }

LRESULT CNativeChildWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      RegisterWithManager();
      break;
    case WM_CLOSE:
    case WM_DESTROY:
      m_bClosing = true;
      break;
    case WM_KILLFOCUS:
      return OnKillFocus(wParam, lParam);
    default:
      break;
  }
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

LRESULT CNativeChildWnd::OnKillFocus(WPARAM wParam, LPARAM lParam) {
  const HWND self = m_hWnd;
  const LRESULT result = CWindowWnd::HandleMessage(WM_KILLFOCUS, wParam, lParam);
  // Detached: the owner is going and destroys the window itself.
  if (m_pOwner == nullptr || m_pManager == nullptr) return result;
  const HWND gaining = reinterpret_cast<HWND>(wParam);
  if (!OnFocusLeaving(gaining)) return result;
  // The owner's update may have ended the window (and deleted the object);
  // one already closing must not close a second time.
  if (!::IsWindow(self) || m_bClosing || m_pOwner == nullptr) return result;
  const HWND paint = m_pManager->GetPaintWindow();
  // The focus leaves the framework window altogether: its focus control
  // must hear of it too.
  if (gaining != paint) ::SendMessageW(paint, WM_KILLFOCUS, wParam, lParam);
  // That handler may have closed this window (and deleted the object).
  if (!::IsWindow(self) || m_bClosing) return result;
  ::SendMessageW(self, WM_CLOSE, 0, 0);
  return result;
}

// --- Last message ---

void CNativeChildWnd::OnLastMessage(HWND hWnd) {
  if (m_pManager != nullptr) m_pManager->RemoveNativeWindow(hWnd);
  if (m_pOwner != nullptr) {
    CControlUI* owner = m_pOwner;
    m_pOwner = nullptr;
    TellOwnerClosed(owner);
  }
  if (!m_bCreating) delete this;
}

}  // namespace Trellis
