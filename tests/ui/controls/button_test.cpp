// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Buttons driven through the window's own message path: presses that leave
// and come back, a click handler that deletes its button, keys, the disabled
// state, hot tracking and the fade, and the skin attributes.
#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/ButtonUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

std::wstring ButtonSkin(const std::wstring& extra = L"") {
  return L"<Window size=\"300,160\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\">"
         L"<Button name=\"ok\" float=\"true\" pos=\"20,20,120,50\" text=\"OK\" bkcolor=\"#FFDDE6F5\" "
         L"hotbkcolor=\"#FFA9C4F0\" bordercolor=\"#FF3060A0\" bordersize=\"1\" />"
         L"<Button name=\"other\" float=\"true\" pos=\"140,20,240,50\" text=\"Other\" bkcolor=\"#FFDDE6F5\" />" +
         extra + L"</VerticalLayout></Window>";
}

POINT Outside() { return POINT{200, 120}; }

TEST(ButtonTest, ClickOnlyWhenReleasedInside) {
  SkinnedTestWindow w(ButtonSkin());
  ASSERT_TRUE(w.ok());
  auto& d = w.driver();
  const POINT inside = d.CentreOf(L"ok");

  // Pressed inside, released outside: no click, and nothing stays pushed.
  d.PressAt(inside);
  auto* ok = w.Find<CButtonUI>(L"ok", L"Button");
  ASSERT_NE(ok, nullptr);
  EXPECT_NE(ok->GetButtonState() & kUIStatePushed, 0u);
  d.MoveTo(Outside());
  EXPECT_EQ(ok->GetButtonState() & kUIStatePushed, 0u) << "pushed follows the pointer while captured";
  d.ReleaseAt(Outside());
  EXPECT_TRUE(w.recorder.Of(L"click").empty());
  EXPECT_EQ(ok->GetButtonState() & (kUIStatePushed | kUIStateCaptured), 0u);

  // Pressed inside, out and back in before the release: one click.
  d.PressAt(inside);
  d.MoveTo(Outside());
  d.MoveTo(inside);
  d.ReleaseAt(inside);
  EXPECT_EQ(w.recorder.Of(L"click"), std::vector<std::wstring>{L"ok"});
  EXPECT_TRUE(w.Screenshot(L"controls-button-after-click.png"));
}

TEST(ButtonTest, ClickHandlerMayDeleteItsButton) {
  SkinnedTestWindow w(ButtonSkin());
  ASSERT_TRUE(w.ok());
  auto* root = w.Find<CContainerUI>(L"root", L"Container");
  ASSERT_NE(root, nullptr);
  root->SetDelayedDestroy(false);  // removal deletes at once, inside the handler
  UINT stateAtClick = 0xFFFF;
  w.recorder.hook = [root, &stateAtClick](UINotify& msg) {
    if (!msg.sType.EqualsText(L"click") || !msg.pSender->GetName().EqualsText(L"ok")) return;
    stateAtClick = static_cast<CButtonUI*>(msg.pSender)->GetButtonState();
    root->RemoveItem(msg.pSender);
  };
  ASSERT_TRUE(w.driver().Click(L"ok"));
  // The button had settled before it told anyone: not pushed, not captured.
  EXPECT_EQ(stateAtClick & (kUIStatePushed | kUIStateCaptured), 0u);
  EXPECT_EQ(w.driver().Find(L"ok"), nullptr);
  EXPECT_EQ(w.manager().GetClickControl(), nullptr);

  // The window goes on working: the other button clicks, Space on it clicks too.
  ASSERT_TRUE(w.driver().Click(L"other"));
  w.driver().Key(VK_SPACE);
  EXPECT_EQ(w.recorder.Of(L"click"), (std::vector<std::wstring>{L"ok", L"other", L"other"}));
  EXPECT_TRUE(w.Screenshot(L"controls-button-deleted-by-handler.png"));
}

