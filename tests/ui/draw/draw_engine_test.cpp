// The drawing engine under real GDI: fills, gradients, lines, nine-grid and
// tiled images, fade, hole, clips, image loading and the HSL shift, checked
// by reading the pixels of a DIB section back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/support/ScratchFolder.h"
#include "tests/support/TestFiles.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "tests/ui/draw/TestBmpFile.h"
#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "ui/draw/DrawEngine.h"
#include "ui/skin/SkinFile.h"

using namespace Trellis;

namespace {

struct ImageDeleter {
  void operator()(UIImageInfo* image) const { CDrawEngine::FreeImage(image, true); }
};
using ImagePtr = std::unique_ptr<UIImageInfo, ImageDeleter>;

// A 9x9 nine-grid test image: corners red, edges green, centre blue (3x3 each).
ImagePtr NineGridImage(bool alpha) {
  return ImagePtr(MakeTestImage(9, 9, alpha, [](int x, int y) -> uint32_t {
    const bool edgeX = x < 3 || x >= 6;
    const bool edgeY = y < 3 || y >= 6;
    if (edgeX && edgeY) return 0xFFFF0000;
    if (edgeX || edgeY) return 0xFF00FF00;
    return 0xFF0000FF;
  }));
}

}  // namespace

TEST(DrawEngineFill, AlphaZeroDrawsNothingOpaqueFillsHalfBlendsPremultiplied) {
  DrawCanvas canvas(20, 10, 0xFF000000);
  CDrawEngine::FillColor(canvas.dc(), CUIRect(0, 0, 20, 10), 0x00FFFFFF);
  EXPECT_EQ(0xFF000000u & 0xFFFFFF, canvas.At(5, 5) & 0xFFFFFF);

  CDrawEngine::FillColor(canvas.dc(), CUIRect(0, 0, 10, 10), 0xFF00FF00);
  EXPECT_EQ(0x00FF00u, canvas.At(2, 2) & 0xFFFFFF);
  EXPECT_EQ(0u, canvas.At(15, 2) & 0xFFFFFF);

  // Half-transparent red over black gives red 128, not 255.
  CDrawEngine::FillColor(canvas.dc(), CUIRect(10, 0, 20, 10), 0x80FF0000);
  EXPECT_NEAR(128, DrawCanvas::R(canvas.At(15, 5)), 1);
  EXPECT_EQ(0, DrawCanvas::G(canvas.At(15, 5)));
  EXPECT_EQ(0x00FF00u, canvas.At(2, 2) & 0xFFFFFF);  // nothing outside the rectangle
}

TEST(DrawEngineGradient, MeanAlphaDecidesAndBlendsByConstantAlphaOnly) {
  DrawCanvas canvas(32, 32, 0xFFFFFFFF);
  CDrawEngine::DrawGradient(canvas.dc(), CUIRect(0, 0, 32, 32), 0x000000FF, 0x00FF0000, true, 16);
  EXPECT_EQ(0xFFFFFFu, canvas.At(16, 16) & 0xFFFFFF);  // both alphas 0: nothing

  // Alphas 255 and 0 (mean 127) of one blue over white: blue stays, red and
  // green drop to about half. A per-pixel blend of the bitmap's empty alpha
  // would leave the white untouched.
  CDrawEngine::DrawGradient(canvas.dc(), CUIRect(0, 0, 32, 32), 0xFF0000FF, 0x000000FF, true, 16);
  const uint32_t mid = canvas.At(16, 16);
  EXPECT_EQ(255, DrawCanvas::B(mid));
  EXPECT_NEAR(128, DrawCanvas::R(mid), 2);

  // Opaque: from red at the top to blue at the bottom.
  CDrawEngine::DrawGradient(canvas.dc(), CUIRect(0, 0, 32, 32), 0xFFFF0000, 0xFF0000FF, true, 16);
  EXPECT_GT(DrawCanvas::R(canvas.At(16, 0)), 240);
  EXPECT_GT(DrawCanvas::B(canvas.At(16, 31)), 240);
  // Horizontal: left to right.
  CDrawEngine::DrawGradient(canvas.dc(), CUIRect(0, 0, 32, 32), 0xFFFF0000, 0xFF0000FF, false, 16);
  EXPECT_GT(DrawCanvas::R(canvas.At(0, 16)), 240);
  EXPECT_GT(DrawCanvas::B(canvas.At(31, 16)), 240);
}

