// CWindowWnd: class registration, the two window procedures, and the window
// operations (show, centre, close, modal loop).
//
// Sections: Registration and creation; Window procedures; Window operations;
// Modal loop.
#include "ui/window/WindowWnd.h"

#include "ui/base/UIGeometryWin.h"
#include "ui/window/MessageLoop.h"
#include "ui/window/WindowManager.h"
#include "ui/window/portable/WindowPlacement.h"

namespace Trellis {

namespace {

// The property that holds the object of a super-classed window (whose native
// procedure may use the user data itself).
const wchar_t kObjectProperty[] = L"WndX";

}  // namespace

CWindowWnd::CWindowWnd() : m_hWnd(nullptr), m_OldWndProc(::DefWindowProcW), m_bSubclassed(false) {}

const UIChar* CWindowWnd::GetSuperClassName() const { return nullptr; }

UINT CWindowWnd::GetClassStyle() const { return 0; }

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_OldWndProc, m_hWnd, message, wParam, lParam);
}

void CWindowWnd::OnLastMessage(HWND) {}

// --- Registration and creation ---

bool CWindowWnd::RegisterWindowClass() {
  // Registering again would fail with ERROR_CLASS_ALREADY_EXISTS; asking
  // first spares the window server that call (and the cursor lookup) at every
  // window after a class's first.
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(CWindowManagerUI::GetInstance(), GetWindowClassName(), &existing)) return true;
  WNDCLASSW wc = {};
  wc.style = GetClassStyle();
  wc.lpfnWndProc = CWindowWnd::WindowProc;
  wc.hInstance = CWindowManagerUI::GetInstance();
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = GetWindowClassName();
  if (::RegisterClassW(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
      !::GetClassInfoExW(CWindowManagerUI::GetInstance(), GetSuperClassName(), &wc)) {
    return false;
  }
  // Every object of a super-classed class passes unhandled messages to the
  // native class's own procedure.
  m_OldWndProc = wc.lpfnWndProc;
  wc.lpfnWndProc = CWindowWnd::SuperclassProc;
  wc.hInstance = CWindowManagerUI::GetInstance();
  wc.lpszClassName = GetWindowClassName();
  if (::RegisterClassExW(&wc) != 0) return true;
  return ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::CreateWithSize(HWND parent, const UIChar* title, DWORD style, DWORD exStyle, int x, int y, int cx,
                                int cy, HMENU menu) {
  const bool registered = GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
  if (!registered) return nullptr;
  const HWND created = ::CreateWindowExW(exStyle, GetWindowClassName(), title, style, x, y, cx, cy, parent, menu,
                                        CWindowManagerUI::GetInstance(), this);
  // A window destroyed during its own creation has already cleared m_hWnd.
  if (created == nullptr) return nullptr;
  m_hWnd = created;
  return m_hWnd;
}

HWND CWindowWnd::CreateWithRect(HWND parent, const UIChar* title, DWORD style, DWORD exStyle, const CUIRect& rect,
                                HMENU menu) {
  return CreateWithSize(parent, title, style, exStyle, rect.left, rect.top, rect.GetWidth(), rect.GetHeight(), menu);
}

// --- Window procedures ---

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* window = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    window = static_cast<CWindowWnd*>(create->lpCreateParams);
    if (window != nullptr) {
      window->m_hWnd = hWnd;
      ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
  } else {
    window = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  }
  return RouteMessage(window, hWnd, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* window = nullptr;
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    window = static_cast<CWindowWnd*>(create->lpCreateParams);
    if (window != nullptr) {
      ::SetPropW(hWnd, kObjectProperty, window);
      window->m_hWnd = hWnd;
    }
  } else {
    window = static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProperty));
  }
  return RouteMessage(window, hWnd, message, wParam, lParam, true);
}

LRESULT CWindowWnd::RouteMessage(CWindowWnd* window, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 bool superclass) {
  if (window == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);
  if (message != WM_NCDESTROY) return window->HandleMessage(message, wParam, lParam);
  // The last message goes straight to the saved procedure; afterwards the
  // object is unhooked, its handle cleared, and it hears of the end once.
  const LRESULT result = ::CallWindowProcW(window->m_OldWndProc, hWnd, message, wParam, lParam);
  if (superclass) {
    if (window->m_bSubclassed) window->Unsubclass();
    ::RemovePropW(hWnd, kObjectProperty);
  } else {
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    if (window->m_bSubclassed) window->Unsubclass();
  }
  window->m_bSubclassed = false;
  window->m_hWnd = nullptr;
  window->OnLastMessage(hWnd);
  return result;
}

// --- Window operations ---

void CWindowWnd::ShowOrHide(bool show, bool takeFocus) {
  if (!::IsWindow(m_hWnd)) return;
  ::ShowWindow(m_hWnd, !show ? SW_HIDE : (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE));
}

void CWindowWnd::PostClose(UINT result) {
  if (::IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

bool CWindowWnd::PostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
}

LRESULT CWindowWnd::SendWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

void CWindowWnd::Unsubclass() {
  if (!::IsWindow(m_hWnd) || !m_bSubclassed) return;
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
  m_OldWndProc = ::DefWindowProcW;
  m_bSubclassed = false;
}

void CWindowWnd::CenterOnOwner() {
  RECT window = {};
  ::GetWindowRect(m_hWnd, &window);
  const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
  RECT reference = monitor.rcWork;
  if (owner != nullptr && !::IsIconic(owner)) ::GetWindowRect(owner, &reference);
  const CUIPoint topLeft = CenterInReference(CUISize(window.right - window.left, window.bottom - window.top),
                                             ToUIRect(reference), ToUIRect(monitor.rcWork));
  ::SetWindowPos(m_hWnd, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Modal loop ---

UINT CWindowWnd::RunModalLoop() {
  UINT result = 0;
  // Only locals from here on: a heap window deletes itself at its last
  // message, inside this loop, so its members are gone when the loop ends.
  const HWND window = m_hWnd;
  const HWND owner = ::GetWindow(window, GW_OWNER);
  ::ShowWindow(window, SW_SHOWNORMAL);
  if (owner != nullptr) ::EnableWindow(owner, FALSE);
  MSG msg = {};
  bool quit = false;
  while (::IsWindow(window)) {
    const MessageWait wait = WaitForNextMessage(msg);
    if (wait == MessageWait::Failed) continue;  // nothing was received: never dispatch it, wait again
    if (wait == MessageWait::Quit) {
      quit = true;
      break;
    }
    if (msg.message == WM_CLOSE && msg.hwnd == window) {
      result = static_cast<UINT>(msg.wParam);
      // The owner must be enabled before this window goes, or the system
      // activates some other program's window.
      if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
      }
    }
    DispatchWithPreTranslation(msg);
  }
  if (owner != nullptr) {
    ::EnableWindow(owner, TRUE);
    ::SetFocus(owner);
  }
  if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
  return result;
}

}  // namespace Trellis
