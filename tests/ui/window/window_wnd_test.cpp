// The window wrapper under Wine: the last message, the modal loop's result
// and its owner, WM_QUIT passed on, a failing GetMessageW, and centring.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Screenshot.h"
#include "ui/window/MessageLoop.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

using namespace Trellis;

namespace {

// A plain window that records what reaches it.
class RecordingWindow : public CWindowWnd {
 public:
  const UIChar* GetWindowClassName() const override { return L"QuilloraWrapperTestWindow"; }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_NCDESTROY) sawNcDestroy = true;
    if (message == WM_PAINT) {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(m_hWnd, &paint);
      const HBRUSH brush = CreateSolidBrush(RGB(40, 120, 200));
      FillRect(dc, &paint.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(m_hWnd, &paint);
      return 0;
    }
    return CWindowWnd::HandleMessage(message, wParam, lParam);
  }
  void OnLastMessage(HWND hWnd) override {
    ++lastMessages;
    handleAtLastMessage = GetHandle();
    lastWindow = hWnd;
  }

  bool sawNcDestroy = false;
  int lastMessages = 0;
  HWND handleAtLastMessage = reinterpret_cast<HWND>(1);
  HWND lastWindow = nullptr;
};

// Destroys the modal window without WM_CLOSE. By its handle: a search by
// class and title could find another test program's window of the same kind
// (tests run side by side), which this thread cannot destroy.
HWND g_modalToDestroy = nullptr;
void CALLBACK DestroyModalWindow(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  DestroyWindow(g_modalToDestroy);
}

class WrapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    ASSERT_NE(m_owner.CreateWithSize(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, 100, 100, 400, 300), nullptr);
  }
  void TearDown() override {
    if (IsWindow(m_owner.GetHandle())) DestroyWindow(m_owner.GetHandle());
  }
  RecordingWindow m_owner;
};

}  // namespace

TEST_F(WrapperTest, TheLastMessageRunsOnceAfterTheHandleIsCleared) {
  RecordingWindow window;
  const HWND hwnd = window.CreateWithSize(nullptr, L"once", WS_POPUP, 0, 0, 0, 50, 50);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(window.GetHandle(), hwnd);
  RecordingWindow second;  // a second window of a registered class
  ASSERT_NE(second.CreateWithSize(nullptr, L"twice", WS_POPUP, 0, 0, 0, 50, 50), nullptr);

  DestroyWindow(hwnd);
  EXPECT_FALSE(window.sawNcDestroy) << "HandleMessage never gets WM_NCDESTROY";
  EXPECT_EQ(window.lastMessages, 1);
  EXPECT_EQ(window.handleAtLastMessage, nullptr);
  EXPECT_EQ(window.lastWindow, hwnd);
  EXPECT_EQ(window.GetHandle(), nullptr);
  window.PostClose(1);  // no window: nothing happens
  DestroyWindow(second.GetHandle());
}

TEST_F(WrapperTest, TheModalLoopReturnsTheCloseResultAndFreesTheOwner) {
  const struct {
    bool byClose;
    UINT expected;
  } cases[] = {{true, 1}, {false, 0}};
  for (const auto& c : cases) {
    RecordingWindow dialog;
    ASSERT_NE(dialog.CreateWithSize(m_owner.GetHandle(), L"modal", WS_POPUP, 0, 150, 150, 120, 80), nullptr);
    if (c.byClose) {
      dialog.PostClose(1);
    } else {
      PostMessageW(dialog.GetHandle(), WM_USER + 7, 0, 0);  // something to dispatch first
      g_modalToDestroy = dialog.GetHandle();
      SetTimer(nullptr, 0, 10, &DestroyModalWindow);
    }
    EXPECT_EQ(dialog.RunModalLoop(), c.expected);
    EXPECT_TRUE(IsWindowEnabled(m_owner.GetHandle())) << "the owner is enabled again";
    EXPECT_FALSE(IsWindow(dialog.GetHandle()));
  }
}

