// CWindowManagerUI, messages and input: the window's message handling, the
// only place of the framework that unpacks WPARAM/LPARAM; everything past it
// travels as UIEvent records. Also the pre-translation of queued messages
// that every message loop runs, and the process's message loop.
//
// Sections: Event delivery; Message handling; Mouse; Hover and tooltips;
// Closing and focus loss; Printing; Pre-translation and the message loop.
#include <windowsx.h>

#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/MessageLoop.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowManagerProcess.h"

namespace Trellis {

namespace {

// Messages reflected to native child windows, as their hosting controls expect.
constexpr UINT kReflectBase = 0x2000;
constexpr UINT kReflectedNotify = kReflectBase + WM_NOTIFY;    // 0x204E
constexpr UINT kReflectedCommand = kReflectBase + WM_COMMAND;  // 0x2111

// One character upper-cased by the platform's rules (CharUpperW's one-character form).
UIChar UpperChar(UIChar ch) {
  return static_cast<UIChar>(
      reinterpret_cast<ULONG_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch)))));
}

CUIPoint PointFromLParam(LPARAM lParam) { return CUIPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

LPARAM LParamFromPoint(CUIPoint point) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
}

CUIPoint ScreenPointToClient(HWND hWnd, LPARAM lParam) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ::ScreenToClient(hWnd, &point);
  return CUIPoint(point.x, point.y);
}

}  // namespace

// --- Event delivery ---

namespace {

void SendEventWithSender(CControlUI* control, CControlUI* sender, int kind, CUIPoint point, WPARAM wParam,
                         LPARAM lParam, UINT key, WORD keyState) {
  UIEvent event;
  event.Type = kind;
  event.pSender = sender;
  event.dwTimestamp = ::GetTickCount();
  event.ptMouse = point;
  event.chKey = static_cast<UIChar>(key);
  event.wKeyState = keyState;
  event.wParam = wParam;
  event.lParam = lParam;
  control->SendEvent(event);
}

}  // namespace

void CWindowManagerUI::SendEventTo(CControlUI* control, int kind, CUIPoint point, WPARAM wParam, LPARAM lParam,
                                   UINT key, WORD keyState, CControlUI* sender) {
  if (control == nullptr) return;
  SendEventWithSender(control, sender != nullptr ? sender : control, kind, point, wParam, lParam, key, keyState);
}

void CWindowManagerUI::SendKillFocusEvent(CControlUI* oldFocus, CControlUI* newFocus) {
  if (oldFocus == nullptr) return;
  SendEventWithSender(oldFocus, newFocus, kUIEventKillFocus, m_ptLastMousePos, 0, 0, 0, CurrentKeyState());
}

CControlUI* CWindowManagerUI::FindOwnControlAt(CUIPoint point) const {
  CControlUI* control = FindControlAtPoint(point);
  return control != nullptr && control->GetManager() == this ? control : nullptr;
}

void CWindowManagerUI::SetMouseCapture() {
  ::SetCapture(m_hWndPaint);
  m_bMouseCapture = true;
}

void CWindowManagerUI::ReleaseMouseCapture() {
  ::ReleaseCapture();
  m_bMouseCapture = false;
}

// --- Message handling ---

