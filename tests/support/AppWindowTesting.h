#pragma once
// What the program's window tests share: the source skin folder, file drops
// as the shell makes them, answering the program's message windows (notices
// and questions) from inside their modal loops, and watching a window's
// procedure from outside (its end, and the handlers still running then).
// Windows tests only.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/WindowDriver.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

namespace apptest {

// The source skin folder as Wine sees it (drive Z: is the root); the build
// passes its place as QUILLORA_SKIN_DIR.
inline std::wstring SourceSkinFolder() {
#ifdef QUILLORA_SKIN_DIR
  const std::string source = QUILLORA_SKIN_DIR "/";
#else
  const std::string source = "skin/";
#endif
  std::wstring path = L"Z:";
  for (char c : source) path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

// A drop of these paths as WM_DROPFILES carries it: a global block that the
// receiving window frees with DragFinish.
inline HDROP MakeFileDrop(const std::vector<std::wstring>& paths) {
  size_t chars = 1;
  for (const auto& p : paths) chars += p.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(header + 1);
  for (const auto& p : paths) {
    std::memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
    out += p.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The visible framework windows of this thread other than `except` that have
// a control of this name (a message window's "btn_ok", say).
inline std::vector<Trellis::CWindowManagerUI*> OtherWindowsWith(const wchar_t* controlName, HWND except) {
  std::vector<Trellis::CWindowManagerUI*> found;
  for (int i = 0; i < Trellis::CWindowManagerUI::GetManagerCount(); ++i) {
    Trellis::CWindowManagerUI* manager = Trellis::CWindowManagerUI::GetManagerAt(i);
    const HWND window = manager->GetPaintWindow();
    if (window == except || !IsWindow(window) || !IsWindowVisible(window)) continue;
    if (manager->FindControlByName(controlName) != nullptr) found.push_back(manager);
  }
  return found;
}

// Clicks a button of the next message window that opens while a modal loop
// runs (a timer of this thread finds it), keeping the text it showed.
class MessageWindowAnswer {
 public:
  // Arms the answer: `button` is "btn_ok" or "btn_cancel"; `mainWindow` is never answered.
  MessageWindowAnswer(const wchar_t* button, HWND mainWindow) {
    s_current = this;
    m_button = button;
    m_mainWindow = mainWindow;
    m_timer = SetTimer(nullptr, 0, 100, &MessageWindowAnswer::OnTimer);
  }
  ~MessageWindowAnswer() {
    if (m_timer != 0) KillTimer(nullptr, m_timer);
    s_current = nullptr;
  }
  MessageWindowAnswer(const MessageWindowAnswer&) = delete;
  MessageWindowAnswer& operator=(const MessageWindowAnswer&) = delete;

  bool seen() const { return m_seen; }
  const std::wstring& text() const { return m_text; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    MessageWindowAnswer* self = s_current;
    if (self == nullptr || self->m_seen) return;
    const auto windows = OtherWindowsWith(self->m_button, self->m_mainWindow);
    if (windows.empty()) return;
    self->m_seen = true;
    if (Trellis::CControlUI* tips = windows.front()->FindControlByName(L"titleTips")) {
      self->m_text = tips->GetText().GetText();
    }
    testwindows::WindowDriver(*windows.front()).Click(self->m_button);
  }

  static inline MessageWindowAnswer* s_current = nullptr;
  const wchar_t* m_button = nullptr;
  HWND m_mainWindow = nullptr;
  UINT_PTR m_timer = 0;
  bool m_seen = false;
  std::wstring m_text;
};

// Watches a window's procedure from outside, without subclassing its object:
// whether the window has been destroyed (its last message deletes a window
// object) and how many of its own message handlers were still on the stack
// then (each goes on using the freed object when it returns). One at a time.
class WindowProcWatch {
 public:
  explicit WindowProcWatch(HWND window) : m_window(window) {
    s_current = this;
    m_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProcWatch::Proc)));
  }
  ~WindowProcWatch() {
    if (!m_destroyed && IsWindow(m_window))
      SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    s_current = nullptr;
  }
  WindowProcWatch(const WindowProcWatch&) = delete;
  WindowProcWatch& operator=(const WindowProcWatch&) = delete;

  bool destroyed() const { return m_destroyed; }
  // The window's handlers that were running around its last message; -1 before it.
  int framesWhenDestroyed() const { return m_framesWhenDestroyed; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowProcWatch* self = s_current;
    ++self->m_depth;
    if (message == WM_NCDESTROY) self->m_framesWhenDestroyed = self->m_depth - 1;
    const LRESULT result = CallWindowProcW(self->m_previous, window, message, wParam, lParam);
    if (message == WM_NCDESTROY) self->m_destroyed = true;
    --self->m_depth;
    return result;
  }

  static inline WindowProcWatch* s_current = nullptr;
  HWND m_window;
  WNDPROC m_previous = nullptr;
  int m_depth = 0;  // calls of the window's procedure now on the stack
  int m_framesWhenDestroyed = -1;
  bool m_destroyed = false;
};

}  // namespace apptest