TEST(DrawEngineLines, AlphaPlaysNoPartFramesStayInside) {
  // Lines and frames take the colour's red, green and blue whatever its
  // alpha: 0 is black here, not "no colour" as for fills.
  const struct {
    DWORD argb;
    uint32_t rgb;
  } colours[] = {{0, 0x000000u}, {0x00FF0000, 0xFF0000u}, {0x800000FF, 0x0000FFu}};
  for (const auto& c : colours) {
    SCOPED_TRACE(c.argb);
    DrawCanvas lines(20, 20, 0xFFFFFFFF);
    CDrawEngine::DrawRect(lines.dc(), CUIRect(0, 0, 20, 20), 1, c.argb);
    CDrawEngine::DrawLine(lines.dc(), CUIRect(0, 10, 20, 10), 1, c.argb);
    CDrawEngine::DrawRoundRect(lines.dc(), CUIRect(2, 2, 18, 18), 1, 4, 4, c.argb);
    EXPECT_EQ(c.rgb, lines.At(0, 5) & 0xFFFFFF);    // the frame's left side
    EXPECT_EQ(c.rgb, lines.At(5, 10) & 0xFFFFFF);   // the line
    EXPECT_EQ(c.rgb, lines.At(10, 2) & 0xFFFFFF);   // the round frame's top
    EXPECT_EQ(0xFFFFFFu, lines.At(5, 5) & 0xFFFFFF);  // nothing filled
  }

  DrawCanvas canvas(20, 20, 0xFFFFFFFF);
  CDrawEngine::DrawRect(canvas.dc(), CUIRect(2, 2, 18, 18), 2, 0xFFFF0000);
  EXPECT_EQ(0xFF0000u, canvas.At(2, 10) & 0xFFFFFF);
  EXPECT_EQ(0xFF0000u, canvas.At(17, 10) & 0xFFFFFF);  // the last column inside
  EXPECT_EQ(0xFFFFFFu, canvas.At(18, 10) & 0xFFFFFF);
  EXPECT_EQ(0xFFFFFFu, canvas.At(10, 10) & 0xFFFFFF);  // not filled
  CDrawEngine::DrawLine(canvas.dc(), CUIRect(0, 0, 0, 20), 1, 0xFF0000FF);
  EXPECT_EQ(0x0000FFu, canvas.At(0, 5) & 0xFFFFFF);
}

TEST(DrawEngineImage, NineGridCornersEdgesCentreAndHole) {
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "blended" : "opaque");
    ImagePtr image = NineGridImage(alpha);
    DrawCanvas canvas(30, 24, 0xFF000000);
    const CUIRect all(0, 0, 30, 24);
    CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), all, all, CUIRect(0, 0, 9, 9), CUIRect(3, 3, 3, 3),
                           alpha);
    // Corners keep their size, edges and centre stretch.
    EXPECT_EQ(0xFF0000u, canvas.At(0, 0) & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, canvas.At(2, 2) & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, canvas.At(29, 23) & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, canvas.At(27, 0) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, canvas.At(15, 1) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, canvas.At(1, 12) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, canvas.At(28, 12) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, canvas.At(15, 12) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, canvas.At(3, 3) & 0xFFFFFF);

    canvas.Fill(0xFF000000);
    CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), all, all, CUIRect(0, 0, 9, 9), CUIRect(3, 3, 3, 3),
                           alpha, 255, true);
    EXPECT_EQ(0u, canvas.At(15, 12) & 0xFFFFFF);  // hole: centre left alone
    EXPECT_EQ(0x00FF00u, canvas.At(15, 1) & 0xFFFFFF);

    // Only the pieces meeting the paint rectangle are drawn.
    canvas.Fill(0xFF000000);
    CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), all, CUIRect(0, 0, 3, 3), CUIRect(0, 0, 9, 9),
                           CUIRect(3, 3, 3, 3), alpha);
    EXPECT_EQ(0xFF0000u, canvas.At(0, 0) & 0xFFFFFF);
    EXPECT_EQ(0u, canvas.At(28, 22) & 0xFFFFFF);
  }
}

