#pragma once

// A plain framework window for tests: a top-level window whose messages go to
// its own window manager first, without the skinned window base. Tests build
// or attach a control tree, show it and drive it. Header only: it needs the
// framework, which only window tests link.
#include <windows.h>

#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

namespace testwindows {

class ManagedTestWindow : public Trellis::CWindowWnd {
 public:
  // Makes the window (hidden, client area of the given size) and binds the manager to it.
  explicit ManagedTestWindow(int width = 400, int height = 300, DWORD style = WS_POPUP, DWORD exStyle = 0) {
    CreateWithSize(nullptr, L"Quillora test window", style, exStyle, 40, 40, width, height);
    m_manager.InitForWindow(GetHandle());
  }
  ~ManagedTestWindow() override {
    if (IsWindow(GetHandle())) DestroyWindow(GetHandle());
  }

  Trellis::CWindowManagerUI& manager() { return m_manager; }

  // Shows the window without taking the focus away from the test, and paints it.
  void Show() {
    ShowWindow(GetHandle(), SW_SHOWNA);
    UpdateWindow(GetHandle());
  }

  const Trellis::UIChar* GetWindowClassName() const override { return L"QuilloraManagedTestWindow"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    if (m_manager.ProcessMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
  }

 private:
  Trellis::CWindowManagerUI m_manager;  // owned: the window's tree and resources
};

}  // namespace testwindows