TEST_F(WrapperTest, AQuitDuringTheModalLoopEndsItAndIsPostedAgain) {
  RecordingWindow dialog;
  ASSERT_NE(dialog.CreateWithSize(m_owner.GetHandle(), L"modal quit", WS_POPUP, 0, 150, 150, 120, 80), nullptr);
  PostQuitMessage(42);
  EXPECT_EQ(dialog.RunModalLoop(), 0u);
  EXPECT_TRUE(IsWindowEnabled(m_owner.GetHandle()));
  testshots::SaveWindowPng(L"window-wrapper-modal.png", dialog.GetHandle());
  MSG msg = {};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 42u) << "the outer loop ends too";
  DestroyWindow(dialog.GetHandle());
}

TEST_F(WrapperTest, AFailedWaitNeverHandsOutAMessage) {
  // GetMessageW fails (-1) for a window handle that does not exist.
  MSG msg = {};
  msg.message = 0xBEEF;
  EXPECT_EQ(WaitForNextMessage(msg, reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0123))), MessageWait::Failed);
  PostMessageW(m_owner.GetHandle(), WM_USER + 3, 0, 0);
  EXPECT_EQ(WaitForNextMessage(msg), MessageWait::Message);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 3));
  PostQuitMessage(5);
  EXPECT_EQ(CWindowManagerUI::RunMessageLoop(), 5);
}

namespace {

// A GetMessageW that fails a given number of times before it waits for real.
int g_failuresLeft = 0;
BOOL WINAPI FailingGetMessage(LPMSG msg, HWND window, UINT first, UINT last) {
  if (g_failuresLeft > 0) {
    --g_failuresLeft;
    return -1;
  }
  return GetMessageW(msg, window, first, last);
}

// Puts GetMessageW back however the test ends.
struct FailingWaits {
  explicit FailingWaits(int count) {
    g_failuresLeft = count;
    SetGetMessageFunction(&FailingGetMessage);
  }
  ~FailingWaits() { SetGetMessageFunction(nullptr); }
};

}  // namespace

TEST_F(WrapperTest, AFailedWaitEndsNeitherTheModalLoopNorTheMainLoop) {
  RecordingWindow dialog;
  ASSERT_NE(dialog.CreateWithSize(m_owner.GetHandle(), L"modal", WS_POPUP, 0, 150, 150, 120, 80), nullptr);
  {
    FailingWaits failing(2);
    dialog.PostClose(3);
    EXPECT_EQ(dialog.RunModalLoop(), 3u) << "the loop waited again and took the close";
    EXPECT_EQ(g_failuresLeft, 0);
  }
  EXPECT_FALSE(IsWindow(dialog.GetHandle()));
  EXPECT_TRUE(IsWindowEnabled(m_owner.GetHandle()));
  if (IsWindow(dialog.GetHandle())) DestroyWindow(dialog.GetHandle());  // never outlive its object

  {
    FailingWaits failing(2);
    PostQuitMessage(9);
    EXPECT_EQ(CWindowManagerUI::RunMessageLoop(), 9) << "only WM_QUIT ends the main loop";
  }
  MSG left = {};
  PeekMessageW(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // a quit the loop left behind
}

TEST_F(WrapperTest, CentringKeepsTheWindowInsideTheWorkArea) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(m_owner.GetHandle(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  // The owner 10 pixels from the work area's left edge.
  SetWindowPos(m_owner.GetHandle(), nullptr, work.left + 10, work.top + 100, 200, 150, SWP_NOZORDER | SWP_NOACTIVATE);
  RecordingWindow dialog;
  ASSERT_NE(dialog.CreateWithSize(m_owner.GetHandle(), L"centred", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 100),
            nullptr);
  dialog.CenterOnOwner();
  RECT rect = {};
  GetWindowRect(dialog.GetHandle(), &rect);
  EXPECT_EQ(rect.left, work.left);
  EXPECT_EQ(rect.top, work.top + 100 + 75 - 50);
  testshots::SaveWindowPng(L"window-wrapper-centred.png", dialog.GetHandle());

  ShowWindow(m_owner.GetHandle(), SW_MINIMIZE);  // centred on the work area instead
  dialog.CenterOnOwner();
  GetWindowRect(dialog.GetHandle(), &rect);
  EXPECT_EQ(rect.left, (work.left + work.right) / 2 - 150);
  EXPECT_EQ(rect.top, (work.top + work.bottom) / 2 - 50);
  DestroyWindow(dialog.GetHandle());
}