TEST(DrawEngineImage, TwoAndAHalfTilesAndTileSizeZero) {
  // Columns carry their index in the red byte.
  ImagePtr image(MakeTestImage(10, 4, false, [](int x, int) -> uint32_t { return 0xFF000000u | (x * 20u) << 16; }));
  for (bool alpha : {false, true}) {
    SCOPED_TRACE(alpha ? "blended" : "opaque");
    image->bAlpha = alpha;
    DrawCanvas canvas(40, 4, 0xFF0000FF);
    const CUIRect dest(0, 0, 25, 4);
    CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), dest, dest, CUIRect(0, 0, 10, 4), CUIRect(), alpha,
                           255, false, true, false);
    for (int x = 0; x < 25; ++x) ASSERT_EQ((x % 10) * 20, DrawCanvas::R(canvas.At(x, 2))) << "x " << x;
    EXPECT_EQ(0x0000FFu, canvas.At(25, 2) & 0xFFFFFF);  // the third tile is cut to half

    // A tile of no width would never advance: nothing is tiled, nothing hangs.
    canvas.Fill(0xFF0000FF);
    CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), dest, dest, CUIRect(3, 0, 3, 4), CUIRect(), alpha, 255,
                           false, true, true);
    CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), dest, dest, CUIRect(5, 0, 2, 4), CUIRect(), alpha, 255,
                           false, true, false);
    EXPECT_EQ(0x0000FFu, canvas.At(5, 2) & 0xFFFFFF);
  }
}

TEST(DrawEngineImage, FadeHalvesOpacity) {
  ImagePtr image(MakeTestImage(4, 4, false, [](int, int) -> uint32_t { return 0xFFFFFFFF; }));
  DrawCanvas canvas(4, 4, 0xFF000000);
  const CUIRect all(0, 0, 4, 4);
  CDrawEngine::DrawImage(canvas.dc(), image->hBitmap.Get(), all, all, all, CUIRect(), false, 128);
  EXPECT_NEAR(128, DrawCanvas::R(canvas.At(1, 1)), 2);
}