bool CWindowManagerUI::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  if (m_hWndPaint == nullptr) return false;

  for (int i = 0; i < m_aMessageFilters.GetSize(); ++i) {
    bool handled = false;
    const LRESULT filtered =
        static_cast<IMessageFilterUI*>(m_aMessageFilters.GetAt(i))->FilterMessage(message, wParam, lParam, handled);
    if (!handled) continue;
    if (message == WM_CONTEXTMENU || message == WM_MOUSEWHEEL) {
      m_ptLastMousePos = ScreenPointToClient(m_hWndPaint, lParam);
    } else if (message >= WM_MOUSEMOVE && message <= WM_LBUTTONDBLCLK) {
      m_ptLastMousePos = PointFromLParam(lParam);
    }
    result = filtered;
    return true;
  }

  if (m_bLayered) {
    switch (message) {
      case WM_NCCALCSIZE:
      case WM_NCPAINT:
        return true;
      case WM_NCACTIVATE:
        if (::IsIconic(m_hWndPaint)) return false;
        result = wParam == 0 ? TRUE : FALSE;
        return true;
      default:
        break;
    }
  }

  switch (message) {
    case WM_SIZE:
      if (m_pFocus != nullptr) {
        SendEventTo(m_pFocus, kUIEventWindowSize, m_ptLastMousePos, wParam, lParam, 0, CurrentKeyState());
      }
      if (m_pRoot != nullptr) m_pRoot->RequestLayout();
      m_bUpdateNeeded = true;
      if (m_bLayered) {
        RECT client = {};
        ::GetClientRect(m_hWndPaint, &client);
        m_rcLayeredUpdate = CUIRect(client.left, client.top, client.right, client.bottom);
      }
      return true;
    case WM_KILLFOCUS:
      if (wParam != 0) HandleKillFocus(reinterpret_cast<HWND>(wParam));
      return false;
    case WM_PAINT:
      HandlePaint();
      return true;
    case WM_CLOSE:
      HandleClose();
      return false;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_SETCURSOR: {
      if (m_pRoot == nullptr || LOWORD(lParam) != HTCLIENT) return false;
      if (m_bMouseCapture) return true;
      POINT cursor = {};
      ::GetCursorPos(&cursor);
      ::ScreenToClient(m_hWndPaint, &cursor);
      CControlUI* control = FindControlAtPoint(CUIPoint(cursor.x, cursor.y));
      if (control == nullptr || (control->GetControlFlags() & kUIFlagSetCursor) == 0) return false;
      SendEventTo(control, kUIEventSetCursor, CUIPoint(cursor.x, cursor.y), wParam, lParam, 0, CurrentKeyState());
      return true;
    }
    case WM_MOUSEACTIVATE:
      if (!m_bNoActivate) return false;
      result = MA_NOACTIVATE;
      return true;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (info == nullptr) return false;
      if (m_szMinWindow.cx > 0) info->ptMinTrackSize.x = m_szMinWindow.cx;
      if (m_szMinWindow.cy > 0) info->ptMinTrackSize.y = m_szMinWindow.cy;
      if (m_szMaxWindow.cx > 0) info->ptMaxTrackSize.x = m_szMaxWindow.cx;
      if (m_szMaxWindow.cy > 0) info->ptMaxTrackSize.y = m_szMaxWindow.cy;
      return false;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr) result = ::SendMessageW(header->hwndFrom, kReflectedNotify, wParam, lParam);
      return true;
    }
    case WM_COMMAND:
      if (lParam == 0) return false;
      result = ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectedCommand, wParam, lParam);
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (lParam == 0) return false;
      result = ::SendMessageW(reinterpret_cast<HWND>(lParam), kReflectBase + message, wParam, lParam);
      return true;
    case WM_CONTEXTMENU:
      if (m_pRoot == nullptr || m_bMouseCapture) return false;
      m_ptLastMousePos = ScreenPointToClient(m_hWndPaint, lParam);
      if (m_pEventClick != nullptr) {
        CControlUI* click = m_pEventClick;
        m_pEventClick = nullptr;
        SendEventTo(click, kUIEventContextMenu, m_ptLastMousePos, 0, reinterpret_cast<LPARAM>(click), 0,
                    static_cast<WORD>(wParam));
      }
      return false;
    case WM_KEYDOWN:
      if (m_pRoot == nullptr || m_pFocus == nullptr) return false;
      m_pEventKey = m_pFocus;
      SendEventTo(m_pFocus, kUIEventKeyDown, m_ptLastMousePos, wParam, lParam, static_cast<UINT>(wParam),
                  CurrentKeyState());
      return false;
    case WM_KEYUP: {
      if (m_pRoot == nullptr || m_pEventKey == nullptr) return false;
      CControlUI* key = m_pEventKey;
      m_pEventKey = nullptr;
      SendEventTo(key, kUIEventKeyUp, m_ptLastMousePos, wParam, lParam, static_cast<UINT>(wParam), CurrentKeyState());
      return false;
    }
    case WM_CHAR:
      if (m_pRoot == nullptr || m_pFocus == nullptr) return false;
      SendEventTo(m_pFocus, kUIEventChar, m_ptLastMousePos, wParam, lParam, static_cast<UINT>(wParam),
                  CurrentKeyState());
      return false;
    case WM_TIMER:
      HandleTimer(LOWORD(wParam), lParam);
      return false;
    case WM_MOUSEMOVE:
      HandleMouseMove(PointFromLParam(lParam), wParam, lParam);
      return false;
    case WM_LBUTTONDOWN: {
      if (!m_bNoActivate) ::SetFocus(m_hWndPaint);
      if (m_pRoot == nullptr) return false;
      m_ptLastMousePos = PointFromLParam(lParam);
      CControlUI* control = FindOwnControlAt(m_ptLastMousePos);
      if (control == nullptr) return false;
      m_pEventClick = control;
      control->SetFocus();
      SetMouseCapture();
      // The focus change may have taken the control away.
      if (m_pEventClick == control) {
        SendEventTo(control, kUIEventButtonDown, m_ptLastMousePos, wParam, lParam, 0, static_cast<WORD>(wParam));
      }
      return false;
    }
    case WM_LBUTTONUP: {
      m_ptLastMousePos = PointFromLParam(lParam);
      if (m_pEventClick == nullptr) return false;
      CControlUI* click = m_pEventClick;
      ReleaseMouseCapture();
      SendEventTo(click, kUIEventButtonUp, m_ptLastMousePos, wParam, lParam, 0, static_cast<WORD>(wParam));
      if (m_pEventClick == click) m_pEventClick = nullptr;
      return false;
    }
    case WM_LBUTTONDBLCLK: {
      if (!m_bNoActivate) ::SetFocus(m_hWndPaint);
      m_ptLastMousePos = PointFromLParam(lParam);
      if (m_pRoot == nullptr) return false;
      CControlUI* control = FindOwnControlAt(m_ptLastMousePos);
      if (control == nullptr) return false;
      SetMouseCapture();
      m_pEventClick = control;
      SendEventTo(control, kUIEventDoubleClick, m_ptLastMousePos, 0, 0, 0, static_cast<WORD>(wParam));
      return false;
    }
    case WM_RBUTTONDOWN: {
      if (!m_bNoActivate) ::SetFocus(m_hWndPaint);
      m_ptLastMousePos = PointFromLParam(lParam);
      if (m_pRoot == nullptr) return false;
      CControlUI* control = FindOwnControlAt(m_ptLastMousePos);
      if (control == nullptr) return false;
      control->SetFocus();
      m_pEventClick = control;
      SendEventTo(control, kUIEventRightButtonDown, m_ptLastMousePos, wParam, lParam, 0, static_cast<WORD>(wParam));
      return false;
    }
    case WM_MOUSEWHEEL: {
      if (m_pRoot == nullptr) return false;
      m_ptLastMousePos = ScreenPointToClient(m_hWndPaint, lParam);
      CControlUI* control = FindOwnControlAt(m_ptLastMousePos);
      if (control == nullptr) return false;
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      SendEventTo(control, kUIEventScrollWheel, m_ptLastMousePos, delta < 0 ? 1 : 0, lParam, 0, CurrentKeyState());
      // Hover follows the content that scrolled under the mouse.
      ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, LParamFromPoint(m_ptLastMousePos));
      return false;
    }
    case WM_MOUSEHOVER:
      return HandleMouseHover(PointFromLParam(lParam), wParam, lParam);
    case WM_MOUSELEAVE:
      HandleMouseLeave();
      return false;
    case WM_PRINTCLIENT:
      HandlePrintClient(reinterpret_cast<HDC>(wParam), lParam);
      return false;
    case kFlushNotifyMessage:
      FlushNotifications();
      return false;
    default:
      return false;
  }
}