TEST(ButtonTest, KeyboardClickMayDeleteItsButton) {
  SkinnedTestWindow w(ButtonSkin());
  ASSERT_TRUE(w.ok());
  auto* root = w.Find<CContainerUI>(L"root", L"Container");
  root->SetDelayedDestroy(false);
  w.recorder.hook = [root](UINotify& msg) {
    if (msg.sType.EqualsText(L"click")) root->RemoveItem(msg.pSender);
  };
  w.driver().Find(L"ok")->SetFocus();
  w.driver().Key(VK_RETURN);
  EXPECT_EQ(w.driver().Find(L"ok"), nullptr);
  EXPECT_EQ(w.recorder.Of(L"click"), std::vector<std::wstring>{L"ok"});
}

TEST(ButtonTest, DisabledButtonIgnoresClicksAndKeys) {
  SkinnedTestWindow w(ButtonSkin());
  ASSERT_TRUE(w.ok());
  CControlUI* ok = w.driver().Find(L"ok");
  ok->SetFocus();
  ok->SetEnabled(false);
  w.driver().Click(L"ok");
  w.driver().Key(VK_SPACE);
  EXPECT_FALSE(ok->Activate());
  EXPECT_TRUE(w.recorder.Of(L"click").empty());
  EXPECT_EQ(w.Find<CButtonUI>(L"ok", L"Button")->GetButtonState() & (kUIStatePushed | kUIStateHot), 0u);
}

TEST(ButtonTest, HotStateFollowsThePointerAndSurvivesALeaveFromInside) {
  SkinnedTestWindow w(ButtonSkin());
  ASSERT_TRUE(w.ok());
  auto* ok = w.Find<CButtonUI>(L"ok", L"Button");
  w.driver().MoveTo(w.driver().CentreOf(L"ok"));
  EXPECT_NE(ok->GetButtonState() & kUIStateHot, 0u);
  // Hot background colour painted over the button.
  const CUIRect pos = ok->GetPos();
  const auto pixels = w.Pixels(CUIRect(pos.left + 5, pos.top + 3, pos.left + 15, pos.top + 8));
  EXPECT_EQ(pixels.front(), 0xA9C4F0u);
  EXPECT_TRUE(w.Screenshot(L"controls-button-hot.png"));

  // A leave whose point is still inside (a child window took the mouse) keeps it hot.
  UIEvent leave;
  leave.Type = kUIEventMouseLeave;
  leave.pSender = ok;
  leave.ptMouse = CUIPoint(pos.left + 10, pos.top + 10);
  ok->SendEvent(leave);
  EXPECT_NE(ok->GetButtonState() & kUIStateHot, 0u);

  w.driver().MoveTo(Outside());
  EXPECT_EQ(ok->GetButtonState() & kUIStateHot, 0u);
}

TEST(ButtonTest, FadeReachesTheHotImageInFiveTicksOfFiftyOne) {
  SkinnedTestWindow w(ButtonSkin());
  ASSERT_TRUE(w.ok());
  auto* ok = w.Find<CButtonUI>(L"ok", L"Button");
  ok->SetAttribute(L"fadedelta", L"51");
  w.driver().MoveTo(w.driver().CentreOf(L"ok"));
  ASSERT_NE(w.manager().GetNativeTimerId(ok, CButtonUI::kFadeTimerId), 0u) << "entering starts the fade timer";
  UIEvent tick;
  tick.Type = kUIEventTimer;
  tick.pSender = ok;
  tick.wParam = CButtonUI::kFadeTimerId;
  const BYTE expected[5] = {204, 153, 102, 51, 0};
  for (BYTE step : expected) {
    ok->SendEvent(tick);
    EXPECT_EQ(ok->GetFadeStep(), step);
  }
  EXPECT_FALSE(w.manager().KillControlTimer(ok, CButtonUI::kFadeTimerId)) << "the timer stopped itself";
}

