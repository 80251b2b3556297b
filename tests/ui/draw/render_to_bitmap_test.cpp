// RenderToBitmap: a window's painted content copied into a new bitmap,
// painted afresh up to a stop control, with a colour laid over it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/ui/draw/DrawCanvas.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

uint32_t PixelOf(HBITMAP bitmap, int x, int y) {
  DIBSECTION dib = {};
  if (::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr) return 0xDEADBEEF;
  const int height = dib.dsBm.bmHeight;  // positive: rows stored from the bottom
  const uint32_t* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
  return bits[static_cast<size_t>(height - 1 - y) * dib.dsBm.bmWidth + x];
}

}  // namespace

TEST(RenderToBitmap, PaintsTheTreeUpToTheStopControlAndLaysTheColourOver) {
  HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 60, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, window);
  {
    CWindowManagerUI manager;
    manager.InitForWindow(window);
    // A green root whose blue child covers its right half.
    auto* root = new CContainerUI;
    root->SetBkColor(0xFF00FF00);
    root->SetInset(CUIRect(50, 0, 0, 0));
    auto* child = new CControlUI;
    child->SetBkColor(0xFF0000FF);
    ASSERT_TRUE(root->AddItem(child));
    ASSERT_TRUE(manager.AttachRootControl(root));
    root->SetPos(CUIRect(0, 0, 100, 60), false);

    OwnedBitmap copy = CDrawEngine::RenderToBitmap(&manager, CUIRect(10, 10, 50, 30));
    ASSERT_TRUE(copy);
    BITMAP info = {};
    ::GetObjectW(copy.Get(), sizeof(info), &info);
    EXPECT_EQ(40, info.bmWidth);
    EXPECT_EQ(20, info.bmHeight);
    EXPECT_EQ(0x00FF00u, PixelOf(copy.Get(), 5, 5) & 0xFFFFFF);

    // The colour is half transparent, so what lies under it shows: with the
    // child as stop control the root is painted and the child is not.
    const auto rgb = [](HBITMAP bitmap, int x, int y) {
      const uint32_t pixel = PixelOf(bitmap, x, y);
      return std::vector<int>{DrawCanvas::R(pixel), DrawCanvas::G(pixel), DrawCanvas::B(pixel)};
    };
    const auto closeTo = [](const std::vector<int>& pixel, const std::vector<int>& expected) {
      for (size_t i = 0; i < 3; ++i) {
        if (std::abs(pixel[i] - expected[i]) > 2) return false;
      }
      return true;
    };
    OwnedBitmap behindChild = CDrawEngine::RenderToBitmap(&manager, CUIRect(40, 0, 80, 20), child, 0x80FF0000);
    ASSERT_TRUE(behindChild);
    EXPECT_TRUE(closeTo(rgb(behindChild.Get(), 5, 5), {128, 127, 0}));   // the root, under the colour
    EXPECT_TRUE(closeTo(rgb(behindChild.Get(), 25, 5), {128, 127, 0}));  // the child not painted: the root again
    OwnedBitmap withChild = CDrawEngine::RenderToBitmap(&manager, CUIRect(40, 0, 80, 20), nullptr, 0x80FF0000);
    ASSERT_TRUE(withChild);
    EXPECT_TRUE(closeTo(rgb(withChild.Get(), 25, 5), {128, 0, 127}));  // no stop: the child under the colour
    // The root as stop control: nothing of the tree is painted.
    OwnedBitmap behind = CDrawEngine::RenderToBitmap(&manager, CUIRect(0, 0, 20, 20), root, 0x80FF0000);
    ASSERT_TRUE(behind);
    EXPECT_TRUE(closeTo(rgb(behind.Get(), 3, 3), {128, 0, 0}));
    EXPECT_FALSE(CDrawEngine::RenderToBitmap(nullptr, CUIRect(0, 0, 5, 5)));
    EXPECT_FALSE(CDrawEngine::RenderToBitmap(&manager, CUIRect(5, 5, 5, 9)));
  }
  ::DestroyWindow(window);
}
