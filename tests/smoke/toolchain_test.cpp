// Checks that the test platform behaves as the program expects: the Chinese
// ANSI code page, and a window that paints on the virtual display. (The
// libraries and ffmpeg.exe are exercised by the tests of the units using them.)
#include <gtest/gtest.h>
#include <windows.h>

TEST(Toolchain, AnsiCodePageIsChinese) { EXPECT_EQ(GetACP(), 936u); }

static LRESULT CALLBACK PaintRed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Toolchain, WindowPaintsOnTheDisplay) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PaintRed;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"SmokePaint";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND window = CreateWindowExW(0, L"SmokePaint", L"烟雾测试", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  UpdateWindow(window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  HDC dc = GetDC(window);
  COLORREF pixel = GetPixel(dc, 20, 20);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  EXPECT_EQ(pixel, RGB(255, 0, 0));
}