TEST(ButtonTest, FadeDeltaIsClamped) {
  const struct {
    const wchar_t* value;
    int expected;
  } cases[] = {{L"51", 51}, {L"255", 255}, {L"256", 255}, {L"100000", 255}, {L"0", 0}, {L"-7", 0}, {L"x", 0}};
  for (const auto& c : cases) {
    CButtonUI button;
    button.SetAttribute(L"fadedelta", c.value);
    EXPECT_EQ(button.GetFadeDelta(), c.expected) << c.value;
  }
}

TEST(ButtonTest, EstimatesFontHeightPlusEightWithoutFixedHeight) {
  SkinnedTestWindow w(L"<Window size=\"300,160\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
                      L"<VerticalLayout><Button name=\"b\" text=\"Tall\" width=\"80\" /></VerticalLayout></Window>");
  ASSERT_TRUE(w.ok());
  CControlUI* b = w.driver().Find(L"b");
  const int fontHeight = w.manager().GetFontInfo(-1)->tm.tmHeight;
  const CUISize size = b->EstimateSize(CUISize(300, 100));
  EXPECT_EQ(size.cx, 80);
  EXPECT_EQ(size.cy, fontHeight + 8);
  EXPECT_EQ(b->GetHeight(), fontHeight + 8);
}

}  // namespace

namespace {

// A strip of five 20x20 frames: normal red, pushed green, hot blue, focused
// yellow, disabled grey.
constexpr DWORD kFrameColours[5] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x808080};

TEST(ButtonTest, FiveStatusStripGivesEachStateItsFrame) {
  ScratchFolder folder;
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"strip.bmp", testbitmaps::MakeBmp(100, 20, [](int x, int) {
                                              return static_cast<uint32_t>(kFrameColours[x / 20]);
                                            })));
  const CUIString previousPath = CWindowManagerUI::GetResourcePath();
  CWindowManagerUI::SetResourcePath(folder.path().c_str());
  {
    SkinnedTestWindow w(L"<Window size=\"200,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
                        L"<Button name=\"five\" float=\"true\" pos=\"10,10,0,0\" fivestatusimage=\"strip.bmp\" />"
                        L"<Button name=\"plain\" float=\"true\" pos=\"60,10,80,30\" normalimage=\"file='strip.bmp' source='0,0,20,20'\" />"
                        L"</VerticalLayout></Window>");
    ASSERT_TRUE(w.ok());
    CControlUI* five = w.driver().Find(L"five");
    EXPECT_EQ(five->GetFixedWidth(), 20) << "a floating button takes one frame's size";
    EXPECT_EQ(five->GetFixedHeight(), 20);
    const auto ColourAt = [&w, five]() {
      const CUIRect pos = five->GetPos();
      return w.Pixels(CUIRect(pos.left + 10, pos.top + 10, pos.left + 11, pos.top + 11)).front();
    };
    // The window gave the first tab stop the focus.
    EXPECT_EQ(ColourAt(), kFrameColours[3]) << "focused";
    w.manager().SetFocusControl(nullptr);
    EXPECT_EQ(ColourAt(), kFrameColours[0]) << "normal";
    w.driver().MoveTo(w.driver().CentreOf(L"five"));
    EXPECT_EQ(ColourAt(), kFrameColours[2]) << "hot";
    w.driver().PressAt(w.driver().CentreOf(L"five"));
    EXPECT_EQ(ColourAt(), kFrameColours[1]) << "pushed";
    EXPECT_TRUE(w.Screenshot(L"controls-button-five-status-pushed.png"));
    w.driver().ReleaseAt(POINT{150, 80});
    w.driver().MoveTo(POINT{150, 80});
    five->SetEnabled(false);
    EXPECT_EQ(ColourAt(), kFrameColours[4]) << "disabled";

    // Without a disabled image a disabled button shows its normal image.
    CControlUI* plain = w.driver().Find(L"plain");
    plain->SetEnabled(false);
    const CUIRect pos = plain->GetPos();
    EXPECT_EQ(w.Pixels(CUIRect(pos.left + 5, pos.top + 5, pos.left + 6, pos.top + 6)).front(), kFrameColours[0]);
  }
  CWindowManagerUI::SetResourcePath(previousPath.GetText());
}

}  // namespace

