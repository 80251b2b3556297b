#pragma once

// Drives a framework window the way a user would, for the window tests: finds
// a control by its skin name and clicks it, types text into it, presses keys
// and turns the mouse wheel over it. Every input is posted to the window and
// then pumped through the framework's own loop steps (the managers'
// pre-translation, TranslateMessage, DispatchMessageW), so it takes the same
// path as real input: pre-message filters, capture, hover and focus included.
//
// A window of another process (the real program) is driven the same way: a
// SkinMirror builds the same skin in a hidden window of this process at the
// same size, the driver finds the controls' places in it, and the input goes
// to the other window. The mirror is told what changed its layout (a tab
// page selected, a control shown) as the test goes. Input to another process
// is handled when that process gets to it: wait for its effect, not for Pump.
// Header only: it needs the framework, which only window tests link.
#include <windows.h>

#include "ui/control/ControlUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

namespace testwindows {

class WindowDriver {
 public:
  // Drives `manager`'s window; the manager must be bound to a window already.
  explicit WindowDriver(Trellis::CWindowManagerUI& manager) : m_manager(manager) {}
  // Finds controls in `layout` (a mirror's manager) and sends the input to
  // `target`, a window of another process built from the same skin.
  WindowDriver(Trellis::CWindowManagerUI& layout, HWND target) : m_manager(layout), m_target(target) {}

  HWND window() const { return m_target != nullptr ? m_target : m_manager.GetPaintWindow(); }

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
    HWND target = m_target != nullptr ? m_target : GetFocus();
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

  Trellis::CWindowManagerUI& m_manager;  // borrowed: the window under test, or the mirror of another process's window
  HWND m_target = nullptr;               // the other process's window; null when driving m_manager's own
};

// A hidden window of this process built from a skin file, laid out at a given
// client size: where a window of another process built from the same skin
// has its controls. Skin files are found through the managers' resource path.
class SkinMirror : public Trellis::CWindowWnd {
 public:
  SkinMirror() = default;
  ~SkinMirror() override {
    if (GetHandle() != nullptr) DestroyWindow(GetHandle());
  }

  // Builds `skinFile` at the client size `width` x `height`; false when it
  // cannot be built.
  bool Open(const wchar_t* skinFile, int width, int height) {
    if (CreateWithSize(nullptr, L"skin mirror", WS_POPUP, WS_EX_TOOLWINDOW, -4000, -4000, width, height) == nullptr)
      return false;
    m_pm.InitForWindow(GetHandle());
    Trellis::CSkinBuilder builder;
    Trellis::CControlUI* root = builder.CreateFromSource(Trellis::UIResourceRef(skinFile), nullptr, nullptr, &m_pm);
    if (root == nullptr) return false;
    m_pm.AttachRootControl(root);
    MoveWindow(GetHandle(), -4000, -4000, width, height, FALSE);
    m_width = width;
    m_height = height;
    Relayout();
    return true;
  }
  // Lays the tree out again, after the test changed what the other window changed.
  void Relayout() {
    if (Trellis::CControlUI* root = m_pm.GetRootControl()) root->SetPos(Trellis::CUIRect(0, 0, m_width, m_height));
  }
  Trellis::CWindowManagerUI& manager() { return m_pm; }
  Trellis::CControlUI* Find(const wchar_t* name) const { return m_pm.FindControlByName(name); }

 protected:
  const Trellis::UIChar* GetWindowClassName() const override { return L"QuilloraTestSkinMirror"; }

 private:
  Trellis::CWindowManagerUI m_pm;
  int m_width = 0;
  int m_height = 0;
};

}  // namespace testwindows