TEST(DrawEngineClip, RoundClipLimitsPaintingAndRestoresTheClipBox) {
  DrawCanvas canvas(40, 40, 0xFF000000);
  HRGN outer = ::CreateRectRgn(0, 0, 30, 30);
  ::SelectClipRgn(canvas.dc(), outer);
  ::DeleteObject(outer);
  RECT before = {};
  ::GetClipBox(canvas.dc(), &before);
  {
    CDrawClip clip;
    CDrawClip::CreateRoundRectClip(canvas.dc(), CUIRect(0, 0, 40, 40), CUIRect(0, 0, 20, 20), 10, 10, clip);
    CDrawEngine::FillColor(canvas.dc(), CUIRect(0, 0, 40, 40), 0xFFFFFFFF);
    EXPECT_EQ(0u, canvas.At(0, 0) & 0xFFFFFF);          // cut off by the rounded corner
    EXPECT_EQ(0xFFFFFFu, canvas.At(10, 10) & 0xFFFFFF);
    EXPECT_EQ(0u, canvas.At(25, 10) & 0xFFFFFF);        // outside the rounded rectangle
    CDrawClip::SelectOuterClip(canvas.dc(), clip);
    CDrawEngine::FillColor(canvas.dc(), CUIRect(25, 25, 35, 35), 0xFF00FF00);
    CDrawClip::SelectInnerClip(canvas.dc(), clip);
  }
  RECT after = {};
  ::GetClipBox(canvas.dc(), &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
  EXPECT_EQ(0x00FF00u, canvas.At(27, 27) & 0xFFFFFF);  // outer clip: painted up to 30
  EXPECT_EQ(0u, canvas.At(32, 32) & 0xFFFFFF);

  // A DC without a clip region has none again afterwards.
  ::SelectClipRgn(canvas.dc(), nullptr);
  {
    CDrawClip clip;
    CDrawClip::CreateRectClip(canvas.dc(), CUIRect(0, 0, 5, 5), clip);
  }
  HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(0, ::GetClipRgn(canvas.dc(), probe));
  ::DeleteObject(probe);
}

TEST(DrawEngineLoad, ColourImagesArePremultiplied) {
  ImagePtr green(CDrawEngine::LoadImage(L"FF00FF00", L"*COLOR*"));
  ASSERT_TRUE(green);
  EXPECT_EQ(1, green->nX);
  EXPECT_EQ(0u, green->bAlpha);
  EXPECT_EQ(0xFF00FF00u, *reinterpret_cast<uint32_t*>(green->pBits));
  ImagePtr red(CDrawEngine::LoadImage(L"#80FF0000", L"*COLOR*"));
  ASSERT_TRUE(red);
  EXPECT_EQ(1u, red->bAlpha);
  EXPECT_EQ(0x80800000u, *reinterpret_cast<uint32_t*>(red->pBits));
}

TEST(DrawEngineLoad, FilesFromTheSkinFolderWithMaskAndNoNumberAsPath) {
  ScratchFolder scratch(L"draw_load");
  const std::wstring folder = scratch.path();
  const std::string bmp = MakeBmpFile(4, 2, 24, [](int x, int) -> uint32_t { return x == 1 ? 0xFF00FF : 0x102030; });
  ASSERT_TRUE(testfiles::WriteFileBytes(folder + L"pic.bmp", bmp));
  ASSERT_TRUE(testfiles::WriteFileBytes(folder + L"129", bmp));
  ASSERT_TRUE(testfiles::WriteFileBytes(folder + L"bad.png", "not an image at all"));
  UISkinSource& source = GetSkinSource();
  const UISkinSource saved = source;
  source.resourcePath.Assign(folder.c_str());
  source.zipName.Clear();

  ImagePtr pic(CDrawEngine::LoadImage(L"pic.bmp", nullptr, 0xFFFF00FF));
  ASSERT_TRUE(pic);
  EXPECT_EQ(4, pic->nX);
  EXPECT_EQ(2, pic->nY);
  EXPECT_EQ(1u, pic->bAlpha);  // the mask cut a pixel out
  const uint32_t* bits = reinterpret_cast<const uint32_t*>(pic->pBits);
  EXPECT_EQ(0u, bits[1]);
  EXPECT_EQ(0xFF102030u, bits[0]);
  EXPECT_EQ(0xFF102030u, bits[4]);  // second row: top-down

  // The whole path as a file of its own.
  ImagePtr byPath(CDrawEngine::LoadImage((folder + L"pic.bmp").c_str()));
  EXPECT_TRUE(byPath);
  // A resource number is never read as a file, even when a file of that name exists.
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(UIResourceRef(129))));
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(UIResourceRef(129), L"PNG")));
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(L"missing.png")));
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(L"bad.png")));
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(L"")));
  source.resourcePath = saved.resourcePath;
  source.zipName = saved.zipName;
}

