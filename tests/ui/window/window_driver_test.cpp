// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The shared window driver: a click reaches the named control as press and
// release at its centre, typed text and keys reach the focused control, the
// wheel reaches the control under the mouse, all through the window's queue.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"

using namespace Trellis;

namespace {

// Writes down the events it gets: "down@x,y", "up@x,y", "char:c", "key:n", "wheel:n".
class RecordingControl : public CControlUI {
 public:
  std::string log;
  UINT GetControlFlags() const override { return kUIFlagTabStop; }
  void HandleEvent(UIEvent& event) override {
    const std::string at = "@" + std::to_string(event.ptMouse.x) + "," + std::to_string(event.ptMouse.y) + " ";
    switch (event.Type) {
      case kUIEventButtonDown: log += "down" + at; break;
      case kUIEventButtonUp: log += "up" + at; break;
      case kUIEventChar: log += "char:" + std::string(1, static_cast<char>(event.chKey)) + " "; break;
      case kUIEventKeyDown: log += "key:" + std::to_string(event.chKey) + " "; break;
      case kUIEventScrollWheel: log += "wheel:" + std::to_string(event.wParam) + " "; break;
      default: break;
    }
  }
};

TEST(WindowDriverTest, ClicksTypesPressesKeysAndScrollsByControlName) {
  testwindows::ManagedTestWindow window(300, 200);
  CWindowManagerUI& manager = window.manager();
  auto* root = new CContainerUI;
  auto* target = new RecordingControl;
  target->SetName(L"target");
  target->SetAttribute(L"float", L"true");
  target->SetAttribute(L"pos", L"100,50,200,90");
  root->AddItem(target);
  ASSERT_TRUE(manager.AttachRootControl(root));
  window.Show();
  testwindows::WindowDriver driver(manager);
  driver.Pump();

  EXPECT_EQ(driver.Find(L"target"), target);
  EXPECT_FALSE(driver.Click(L"nobody"));
  ASSERT_TRUE(driver.Click(L"target"));
  EXPECT_EQ(target->log, "down@150,70 up@150,70 ");
  EXPECT_EQ(manager.GetFocusControl(), target);

  target->log.clear();
  ASSERT_TRUE(driver.Type(L"target", L"ok"));
  driver.Key(VK_DOWN);
  ASSERT_TRUE(driver.Scroll(L"target", -2));
  EXPECT_EQ(target->log, "down@150,70 up@150,70 char:o char:k key:" + std::to_string(VK_DOWN) + " wheel:1 wheel:1 ");
}

}  // namespace
