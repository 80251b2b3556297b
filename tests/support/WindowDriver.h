#pragma once

// Drives a framework window the way a user would, for the window tests: finds
// a control by its skin name and clicks it, types text into it, presses keys
// and turns the mouse wheel over it. Every input is posted to the window and
// then pumped through the framework's own loop steps (the managers'
// pre-translation, TranslateMessage, DispatchMessageW), so it takes the same
// path as real input: pre-message filters, capture, hover and focus included.
// ProgramWindowDriver and RemoteWindowDriver drive the windows of the
// program's test variant running in a process of its own (the end-to-end
// tests).
//
// A window of another process (the real program) is driven the same way: a
// SkinMirror builds the same skin in a hidden window of this process at the
// same size, the driver finds the controls' places in it, and the input goes
// to the other window. The mirror is told what changed its layout (a tab
// page selected, a control shown) as the test goes. Input to another process
// is handled when that process gets to it: wait for its effect, not for Pump.
// Header only: it needs the framework, which only window tests link.
#include <windows.h>

#include "app/TestHooks.h"
#include "ui/control/ControlUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

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

  // Runs every message queued for this thread now through the framework's
  // loop steps, painting included (WM_PAINT is made when nothing else waits).
  // Every window of the thread is served (pop-ups such as menus included).
  static void Pump() {
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
  static void PumpFor(DWORD milliseconds) {
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

// Drives the windows of a program running in a process of its own (the test
// variant QuilloraTestHooks.exe), by the same skin names: the program writes
// its framework windows and their named controls into the file named by its
// QUILLORA_TEST_INSPECT variable every 200 ms (app/TestHooks.h), and this
// reads that file and posts the mouse input to the program's windows.
class ProgramWindowDriver {
 public:
  struct Control {
    HWND window = nullptr;  // the framework window that holds it
    bool visible = false;   // the control and every parent visible
    bool enabled = false;   // the control's own enabled state
    RECT pos = {};          // client coordinates of that window
    std::wstring name;
    std::wstring text;
  };

  // `inspectFile` is the file the program writes (the program's QUILLORA_TEST_INSPECT).
  explicit ProgramWindowDriver(std::wstring inspectFile) : m_file(std::move(inspectFile)) {}

  // Reads the program's latest report; false when there is none yet.
  bool Refresh() {
    HANDLE file = CreateFileW(m_file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0], length);
    m_windows.clear();
    m_controls.clear();
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      ParseLine(text.substr(start, end - start));
      start = end + 1;
    }
    return !m_windows.empty();
  }

  // The program's framework windows of a window class (visible ones only when asked).
  std::vector<HWND> Windows(const wchar_t* className, bool visibleOnly = true) const {
    std::vector<HWND> found;
    for (const WindowInfo& window : m_windows) {
      if (window.className == className && (!visibleOnly || window.visible)) found.push_back(window.window);
    }
    return found;
  }

  // The control of that skin name (in `window` when given; the `index`-th of
  // that name in tree order, hidden ones counted); false when there is none.
  bool Find(const wchar_t* name, Control& control, HWND window = nullptr, int index = 0) const {
    for (const Control& c : m_controls) {
      if (c.name == name && (window == nullptr || c.window == window) && index-- == 0) {
        control = c;
        return true;
      }
    }
    return false;
  }

  // Refreshes until `done` holds or `timeoutMs` passes; the result of the last check.
  bool WaitFor(const std::function<bool(ProgramWindowDriver&)>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
      if (Refresh() && done(*this)) return true;
      if (GetTickCount64() >= end) return false;
      Sleep(100);
    }
  }

  // Moves the mouse over the named visible control of the program, presses
  // and releases the left button at its centre; false when no such control shows.
  bool Click(const wchar_t* name, HWND window = nullptr) {
    Control control;
    if (!Find(name, control, window) || !control.visible) return false;
    const LPARAM at = MAKELPARAM((control.pos.left + control.pos.right) / 2, (control.pos.top + control.pos.bottom) / 2);
    PostMessageW(control.window, WM_MOUSEMOVE, 0, at);
    PostMessageW(control.window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control.window, WM_LBUTTONUP, 0, at);
    return true;
  }

 private:
  struct WindowInfo {
    HWND window;
    bool visible;
    std::wstring className;
  };

  static std::vector<std::wstring> Split(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
      const size_t tab = line.find(L'\t', start);
      fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
      if (tab == std::wstring::npos) return fields;
      start = tab + 1;
    }
  }
  static HWND Handle(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::wcstoull(text.c_str(), nullptr, 10)));
  }

  void ParseLine(const std::wstring& line) {
    const std::vector<std::wstring> f = Split(line);
    if (f.size() == 4 && f[0] == L"W") {
      m_windows.push_back({Handle(f[1]), f[2] == L"1", f[3]});
    } else if (f.size() >= 9 && f[0] == L"C") {
      Control c;
      c.window = Handle(f[1]);
      c.visible = f[2] == L"1";
      c.pos = RECT{std::stoi(f[3]), std::stoi(f[4]), std::stoi(f[5]), std::stoi(f[6])};
      c.name = f[7];
      c.text = f[8];
      c.enabled = f.size() < 10 || f[9] == L"1";
      m_controls.push_back(c);
    }
  }

  std::wstring m_file;
  std::vector<WindowInfo> m_windows;
  std::vector<Control> m_controls;
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