TEST(DrawEngineHsl, NeutralCopiesBackAndShiftKeepsAlpha) {
  ImagePtr image(MakeTestImage(2, 1, true, [](int x, int) -> uint32_t { return x == 0 ? 0xFFFF0000 : 0x80800000; }));
  image->bUseHSL = 1;
  ASSERT_TRUE(image->SaveSourceBits());
  uint32_t* bits = reinterpret_cast<uint32_t*>(image->pBits);
  CDrawEngine::AdjustImage(true, image.get(), 300, 100, 100);  // red -> green
  EXPECT_GT(DrawCanvas::G(bits[0]), 250);
  EXPECT_LT(DrawCanvas::R(bits[0]), 5);
  EXPECT_EQ(0x80, DrawCanvas::A(bits[1]));
  CDrawEngine::AdjustImage(true, image.get(), 180, 100, 100);
  EXPECT_EQ(0xFFFF0000u, bits[0]);
  EXPECT_EQ(0x80800000u, bits[1]);
  EXPECT_EQ(0xFF00FF00u, CDrawEngine::AdjustColor(0xFFFF0000, 300, 100, 100));
}

TEST(DrawEngineFallback, AlphaBlendFallbackMatchesTheSystemBlend) {
  ImagePtr image(MakeTestImage(8, 8, true, [](int, int) -> uint32_t { return 0x80800000; }));
  DrawCanvas system(8, 8, 0xFF0000FF);
  DrawCanvas fallback(8, 8, 0xFF0000FF);
  OwnedMemoryDC source(::CreateCompatibleDC(nullptr));
  SelectObjectScope select(source.Get(), image->hBitmap.Get());
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(::AlphaBlend(system.dc(), 0, 0, 8, 8, source.Get(), 0, 0, 8, 8, blend));
  ASSERT_TRUE(CDrawEngine::AlphaBlendFallback(fallback.dc(), 0, 0, 8, 8, source.Get(), 0, 0, 8, 8, blend));
  EXPECT_NEAR(DrawCanvas::B(system.At(3, 3)), DrawCanvas::B(fallback.At(3, 3)), 3);
  EXPECT_NEAR(128, DrawCanvas::B(fallback.At(3, 3)), 3);
}

