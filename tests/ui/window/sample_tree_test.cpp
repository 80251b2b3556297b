// The sample tree: a skin that uses every kind of drawing (nested layouts,
// colour and gradient backgrounds, nine-grid and tiled images, markup text
// with a link, a scroll bar, round borders) built, laid out and painted into
// a bitmap, checked at a few telling pixels and saved as ui-sample-tree.png.
#include <gtest/gtest.h>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/SampleSkins.h"
#include "tests/support/Screenshot.h"
#include "tests/ui/skin/SkinTestFolder.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/SkinBuilder.h"

using namespace Trellis;

namespace {

// The colour at a point of what the DC holds, as 0xRRGGBB.
uint32_t PixelAt(HDC dc, int x, int y) {
  const COLORREF pixel = GetPixel(dc, x, y);
  return (static_cast<uint32_t>(GetRValue(pixel)) << 16) | (static_cast<uint32_t>(GetGValue(pixel)) << 8) |
         GetBValue(pixel);
}

TEST(SampleTreeTest, RendersEveryKindOfDrawingIntoABitmap) {
  SkinTestFolder folder;
  ASSERT_TRUE(folder.Write(L"frame.bmp", testskins::FramePicture()));
  ASSERT_TRUE(folder.Write(L"tile.bmp", testskins::TilePicture()));
  const int width = 1024, height = 720;
  testwindows::ManagedTestWindow window(width, height);
  CWindowManagerUI& manager = window.manager();
  CSkinBuilder builder;
  testskins::SampleCallback callback;
  CControlUI* root = builder.CreateFromSource(testskins::SampleTreeSkin().c_str(), nullptr, &callback, &manager);
  ASSERT_NE(root, nullptr) << "the sample skin did not build";
  ASSERT_TRUE(manager.AttachRootControl(root));

  OwnedMemoryDC dc(CreateCompatibleDC(manager.GetPaintDC()));
  BYTE* bits = nullptr;
  OwnedBitmap bitmap = CDrawEngine::CreateARGB32Bitmap(dc.Get(), width, height, &bits);
  ASSERT_TRUE(bitmap && bits != nullptr);
  SelectObjectScope select(dc.Get(), bitmap.Get());
  const CUIRect all(0, 0, width, height);
  root->SetPos(all);
  root->Paint(dc.Get(), all, nullptr);
  GdiFlush();
  EXPECT_TRUE(testshots::SaveBitmapPng(L"ui-sample-tree.png", bitmap.Get()));

  // The gradient header runs from dark blue to light blue.
  const CUIRect header = manager.FindControlByName(L"header")->GetPos();
  const uint32_t headerLeft = PixelAt(dc.Get(), header.left + 30, header.top + 4);
  const uint32_t headerRight = PixelAt(dc.Get(), header.right - 30, header.bottom - 4);
  EXPECT_NE(headerLeft, headerRight) << "no gradient";
  EXPECT_GT(headerRight & 0xFF, headerLeft & 0xFF);
  // Round corners: the header's outermost corner pixel is the page, not the header.
  EXPECT_EQ(PixelAt(dc.Get(), header.left, header.top), 0xF4F6FAu);

  // Nine-grid: the frame picture's dark border stays 6 pixels wide at every
  // corner, and the light centre is stretched over the rest.
  const CUIRect frame = manager.FindControlByName(L"frame")->GetPos();
  EXPECT_EQ(PixelAt(dc.Get(), frame.left + 2, frame.top + 2), 0x1A3F8Au);
  EXPECT_EQ(PixelAt(dc.Get(), frame.right - 3, frame.bottom - 3), 0x1A3F8Au);
  EXPECT_EQ(PixelAt(dc.Get(), frame.left + 10, frame.top + 10), 0xDDE8FFu);

  // Tiling repeats the 16-pixel checker: same colour 16 pixels apart, other colour 8 apart.
  const CUIRect tiled = manager.FindControlByName(L"tiled")->GetPos();
  const int tx = tiled.left + 4, ty = tiled.top + 4;
  EXPECT_EQ(PixelAt(dc.Get(), tx, ty), PixelAt(dc.Get(), tx + 16, ty));
  EXPECT_NE(PixelAt(dc.Get(), tx, ty), PixelAt(dc.Get(), tx + 8, ty));

  // The long list scrolls: its vertical scroll bar is shown.
  auto* list = static_cast<CContainerUI*>(manager.FindControlByName(L"list"));
  ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
  EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
  EXPECT_GT(list->GetScrollRange().cy, 0);

  // The markup text found its one link.
  auto* title = static_cast<testskins::MarkupTextControl*>(manager.FindControlByName(L"title"));
  EXPECT_EQ(title->GetLinkCount(), 1);
}

}  // namespace
