// Described images drawn through a window manager: DrawImageString with its
// destination, fade and failed loads, and CImageAttribute's load, reset and
// source clamping.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ScratchFolder.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "tests/ui/draw/TestBmpFile.h"
#include "ui/draw/DrawEngine.h"
#include "ui/draw/ImageAttribute.h"
#include "ui/skin/SkinFile.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

// A BMP whose left half is red and right half green.
std::string HalfAndHalfBmp(int width, int height) {
  return MakeBmpFile(width, height, 24, [width](int x, int) -> uint32_t { return x < width / 2 ? 0xFF0000 : 0x00FF00; });
}

class DescribedImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_folder / L"half.bmp", HalfAndHalfBmp(32, 16)));
    m_saved = GetSkinSource().resourcePath;
    m_savedZip = GetSkinSource().zipName;
    GetSkinSource().resourcePath.Assign(m_folder.path().c_str());
    GetSkinSource().zipName.Clear();
  }
  void TearDown() override {
    GetSkinSource().resourcePath = m_saved;
    GetSkinSource().zipName = m_savedZip;
  }

  bool Draw(DrawCanvas& canvas, const wchar_t* description, const CUIRect& rc, UIImageDrawInfo* info = nullptr) {
    UIImageDrawInfo local;
    UIImageDrawInfo& record = info != nullptr ? *info : local;
    if (record.sDrawString.IsEmpty()) record.sDrawString.Assign(description);
    return CDrawEngine::DrawImageString(canvas.dc(), &m_manager, rc, CUIRect(0, 0, canvas.width(), canvas.height()),
                                        record);
  }

  ScratchFolder m_folder{L"draw_images"};
  CWindowManagerUI m_manager;
  CUIString m_saved;
  CUIString m_savedZip;
};

}  // namespace

TEST_F(DescribedImageTest, ColourDescriptionFillsAndFadeHalves) {
  DrawCanvas canvas(20, 20, 0xFF000000);
  EXPECT_TRUE(Draw(canvas, L"color='#FF0000FF'", CUIRect(0, 0, 10, 20)));
  EXPECT_EQ(0x0000FFu, canvas.At(5, 5) & 0xFFFFFF);
  EXPECT_EQ(0u, canvas.At(15, 5) & 0xFFFFFF);
  EXPECT_TRUE(Draw(canvas, L"color='#FFFFFFFF' fade='128'", CUIRect(10, 0, 20, 20)));
  EXPECT_NEAR(128, DrawCanvas::R(canvas.At(15, 5)), 2);
}

TEST_F(DescribedImageTest, ColoursWithOrWithoutHashAndStartingWithADigitFill) {
  const struct {
    const wchar_t* description;
    uint32_t red;  // the red the fill leaves over black
  } cases[] = {
      {L"color='#FFFF0000'", 0xFF},
      {L"color='FFFF0000'", 0xFF},
      {L"color='#80FF0000'", 0x80},
      {L"color='80FF0000'", 0x80},  // a digit first: still a colour, not a resource number
      {L"color='7FFF0000'", 0x7F},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::wstring(c.description));
    DrawCanvas canvas(10, 10, 0xFF000000);
    EXPECT_TRUE(Draw(canvas, c.description, CUIRect(0, 0, 10, 10)));
    EXPECT_NEAR(static_cast<int>(c.red), static_cast<int>(DrawCanvas::R(canvas.At(5, 5))), 2);
  }
}

TEST_F(DescribedImageTest, DestinationIsRelativeAndCutAtTheDrawingRectangle) {
  DrawCanvas canvas(40, 20, 0xFF000000);
  EXPECT_TRUE(Draw(canvas, L"color='#FF00FF00' dest='5,0,100,10'", CUIRect(10, 0, 30, 20)));
  EXPECT_EQ(0u, canvas.At(14, 5) & 0xFFFFFF);
  EXPECT_EQ(0x00FF00u, canvas.At(15, 5) & 0xFFFFFF);
  EXPECT_EQ(0x00FF00u, canvas.At(29, 5) & 0xFFFFFF);
  EXPECT_EQ(0u, canvas.At(30, 5) & 0xFFFFFF);  // cut at the drawing rectangle's right
  EXPECT_EQ(0u, canvas.At(20, 12) & 0xFFFFFF);
}