namespace {

// A scrolling list of buttons taller than its window part, with one button
// that takes no mouse input.
const wchar_t kScrollingButtons[] =
    L"<Window size=\"300,160\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
    L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\">"
    L"<VerticalLayout name=\"list\" vscrollbar=\"true\" height=\"100\">"
    L"<Button name=\"first\" height=\"40\" text=\"First\" />"
    L"<Button name=\"second\" height=\"40\" text=\"Second\" />"
    L"<Button name=\"third\" height=\"40\" text=\"Third\" />"
    L"<Button name=\"fourth\" height=\"40\" text=\"Fourth\" />"
    L"</VerticalLayout></VerticalLayout></Window>";

}  // namespace

// Keys a focused button does not act on go on to its container: the arrows
// and page keys scroll the list; Space and Enter still click.
TEST(ButtonTest, KeysItDoesNotUseReachItsContainer) {
  SkinnedTestWindow w(kScrollingButtons);
  ASSERT_TRUE(w.ok());
  auto* list = w.Find<CContainerUI>(L"list", L"Container");
  ASSERT_NE(list, nullptr);
  w.driver().Pump();
  ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
  ASSERT_GT(list->GetScrollRange().cy, 0);
  w.driver().Find(L"first")->SetFocus();
  struct Case {
    UINT key;
    bool scrolls;  // down from the top
  };
  const Case cases[] = {{VK_DOWN, true}, {VK_NEXT, true}, {VK_END, true}, {VK_SPACE, false}, {VK_RETURN, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    list->SetScrollPos(CUISize(0, 0));
    w.recorder.seen.clear();
    w.driver().Key(c.key);
    EXPECT_EQ(list->GetScrollPos().cy > 0, c.scrolls);
    EXPECT_EQ(w.recorder.Of(L"click").size(), c.scrolls ? 0u : 1u);
  }
}

// Controls whose mouse input is off hand every mouse event to their parent:
// the wheel over any of them scrolls the list that holds it.
TEST(ButtonTest, MouseDisabledControlsHandTheWheelToTheirParent) {
  const wchar_t* kinds[] = {L"Button", L"Text", L"DateTime", L"Edit", L"RichEdit"};
  for (const wchar_t* kind : kinds) {
    SCOPED_TRACE(kind);
    const std::wstring skin =
        std::wstring(L"<Window size=\"300,160\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
                     L"<VerticalLayout name=\"root\"><VerticalLayout name=\"list\" vscrollbar=\"true\" height=\"100\">"
                     L"<") + kind + L" name=\"probe\" height=\"60\" mouse=\"false\" text=\"x\" />"
                     L"<Control height=\"200\" /></VerticalLayout></VerticalLayout></Window>";
    SkinnedTestWindow w(skin);
    ASSERT_TRUE(w.ok());
    auto* list = w.Find<CContainerUI>(L"list", L"Container");
    CControlUI* probe = w.driver().Find(L"probe");
    ASSERT_NE(list, nullptr);
    ASSERT_NE(probe, nullptr);
    w.driver().Pump();
    ASSERT_EQ(list->GetScrollPos().cy, 0);
    UIEvent wheel = {};
    wheel.Type = kUIEventScrollWheel;
    wheel.pSender = probe;
    wheel.wParam = MAKEWPARAM(1, 0);  // towards the user: down
    wheel.ptMouse = CUIPoint(probe->GetPos().left + 5, probe->GetPos().top + 5);
    probe->SendEvent(wheel);
    EXPECT_GT(list->GetScrollPos().cy, 0);
  }
}
