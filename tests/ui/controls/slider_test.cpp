// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Progress bars and sliders built from skin XML and driven through the
// window's own message path: attribute order, the fore image's share, drag,
// click and wheel notifications with their values, a disabled slider, a drag
// whose button-up is lost, and hostile ranges.
#include <gtest/gtest.h>

#include <climits>

#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/SliderUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

constexpr uint32_t kFore = 0x2BAE66;
constexpr uint32_t kThumb = 0x1E5AA8;

// The skin folder with the pictures the skins below name.
class SliderPictures {
 public:
  SliderPictures() {
    folder.WriteFileBytes(folder / L"fore.bmp", testbitmaps::MakeBmp(8, 8, [](int, int) { return kFore; }));
    folder.WriteFileBytes(folder / L"thumb.bmp", testbitmaps::MakeBmp(20, 20, [](int, int) { return kThumb; }));
    folder.WriteFileBytes(folder / L"thumbhot.bmp", testbitmaps::MakeBmp(20, 20, [](int, int) { return 0xF5A623; }));
    folder.WriteFileBytes(folder / L"thumbpushed.bmp",
                          testbitmaps::MakeBmp(20, 20, [](int, int) { return 0xE5484D; }));
    CWindowManagerUI::SetResourcePath(folder.path().c_str());
  }
  ScratchFolder folder;
};

// Horizontal sliders: 200 pixels wide from x = 20, thumb 20 wide, so a point
// x stands for min + (max - min) * (x - 30) / 180 between x = 30 and 210.
const wchar_t kSliderSkin[] =
    L"<Window size=\"300,200\"><Container bkcolor=\"#FFFFFFFF\">"
    L"<Slider name=\"slider\" float=\"true\" pos=\"20,20,220,44\" min=\"0\" max=\"100\" value=\"50\" "
    L"thumbsize=\"20,20\" step=\"5\" sendmove=\"true\" foreimage=\"fore.bmp\" thumbimage=\"thumb.bmp\" "
    L"thumbhotimage=\"thumbhot.bmp\" thumbpushedimage=\"thumbpushed.bmp\" />"
    L"<Slider name=\"off\" float=\"true\" pos=\"20,60,220,84\" value=\"30\" thumbsize=\"20,20\" enabled=\"false\" "
    L"foreimage=\"fore.bmp\" thumbimage=\"thumb.bmp\" />"
    L"<Slider name=\"other\" float=\"true\" pos=\"20,100,220,124\" thumbsize=\"20,20\" />"
    L"<Progress name=\"vertical\" float=\"true\" pos=\"240,20,264,120\" hor=\"false\" value=\"25\" "
    L"foreimage=\"fore.bmp\" />"
    L"</Container></Window>";

POINT At(CControlUI* control, int x) {
  const CUIRect pos = control->GetPos();
  return POINT{x, (pos.top + pos.bottom) / 2};
}

TEST(ProgressTest, ValueIsClampedToTheBoundsSetBeforeIt) {
  struct Case {
    const wchar_t* attributes;
    int expected;
  } cases[] = {
      {L"min=\"1\" max=\"9\" value=\"4\"", 4},
      {L"value=\"400\" min=\"1\" max=\"900\"", 100},  // clamped to the default 0..100 first
      {L"value=\"-5\" min=\"-10\"", 0},
      {L"min=\"-10\" value=\"-5\"", -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.attributes);
    SkinnedTestWindow window(std::wstring(L"<Window><Progress name=\"p\" ") + c.attributes + L" /></Window>", 100, 40);
    ASSERT_TRUE(window.ok());
    EXPECT_EQ(window.Find<CProgressUI>(L"p")->GetValue(), c.expected);
  }
}

