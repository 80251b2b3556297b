// The scroll bar: position and notification, press repeat, thumb drag, the
// end of a press whose button-up was lost, hot tracking and the state images.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/ui/control/ControlTestSupport.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;
using namespace controltest;

namespace {

// Collects the "scroll" notifications of a window.
class ScrollRecorder : public INotifyUI {
 public:
  void Notify(UINotify& notify) override {
    if (notify.sType.EqualsText(L"scroll")) {
      positions.push_back(static_cast<int>(notify.wParam));
      previous.push_back(static_cast<int>(notify.lParam));
    }
  }
  std::vector<int> positions;
  std::vector<int> previous;
};

// A stand-alone vertical bar (no owner) 200 high at the window's left edge.
class ScrollBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    CContainerUI* root = new CContainerUI;
    ASSERT_TRUE(manager().AttachRootControl(root));
    manager().AddNotifier(&m_scrolls);
    m_bar = new CScrollBarUI;
    root->AddItem(m_bar);
    m_bar->SetScrollRange(100);
    m_bar->SetPos(CUIRect(0, 0, 16, 200));
  }
  void TearDown() override { manager().RemoveNotifier(&m_scrolls); }
  CWindowManagerUI& manager() { return m_window.manager(); }
  void Flush() {
    MSG msg;
    while (PeekMessageW(&msg, m_window.GetHandle(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  void Send(int kind, CUIPoint point, WPARAM wParam = 0, WORD keyState = 0) {
    UIEvent event;
    event.Type = kind;
    event.pSender = m_bar;
    event.ptMouse = point;
    event.wParam = wParam;
    event.wKeyState = keyState;
    m_bar->SendEvent(event);
  }
  void Tick(bool held = true) {
    Send(kUIEventTimer, CUIPoint(8, 100), CScrollBarUI::kRepeatTimerId, held ? kUIKeyStateLeftButton : 0);
  }

  testwindows::ManagedTestWindow m_window{200, 220};
  ScrollRecorder m_scrolls;
  CScrollBarUI* m_bar = nullptr;  // owned by the tree
};

TEST_F(ScrollBarTest, PositionChangesNotifyOnceMerged) {
  m_bar->SetScrollUnit(10);
  m_bar->SetScrollPos(37);
  EXPECT_EQ(m_bar->GetScrollPos(), 40);
  m_bar->SetScrollPos(40);  // the current position again: nothing
  m_bar->SetScrollPos(63);
  Flush();
  ASSERT_EQ(m_scrolls.positions.size(), 1u);  // merged while queued
  EXPECT_EQ(m_scrolls.positions[0], 60);
  EXPECT_EQ(m_scrolls.previous[0], 40);

  m_bar->SetScrollRange(30);  // the position follows the range down, silently
  EXPECT_EQ(m_bar->GetScrollPos(), 30);
  m_bar->SetScrollRange(-4);
  EXPECT_EQ(m_bar->GetScrollRange(), 0);
  Flush();
  EXPECT_EQ(m_scrolls.positions.size(), 1u);
}

TEST(ScrollBarNoWindowTest, OrientationAndButtons) {
  CScrollBarUI bar;
  EXPECT_EQ(bar.GetFixedWidth(), 16);
  bar.ApplyAttributeList(L"hor=\"true\" range=\"50\" value=\"70\" showbutton1=\"false\"");
  EXPECT_TRUE(bar.IsHorizontal());
  EXPECT_EQ(bar.GetFixedWidth(), 0);
  EXPECT_EQ(bar.GetFixedHeight(), 16);
  EXPECT_EQ(bar.GetScrollPos(), 50);  // clamped to the range
  bar.SetPos(CUIRect(0, 0, 200, 16));
  EXPECT_TRUE(SameRect(bar.GetButton1Rect(), CUIRect(0, 0, 0, 16)));  // hidden: no length
  EXPECT_TRUE(SameRect(bar.GetButton2Rect(), CUIRect(184, 0, 200, 16)));
  EXPECT_EQ(bar.GetThumbRect().right, 184);  // at the end of the range
  bar.SetHorizontal(false);
  EXPECT_EQ(bar.GetFixedWidth(), 16);
  EXPECT_EQ(bar.GetFixedHeight(), 0);
  bar.SetFixedHeight(12);
  bar.SetHorizontal(true);
  EXPECT_EQ(bar.GetFixedHeight(), 12);  // a thickness already given stays
}

TEST_F(ScrollBarTest, HeldButtonRepeatsFromTheSixthTick) {
  Send(kUIEventButtonDown, CUIPoint(8, 190));
  EXPECT_EQ(m_bar->GetScrollPos(), 8);  // one line at once
  EXPECT_NE(m_bar->GetButton2State() & kUIStatePushed, 0u);
  for (int tick = 1; tick <= 5; ++tick) Tick();
  EXPECT_EQ(m_bar->GetScrollPos(), 8);
  Tick();
  EXPECT_EQ(m_bar->GetScrollPos(), 16);
  Tick();
  EXPECT_EQ(m_bar->GetScrollPos(), 24);
  Send(kUIEventButtonUp, CUIPoint(8, 190));
  EXPECT_EQ(m_bar->GetButton2State() & kUIStatePushed, 0u);
}

TEST_F(ScrollBarTest, ThumbDragAppliesAtTheNextTick) {
  m_bar->SetScrollRange(300);
  const CUIRect thumb = m_bar->GetThumbRect();
  const int track = 200 - thumb.GetHeight() - 2 * 16;
  Send(kUIEventButtonDown, CUIPoint(8, thumb.top + 2));
  EXPECT_NE(m_bar->GetThumbState() & kUIStateCaptured, 0u);
  Send(kUIEventMouseMove, CUIPoint(8, thumb.top + 32));
  EXPECT_EQ(m_bar->GetDragOffset(), 30 * 300 / track);
  EXPECT_EQ(m_bar->GetScrollPos(), 0);  // not before the tick
  Tick();
  EXPECT_EQ(m_bar->GetScrollPos(), 30 * 300 / track);
  Send(kUIEventButtonUp, CUIPoint(8, thumb.top + 32));
  EXPECT_EQ(m_bar->GetThumbState() & (kUIStateCaptured | kUIStatePushed), 0u);
}

TEST_F(ScrollBarTest, LostButtonUpEndsTheRepeatAtTheNextTick) {
  // A press on the track pages once; the release never arrives (the capture
  // went elsewhere). The real repeat timer's next tick sees the button up and
  // ends the press, so the bar does not page on by itself.
  m_bar->SetScrollRange(1000);
  m_window.Show();
  int ticks = 0;
  struct TickCounter {
    int* count;
    bool OnEvent(void* argument) {
      if (static_cast<UIEvent*>(argument)->Type == kUIEventTimer) ++*count;
      return true;
    }
  } counter{&ticks};
  m_bar->eventListeners.AddDelegate(CDelegate<TickCounter, TickCounter>(&counter, &TickCounter::OnEvent));
  const int page = m_bar->GetHeight();  // the bar's length (the shown window laid it out again)
  Send(kUIEventButtonDown, CUIPoint(8, page - 20));
  EXPECT_EQ(m_bar->GetScrollPos(), page);  // one page
  const DWORD until = GetTickCount() + 600;
  while (GetTickCount() < until) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(m_bar->GetScrollPos(), page);
}

TEST_F(ScrollBarTest, LeavingClearsHot) {
  const CUIRect thumb = m_bar->GetThumbRect();
  const CUIPoint onThumb(8, (thumb.top + thumb.bottom) / 2);
  Send(kUIEventMouseEnter, onThumb);
  EXPECT_NE(m_bar->GetThumbState() & kUIStateHot, 0u);
  EXPECT_NE(m_bar->GetButton1State() & kUIStateHot, 0u);
  Send(kUIEventMouseLeave, CUIPoint(120, 100));  // left to a point outside the bar
  EXPECT_EQ(m_bar->GetThumbState() & kUIStateHot, 0u);
  EXPECT_EQ(m_bar->GetButton1State() & kUIStateHot, 0u);
  EXPECT_EQ(m_bar->GetButton2State() & kUIStateHot, 0u);
}

TEST_F(ScrollBarTest, StateImagesFallBackToTheNormalOne) {
  m_bar->ApplyAttributeList(
      L"thumbnormalimage=\"color='FF00C000'\" thumbdisabledimage=\"file='no-such-image.png'\" "
      L"button1color=\"#FF202020\" button2color=\"#FF202020\" bkcolor=\"#FFE0E0E0\"");
  const CUIRect thumb = m_bar->GetThumbRect();
  const int midY = (thumb.top + thumb.bottom) / 2;
  struct Case {
    bool enabled;
    const wchar_t* disabledImage;
    uint32_t expected;
  } cases[] = {
      {true, nullptr, 0x00C000u},
      {false, nullptr, 0x00C000u},  // the disabled image cannot be loaded: the normal one
      {false, L"color='FF0000C0'", 0x0000C0u},
  };
  for (const Case& c : cases) {
    if (c.disabledImage != nullptr) m_bar->SetPartImage(CScrollBarUI::kPartThumb, CScrollBarUI::kImageDisabled, c.disabledImage);
    m_bar->SetEnabled(c.enabled);
    DrawCanvas canvas(16, 200, 0xFFFFFFFFu);
    m_bar->Paint(canvas.dc(), CUIRect(0, 0, 16, 200), nullptr);
    EXPECT_EQ(canvas.At(8, midY) & 0xFFFFFFu, c.expected) << c.enabled;
    EXPECT_EQ(canvas.At(8, 5) & 0xFFFFFFu, 0x202020u);
    if (c.disabledImage != nullptr) canvas.Save(L"scroll-bar-disabled.png");
  }
}

}  // namespace
