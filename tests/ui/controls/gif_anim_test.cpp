// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// GIF animations built from skin XML with pictures made here: frame delays
// 0 and 5 ask for 100 ms and 50 ms frame timers, hiding rewinds and showing
// plays again, a one-frame picture is shown without a timer, and a name that
// cannot be loaded is not read again at every paint; one built hidden decodes
// its picture only when shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "tests/ui/controls/TestPictures.h"
#include "ui/controls/GdiplusSession.h"
#include "ui/controls/GifAnimUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;
using namespace testpictures;

namespace {

constexpr uint32_t kRed = 0xE5484D;
constexpr uint32_t kBlue = 0x1E5AA8;

class GifAnimTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"two.gif", MakeGif(16, {{0, 0}, {1, 5}})));
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"still.gif", MakeGif(16, {{1, 7}})));
    CWindowManagerUI::SetResourcePath(folder.path().c_str());
  }
  // One frame-timer tick through the window's message path.
  static void Tick(SkinnedTestWindow& window, CGifAnimUI* gif) {
    const UINT native = window.manager().GetNativeTimerId(gif, CGifAnimUI::kFrameTimerId);
    ASSERT_NE(native, 0u);
    SendMessageW(window.hwnd(), WM_TIMER, native, 0);
  }
  ScratchFolder folder;
};

// No label in this window: the animation starts GDI+ itself.
const wchar_t kSkin[] =
    L"<Window><Container bkcolor=\"#FFFFFFFF\">"
    L"<GifAnim name=\"anim\" float=\"true\" pos=\"10,10,42,42\" bkimage=\"two.gif\" />"
    L"<GifAnim name=\"still\" float=\"true\" pos=\"60,10,92,42\" bkimage=\"still.gif\" />"
    L"<GifAnim name=\"missing\" float=\"true\" pos=\"110,10,142,42\" bkimage=\"later.gif\" />"
    L"<GifAnim name=\"sized\" float=\"true\" pos=\"160,10,170,20\" bkimage=\"still.gif\" autosize=\"true\" "
    L"autoplay=\"false\" />"
    L"</Container></Window>";

TEST_F(GifAnimTest, FrameDelaysZeroAndFiveAskForHundredAndFiftyMilliseconds) {
  SkinnedTestWindow window(kSkin, 200, 60);
  ASSERT_TRUE(window.ok());
  auto* anim = window.Find<CGifAnimUI>(L"anim");
  ASSERT_TRUE(anim->HasImage());
  ASSERT_EQ(anim->GetFrameCount(), 2u);
  EXPECT_EQ(anim->GetFrameDelayMs(0), 100u);
  EXPECT_EQ(anim->GetFrameDelayMs(1), 50u);
  ASSERT_TRUE(anim->IsPlaying());

  // Ticks step through the frames, each timer asked for with the next frame's delay.
  for (int i = 0; i < 4; ++i) {
    const UINT next = (anim->GetCurrentFrame() + 1) % 2;
    Tick(window, anim);
    EXPECT_EQ(anim->GetCurrentFrame(), next);
    EXPECT_EQ(anim->GetTimerInterval(), next == 0 ? 100u : 50u) << "tick " << i;
  }
  // The frame on screen is the current one.
  while (anim->GetCurrentFrame() != 1) Tick(window, anim);
  window.manager().KillControlTimer(anim, CGifAnimUI::kFrameTimerId);  // hold the frame for the pictures
  ASSERT_TRUE(window.Capture());
  EXPECT_EQ(window.PixelAt(26, 26), kBlue);
  EXPECT_TRUE(testshots::SaveWindowPng(L"controls-gif-anim.png", window.hwnd()));
  window.manager().SetControlTimer(anim, CGifAnimUI::kFrameTimerId, anim->GetTimerInterval());

  // Hiding stops and rewinds; showing plays again from the first frame.
  anim->SetVisible(false);
  EXPECT_FALSE(anim->IsPlaying());
  EXPECT_EQ(anim->GetCurrentFrame(), 0u);
  EXPECT_EQ(anim->GetTimerInterval(), 0u);
  anim->SetVisible(true);
  EXPECT_TRUE(anim->IsPlaying());
  EXPECT_EQ(anim->GetTimerInterval(), 100u);
  window.manager().KillControlTimer(anim, CGifAnimUI::kFrameTimerId);
  ASSERT_TRUE(window.Capture());
  EXPECT_EQ(window.PixelAt(26, 26), kRed) << "rewound to the first frame";
}