TEST_F(DescribedImageTest, FileSourceCornerAndFailedLoadNotRetried) {
  DrawCanvas canvas(32, 16, 0xFF000000);
  UIImageDrawInfo info;
  info.sDrawString.Assign(L"file='half.bmp' source='0,0,16,16'");
  EXPECT_TRUE(Draw(canvas, nullptr, CUIRect(0, 0, 32, 16), &info));
  ASSERT_NE(nullptr, info.pImageInfo);
  EXPECT_EQ(0xFF0000u, canvas.At(31, 8) & 0xFFFFFF);  // only the left half, stretched
  EXPECT_EQ("half.bmp", std::string(info.sImageName.GetText(), info.sImageName.GetText() + 8));

  UIImageDrawInfo missing;
  missing.sDrawString.Assign(L"file='missing.png'");
  EXPECT_FALSE(Draw(canvas, nullptr, CUIRect(0, 0, 32, 16), &missing));
  EXPECT_TRUE(missing.bLoaded);
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_folder / L"missing.png", HalfAndHalfBmp(4, 4)));
  EXPECT_FALSE(Draw(canvas, nullptr, CUIRect(0, 0, 32, 16), &missing));  // not asked for again
  EXPECT_EQ(nullptr, m_manager.GetImage(L"missing.png"));
  // Without a manager nothing happens and the record stays untouched.
  UIImageDrawInfo untouched;
  untouched.sDrawString.Assign(L"file='half.bmp'");
  EXPECT_TRUE(CDrawEngine::DrawImageString(canvas.dc(), nullptr, CUIRect(0, 0, 4, 4), CUIRect(0, 0, 4, 4), untouched));
  EXPECT_FALSE(untouched.bLoaded);
}

TEST_F(DescribedImageTest, ImageAttributeLoadsOnceClampsAndResets) {
  DrawCanvas canvas(16, 16, 0xFF000000);
  CImageAttribute attribute;
  attribute.SetDescription(L"file='half.bmp' source='0,0,16,16'");
  EXPECT_FALSE(CDrawEngine::DrawImageAttribute(canvas.dc(), &m_manager, CUIRect(0, 0, 16, 16),
                                               CUIRect(0, 0, 16, 16), attribute));  // not loaded yet
  ASSERT_TRUE(attribute.EnsureLoaded(&m_manager));
  UIImageInfo* loaded = attribute.GetLoadedImage();
  EXPECT_TRUE(CDrawEngine::DrawImageAttribute(canvas.dc(), &m_manager, CUIRect(0, 0, 16, 16), CUIRect(0, 0, 16, 16),
                                              attribute));
  EXPECT_EQ(0xFF0000u, canvas.At(15, 15) & 0xFFFFFF);  // the left half only

  attribute.SetDescription(L"file='half.bmp' source='0,0,16,16'");
  EXPECT_EQ(loaded, attribute.GetLoadedImage());  // the same text keeps the image
  attribute.SetDescription(L"file='half.bmp' source='0,0,100,100'");
  EXPECT_EQ(nullptr, attribute.GetLoadedImage());
  ASSERT_TRUE(attribute.EnsureLoaded(&m_manager));
  EXPECT_EQ(32, attribute.GetSource().right);  // clamped to the image
  EXPECT_EQ(16, attribute.GetSource().bottom);

  CImageAttribute copy(attribute);
  EXPECT_EQ(attribute.GetLoadedImage(), copy.GetLoadedImage());

  // "color" is not a key here: the whole text names the image, which fails
  // once and is not asked for again.
  attribute.SetDescription(L"color='#FF0000FF'");
  EXPECT_TRUE(attribute.IsUsable());
  EXPECT_FALSE(attribute.EnsureLoaded(&m_manager));
  EXPECT_FALSE(attribute.IsUsable());
  EXPECT_FALSE(attribute.EnsureLoaded(&m_manager));
}
