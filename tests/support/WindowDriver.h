#pragma once

// Drives a framework window the way a user would, for the window tests: finds
// a control by its skin name and clicks it, types text into it, presses keys
// and turns the mouse wheel over it. Every input is posted to the window and
// then pumped through the framework's own loop steps (the managers'
// pre-translation, TranslateMessage, DispatchMessageW), so it takes the same
// path as real input: pre-message filters, capture, hover and focus included.
// RemoteWindowDriver does the same for the main window of the program's test
// variant running in a process of its own (the end-to-end tests).
// Header only: it needs the framework, which only window tests link.
#include <windows.h>

#include <string>
#include <vector>

#include "app/TestHooks.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

namespace testwindows {

class WindowDriver {
 public:
  // Drives `manager`'s window; the manager must be bound to a window already.
  explicit WindowDriver(Trellis::CWindowManagerUI& manager) : m_manager(manager) {}

  HWND window() const { return m_manager.GetPaintWindow(); }

  // The control of that skin name, or null.
  Trellis::CControlUI* Find(const wchar_t* name) const { return m_manager.FindControlByName(name); }

  // The centre of a control in client coordinates ((-1,-1) when there is no such control).
  POINT CentreOf(const wchar_t* name) const {
    Trellis::CControlUI* control = Find(name);
    if (control == nullptr) return POINT{-1, -1};
    const Trellis::CUIRect pos = control->GetPos();
    return POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
  }

  // Moves the mouse over the named control, presses and releases the left
  // button at its centre; false when no such control exists.
  bool Click(const wchar_t* name) {
    const POINT at = CentreOf(name);
    if (Find(name) == nullptr) return false;
    ClickAt(at);
    return true;
  }

  // The same at a client point.
  void ClickAt(POINT at) {
    MoveTo(at);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    Post(WM_LBUTTONUP, 0, Point(at));
    Pump();
  }

  // Moves the mouse to a client point.
  void MoveTo(POINT at) {
    Post(WM_MOUSEMOVE, 0, Point(at));
    Pump();
  }

  // Presses the left button at a client point and keeps it down.
  void PressAt(POINT at) {
    MoveTo(at);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    Pump();
  }

  // Releases the left button at a client point.
  void ReleaseAt(POINT at) {
    Post(WM_LBUTTONUP, 0, Point(at));
    Pump();
  }

  // Clicks the named control (so it takes the focus) and types the text into
  // it one WM_CHAR per UTF-16 unit; false when no such control exists.
  bool Type(const wchar_t* name, const wchar_t* text) {
    if (!Click(name)) return false;
    TypeText(text);
    return true;
  }

  // Types into whatever has the keyboard focus now.
  void TypeText(const wchar_t* text) {
    for (const wchar_t* p = text; *p != 0; ++p) Post(WM_CHAR, static_cast<WPARAM>(*p), 1);
    Pump();
  }

  // Presses and releases one key (a virtual-key code such as VK_ESCAPE); the
  // messages go to the window that has the keyboard focus, else to this window.
  void Key(UINT virtualKey) {
    HWND target = GetFocus();
    if (target == nullptr) target = window();
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(target, WM_KEYUP, virtualKey, scan | 1 | (1 << 30) | (1u << 31));
    Pump();
  }

  // Turns the mouse wheel over the named control by `notches` (positive scrolls
  // up, negative down); false when no such control exists.
  bool Scroll(const wchar_t* name, int notches) {
    if (Find(name) == nullptr) return false;
    POINT at = CentreOf(name);
    MoveTo(at);
    ClientToScreen(window(), &at);  // wheel messages carry screen coordinates
    const int step = notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA;
    for (int i = 0; i < (notches > 0 ? notches : -notches); ++i) {
      Post(WM_MOUSEWHEEL, MAKEWPARAM(0, step), MAKELPARAM(at.x, at.y));
    }
    Pump();
    return true;
  }

  // Runs every message queued for this thread now through the framework's
  // loop steps, painting included (WM_PAINT is made when nothing else waits).
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the test's own loop
        break;
      }
      if (!Trellis::CWindowManagerUI::TranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
  }

  // Pumps for a while (timers, delayed notifications, animations).
  void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
      Pump();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
    Pump();
  }

 private:
  static LPARAM Point(POINT at) { return MAKELPARAM(at.x, at.y); }
  void Post(UINT message, WPARAM wParam, LPARAM lParam) { PostMessageW(window(), message, wParam, lParam); }

  Trellis::CWindowManagerUI& m_manager;  // borrowed: the window under test
};

// Drives the main window of the program's test variant (QuilloraTestHooks.exe)
// from the test's own process: controls are found by skin name through the
// program's control query (app/TestHooks.h), and mouse input is posted to the
// window, which its own thread then runs through the framework's loop.
class RemoteWindowDriver {
 public:
  struct Control {
    bool found = false;
    bool visible = false;  // shown, with every parent
    bool enabled = false;
    POINT centre = {-1, -1};  // client coordinates
  };

  explicit RemoteWindowDriver(HWND window) : m_window(window) {}

  HWND window() const { return m_window; }

  // The n-th control of that skin name (0 first, in tree order, hidden ones included).
  Control Query(const std::wstring& name, int index = 0) const {
    const std::wstring query = name + L"#" + std::to_wstring(index);
    COPYDATASTRUCT data = {};
    data.dwData = kTestQueryControl;
    data.cbData = static_cast<DWORD>((query.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(query.c_str());
    DWORD_PTR result = 0;
    Control control;
    if (!SendMessageTimeoutW(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &result)) {
      return control;
    }
    const uint32_t reply = static_cast<uint32_t>(result);
    control.found = (reply & kTestControlFound) != 0;
    control.visible = (reply & kTestControlVisible) != 0;
    control.enabled = (reply & kTestControlEnabled) != 0;
    if (control.found) control.centre = POINT{TestControlX(reply), TestControlY(reply)};
    return control;
  }

  // Drops files on the window: the program posts itself WM_DROPFILES with a
  // drop block of its own, as the system does for a drop from Explorer.
  bool DropFiles(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths) list += path + L'\0';
    list += L'\0';
    COPYDATASTRUCT data = {};
    data.dwData = kTestDropFiles;
    data.cbData = static_cast<DWORD>(list.size() * sizeof(wchar_t));
    data.lpData = &list[0];
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                               &result) != 0 &&
           result == 1;
  }

  // Whether the n-th control of that name is shown.
  bool Shows(const std::wstring& name, int index = 0) const { return Query(name, index).visible; }

  // Moves the mouse over the shown control and clicks its centre; false when
  // there is no such control or it is hidden.
  bool Click(const std::wstring& name, int index = 0) {
    const Control control = Query(name, index);
    if (!control.visible) return false;
    ClickAt(control.centre);
    return true;
  }

  void ClickAt(POINT at) {
    const LPARAM point = MAKELPARAM(at.x, at.y);
    PostMessageW(m_window, WM_MOUSEMOVE, 0, point);
    PostMessageW(m_window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(m_window, WM_LBUTTONUP, 0, point);
    Settle();
  }

  // Waits until the window's thread has taken what was posted so far.
  void Settle() const {
    DWORD_PTR ignored = 0;
    Sleep(100);
    SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    Sleep(100);
  }

  // Polls `condition` every 100 ms until it holds; false after `ms`.
  template <typename Condition>
  bool WaitUntil(Condition condition, DWORD ms) const {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!condition()) {
      if (GetTickCount64() > end) return false;
      Sleep(100);
    }
    return true;
  }

 private:
  HWND m_window;  // borrowed: a window of another process
};

}  // namespace testwindows
