// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Circle progress built from skin XML: a ring at 50 % clockwise and
// counter-clockwise, only the background ring at the minimum, a ring centred
// in a wide control, an indicator at the end of the arc drawn from a private
// copy of the window's picture (premultiplied pixels kept as such, the shared
// picture never turned), and nothing drawn without a picture or a manager.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "tests/ui/controls/TestPictures.h"
#include "ui/controls/CircleProgressUI.h"
#include "ui/draw/UIImageInfo.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;
using namespace testpictures;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBack = 0xC9D4EA;
constexpr uint32_t kFore = 0x2D6CDF;

int Red(uint32_t rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }

class CircleProgressTest : public testing::Test {
 protected:
  void SetUp() override {
    // Opaque green on the left half, black on the right: turning it shows.
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(
        folder / L"dot.bmp", testbitmaps::MakeBmp(12, 12, [](int x, int) { return x < 6 ? 0x2BAE66 : 0x000000; })));
    // Red at half alpha.
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"glass.bmp",
                                              MakeBmp32(12, 12, [](int, int) { return 0x80C80000u; })));
    CWindowManagerUI::SetResourcePath(folder.path().c_str());
  }
  ScratchFolder folder;
};

std::wstring Ring(const wchar_t* name, const wchar_t* pos, const wchar_t* extra) {
  return std::wstring(L"<CircleProgress name=\"") + name + L"\" float=\"true\" pos=\"" + pos +
         L"\" circular=\"true\" circlewidth=\"10\" bgcolor=\"#FFC9D4EA\" fgcolor=\"#FF2D6CDF\" " + extra + L" />";
}

TEST_F(CircleProgressTest, RingShowsTheValuesShareFromTheTop) {
  const std::wstring skin = L"<Window><Container bkcolor=\"#FFFFFFFF\">" +
                            Ring(L"cw", L"10,10,110,110", L"value=\"50\"") +
                            Ring(L"ccw", L"120,10,220,110", L"value=\"50\" clockwise=\"false\"") +
                            Ring(L"empty", L"230,10,330,110", L"value=\"0\"") +
                            Ring(L"wide", L"10,120,170,220", L"value=\"75\"") +
                            Ring(L"grad", L"180,120,280,220",
                                 L"value=\"100\" enablecircleeffect=\"true\" gradientcolor1=\"#FF8E6CEF\" "
                                 L"gradientcolor2=\"#FFF5A623\"") +
                            L"</Container></Window>";
  SkinnedTestWindow window(skin, 340, 230);
  ASSERT_TRUE(window.ok());
  ASSERT_TRUE(window.Capture());
  EXPECT_TRUE(testshots::SaveWindowPng(L"controls-circle-progress.png", window.hwnd()));

  // Ring centre (60, 60), radius 44: 50 % clockwise covers the right half.
  struct Probe {
    int x, y;
    uint32_t expected;
  } probes[] = {
      {104, 60, kFore}, {16, 60, kBack}, {60, 60, kWhite},     // clockwise: right fore, left back, hole
      {91, 91, kFore},  {29, 91, kBack},                       // lower right, lower left
      {126, 60, kFore}, {214, 60, kBack},                      // counter-clockwise: the left half
      {324, 60, kBack}, {236, 60, kBack},                      // at the minimum only the background ring
      {90, 214, kFore}, {134, 170, kFore}, {59, 139, kBack},   // wide: centred (90, 170), 75 % leaves the upper left
      {15, 170, kWhite},                                       // the margin of the longer axis
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(window.PixelAt(p.x, p.y), p.expected) << "at " << p.x << "," << p.y;
  }
  // The gradient runs from colour 1 at the top (and bottom) to 90 % of colour 2
  // at the middle height: near the top mostly violet, at the sides orange.
  const auto closeTo = [](uint32_t pixel, uint32_t expected, int tolerance) {
    for (int shift : {16, 8, 0}) {
      const int a = static_cast<int>((pixel >> shift) & 0xFF);
      const int b = static_cast<int>((expected >> shift) & 0xFF);
      if (a - b > tolerance || b - a > tolerance) return false;
    }
    return true;
  };
  const uint32_t top = window.PixelAt(230, 126);
  EXPECT_TRUE(closeTo(top, 0x9972D9, 16)) << std::hex << top;
  EXPECT_TRUE(closeTo(window.PixelAt(230, 214), top, 12)) << std::hex << window.PixelAt(230, 214);
  for (int x : {186, 274}) {
    EXPECT_TRUE(closeTo(window.PixelAt(x, 170), 0xEBA037, 16)) << x << ": " << std::hex << window.PixelAt(x, 170);
  }
}