// --- Mouse ---

bool CWindowManagerUI::HandleMouseMove(CUIPoint point, WPARAM wParam, LPARAM lParam) {
  if (m_pRoot == nullptr) return false;
  if (!m_bMouseTracking) {
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_HOVER | TME_LEAVE;
    track.hwndTrack = m_hWndPaint;
    track.dwHoverTime = m_hwndTooltip != nullptr
                            ? static_cast<DWORD>(::SendMessageW(m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                            : m_iHoverTime;
    ::TrackMouseEvent(&track);
    m_bMouseTracking = true;
  }
  m_ptLastMousePos = point;
  CControlUI* newHover = FindControlAtPoint(point);
  if (newHover != nullptr && newHover->GetManager() != this) return false;
  const WORD keyState = CurrentKeyState();
  if (!m_bMouseCapture && newHover != m_pEventHover) {
    if (m_pEventHover != nullptr) {
      CControlUI* oldHover = m_pEventHover;
      // Over a copy: a listener may leave the list while it is told.
      const CUIPtrArray listeners(m_aMouseLeaveListeners);
      for (int i = 0; i < listeners.GetSize(); ++i) {
        auto* listener = static_cast<CControlUI*>(listeners.GetAt(i));
        if (m_aMouseLeaveListeners.Find(listener) < 0) continue;
        SendEventTo(listener, kUIEventMouseLeave, point, wParam, lParam, 0, keyState, oldHover);
      }
      if (m_pEventHover == oldHover) {
        SendEventTo(oldHover, kUIEventMouseLeave, point, wParam, lParam, 0, keyState);
      }
      m_pEventHover = nullptr;
      HideToolTip();
    }
    // The leave handlers may have removed the new hover control as well.
    newHover = FindControlAtPoint(point);
    if (newHover != nullptr && newHover->GetManager() == this) {
      m_pEventHover = newHover;
      SendEventTo(newHover, kUIEventMouseEnter, point, wParam, lParam, 0, keyState);
    }
  }
  // The click control follows the mouse only while a button is held (the
  // capture of a left press counts too, for moves posted without the button
  // bits); after a right click without capture it is not held any more.
  const bool buttonHeld = (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0 || m_bMouseCapture;
  CControlUI* target = m_pEventClick != nullptr && buttonHeld ? m_pEventClick : FindOwnControlAt(point);
  if (target != nullptr) SendEventTo(target, kUIEventMouseMove, point, wParam, lParam, 0, keyState);
  return false;
}

void CWindowManagerUI::HandleMouseLeave() {
  if (m_pRoot == nullptr) return;
  HideToolTip();
  if (!m_bMouseTracking) return;
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  RECT window = {};
  ::GetWindowRect(m_hWndPaint, &window);
  const bool inside = !::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint && ::PtInRect(&window, cursor) &&
                      ::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT;
  if (inside) {
    ::ScreenToClient(m_hWndPaint, &cursor);
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, LParamFromPoint(CUIPoint(cursor.x, cursor.y)));
  } else {
    // -1,-1 hits no control, so the hover control hears that the mouse left.
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
  }
  m_bMouseTracking = false;
}

// --- Hover and tooltips ---

void CWindowManagerUI::HideToolTip() {
  if (m_hwndTooltip != nullptr) ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
}

bool CWindowManagerUI::HandleMouseHover(CUIPoint point, WPARAM wParam, LPARAM lParam) {
  if (m_pRoot == nullptr) return false;
  m_bMouseTracking = false;
  CControlUI* hover = FindControlAtPoint(point);
  if (hover == nullptr) return false;
  if (m_pEventHover != nullptr) {
    SendEventTo(m_pEventHover, kUIEventMouseHover, point, wParam, lParam, 0, CurrentKeyState());
  }
  hover = FindControlAtPoint(point);  // the hover handler may have changed the tree
  if (hover == nullptr) return true;
  CUIString tip = hover->GetToolTip();
  if (tip.IsEmpty()) return true;
  ProcessMultiLanguageTokens(tip);
  // The tooltip keeps its own copy of the text; this one only has to live
  // through the messages below.
  m_ToolTip = {};
  m_ToolTip.cbSize = TTTOOLINFOW_V1_SIZE;
  // A tracked tool: the tip shows where TTM_TRACKPOSITION puts it (the
  // common controls ignore tracking messages for tools without TTF_TRACK).
  m_ToolTip.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
  m_ToolTip.hwnd = m_hWndPaint;
  m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
  m_ToolTip.hinst = GetInstance();
  m_ToolTip.lpszText = const_cast<UIChar*>(tip.GetText());
  m_ToolTip.rect = *reinterpret_cast<const RECT*>(&hover->GetPos());
  const int width = hover->GetToolTipWidth();
  if (m_hwndTooltip == nullptr) {
    m_hwndTooltip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint, nullptr,
                                      GetInstance(), nullptr);
    if (m_hwndTooltip == nullptr) return true;
    ::SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, width);
    m_iLastTooltipWidth = width;
  }
  if (m_pLastToolTip != hover || m_iLastTooltipWidth != width) {
    ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, width);
    m_iLastTooltipWidth = width;
  }
  m_pLastToolTip = hover;
  ::SendMessageW(m_hwndTooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
  ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
  // Tracking positions are screen coordinates: the tip appears at the mouse.
  POINT at = {point.x, point.y + ::GetSystemMetrics(SM_CYCURSOR) / 2};
  ::ClientToScreen(m_hWndPaint, &at);
  ::SendMessageW(m_hwndTooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
  return true;
}

// --- Closing and focus loss ---

void CWindowManagerUI::HandleClose() {
  // Controls holding hover or a pressed state hear that it ends before the
  // window goes, so a held button is released first.
  const WORD keyState = CurrentKeyState();
  if (m_pEventHover != nullptr) {
    CControlUI* hover = m_pEventHover;
    m_pEventHover = nullptr;
    SendEventTo(hover, kUIEventMouseLeave, m_ptLastMousePos, 0, 0, 0, keyState);
  }
  if (m_pEventClick != nullptr) {
    CControlUI* click = m_pEventClick;
    m_pEventClick = nullptr;
    if (m_bMouseCapture) ReleaseMouseCapture();
    SendEventTo(click, kUIEventButtonUp, m_ptLastMousePos, 0, 0, 0, keyState);
  }
  SetFocusControl(nullptr, false);
  if (::GetActiveWindow() == m_hWndPaint) {
    const bool child = (::GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0;
    const HWND next = child ? ::GetParent(m_hWndPaint) : ::GetWindow(m_hWndPaint, GW_OWNER);
    if (next != nullptr) ::SetFocus(next);
  }
  if (m_hwndTooltip != nullptr) {
    ::DestroyWindow(m_hwndTooltip);
    m_hwndTooltip = nullptr;
  }
}

void CWindowManagerUI::HandleKillFocus(HWND) {
  HWND focused = ::GetFocus();
  // Walk up to the child of this window that holds the native focus.
  while (focused != nullptr) {
    const HWND parent = ::GetParent(focused);
    if (parent == m_hWndPaint) break;
    focused = parent;
  }
  if (focused == nullptr) return;
  const int index = m_aNativeWindow.Find(focused);
  if (index < 0) return;
  auto* host = static_cast<CControlUI*>(m_aNativeWindowControl.GetAt(index));
  if (host != m_pFocus) SetFocusControl(host, false);
}

// --- Printing ---

void CWindowManagerUI::HandlePrintClient(HDC dc, LPARAM flags) {
  if (m_pRoot == nullptr || dc == nullptr) return;
  RECT client = {};
  ::GetClientRect(m_hWndPaint, &client);
  const int saved = ::SaveDC(dc);
  m_pRoot->Paint(dc, CUIRect(client.left, client.top, client.right, client.bottom), nullptr);
  if ((flags & PRF_CHILDREN) != 0) {
    for (HWND child = ::GetWindow(m_hWndPaint, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      RECT rect = {};
      ::GetWindowRect(child, &rect);
      ::MapWindowPoints(HWND_DESKTOP, m_hWndPaint, reinterpret_cast<POINT*>(&rect), 2);
      POINT origin = {};
      ::SetWindowOrgEx(dc, -rect.left, -rect.top, &origin);
      ::SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), flags | PRF_NONCLIENT);
      ::SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
    }
  }
  ::RestoreDC(dc, saved);
}

// --- Pre-translation and the message loop ---

bool CWindowManagerUI::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  for (int i = 0; i < m_aPreMessageFilters.GetSize(); ++i) {
    bool handled = false;
    const LRESULT filtered = static_cast<IMessageFilterUI*>(m_aPreMessageFilters.GetAt(i))
                                 ->FilterMessage(message, wParam, lParam, handled);
    if (handled) {
      (void)filtered;  // a consumed queued message has no result to give
      return true;
    }
  }
  switch (message) {
    case WM_KEYDOWN: {
      if (wParam != VK_TAB) return false;
      // A rich edit that takes Tab as text answers its "wanttab" attribute.
      if (m_pFocus != nullptr && m_pFocus->IsVisible() && m_pFocus->IsEnabled()) {
        const CUIString className(m_pFocus->GetClassName());
        if (className.FindText(UI_TEXT("RichEdit")) >= 0 &&
            m_pFocus->GetAttribute(UI_TEXT("wanttab")).EqualsText(UI_TEXT("true"))) {
          return false;
        }
      }
      FocusNextTabStop(::GetKeyState(VK_SHIFT) >= 0);
      return true;
    }
    case WM_SYSCHAR: {
      if (m_pRoot == nullptr) return false;
      struct Shortcut {
        UIChar ch;
        bool pickNext;
        static CControlUI* Find(CControlUI* control, void* data) {
          auto* search = static_cast<Shortcut*>(data);
          if (!control->IsVisible()) return nullptr;
          const UIChar own = control->GetShortcut();
          if (own != 0 && UpperChar(own) == search->ch) {
            search->pickNext = true;
          }
          // A label never takes the focus: its shortcut goes to the next control.
          if (CUIString(control->GetClassName()).FindText(UI_TEXT("Label")) >= 0) return nullptr;
          return search->pickNext ? control : nullptr;
        }
      };
      // Document order (first child first): the control that follows a label
      // in the skin is the one its shortcut is meant for. Searching last child
      // first would hand a label's shortcut to the control before it.
      Shortcut search = {UpperChar(static_cast<UIChar>(wParam & 0xFFFF)), false};
      CControlUI* control = m_pRoot->FindControl(&Shortcut::Find, &search, kUIFindEnabled | kUIFindMeFirst);
      if (control == nullptr) return false;
      control->SetFocus();
      control->Activate();
      return true;
    }
    case WM_SYSKEYDOWN:
      if (m_pFocus != nullptr) {
        SendEventTo(m_pFocus, kUIEventSysKey, m_ptLastMousePos, wParam, lParam, static_cast<UINT>(wParam),
                    CurrentKeyState());
      }
      return false;
    default:
      (void)result;
      return false;
  }
}

