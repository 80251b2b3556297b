#pragma once
// Drives the test variant of the real program (QuilloraTestHooks.exe) in a
// process of its own, the one way every end-to-end test does: starts it (with
// a stand-in instance's addresses and a working folder), asks its control
// query (core/base/portable/ControlQuery.h) where a control of any of its
// framework windows is, whether it shows and what it says, and posts mouse,
// key and character input to the window that holds it, or has it take a file
// drop. Owns the program (tests/support/RunningProgram.h) and the shared
// memory the program writes its replies into. Input to another process is
// handled when that process gets to it: wait for its effect (WaitUntil).
// Header only; needs the framework's pump (tests/support/Waiting.h), nothing
// of app/.
#include <windows.h>

#include "tests/support/ControlQueryClient.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/Standin.h"
#include "tests/support/Waiting.h"

#include <functional>
#include <string>
#include <vector>

namespace testprograms {

// The addresses of a stand-in instance, for the test variant.
inline ProgramEndpoints EndpointsOf(const standin::Instance& services, bool https = true) {
  ProgramEndpoints endpoints;
  endpoints.speech = https ? services.urls().speechHttps : services.urls().speechHttp;
  endpoints.management = https ? services.urls().managementHttps : services.urls().managementHttp;
  endpoints.login = services.urls().login;
  endpoints.caPem = services.caPem();
  endpoints.rsaPublicPem = services.rsaPublicPem();
  return endpoints;
}

class ProgramDriver {
 public:
  ProgramDriver() = default;
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  // Starts the test variant with `services`' addresses (null: the addresses
  // the program finds itself) in `folder` (empty: the build folder).
  bool Start(const standin::Instance* services = nullptr, const std::wstring& folder = std::wstring()) {
    ProgramStart start;
    start.folder = folder;
    ProgramEndpoints endpoints;
    if (services != nullptr) {
      endpoints = EndpointsOf(*services);
      start.endpoints = &endpoints;
    }
    return Start(start);
  }
  bool Start(const ProgramStart& start) {
    if (!m_program.Start(start)) return false;
    m_query.SetProcess(m_program.pid());
    return true;
  }

  Program& program() { return m_program; }
  DWORD pid() const { return m_program.pid(); }

  // The first shown top-level window of that class, waiting up to `timeoutMs`; null when none.
  HWND WaitForWindow(const wchar_t* windowClass, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = VisibleWindowOf(pid(), windowClass)) != nullptr; }, timeoutMs);
    return found;
  }

  // The `index`-th control of that skin name (0 first, hidden ones counted)
  // in the program's framework windows of `windowClass`; not answered once
  // the program has ended.
  ProgramControl Query(const wchar_t* windowClass, const wchar_t* name, int index = 0) {
    if (!m_program.Running()) return ProgramControl();
    return m_query.Query(windowClass, name, index);
  }
  bool Shows(const wchar_t* windowClass, const wchar_t* name, int index = 0) {
    return Query(windowClass, name, index).visible;
  }
  // Waits until the control shows; its state then (not found when it never showed).
  ProgramControl WaitForControl(const wchar_t* windowClass, const wchar_t* name, DWORD timeoutMs, int index = 0) {
    ProgramControl control;
    if (!WaitUntil([&] { return (control = Query(windowClass, name, index)).visible; }, timeoutMs)) {
      control = ProgramControl();
    }
    return control;
  }

  // Moves the mouse over the shown control and clicks its centre; false when
  // there is no such control or it is hidden.
  bool Click(const wchar_t* windowClass, const wchar_t* name, int index = 0) {
    const ProgramControl control = Query(windowClass, name, index);
    if (!control.visible) return false;
    ClickAt(control.window, control.Centre());
    return true;
  }
  // Clicks a client point of a window of the program.
  void ClickAt(HWND window, POINT at) {
    const LPARAM point = MAKELPARAM(at.x, at.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, point);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(window, WM_LBUTTONUP, 0, point);
    Settle(window);
  }
  // Moves the mouse to a client point, the real cursor too, so the moves the
  // system makes up when windows appear (hover menus) report the same place.
  void HoverAt(HWND window, POINT at) {
    POINT screen = at;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    Settle(window);
  }
  // Hovers over the centre of the shown control; false when it is not shown.
  bool Hover(const wchar_t* windowClass, const wchar_t* name, int index = 0) {
    const ProgramControl control = Query(windowClass, name, index);
    if (!control.visible) return false;
    HoverAt(control.window, control.Centre());
    return true;
  }

  // Clicks the control (so it takes the focus) and types the text into it.
  bool Type(const wchar_t* windowClass, const wchar_t* name, const wchar_t* text) {
    const ProgramControl control = Query(windowClass, name);
    if (!control.visible) return false;
    ClickAt(control.window, control.Centre());
    TypeText(control.window, text);
    return true;
  }
  // Types into the window's focused control: one WM_CHAR per UTF-16 unit.
  void TypeText(HWND window, const wchar_t* text) {
    for (const wchar_t* p = text; *p != 0; ++p) PostMessageW(window, WM_CHAR, static_cast<WPARAM>(*p), 1);
    Settle(window);
  }
  // Presses and releases one key (a virtual-key code) in the window.
  void Key(HWND window, UINT virtualKey) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(window, WM_KEYDOWN, virtualKey, scan | 1);
    PostMessageW(window, WM_KEYUP, virtualKey, scan | 1 | (1 << 30) | (1u << 31));
    Settle(window);
  }

  // Drops files on the first shown window of the class (ControlQueryClient::DropFiles).
  bool DropFiles(const wchar_t* windowClass, const std::vector<std::wstring>& paths) {
    return m_program.Running() && m_query.DropFiles(windowClass, paths);
  }

  // Waits until the window's thread has taken what was posted to it so far.
  static void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    Sleep(100);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    Sleep(100);
  }

  // The tests' one wait (tests/support/Waiting.h).
  static bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return testwait::WaitUntil(done, timeoutMs);
  }

 private:
  Program m_program;
  ControlQueryClient m_query;  // asks m_program, once started
};

}  // namespace testprograms
