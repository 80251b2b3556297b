// RenderToBitmap: a window's painted content copied into a new bitmap,
// painted afresh up to a stop control, with a colour laid over it.
#include <gtest/gtest.h>

#include "tests/ui/draw/DrawCanvas.h"
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
    auto* root = new CControlUI;
    root->SetBkColor(0xFF00FF00);
    ASSERT_TRUE(manager.AttachRootControl(root));
    root->SetPos(CUIRect(0, 0, 100, 60), false);

    OwnedBitmap copy = CDrawEngine::RenderToBitmap(&manager, CUIRect(10, 10, 50, 30));
    ASSERT_TRUE(copy);
    BITMAP info = {};
    ::GetObjectW(copy.Get(), sizeof(info), &info);
    EXPECT_EQ(40, info.bmWidth);
    EXPECT_EQ(20, info.bmHeight);
    EXPECT_EQ(0x00FF00u, PixelOf(copy.Get(), 5, 5) & 0xFFFFFF);

    // The root as stop control: nothing of it is painted, and the colour
    // covers the copy.
    OwnedBitmap behind = CDrawEngine::RenderToBitmap(&manager, CUIRect(0, 0, 20, 20), root, 0xFFFF0000);
    ASSERT_TRUE(behind);
    EXPECT_EQ(0xFF0000u, PixelOf(behind.Get(), 3, 3) & 0xFFFFFF);
    EXPECT_FALSE(CDrawEngine::RenderToBitmap(nullptr, CUIRect(0, 0, 5, 5)));
    EXPECT_FALSE(CDrawEngine::RenderToBitmap(&manager, CUIRect(5, 5, 5, 9)));
  }
  ::DestroyWindow(window);
}