bool CWindowManagerUI::TranslateAccelerator(MSG* message) {
  for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
    if (static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator.GetAt(i))->TranslateKeyMessage(message) == 0) {
      return true;
    }
  }
  return false;
}

bool CWindowManagerUI::TranslateMessage(const MSG* message) {
  if (message == nullptr) return false;
  MSG copy = *message;
  const CUIPtrArray& managers = GetProcessState().managers;
  const bool child = (::GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD) != 0;
  if (child) {
    for (int i = managers.GetSize() - 1; i >= 0; --i) {
      auto* manager = static_cast<CWindowManagerUI*>(managers.GetAt(i));
      for (HWND walk = ::GetParent(message->hwnd); walk != nullptr; walk = ::GetParent(walk)) {
        if (manager->m_hWndPaint != walk && manager->m_hWndPaint != message->hwnd) continue;
        if (manager->TranslateAccelerator(&copy)) return true;
        LRESULT ignored = 0;
        manager->PreMessageHandler(message->message, message->wParam, message->lParam, ignored);
        break;  // once per manager: a Tab must not step twice
      }
    }
    return false;
  }
  for (int i = 0; i < managers.GetSize(); ++i) {
    auto* manager = static_cast<CWindowManagerUI*>(managers.GetAt(i));
    if (manager->m_hWndPaint != message->hwnd) continue;
    if (manager->TranslateAccelerator(&copy)) return true;
    LRESULT ignored = 0;
    return manager->PreMessageHandler(message->message, message->wParam, message->lParam, ignored);
  }
  return false;
}

int CWindowManagerUI::RunMessageLoop() {
  MSG msg = {};
  for (;;) {
    switch (WaitForNextMessage(msg)) {
      case MessageWait::Message:
        DispatchWithPreTranslation(msg);
        break;
      case MessageWait::Quit:
        return static_cast<int>(msg.wParam);
      case MessageWait::Failed:
        break;  // nothing was received: wait again
    }
  }
}

}  // namespace Trellis
