// The drop shadow with real windows: setting ranges, the image-mode geometry
// around a window, hiding on minimise, a second create refused, region mode
// on a window without a region, pictures made without a window, the first
// picture made once the window has painted itself, and screenshots of a
// window with its shadow.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/ui/draw/TestBmpFile.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/skin/SkinFile.h"
#include "ui/window/Shadow.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

const wchar_t kTestClass[] = L"ShadowTestParent";

constexpr UINT kPingMessage = WM_APP + 7;  // answered by the parent's own procedure

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kPingMessage) return 77;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT rc;
    ::GetClientRect(hwnd, &rc);
    ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeParent(int x, int y, int width, int height, bool visible = true) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kTestClass;
    ::RegisterClassExW(&wc);
    registered = true;
  }
  return ::CreateWindowExW(0, kTestClass, L"shadow test", WS_POPUP | (visible ? WS_VISIBLE : 0), x, y, width, height,
                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// A 30x30 BMP with alpha: black, transparent at the outer edge and darker
// towards the middle, as shadow images are.
std::string ShadowBmp() {
  const int size = 30;
  return MakeBmpFile(size, size, 32, [](int x, int y) -> uint32_t {
    const int edge = std::min(std::min(x, y), std::min(size - 1 - x, size - 1 - y));
    return static_cast<uint32_t>(edge < 14 ? edge * 9 : 130) << 24;
  });
}

class ShadowWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_folder / L"shadow.bmp", ShadowBmp()));
    m_savedPath = GetSkinSource().resourcePath;
    m_savedZip = GetSkinSource().zipName;
    GetSkinSource().resourcePath.Assign(m_folder.path().c_str());
    GetSkinSource().zipName.Clear();
  }
  void TearDown() override {
    GetSkinSource().resourcePath = m_savedPath;
    GetSkinSource().zipName = m_savedZip;
  }

  ScratchFolder m_folder{L"shadow"};
  CUIString m_savedPath;
  CUIString m_savedZip;
};

RECT WindowRect(HWND hwnd) {
  RECT rc = {};
  ::GetWindowRect(hwnd, &rc);
  return rc;
}

}  // namespace

TEST(ShadowSettings, OutOfRangeValuesAreRefusedAndChangeNothing) {
  CShadowUI shadow;
  EXPECT_FALSE(shadow.SetSize(21));
  EXPECT_FALSE(shadow.SetSize(-21));
  EXPECT_TRUE(shadow.SetSize(-20));
  EXPECT_FALSE(shadow.SetSharpness(21));
  EXPECT_TRUE(shadow.SetDarkness(255));
  EXPECT_FALSE(shadow.SetDarkness(256));
  EXPECT_FALSE(shadow.SetPosition(0, 21));
  EXPECT_FALSE(shadow.SetShadowCorner(CUIRect(1, -1, 1, 1)));
  EXPECT_FALSE(shadow.SetImage(nullptr));
  EXPECT_EQ(-20, shadow.GetSettings().size);
  EXPECT_EQ(5, shadow.GetSettings().sharpness);
  EXPECT_EQ(255, shadow.GetSettings().darkness);
  EXPECT_EQ(0, shadow.GetSettings().offsetY);
  EXPECT_FALSE(shadow.IsImageMode());

  CShadowUI other;
  shadow.SetShadowEnabled(true);
  shadow.SetColor(0x123456);
  shadow.CopySettingsTo(&other);
  EXPECT_TRUE(other.IsShadowEnabled());
  EXPECT_EQ(0x123456u, other.GetSettings().color);
  EXPECT_EQ(-20, other.GetSettings().size);
}