TEST_F(GifAnimTest, OneFramePictureIsShownWithoutATimer) {
  SkinnedTestWindow window(kSkin, 200, 60);
  ASSERT_TRUE(window.ok());
  auto* still = window.Find<CGifAnimUI>(L"still");
  ASSERT_TRUE(still->HasImage());
  EXPECT_EQ(still->GetFrameCount(), 1u);
  EXPECT_FALSE(still->IsPlaying());
  EXPECT_EQ(window.manager().GetNativeTimerId(still, CGifAnimUI::kFrameTimerId), 0u);
  still->SetVisible(false);
  still->SetVisible(true);  // showing does not start a timer for one frame
  EXPECT_FALSE(still->IsPlaying());
  window.driver().Pump();
  ASSERT_TRUE(window.Capture());
  EXPECT_EQ(window.PixelAt(76, 26), kBlue);

  // "autosize" takes the picture's size; without "autoplay" nothing plays.
  auto* sized = window.Find<CGifAnimUI>(L"sized");
  EXPECT_EQ(sized->GetFixedWidth(), 16);
  EXPECT_EQ(sized->GetFixedHeight(), 16);
}

TEST_F(GifAnimTest, NameThatCannotBeLoadedIsNotReadAgainUntilItChanges) {
  SkinnedTestWindow window(kSkin, 200, 60);
  ASSERT_TRUE(window.ok());
  auto* missing = window.Find<CGifAnimUI>(L"missing");
  EXPECT_FALSE(missing->HasImage());
  EXPECT_FALSE(missing->IsPlaying());
  EXPECT_EQ(window.manager().GetNativeTimerId(missing, CGifAnimUI::kFrameTimerId), 0u);

  // The file appears later: painting does not read it again...
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"later.gif", MakeGif(16, {{0, 0}, {1, 5}})));
  missing->Invalidate();
  window.driver().Pump();
  ASSERT_TRUE(window.Capture());
  EXPECT_FALSE(missing->HasImage());
  // ...a new name does (garbage bytes fail the same quiet way).
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"junk.gif", "GIF89a\x10\x00garbage"));
  missing->SetBkImage(L"junk.gif");
  ASSERT_TRUE(window.Capture());
  EXPECT_FALSE(missing->HasImage());
  missing->SetBkImage(L"later.gif");
  ASSERT_TRUE(window.Capture());
  EXPECT_TRUE(missing->HasImage());
  EXPECT_TRUE(missing->IsPlaying());
}

// Busy indicators are built hidden: their pictures wait until they are shown,
// so building the window neither decodes them nor starts GDI+ for them.
TEST_F(GifAnimTest, HiddenAnimationDecodesItsPictureWhenFirstShown) {
  const wchar_t skin[] =
      L"<Window><Container bkcolor=\"#FFFFFFFF\">"
      L"<GifAnim name=\"busy\" float=\"true\" pos=\"10,10,42,42\" bkimage=\"two.gif\" visible=\"false\" />"
      L"<GifAnim name=\"quiet\" float=\"true\" pos=\"60,10,92,42\" bkimage=\"two.gif\" visible=\"false\" "
      L"autoplay=\"false\" autosize=\"true\" />"
      L"<GifAnim name=\"gone\" float=\"true\" pos=\"110,10,142,42\" bkimage=\"nowhere.gif\" visible=\"false\" />"
      L"</Container></Window>";
  SkinnedTestWindow window(skin, 200, 60);
  ASSERT_TRUE(window.ok());
  window.driver().Pump();
  auto* busy = window.Find<CGifAnimUI>(L"busy");
  auto* quiet = window.Find<CGifAnimUI>(L"quiet");
  auto* gone = window.Find<CGifAnimUI>(L"gone");
  for (CGifAnimUI* hidden : {busy, quiet, gone}) {
    EXPECT_FALSE(hidden->HasImage()) << hidden->GetName().GetText();
    EXPECT_FALSE(hidden->IsPlaying()) << hidden->GetName().GetText();
  }
  EXPECT_FALSE(CGdiplusSession::IsStarted()) << "nothing shown needs GDI+ yet";

  // Shown, each plays as one loaded at build would: with or without "autoplay".
  busy->SetVisible(true);
  quiet->SetVisible(true);
  for (CGifAnimUI* shown : {busy, quiet}) {
    EXPECT_TRUE(shown->HasImage()) << shown->GetName().GetText();
    EXPECT_EQ(shown->GetFrameCount(), 2u) << shown->GetName().GetText();
    EXPECT_TRUE(shown->IsPlaying()) << shown->GetName().GetText();
    EXPECT_EQ(shown->GetTimerInterval(), 100u) << shown->GetName().GetText();
  }
  EXPECT_EQ(quiet->GetFixedWidth(), 16);  // "autosize" once the picture is known
  window.manager().KillControlTimer(busy, CGifAnimUI::kFrameTimerId);
  window.driver().Pump();
  ASSERT_TRUE(window.Capture());
  EXPECT_EQ(window.PixelAt(26, 26), kRed) << "the first frame, drawn once shown";
  EXPECT_TRUE(testshots::SaveWindowPng(L"controls-gif-anim-shown-late.png", window.hwnd()));

  // A picture that cannot be read shows nothing and starts no timer, shown or painted.
  gone->SetVisible(true);
  window.driver().Pump();
  EXPECT_FALSE(gone->HasImage());
  EXPECT_FALSE(gone->IsPlaying());
  EXPECT_EQ(window.manager().GetNativeTimerId(gone, CGifAnimUI::kFrameTimerId), 0u);
}

}  // namespace