TEST_F(CircleProgressTest, IndicatorRidesOnTheEndOfTheArcFromItsOwnCopy) {
  const std::wstring skin = L"<Window><Container bkcolor=\"#FFFFFFFF\">" +
                            Ring(L"dot", L"10,10,110,110", L"value=\"50\" indicator=\"dot.bmp\"") +
                            Ring(L"glass", L"120,10,220,110", L"value=\"25\" indicator=\"glass.bmp\"") +
                            Ring(L"lost", L"230,10,330,110", L"value=\"50\" indicator=\"nothere.bmp\"") +
                            L"</Container></Window>";
  SkinnedTestWindow window(skin, 340, 120);
  ASSERT_TRUE(window.ok());
  UIImageInfo* shared = window.manager().GetOrAddImage(L"dot.bmp");
  ASSERT_NE(shared, nullptr);
  ASSERT_EQ(shared->nX, 12);
  ASSERT_EQ(shared->nY, 12);
  ASSERT_TRUE(window.Capture());
  EXPECT_TRUE(testshots::SaveWindowPng(L"controls-circle-indicator.png", window.hwnd()));

  auto* dot = window.Find<CCircleProgressUI>(L"dot");
  ASSERT_TRUE(dot->HasIndicatorBitmap());
  // The indicator's own copy was turned a quarter; the shared picture keeps
  // green on the left, black on the right.
  EXPECT_EQ(shared->pBits[(6 * 12 + 1) * 4 + 1], 0xAE) << "green channel at (1, 6)";
  EXPECT_EQ(shared->pBits[(6 * 12 + 10) * 4 + 1], 0x00) << "green channel at (10, 6)";
  // Ring radius 43 (shrunk by half the indicator's 12 pixels): at 50 % the
  // arc ends at the bottom, (60, 103), where the indicator sits. Its copy was
  // turned a quarter clockwise (green on top) and rides half the circle, so
  // the green half lies below the end and the black half above it.
  EXPECT_EQ(window.PixelAt(60, 107), 0x2BAE66u) << std::hex << window.PixelAt(60, 107);
  EXPECT_EQ(window.PixelAt(60, 99), 0u) << std::hex << window.PixelAt(60, 99);
  EXPECT_EQ(window.PixelAt(60, 17), kFore) << "the top of the arc is not covered";

  // Half-alpha red (premultiplied 100) over the blue arc (red 0x2D): kept
  // premultiplied it gives 100 + 45 / 2 = 122; taken for straight alpha it
  // would give 100 / 2 + 45 / 2 = 72. At 25 % the arc ends on the right.
  auto* glass = window.Find<CCircleProgressUI>(L"glass");
  ASSERT_TRUE(glass->HasIndicatorBitmap());
  const uint32_t blended = window.PixelAt(170 + 43 - 3, 60 - 3);
  EXPECT_NEAR(Red(blended), 122, 8) << std::hex << blended;

  // A picture that cannot be loaded leaves the ring without an indicator.
  auto* lost = window.Find<CCircleProgressUI>(L"lost");
  EXPECT_FALSE(lost->HasIndicatorBitmap());
  EXPECT_EQ(window.PixelAt(280 + 44, 60), kFore);
}

TEST_F(CircleProgressTest, WithoutAManagerNothingIsDrawn) {
  CCircleProgressUI ring;
  ring.SetAttribute(L"circular", L"true");
  ring.SetAttribute(L"indicator", L"dot.bmp");
  ring.SetAttribute(L"fgcolor", L"#FF2D6CDF");
  ring.SetValue(50);
  OwnedMemoryDC dc(CreateCompatibleDC(nullptr));
  OwnedBitmap bitmap(CreateCompatibleBitmap(WindowDC(nullptr).Get(), 60, 60));
  SelectObjectScope select(dc.Get(), bitmap.Get());
  RECT all = {0, 0, 60, 60};
  FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ring.SetPos(CUIRect(0, 0, 60, 60), false);
  ring.Paint(dc.Get(), CUIRect(0, 0, 60, 60), nullptr);
  EXPECT_FALSE(ring.HasIndicatorBitmap());
  EXPECT_EQ(GetPixel(dc.Get(), 58, 30), RGB(255, 255, 255));
}

}  // namespace