TEST(ProgressTest, ForeImageCoversTheValuesShareAndEmptyRangesAreRepaired) {
  SliderPictures pictures;
  SkinnedTestWindow window(kSliderSkin, 300, 200);
  ASSERT_TRUE(window.ok());
  auto* vertical = window.Find<CProgressUI>(L"vertical");
  ASSERT_TRUE(window.Capture());
  // Vertical bars grow from the bottom: 25 % of 100 pixels is the bottom 25.
  EXPECT_EQ(window.PixelAt(250, 118), kFore);
  EXPECT_EQ(window.PixelAt(250, 97), kFore);
  EXPECT_NE(window.PixelAt(250, 93), kFore);
  // The horizontal slider at 50 of 0..100 fills the left half (thumb aside).
  EXPECT_EQ(window.PixelAt(22, 22), kFore);
  EXPECT_NE(window.PixelAt(200, 22), kFore);
  EXPECT_TRUE(testshots::SaveWindowPng(L"controls-slider.png", window.hwnd()));

  // An empty range paints with max raised to min + 1 and keeps it.
  vertical->SetMinValue(7);
  vertical->SetMaxValue(7);
  vertical->SetValue(7);
  ASSERT_TRUE(window.Capture());
  EXPECT_EQ(vertical->GetMaxValue(), 8);
  EXPECT_EQ(vertical->GetValue(), 7);
  EXPECT_NE(window.PixelAt(250, 118), kFore) << "value = min paints nothing of the fore image";
}

TEST(SliderTest, DragClickAndWheelNotifyWithTheNewValue) {
  SliderPictures pictures;
  SkinnedTestWindow window(kSliderSkin, 300, 200);
  ASSERT_TRUE(window.ok());
  auto* slider = window.Find<CSliderUI>(L"slider");
  auto& driver = window.driver();

  // Drag from 25 to 75: every move reports the value, the release reports the end.
  driver.PressAt(At(slider, 75));
  EXPECT_EQ(slider->GetValue(), 25);
  EXPECT_TRUE(slider->IsCaptured());
  ASSERT_TRUE(window.Capture());
  EXPECT_EQ(window.PixelAt(slider->ComputeThumbRect().left + 5, 32), 0xE5484Du) << "pushed thumb while dragging";
  slider->SetValue(90);  // the program's own update does not fight the drag
  EXPECT_EQ(slider->GetValue(), 25);
  driver.MoveTo(At(slider, 120));
  driver.MoveTo(At(slider, 165));
  driver.ReleaseAt(At(slider, 165));
  const auto moves = window.values.Of(L"movevaluechanged");
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0].value, 50);
  EXPECT_EQ(moves[1].value, 75);
  auto changes = window.values.Of(L"valuechanged");
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].sender, L"slider");
  EXPECT_EQ(changes[0].value, 75);
  EXPECT_FALSE(slider->IsCaptured());

  // A click at the right end gives the maximum; one past the left end the minimum.
  driver.ClickAt(At(slider, 215));
  driver.ClickAt(At(slider, 21));
  changes = window.values.Of(L"valuechanged");
  ASSERT_EQ(changes.size(), 3u);
  EXPECT_EQ(changes[1].value, 100);
  EXPECT_EQ(changes[2].value, 0);

  // The wheel steps by "step"; at a bound it still reports the unchanged value.
  window.values.records.clear();
  ASSERT_TRUE(driver.Scroll(L"slider", 2));
  ASSERT_TRUE(driver.Scroll(L"slider", -3));
  changes = window.values.Of(L"valuechanged");
  ASSERT_EQ(changes.size(), 5u);
  const int expected[] = {5, 10, 5, 0, 0};  // moving to the centre without a button changes nothing
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(changes[i].value, expected[i]) << "wheel step " << i;
}

