// The window manager under Wine with a real window, driven through the
// window's own message path: mouse capture and clicks, Tab order, closing with
// a button held, the wheel, focus on a new window, maximising.
#include <gtest/gtest.h>

#include "tests/ui/window/ManagerTestWindow.h"

using namespace managertest;

namespace {

// Holds Shift down for this thread's key state while it lives.
class ShiftHeld {
 public:
  ShiftHeld() {
    GetKeyboardState(m_saved);
    BYTE keys[256];
    memcpy(keys, m_saved, sizeof(keys));
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
  }
  ~ShiftHeld() { SetKeyboardState(m_saved); }

 private:
  BYTE m_saved[256];
};

}  // namespace

class ManagerInput : public ManagerFixture {};

TEST_F(ManagerInput, PressMoveOutAndReleaseKeepsTheMouseOnThePressedControl) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  ProbeControl* b = AddProbe(L"b", L"150,10,250,60");
  Settle();

  driver().PressAt({60, 35});
  EXPECT_EQ(manager().GetClickControl(), a);
  EXPECT_TRUE(manager().IsCaptured());
  driver().MoveTo({200, 35});  // over b while the button is held
  EXPECT_EQ(manager().GetHoverControl(), a) << "hover does not change while captured";
  driver().ReleaseAt({200, 35});
  Screenshot(L"window-manager-press-move-out.png");

  EXPECT_EQ(a->Count(kUIEventButtonDown), 1);
  EXPECT_EQ(a->Count(kUIEventButtonUp), 1);
  ASSERT_FALSE(a->events.empty());
  EXPECT_EQ(a->events.back().point.x, 200) << "the pressed control hears where the button came up";
  EXPECT_EQ(b->Count(kUIEventMouseEnter) + b->Count(kUIEventMouseMove) + b->Count(kUIEventButtonUp), 0);
  EXPECT_FALSE(manager().IsCaptured());
  EXPECT_EQ(manager().GetClickControl(), nullptr);
  EXPECT_EQ(std::count(m_recorder.seen.begin(), m_recorder.seen.end(), L"click:a"), 0)
      << "released outside: no click";

  driver().MoveTo({200, 40});  // free again: hover follows the mouse
  EXPECT_EQ(manager().GetHoverControl(), b);
  EXPECT_EQ(a->Count(kUIEventMouseLeave), 1);

  driver().Click(L"a");
  EXPECT_EQ(std::count(m_recorder.seen.begin(), m_recorder.seen.end(), L"click:a"), 1);
}

TEST_F(ManagerInput, TabAndShiftTabWrapAroundTheTabStops) {
  ProbeControl* t1 = AddProbe(L"t1", L"10,10,60,40", kUIFlagTabStop);
  AddProbe(L"plain", L"70,10,120,40");
  ProbeControl* t2 = AddProbe(L"t2", L"130,10,180,40", kUIFlagTabStop);
  ProbeControl* t3 = AddProbe(L"t3", L"190,10,240,40", kUIFlagTabStop);
  Settle();
  Settle();
  EXPECT_EQ(manager().GetFocusControl(), t1) << "the first tab stop of a new window takes the focus";

  const struct {
    bool shift;
    ProbeControl* expected;
  } steps[] = {{false, t2}, {false, t3}, {false, t1}, {true, t3}, {true, t2}, {true, t1}, {true, t3}};
  for (const auto& step : steps) {
    if (step.shift) {
      ShiftHeld shift;
      driver().Key(VK_TAB);
    } else {
      driver().Key(VK_TAB);
    }
    EXPECT_EQ(manager().GetFocusControl(), step.expected) << (step.shift ? "Shift+Tab" : "Tab");
  }
  Screenshot(L"window-manager-tab-order.png");

  // The control losing the focus hears who takes it; listeners hear both.
  ASSERT_GE(t2->Count(kUIEventKillFocus), 1);
  EXPECT_EQ(t2->events.back().kind, kUIEventKillFocus);
  EXPECT_EQ(t2->events.back().sender, t1);
  EXPECT_NE(std::find(m_recorder.seen.begin(), m_recorder.seen.end(), L"killfocus:t1"), m_recorder.seen.end());
  EXPECT_NE(std::find(m_recorder.seen.begin(), m_recorder.seen.end(), L"setfocus:t3"), m_recorder.seen.end());
}

TEST_F(ManagerInput, ClosingWithTheButtonHeldReleasesThePressedControlFirst) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  Settle();
  driver().PressAt({40, 30});
  Screenshot(L"window-manager-close-held.png");
  ASSERT_EQ(a->Count(kUIEventButtonUp), 0);

  SendMessageW(hwnd(), WM_CLOSE, 0, 0);

  EXPECT_FALSE(IsWindow(hwnd())) << "the manager leaves WM_CLOSE to the default handling";
  EXPECT_EQ(a->Count(kUIEventButtonUp), 1);
  EXPECT_EQ(a->Count(kUIEventMouseLeave), 1);
  EXPECT_EQ(manager().GetClickControl(), nullptr);
  EXPECT_EQ(manager().GetHoverControl(), nullptr);
  EXPECT_FALSE(manager().IsCaptured());
}

TEST_F(ManagerInput, WheelTowardsTheUserIsOneAwayIsZero) {
  ProbeControl* a = AddProbe(L"a", L"10,10,110,60");
  Settle();
  ASSERT_TRUE(driver().Scroll(L"a", -1));
  ASSERT_TRUE(driver().Scroll(L"a", 1));
  std::vector<WPARAM> wheel;
  for (const SeenEvent& e : a->events) {
    if (e.kind == kUIEventScrollWheel) wheel.push_back(e.wParam);
  }
  EXPECT_EQ(wheel, (std::vector<WPARAM>{1, 0}));
}

TEST_F(ManagerInput, TheFirstPaintSendsWindowInitOnce) {
  AddProbe(L"a", L"10,10,110,60");
  Settle();
  Settle();
  driver().MoveTo({20, 20});
  Settle();
  EXPECT_EQ(std::count(m_recorder.seen.begin(), m_recorder.seen.end(), L"windowinit:root"), 1);
  const CUIRect pos = m_root->GetPos();
  EXPECT_EQ(pos.GetWidth(), kWidth);
  EXPECT_EQ(pos.GetHeight(), kHeight);
}

TEST_F(ManagerInput, MaximiseAndRestoreLayTheTreeOutAtTheNewSize) {
  m_root->SetBkColor(0xFF3060A0);
  AddProbe(L"a", L"10,10,110,60")->SetBkColor(0xFFE0A020);
  Settle();
  ShowWindow(hwnd(), SW_MAXIMIZE);
  Settle();
  RECT client = {};
  GetClientRect(hwnd(), &client);
  EXPECT_GT(client.right, kWidth);
  EXPECT_EQ(m_root->GetPos().GetWidth(), client.right);
  EXPECT_EQ(m_root->GetPos().GetHeight(), client.bottom);
  Screenshot(L"window-manager-maximised.png");

  ShowWindow(hwnd(), SW_RESTORE);
  Settle();
  EXPECT_EQ(m_root->GetPos().GetWidth(), kWidth);
  EXPECT_EQ(m_root->GetPos().GetHeight(), kHeight);
  Screenshot(L"window-manager-restored.png");
}

TEST_F(ManagerInput, NoActivateWindowsAnswerMouseActivateWithoutActivating) {
  EXPECT_NE(SendMessageW(hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
  manager().SetWindowAttribute(L"noactivate", L"true");
  EXPECT_EQ(SendMessageW(hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
}