TEST(ShadowPictureWin, RegionModePicturesWithoutAWindow) {
  CShadowUI shadow;
  CUISize size;
  CUIPoint offset;
  // Size 0, or a window below one pixel: nothing is made.
  EXPECT_FALSE(shadow.MakePicture(CUIRect(0, 0, 100, 50), nullptr, &size, &offset));
  ASSERT_TRUE(shadow.SetSize(5));
  EXPECT_FALSE(shadow.MakePicture(CUIRect(0, 0, 0, 50), nullptr, &size, &offset));
  EXPECT_FALSE(shadow.MakePicture(CUIRect(0, 0, 100, -1), nullptr, &size, &offset));
  EXPECT_EQ(0, size.cx);

  // No region: the window rectangle.
  BYTE* bits = nullptr;
  ASSERT_TRUE(shadow.SetPosition(2, 3));
  OwnedBitmap picture = shadow.MakePicture(CUIRect(0, 0, 100, 50), nullptr, &size, &offset, &bits);
  ASSERT_TRUE(picture);
  EXPECT_EQ(110, size.cx);
  EXPECT_EQ(60, size.cy);
  EXPECT_EQ(-3, offset.x);
  EXPECT_EQ(-2, offset.y);
  const uint32_t* pixels = reinterpret_cast<const uint32_t*>(bits);
  EXPECT_EQ(0u, pixels[30 * 110 + 50]);       // under the window
  EXPECT_NE(0u, pixels[30 * 110 + 108] >> 24);  // the shadow right of it

  // A round region: near the corner of the window's rectangle lies shadow,
  // not window (window point (4, 4) is picture point (9, 9)).
  ASSERT_TRUE(shadow.SetPosition(0, 0));
  OwnedBitmap square = shadow.MakePicture(CUIRect(0, 0, 100, 50), nullptr, &size, &offset, &bits);
  ASSERT_TRUE(square);
  EXPECT_EQ(0u, reinterpret_cast<const uint32_t*>(bits)[9 * 110 + 9]);
  OwnedRegion round(::CreateRoundRectRgn(0, 0, 101, 51, 40, 40));
  OwnedBitmap rounded = shadow.MakePicture(CUIRect(0, 0, 100, 50), round.Get(), &size, &offset, &bits);
  ASSERT_TRUE(rounded);
  EXPECT_NE(0u, reinterpret_cast<const uint32_t*>(bits)[9 * 110 + 9] >> 24);
  EXPECT_TRUE(testshots::SavePixelsPng(L"ui-shadow-region.png", bits, size.cx, size.cy, size.cx * 4, true, false));
}

TEST_F(ShadowWindowTest, ImageModeSurroundsTheWindowAndFollowsMinimiseAndRestore) {
  HWND parent = MakeParent(100, 100, 650, 476);
  ASSERT_NE(nullptr, parent);
  {
    CWindowManagerUI manager;
    manager.InitForWindow(parent);
    CShadowUI* shadow = manager.GetShadow();
    EXPECT_FALSE(shadow->CreateShadowWindow(&manager));  // not enabled: nothing
    shadow->SetShadowEnabled(true);
    ASSERT_TRUE(shadow->SetImage(L"shadow.bmp"));
    ASSERT_TRUE(shadow->SetShadowCorner(CUIRect(14, 14, 14, 14)));
    ASSERT_TRUE(shadow->CreateShadowWindow(&manager));
    EXPECT_FALSE(shadow->CreateShadowWindow(&manager));  // once per window
    HWND shadowWindow = shadow->GetShadowWindow();
    ASSERT_NE(nullptr, shadowWindow);
    Pump();
    const RECT rc = WindowRect(shadowWindow);
    EXPECT_EQ(86, rc.left);
    EXPECT_EQ(86, rc.top);
    EXPECT_EQ(678, rc.right - rc.left);
    EXPECT_EQ(504, rc.bottom - rc.top);
    EXPECT_TRUE(::IsWindowVisible(shadowWindow));
    EXPECT_EQ(parent, ::GetWindow(shadowWindow, GW_OWNER));
    EXPECT_TRUE(testshots::SaveScreenAreaPng(L"ui-shadow-window.png", RECT{76, 76, 774, 600}));
    // The picture itself, with its alpha (a screen without compositing shows
    // layered pixels without blending).
    CUISize size;
    CUIPoint offset;
    BYTE* bits = nullptr;
    OwnedBitmap picture = shadow->MakePicture(CUIRect(0, 0, 650, 476), nullptr, &size, &offset, &bits);
    ASSERT_TRUE(picture);
    EXPECT_EQ(678, size.cx);
    EXPECT_EQ(-14, offset.x);
    const uint32_t* pixels = reinterpret_cast<const uint32_t*>(bits);
    EXPECT_EQ(0u, pixels[250 * 678 + 300]);              // hole: nothing under the window
    EXPECT_EQ(0u, pixels[0] >> 24);                      // transparent outer edge
    EXPECT_GT(pixels[250 * 678 + 13] >> 24, 100u);       // dark next to the window
    EXPECT_TRUE(testshots::SavePixelsPng(L"ui-shadow-image-picture.png", bits, size.cx, size.cy, size.cx * 4, true,
                                         false));

    // Moving takes the shadow along.
    ::SetWindowPos(parent, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(136, WindowRect(shadowWindow).left);
    EXPECT_EQ(106, WindowRect(shadowWindow).top);

    ::ShowWindow(parent, SW_MINIMIZE);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(shadowWindow));
    ::ShowWindow(parent, SW_RESTORE);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(shadowWindow));

    ::DestroyWindow(parent);
    Pump();
    EXPECT_FALSE(::IsWindow(shadowWindow));
  }
}