TEST(SliderTest, DisabledSliderIgnoresPressDragAndWheel) {
  SliderPictures pictures;
  SkinnedTestWindow window(kSliderSkin, 300, 200);
  ASSERT_TRUE(window.ok());
  auto* off = window.Find<CSliderUI>(L"off");
  auto& driver = window.driver();
  EXPECT_EQ(off->GetControlFlags(), 0u);
  driver.PressAt(At(off, 60));
  driver.MoveTo(At(off, 150));
  driver.ReleaseAt(At(off, 150));
  driver.ClickAt(At(off, 200));
  ASSERT_TRUE(driver.Scroll(L"off", 2));
  ASSERT_TRUE(driver.Scroll(L"off", -2));
  EXPECT_EQ(off->GetValue(), 30);
  EXPECT_FALSE(off->IsCaptured());
  EXPECT_TRUE(window.values.Of(L"valuechanged").empty());
  EXPECT_TRUE(window.values.Of(L"movevaluechanged").empty());

  // Disabling in the middle of a drag ends it.
  auto* slider = window.Find<CSliderUI>(L"slider");
  driver.PressAt(At(slider, 75));
  ASSERT_TRUE(slider->IsCaptured());
  slider->SetEnabled(false);
  EXPECT_FALSE(slider->IsCaptured());
  slider->SetValue(60);
  EXPECT_EQ(slider->GetValue(), 60);
}

TEST(SliderTest, DragWhoseButtonUpIsLostDoesNotKeepTheThumb) {
  SliderPictures pictures;
  SkinnedTestWindow window(kSliderSkin, 300, 200);
  ASSERT_TRUE(window.ok());
  auto* slider = window.Find<CSliderUI>(L"slider");
  auto* other = window.Find<CSliderUI>(L"other");
  auto& driver = window.driver();

  // The button goes down on the slider and comes up outside the window: the
  // next press lands on another control.
  driver.PressAt(At(slider, 75));
  ASSERT_TRUE(slider->IsCaptured());
  driver.ClickAt(At(other, 120));
  EXPECT_FALSE(slider->IsCaptured());
  slider->SetValue(40);
  EXPECT_EQ(slider->GetValue(), 40);

  // A range that is empty or upside down (set after the last paint) never
  // divides, and its release still ends the drag.
  slider->SetMinValue(10);
  slider->SetMaxValue(0);
  driver.PressAt(At(slider, 100));
  driver.ReleaseAt(At(slider, 100));
  EXPECT_FALSE(slider->IsCaptured());
  slider->SetValue(5);
  EXPECT_EQ(slider->GetValue(), 10) << "SetValue applies again (clamped to min after max)";
}

TEST(SliderTest, PointAndThumbArithmeticSurvivesHostileRanges) {
  CSliderUI slider;
  slider.SetThumbSize(20, 20);
  slider.SetPos(CUIRect(20, 0, 220, 20), false);
  struct Case {
    int min, max;
    int x;
    int expected;
  } cases[] = {
      {0, 100, 120, 50},
      {0, 0, 120, 0},                       // empty range: the minimum, no division
      {10, 0, 120, 10},                     // upside down: the minimum
      {0, 2000000000, 165, 1500000000},     // the product needs 64 bits
      {INT_MIN, INT_MAX, 210, INT_MAX},     // the range itself needs 64 bits
      {INT_MIN, INT_MAX, 120, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " at x " << c.x);
    slider.SetMinValue(c.min);
    slider.SetMaxValue(c.max);
    EXPECT_EQ(slider.ValueAtPoint(CUIPoint(c.x, 10)), c.expected);
    slider.SetValue(c.expected);
    const CUIRect thumb = slider.ComputeThumbRect();
    EXPECT_GE(thumb.left, 20);
    EXPECT_LE(thumb.right, 220);
  }
  // A control narrower than its thumb has no track to divide by: every point
  // is at or past one of the ends.
  slider.SetMinValue(0);
  slider.SetMaxValue(100);
  slider.SetPos(CUIRect(0, 0, 8, 20), false);
  EXPECT_EQ(slider.ValueAtPoint(CUIPoint(4, 10)), 100);
  slider.SetHorizontal(false);
  slider.SetPos(CUIRect(0, 0, 20, 8), false);
  EXPECT_EQ(slider.ValueAtPoint(CUIPoint(10, 4)), 0);
}

}  // namespace
