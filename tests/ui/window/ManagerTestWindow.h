#pragma once

// Fixtures of the window manager tests: a real top-level window whose every
// message goes through a CWindowManagerUI first, a probe control that records
// the events it is sent (and clicks only when released inside, as a button
// does), and a listener that records notifications.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

namespace managertest {

using namespace Trellis;

// One recorded event.
struct SeenEvent {
  int kind;
  CControlUI* sender;
  WPARAM wParam;
  CUIPoint point;
};

// A control that records its events and sends "click" on a button-up inside it.
class ProbeControl : public CControlUI {
 public:
  explicit ProbeControl(UINT flags = 0) : m_flags(flags) {}
  UINT GetControlFlags() const override { return m_flags; }
  const UIChar* GetClassName() const override { return L"Probe"; }
  void HandleEvent(UIEvent& event) override {
    if (log != nullptr) log->push_back(GetName().GetText() + std::wstring(L":") + std::to_wstring(event.Type));
    events.push_back({event.Type, event.pSender, event.wParam, event.ptMouse});
    if (event.Type == kUIEventButtonUp && m_pManager != nullptr) {
      const CUIRect& pos = GetPos();
      if (event.ptMouse.x >= pos.left && event.ptMouse.x < pos.right && event.ptMouse.y >= pos.top &&
          event.ptMouse.y < pos.bottom) {
        m_pManager->SendNotify(this, L"click");
      }
    }
    if (event.Type == kUIEventSetFocus || event.Type == kUIEventKillFocus || event.Type == kUIEventTimer) {
      CControlUI::HandleEvent(event);
    }
  }
  // Kinds of the recorded events, in order.
  std::vector<int> Kinds() const {
    std::vector<int> kinds;
    for (const SeenEvent& e : events) kinds.push_back(e.kind);
    return kinds;
  }
  int Count(int kind) const {
    int n = 0;
    for (const SeenEvent& e : events) n += e.kind == kind ? 1 : 0;
    return n;
  }

  std::vector<SeenEvent> events;
  std::vector<std::wstring>* log = nullptr;  // shared order of events across probes, when set

 private:
  UINT m_flags;
};

// Records every notification of a window as "type:sender-name".
class NotifyRecorder : public INotifyUI {
 public:
  void Notify(UINotify& notify) override {
    const std::wstring sender = notify.pSender != nullptr ? notify.pSender->GetName().GetText() : L"(null)";
    seen.push_back(std::wstring(notify.sType.GetText()) + L":" + sender);
    wParams.push_back(notify.wParam);
    if (onNotify) onNotify(notify);
  }
  std::vector<std::wstring> seen;
  std::vector<WPARAM> wParams;
  std::function<void(UINotify&)> onNotify;
};

// A borderless top-level window driven by its manager.
class ManagerWindow : public CWindowWnd {
 public:
  const UIChar* GetWindowClassName() const override { return L"QuilloraManagerTestWindow"; }
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE) manager.InitForWindow(m_hWnd, L"test");
    LRESULT result = 0;
    if (manager.ProcessMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::HandleMessage(message, wParam, lParam);
  }

  CWindowManagerUI manager;
};

// Owns a shown window of the given client size with a plain container as
// root; probes are added as floating children at given rectangles.
class ManagerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    OpenWindow(0);
  }
  void TearDown() override {
    if (IsWindow(m_window.GetHandle())) DestroyWindow(m_window.GetHandle());
  }

  void OpenWindow(DWORD exStyle) {
    ASSERT_NE(m_window.CreateWithSize(nullptr, L"manager test", WS_POPUP | WS_VISIBLE, exStyle, 60, 60, kWidth,
                                      kHeight),
              nullptr);
    m_root = new CContainerUI;
    m_root->SetName(L"root");
    m_root->SetBkColor(0xFFF2F2F2);
    ASSERT_TRUE(manager().AttachRootControl(m_root));
    manager().AddNotifier(&m_recorder);
  }

  // A floating probe at client rectangle "l,t,r,b" (as the skin's "pos").
  ProbeControl* AddProbe(const wchar_t* name, const wchar_t* pos, UINT flags = 0) {
    auto* probe = new ProbeControl(flags);
    probe->SetAttribute(L"name", name);
    probe->SetAttribute(L"float", L"true");
    probe->SetAttribute(L"pos", pos);
    // Each probe in its own colour, so screenshots show where they are.
    static const DWORD kColours[] = {0xFF3070C0, 0xFFE0A020, 0xFF40A060, 0xFFC04050, 0xFF8060B0};
    probe->SetBkColor(kColours[m_root->GetCount() % 5]);
    probe->SetBorderColor(0xFF202020);
    probe->SetBorderSize(1);
    m_root->AddItem(probe);
    return probe;
  }

  // Lays out and paints now.
  void Settle() {
    InvalidateRect(m_window.GetHandle(), nullptr, FALSE);
    UpdateWindow(m_window.GetHandle());
    driver().Pump();
  }

  void Screenshot(const wchar_t* file) { EXPECT_TRUE(testshots::SaveWindowPng(file, m_window.GetHandle())); }

  CWindowManagerUI& manager() { return m_window.manager; }
  testwindows::WindowDriver& driver() { return m_driver; }
  HWND hwnd() const { return m_window.GetHandle(); }

  static constexpr int kWidth = 320;
  static constexpr int kHeight = 200;
  NotifyRecorder m_recorder;  // outlives the window's manager, which lists it
  ManagerWindow m_window;
  CContainerUI* m_root = nullptr;  // owned by the manager
  testwindows::WindowDriver m_driver{m_window.manager};
};

}  // namespace managertest