TEST_F(ShadowWindowTest, GrowingRebuildsAtTheNextPaintShrinkingAtOnceAndMaximisingHides) {
  HWND parent = MakeParent(100, 100, 300, 200);
  ASSERT_NE(nullptr, parent);
  CWindowManagerUI manager;
  manager.InitForWindow(parent);
  CShadowUI* shadow = manager.GetShadow();
  shadow->SetShadowEnabled(true);
  ASSERT_TRUE(shadow->SetImage(L"shadow.bmp"));
  ASSERT_TRUE(shadow->SetShadowCorner(CUIRect(14, 14, 14, 14)));
  ASSERT_TRUE(shadow->CreateShadowWindow(&manager));
  HWND shadowWindow = shadow->GetShadowWindow();
  ASSERT_NE(nullptr, shadowWindow);
  Pump();
  auto shadowWidth = [shadowWindow]() {
    const RECT rc = WindowRect(shadowWindow);
    return rc.right - rc.left;
  };
  ASSERT_EQ(shadowWidth(), 328);

  // Growing: a burst of sizes costs one rebuild, at the window's next paint.
  ::SetWindowPos(parent, nullptr, 0, 0, 360, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(parent, nullptr, 0, 0, 400, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(shadowWidth(), 328) << "not rebuilt before the paint";
  ::InvalidateRect(parent, nullptr, FALSE);
  ::UpdateWindow(parent);
  EXPECT_EQ(shadowWidth(), 428);
  // Shrinking: rebuilt at once.
  ::SetWindowPos(parent, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(shadowWidth(), 228);

  ::ShowWindow(parent, SW_MAXIMIZE);
  Pump();
  EXPECT_FALSE(::IsWindowVisible(shadowWindow)) << "a maximised window has no shadow";
  ::ShowWindow(parent, SW_RESTORE);
  Pump();
  EXPECT_TRUE(::IsWindowVisible(shadowWindow));
  EXPECT_EQ(shadowWidth(), 228);
  ::DestroyWindow(parent);
  Pump();
}

TEST_F(ShadowWindowTest, RegionModeWithoutAWindowRegionUsesTheRectangle) {
  HWND parent = MakeParent(200, 150, 200, 100);
  ASSERT_NE(nullptr, parent);
  CWindowManagerUI manager;
  manager.InitForWindow(parent);
  CShadowUI* shadow = manager.GetShadow();
  shadow->SetShadowEnabled(true);
  ASSERT_TRUE(shadow->SetSize(6));
  ASSERT_TRUE(shadow->SetSharpness(4));
  ASSERT_TRUE(shadow->CreateShadowWindow(&manager));
  Pump();
  const RECT rc = WindowRect(shadow->GetShadowWindow());
  EXPECT_EQ(194, rc.left);
  EXPECT_EQ(144, rc.top);
  EXPECT_EQ(212, rc.right - rc.left);
  EXPECT_EQ(112, rc.bottom - rc.top);
  // A setting changed while shown rebuilds at once.
  ASSERT_TRUE(shadow->SetSize(10));
  EXPECT_EQ(220, WindowRect(shadow->GetShadowWindow()).right - WindowRect(shadow->GetShadowWindow()).left);
  ::DestroyWindow(parent);
  Pump();
}

TEST_F(ShadowWindowTest, WindowsOnTwoThreadsEachKeepTheirShadow) {
  // Each thread makes its window and shadow and moves it; each shadow follows
  // its own window only.
  auto run = [](int x, RECT* shadowRect) {
    HWND parent = MakeParent(x, 300, 120, 80);
    CWindowManagerUI manager;
    manager.InitForWindow(parent);
    CShadowUI* shadow = manager.GetShadow();
    shadow->SetShadowEnabled(true);
    shadow->SetSize(4);
    shadow->CreateShadowWindow(&manager);
    ::SetWindowPos(parent, nullptr, x + 10, 310, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    if (shadow->GetShadowWindow() != nullptr) *shadowRect = WindowRect(shadow->GetShadowWindow());
    ::DestroyWindow(parent);
    Pump();
  };
  RECT first = {}, second = {};
  std::thread a(run, 100, &first);
  std::thread b(run, 400, &second);
  a.join();
  b.join();
  EXPECT_EQ(106, first.left);
  EXPECT_EQ(406, second.left);
}

namespace {
WNDPROC g_belowOuter = nullptr;
LRESULT CALLBACK OuterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(g_belowOuter, hwnd, msg, wParam, lParam);
}
}  // namespace

TEST_F(ShadowWindowTest, AManagerGoneBeforeItsWindowLeavesTheWindowWorking) {
  for (bool subclassedOnTop : {false, true}) {
    SCOPED_TRACE(subclassedOnTop ? "another subclass on top" : "shadow subclass on top");
    HWND parent = MakeParent(100, 100, 120, 80);
    ASSERT_NE(nullptr, parent);
    {
      CWindowManagerUI manager;
      manager.InitForWindow(parent);
      CShadowUI* shadow = manager.GetShadow();
      shadow->SetShadowEnabled(true);
      ASSERT_TRUE(shadow->SetSize(3));
      ASSERT_TRUE(shadow->CreateShadowWindow(&manager));
      if (subclassedOnTop) {
        g_belowOuter = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc)));
      }
    }
    // Every message still reaches the window's own procedure.
    EXPECT_EQ(77, ::SendMessageW(parent, kPingMessage, 0, 0));
    ::SetWindowPos(parent, nullptr, 0, 0, 200, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    EXPECT_TRUE(::DestroyWindow(parent));
    Pump();
  }
}

namespace {

// A window painted by its manager, noting at each of its paints how wide its
// shadow window was and whether the manager still held its paint buffer.
struct ManagedPaints {
  CWindowManagerUI* manager = nullptr;
  std::vector<int> shadowWidths;
  std::vector<bool> hadBuffer;
  std::vector<bool> shadowVisible;
};
ManagedPaints g_managed;

LRESULT CALLBACK ManagedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_managed.manager != nullptr) {
    if (msg == WM_PAINT) {
      const RECT rc = WindowRect(g_managed.manager->GetShadow()->GetShadowWindow());
      g_managed.shadowWidths.push_back(rc.right - rc.left);
      g_managed.shadowVisible.push_back(::IsWindowVisible(g_managed.manager->GetShadow()->GetShadowWindow()) != FALSE);
      g_managed.hadBuffer.push_back(g_managed.manager->GetOffscreenBitmap() != nullptr);
    }
    LRESULT result = 0;
    if (g_managed.manager->ProcessMessage(msg, wParam, lParam, result)) return result;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

TEST_F(ShadowWindowTest, TheFirstPictureFollowsTheWindowsOwnFirstPaintWithoutFurtherInput) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = ManagedProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"ShadowTestManaged";
  ::RegisterClassExW(&wc);
  HWND parent = ::CreateWindowExW(0, wc.lpszClassName, L"shadow test", WS_POPUP, 100, 100, 650, 476, nullptr, nullptr,
                                  wc.hInstance, nullptr);
  ASSERT_NE(nullptr, parent);
  {
    CWindowManagerUI manager;
    manager.InitForWindow(parent);
    g_managed = ManagedPaints{&manager, {}, {}, {}};
    CShadowUI* shadow = manager.GetShadow();
    shadow->SetShadowEnabled(true);
    ASSERT_TRUE(shadow->SetImage(L"shadow.bmp"));
    ASSERT_TRUE(shadow->SetShadowCorner(CUIRect(14, 14, 14, 14)));
    auto* root = new CControlUI;
    root->SetBkColor(0xFFFFFFFF);
    ASSERT_TRUE(manager.AttachRootControl(root));  // makes the shadow window, hidden with its hidden window
    HWND shadowWindow = shadow->GetShadowWindow();
    ASSERT_NE(nullptr, shadowWindow);

    // Shown and painted once, no other message handled: the window painted
    // itself before the shadow had a picture, and the shadow has it after.
    ::ShowWindow(parent, SW_SHOWNOACTIVATE);
    ::UpdateWindow(parent);
    ASSERT_EQ(1u, g_managed.shadowWidths.size());
    EXPECT_EQ(0, g_managed.shadowWidths[0]) << "the shadow's picture was made before the window painted itself";
    EXPECT_FALSE(g_managed.shadowVisible[0]) << "the shadow window was shown before it had a picture";
    RECT rc = WindowRect(shadowWindow);
    EXPECT_EQ(86, rc.left);
    EXPECT_EQ(86, rc.top);
    EXPECT_EQ(678, rc.right - rc.left);
    EXPECT_EQ(504, rc.bottom - rc.top);
    EXPECT_TRUE(::IsWindowVisible(shadowWindow));
    // The paint buffer went for the first picture; the next paint has one again.
    EXPECT_EQ(nullptr, manager.GetOffscreenBitmap());
    ::InvalidateRect(parent, nullptr, FALSE);
    ::UpdateWindow(parent);
    ASSERT_EQ(2u, g_managed.shadowWidths.size());
    EXPECT_EQ(678, g_managed.shadowWidths[1]);
    EXPECT_FALSE(g_managed.hadBuffer[1]);
    EXPECT_NE(nullptr, manager.GetOffscreenBitmap());

    // The display server may show the window a little after it is painted.
    testshots::Picture seen;
    for (int tries = 0; tries < 50; ++tries) {
      Pump();
      ASSERT_TRUE(testshots::SaveScreenAreaPng(L"ui-shadow-after-first-paint.png", RECT{76, 76, 774, 600}, &seen));
      if (seen.At(24 + 600, 24 + 420) == 0xFFFFFFu) break;
      ::Sleep(20);
    }
    EXPECT_EQ(0xFFFFFFu, seen.At(24 + 600, 24 + 420)) << "the window's own white";
    EXPECT_NE(0xFFFFFFu, seen.At(24 - 4, 24 + 420)) << "the shadow left of the window";
    ::DestroyWindow(parent);
    Pump();
    g_managed = ManagedPaints{};
  }
}