TEST(DrawEngineGallery, SavesAPictureOfFillsGradientsAndImages) {
  DrawCanvas canvas(240, 120, 0xFFFFFFFF);
  CDrawEngine::DrawGradient(canvas.dc(), CUIRect(0, 0, 120, 60), 0xFF3A7BD5, 0xFF00D2FF, true, 16);
  CDrawEngine::DrawGradient(canvas.dc(), CUIRect(120, 0, 240, 60), 0xFFFF512F, 0x00DD2476, false, 16);
  CDrawEngine::FillColor(canvas.dc(), CUIRect(20, 20, 220, 40), 0x80000000);
  ImagePtr grid = NineGridImage(false);
  CDrawEngine::DrawImage(canvas.dc(), grid->hBitmap.Get(), CUIRect(10, 70, 110, 110), CUIRect(0, 0, 240, 120),
                         CUIRect(0, 0, 9, 9), CUIRect(3, 3, 3, 3), false);
  CDrawEngine::DrawRoundRect(canvas.dc(), CUIRect(130, 70, 230, 110), 2, 12, 12, 0xFF333333);
  CDrawEngine::DrawLine(canvas.dc(), CUIRect(130, 90, 230, 90), 1, 0xFFD3215F, PS_DASH);
  EXPECT_TRUE(canvas.Save(L"ui-draw-gallery.png"));

  // What the picture must show. The left gradient runs from top to bottom.
  const auto rgb = [&canvas](int x, int y) { return canvas.At(x, y) & 0xFFFFFF; };
  const auto closeTo = [](uint32_t pixel, uint32_t expected, int tolerance) {
    return std::abs(DrawCanvas::R(pixel) - DrawCanvas::R(expected)) <= tolerance &&
           std::abs(DrawCanvas::G(pixel) - DrawCanvas::G(expected)) <= tolerance &&
           std::abs(DrawCanvas::B(pixel) - DrawCanvas::B(expected)) <= tolerance;
  };
  EXPECT_TRUE(closeTo(rgb(60, 0), 0x3A7BD5, 8)) << std::hex << rgb(60, 0);
  EXPECT_TRUE(closeTo(rgb(60, 59), 0x00D2FF, 8)) << std::hex << rgb(60, 59);
  EXPECT_TRUE(closeTo(rgb(60, 10), rgb(5, 10), 1)) << "a vertical gradient changes along x";
  // The half-transparent black bar halves the gradient under it.
  const uint32_t under = rgb(10, 30);
  const uint32_t bar = rgb(60, 30);
  EXPECT_TRUE(closeTo(bar, ((under >> 1) & 0x7F7F7F), 2)) << std::hex << bar << " over " << under;
  // The right gradient, half transparent on white: reddish, not white, not opaque.
  for (int x : {125, 180, 235}) {
    const uint32_t pixel = rgb(x, 5);
    EXPECT_GT(DrawCanvas::R(pixel), DrawCanvas::B(pixel) + 30) << x << ": " << std::hex << pixel;
    EXPECT_GT(DrawCanvas::B(pixel), 0x90) << x << ": " << std::hex << pixel;
  }
  // The nine-grid keeps its 3-pixel corners and edges and stretches the centre.
  EXPECT_EQ(rgb(11, 71), 0xFF0000u);
  EXPECT_EQ(rgb(108, 108), 0xFF0000u);
  EXPECT_EQ(rgb(60, 71), 0x00FF00u);
  EXPECT_EQ(rgb(11, 90), 0x00FF00u);
  EXPECT_EQ(rgb(60, 90), 0x0000FFu);
  // The round frame is two pixels wide and not filled.
  EXPECT_EQ(rgb(130, 80), 0x333333u);
  EXPECT_EQ(rgb(131, 80), 0x333333u);
  EXPECT_EQ(rgb(132, 80), 0xFFFFFFu);
  EXPECT_EQ(rgb(180, 80), 0xFFFFFFu);
  // The line across it is dashed: both its colour and gaps lie on it.
  int dashes = 0, gaps = 0;
  for (int x = 135; x < 225; ++x) {
    dashes += rgb(x, 90) == 0xD3215Fu ? 1 : 0;
    gaps += rgb(x, 90) == 0xFFFFFFu ? 1 : 0;
  }
  EXPECT_GT(dashes, 0);
  EXPECT_GT(gaps, 0);
  EXPECT_EQ(dashes + gaps, 90) << "the line has colours of neither the dash nor the background";
}

TEST(DrawEngineLoad, EntriesOfTheSkinArchive) {
  ScratchFolder scratch(L"draw_zip");
  TestZipBuilder zip;
  TestZipEntry picture;
  picture.name = "images/Pic.bmp";
  picture.data = MakeBmpFile(3, 2, 24, [](int, int) -> uint32_t { return 0x336699; });
  zip.Add(picture);
  TestZipEntry empty;
  empty.name = "images/empty.bmp";
  zip.Add(empty);
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(scratch / L"skin.zip", zip.Build()));
  UISkinSource& source = GetSkinSource();
  const UISkinSource saved = source;
  source.resourcePath.Assign(scratch.path().c_str());
  source.zipName.Assign(L"skin.zip");
  source.zipCached = false;  // opened by file name for each read

  ImagePtr pic(CDrawEngine::LoadImage(L"IMAGES\\pic.bmp"));  // letter case and separator ignored
  ASSERT_TRUE(pic);
  EXPECT_EQ(3, pic->nX);
  EXPECT_EQ(0xFF336699u, *reinterpret_cast<const uint32_t*>(pic->pBits));
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(L"images/empty.bmp")));
  EXPECT_FALSE(ImagePtr(CDrawEngine::LoadImage(L"images/none.bmp")));

  source.resourcePath = saved.resourcePath;
  source.zipName = saved.zipName;
  source.zipCached = saved.zipCached;
}
