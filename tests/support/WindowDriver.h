#pragma once

// Drives a framework window the way a user would, for the window tests: finds
// a control by its skin name and clicks it, types text into it, presses keys
// and turns the mouse wheel over it. Every input is posted to the window and
// then pumped through the framework's own loop steps (the managers'
// pre-translation, TranslateMessage, DispatchMessageW), so it takes the same
// path as real input: pre-message filters, capture, hover and focus included.
// In-process windows only: the real program in a process of its own is
// driven by tests/support/ProgramDriver.h.
// Header only: it needs the framework, which only window tests link.
#include <windows.h>

#include "tests/support/Waiting.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

#include <cstdint>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

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

  // Clicks the named control but leaves the press and release queued: for a
  // click made from inside a window's modal loop (a thread timer), whose
  // result that loop must read itself (it takes WM_CLOSE's result code only
  // from messages it removes). False when no such control exists.
  bool PostClick(const wchar_t* name) {
    const POINT at = CentreOf(name);
    if (Find(name) == nullptr) return false;
    MoveTo(at);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    Post(WM_LBUTTONUP, 0, Point(at));
    return true;
  }

  // The same at a client point.
  void ClickAt(POINT at) {
    MoveTo(at);
    ClickInPlace(at);
  }

  // Presses and releases the left button at a client point the pointer
  // already rests on: no move comes first, as none does for a person.
  void ClickInPlace(POINT at) {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    Post(WM_LBUTTONUP, 0, Point(at));
    Pump();
  }

  // Moves the mouse to a client point.
  void MoveTo(POINT at) {
    Post(WM_MOUSEMOVE, 0, Point(at));
    Pump();
  }

  // Moves the mouse to a client point and puts the real cursor there too, so
  // the moves the system makes up when windows appear (pop-ups, hover menus)
  // report the same place.
  void HoverAt(POINT at) {
    POINT screen = at;
    ClientToScreen(window(), &screen);
    SetCursorPos(screen.x, screen.y);
    MoveTo(at);
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

  // Presses one key while a modifier (VK_CONTROL, VK_SHIFT or VK_MENU) is held:
  // the thread's key state says the modifier is down while the key's messages
  // are handled, as it does for the user's chord (Ctrl+V, say).
  void KeyWith(UINT modifier, UINT virtualKey) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE before = state[modifier];
    state[modifier] |= 0x80;
    SetKeyboardState(state);
    Key(virtualKey);
    GetKeyboardState(state);
    state[modifier] = before;
    SetKeyboardState(state);
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

  // The tests' pump (tests/support/Waiting.h), here for the window tests that drive with it.
  static void Pump() { testwait::Pump(); }
  static void PumpFor(DWORD milliseconds) { testwait::PumpFor(milliseconds); }

 private:
  static LPARAM Point(POINT at) { return MAKELPARAM(at.x, at.y); }
  void Post(UINT message, WPARAM wParam, LPARAM lParam) { PostMessageW(window(), message, wParam, lParam); }

  Trellis::CWindowManagerUI& m_manager;  // borrowed: the window under test
};

}  // namespace testwindows
