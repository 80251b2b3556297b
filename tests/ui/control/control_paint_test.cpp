// Painting of the control base into a 32-bit DIB, read back pixel by pixel:
// background colours, borders (none without a colour; one-pixel right and
// bottom borders on the last pixel inside), the rounded clip and the stop
// control.
#include <gtest/gtest.h>

#include "tests/ui/control/ControlTestSupport.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "ui/control/ControlUI.h"

using namespace Trellis;
using namespace controltest;

namespace {

constexpr uint32_t kBackground = 0xFF808080u;

uint32_t Rgb(uint32_t pixel) { return pixel & 0x00FFFFFFu; }

// A control at (10, 10, 50, 40) painted over the whole canvas.
class PaintedControl {
 public:
  explicit PaintedControl(const wchar_t* attributes) {
    m_control.ApplyAttributeList(attributes);
    m_control.SetPos(CUIRect(10, 10, 50, 40));
  }
  bool PaintInto(DrawCanvas& canvas, CControlUI* stop = nullptr) {
    return m_control.Paint(canvas.dc(), CUIRect(0, 0, canvas.width(), canvas.height()), stop);
  }
  CControlUI& control() { return m_control; }

 private:
  CControlUI m_control;
};

TEST(ControlPaintTest, BordersOnTheirSides) {
  DrawCanvas canvas(60, 50, kBackground);
  PaintedControl sides(L"bordercolor=\"#FF0000FF\" bordersize=\"0,1,1,1\"");
  ASSERT_TRUE(sides.PaintInto(canvas));
  canvas.Save(L"control-border-sides.png");
  EXPECT_EQ(Rgb(canvas.At(20, 10)), 0x0000FFu);  // top line on the first row
  EXPECT_EQ(Rgb(canvas.At(49, 20)), 0x0000FFu);  // right line on the last column inside
  EXPECT_EQ(Rgb(canvas.At(50, 20)), Rgb(kBackground));
  EXPECT_EQ(Rgb(canvas.At(20, 39)), 0x0000FFu);  // bottom line on the last row inside
  EXPECT_EQ(Rgb(canvas.At(20, 40)), Rgb(kBackground));
  EXPECT_EQ(Rgb(canvas.At(10, 20)), Rgb(kBackground));  // no left border

  // With a left border the sides are lines centred on right - R/2 and
  // bottom - B/2: one pixel wide, just outside the control.
  DrawCanvas withLeft(60, 50, kBackground);
  PaintedControl four(L"bordercolor=\"#FFFF0000\" bordersize=\"1,2,1,1\"");
  ASSERT_TRUE(four.PaintInto(withLeft));
  withLeft.Save(L"control-border-four-sides.png");
  EXPECT_EQ(Rgb(withLeft.At(10, 20)), 0xFF0000u);  // left line on the first column
  EXPECT_EQ(Rgb(withLeft.At(20, 11)), 0xFF0000u);  // top line, two rows from y = 10
  EXPECT_EQ(Rgb(withLeft.At(50, 20)), 0xFF0000u);  // right line on x = right
  EXPECT_EQ(Rgb(withLeft.At(49, 20)), Rgb(kBackground));
  EXPECT_EQ(Rgb(withLeft.At(20, 40)), 0xFF0000u);  // bottom line on y = bottom
  EXPECT_EQ(Rgb(withLeft.At(20, 39)), Rgb(kBackground));

  DrawCanvas frame(60, 50, kBackground);
  PaintedControl uniform(L"bordercolor=\"#FF00FF00\" bordersize=\"1\"");
  uniform.PaintInto(frame);
  EXPECT_EQ(Rgb(frame.At(10, 10)), 0x00FF00u);
  EXPECT_EQ(Rgb(frame.At(49, 39)), 0x00FF00u);
  EXPECT_EQ(Rgb(frame.At(50, 40)), Rgb(kBackground));
  EXPECT_EQ(Rgb(frame.At(30, 25)), Rgb(kBackground));  // not filled
}

TEST(ControlPaintTest, NothingWithoutAColour) {
  // Colour 0 is no colour, not black: borders without one, and a background
  // whose first colour is 0 (the second is ignored then), draw nothing.
  for (const wchar_t* attributes :
       {L"bordersize=\"0,1,1,1\"", L"bordersize=\"2\" focusbordercolor=\"#FFFF0000\"", L"bkcolor2=\"#FFFF0000\"",
        L"bkcolor=\"#00FF0000\""}) {
    DrawCanvas canvas(60, 50, kBackground);
    PaintedControl control(attributes);
    control.PaintInto(canvas);
    for (int y = 0; y < 50; ++y) {
      for (int x = 0; x < 60; ++x) ASSERT_EQ(Rgb(canvas.At(x, y)), Rgb(kBackground)) << attributes << " " << x << "," << y;
    }
  }
}

TEST(ControlPaintTest, BackgroundsAndGradients) {
  DrawCanvas canvas(60, 50, kBackground);
  PaintedControl solid(L"bkcolor=\"#FFFF0000\"");
  solid.PaintInto(canvas);
  EXPECT_EQ(Rgb(canvas.At(10, 10)), 0xFF0000u);
  EXPECT_EQ(Rgb(canvas.At(49, 39)), 0xFF0000u);
  EXPECT_EQ(Rgb(canvas.At(50, 39)), Rgb(kBackground));

  DrawCanvas gradient(60, 50, kBackground);
  PaintedControl shaded(L"bkcolor=\"#FF000000\" bkcolor2=\"#FFFFFFFF\"");
  shaded.PaintInto(gradient);
  gradient.Save(L"control-gradient.png");
  EXPECT_LT(DrawCanvas::R(gradient.At(30, 11)), 40);  // dark at the top
  EXPECT_GT(DrawCanvas::R(gradient.At(30, 38)), 215);  // light at the bottom
}

TEST(ControlPaintTest, RoundCornersClipOnlyWhilePainting) {
  DrawCanvas canvas(60, 50, kBackground);
  RECT before = {};
  GetClipBox(canvas.dc(), &before);
  PaintedControl rounded(L"bkcolor=\"#FF0000FF\" borderround=\"12,12\"");
  rounded.PaintInto(canvas);
  RECT after = {};
  GetClipBox(canvas.dc(), &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_EQ(Rgb(canvas.At(10, 10)), Rgb(kBackground));  // the corner is cut
  EXPECT_EQ(Rgb(canvas.At(30, 25)), 0x0000FFu);
}

TEST(ControlPaintTest, StopControlAndPaintListeners) {
  DrawCanvas canvas(60, 50, kBackground);
  PaintedControl control(L"bkcolor=\"#FFFF0000\"");
  EXPECT_FALSE(control.PaintInto(canvas, &control.control()));
  EXPECT_EQ(Rgb(canvas.At(30, 25)), Rgb(kBackground));

  SourceRecorder paint;
  paint.answer = false;  // a paint listener that says no skips the painting
  control.control().paintListeners.AddDelegate(paint.Delegate());
  EXPECT_TRUE(control.PaintInto(canvas));
  EXPECT_EQ(paint.arguments.size(), 1u);
  EXPECT_EQ(Rgb(canvas.At(30, 25)), Rgb(kBackground));
}

}  // namespace
