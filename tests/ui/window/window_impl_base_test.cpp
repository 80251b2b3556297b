// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The skinned window base under Wine: hit testing of the frameless window,
// title buttons and default keys, maximise/restore buttons, the notify maps,
// rounded regions and the skin-load failure path.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowImplBase.h"

using namespace Trellis;

namespace {

// Stand-ins for controls that join the framework later: a control is taken
// as what its class name and interfaces say it is.
class FakeControl : public CControlUI {
 public:
  FakeControl(const wchar_t* className, UINT flags) : m_className(className), m_flags(flags) {}
  const UIChar* GetClassName() const override { return m_className.c_str(); }
  void* GetInterface(const UIChar* name) override {
    if (m_className == name) return this;
    return CControlUI::GetInterface(name);
  }
  UINT GetControlFlags() const override { return m_flags; }

 private:
  std::wstring m_className;
  UINT m_flags;
};

// A skinned window whose skin file is the XML text itself.
class TestWindow : public WindowImplBase {
 public:
  explicit TestWindow(std::wstring skin) : m_skin(std::move(skin)) {}
  const UIChar* GetWindowClassName() const override { return L"QuilloraImplBaseTest"; }
  CUIString GetSkinFolder() override { return CUIString(L""); }
  CUIString GetSkinFile() override { return CUIString(m_skin.c_str()); }
  CControlUI* CreateControl(const UIChar* name) override {
    const std::wstring element = name;
    if (element == L"FakeLabel") return new FakeControl(L"Label", 0);
    if (element == L"FakeCheckBox") return new FakeControl(L"CheckBox", 0);
    if (element == L"FakeEdit") return new FakeControl(L"Edit", kUIFlagTabStop | kUIFlagSetCursor);
    if (element == L"FakeButton") return new FakeControl(L"Button", kUIFlagTabStop);
    return nullptr;
  }
  void OnSkinLoaded() override { ++skinLoaded; }
  int skinLoaded = 0;

  // Creates the window with a client area of the skin's "size".
  bool Open() {
    if (CreateWithSize(nullptr, L"test", WS_POPUP | WS_VISIBLE, 0, 50, 50, 400, 300) == nullptr) return false;
    const CUISize size = m_pm.GetInitialSize();
    if (size.cx > 0) SetWindowPos(GetHandle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    UpdateWindow(GetHandle());  // the first paint lays the tree out
    return true;
  }
  LRESULT HitTest(int x, int y) {
    POINT point{x, y};
    ClientToScreen(GetHandle(), &point);
    return SendMessageW(GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  }

 private:
  std::wstring m_skin;
};

const wchar_t kGridSkin[] =
    L"<Window size=\"400,300\" sizebox=\"4,4,4,4\" caption=\"0,0,0,40\">"
    L"<Container name=\"root\" mouse=\"false\">"
    L"<Control name=\"plain\" float=\"true\" pos=\"10,10,60,30\" />"
    L"<FakeLabel name=\"label\" float=\"true\" pos=\"70,10,120,30\" />"
    L"<FakeCheckBox name=\"check\" float=\"true\" pos=\"130,10,180,30\" />"
    L"<FakeCheckBox name=\"offcheck\" float=\"true\" pos=\"190,10,240,30\" enabled=\"false\" />"
    L"<FakeEdit name=\"edit\" float=\"true\" pos=\"250,10,300,30\" />"
    L"<FakeButton name=\"button\" float=\"true\" pos=\"310,10,360,30\" enabled=\"false\" />"
    L"<ScrollBar name=\"bar\" float=\"true\" pos=\"365,5,380,38\" />"
    L"<Control name=\"below\" float=\"true\" pos=\"10,100,60,130\" />"
    L"</Container></Window>";

TEST(WindowImplBaseTest, SizingEdgesFromTheSizeboxExceptWhenMaximised) {
  TestWindow window(kGridSkin);
  ASSERT_TRUE(window.Open());
  EXPECT_EQ(window.skinLoaded, 1);
  struct Case {
    int x, y;
    LRESULT hit;
  } cases[] = {
      {2, 2, HTTOPLEFT},       {200, 2, HTTOP},       {398, 2, HTTOPRIGHT},   {2, 150, HTLEFT},
      {398, 150, HTRIGHT},     {2, 298, HTBOTTOMLEFT}, {200, 298, HTBOTTOM},  {398, 298, HTBOTTOMRIGHT},
      {200, 150, HTCLIENT},    {5, 150, HTCLIENT},    {396, 150, HTCLIENT},
  };
  for (const Case& c : cases) EXPECT_EQ(window.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;

  testshots::SaveWindowPng(L"window-impl-base-grid.png", window.GetHandle());
  SendMessageW(window.GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(window.GetHandle()));
  for (const Case& c : {Case{2, 150, 0}, Case{200, 298, 0}, Case{398, 150, 0}}) {
    EXPECT_EQ(window.HitTest(c.x, c.y), HTCLIENT) << c.x << "," << c.y;
  }
  DestroyWindow(window.GetHandle());
}

TEST(WindowImplBaseTest, CaptionBandDragsExceptOverInteractiveControls) {
  TestWindow window(kGridSkin);
  ASSERT_TRUE(window.Open());
  struct Case {
    const wchar_t* what;
    int x, y;
    LRESULT hit;
  } cases[] = {
      {L"plain control", 35, 20, HTCAPTION},
      {L"label", 95, 20, HTCAPTION},
      {L"no control at all (the root takes no mouse)", 200, 35, HTCAPTION},
      {L"check box", 155, 20, HTCLIENT},
      {L"disabled check box", 215, 20, HTCAPTION},
      {L"edit (tab stop)", 275, 20, HTCLIENT},
      {L"disabled button", 335, 20, HTCLIENT},
      {L"scroll bar", 372, 20, HTCLIENT},
      {L"below the band", 35, 115, HTCLIENT},
  };
  for (const Case& c : cases) EXPECT_EQ(window.HitTest(c.x, c.y), c.hit) << c.what;
  DestroyWindow(window.GetHandle());
}

TEST(WindowImplBaseTest, EscapeClosesWithOneAndReturnDoesNothing) {
  TestWindow window(L"<Window size=\"200,100\"><Container /></Window>");
  ASSERT_TRUE(window.Open());
  testwindows::WindowDriver driver(window.GetPaintManager());
  SetFocus(window.GetHandle());
  driver.Key(VK_RETURN);
  ASSERT_TRUE(IsWindow(window.GetHandle())) << "Return closed the window";
  PostMessageW(window.GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(window.RunModalLoop(), 1u);
  EXPECT_FALSE(IsWindow(window.GetHandle()));
}

TEST(WindowImplBaseTest, TitleButtonsByTheirExactNames) {
  TestWindow window(
      L"<Window size=\"200,100\"><Container><Control name=\"CloseBtn\" /><Control name=\"closebtn\" />"
      L"</Container></Window>");
  ASSERT_TRUE(window.Open());
  CWindowManagerUI& manager = window.GetPaintManager();
  manager.SendNotify(manager.FindControlByName(L"CloseBtn"), L"click");
  testwindows::WindowDriver(manager).PumpFor(50);
  ASSERT_TRUE(IsWindow(window.GetHandle())) << "\"CloseBtn\" is not \"closebtn\"";
  manager.SendNotify(manager.FindControlByName(L"closebtn"), L"click");
  EXPECT_EQ(window.RunModalLoop(), 1u);
}

TEST(WindowImplBaseTest, MaximiseAndRestoreSwapTheirButtons) {
  TestWindow window(
      L"<Window size=\"300,200\"><Container><Control name=\"maxbtn\" />"
      L"<Control name=\"restorebtn\" visible=\"false\" /></Container></Window>");
  ASSERT_TRUE(window.Open());
  CWindowManagerUI& manager = window.GetPaintManager();
  CControlUI* maxButton = manager.FindControlByName(L"maxbtn");
  CControlUI* restoreButton = manager.FindControlByName(L"restorebtn");
  ASSERT_NE(maxButton, nullptr);
  ASSERT_NE(restoreButton, nullptr);

  manager.SendNotify(maxButton, L"click");
  ASSERT_TRUE(IsZoomed(window.GetHandle()));
  // Maximised, the frameless window fills the work area, not the whole screen.
  RECT work{}, client{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetClientRect(window.GetHandle(), &client);
  EXPECT_EQ(client.right, work.right - work.left);
  EXPECT_EQ(client.bottom, work.bottom - work.top);
  EXPECT_FALSE(maxButton->IsVisible());
  EXPECT_TRUE(restoreButton->IsVisible());
  manager.SendNotify(restoreButton, L"click");
  ASSERT_FALSE(IsZoomed(window.GetHandle()));
  EXPECT_TRUE(maxButton->IsVisible());
  EXPECT_FALSE(restoreButton->IsVisible());
  DestroyWindow(window.GetHandle());

  // With only one of the two buttons nothing is changed.
  TestWindow single(L"<Window size=\"300,200\"><Container><Control name=\"maxbtn\" /></Container></Window>");
  ASSERT_TRUE(single.Open());
  SendMessageW(single.GetHandle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(single.GetPaintManager().FindControlByName(L"maxbtn")->IsVisible());
  DestroyWindow(single.GetHandle());
}

TEST(WindowImplBaseTest, RoundCornersGiveTheWindowARegionAfterEverySize) {
  TestWindow window(L"<Window size=\"200,100\" roundcorner=\"6,6\"><Container /></Window>");
  ASSERT_TRUE(window.Open());
  SetWindowPos(window.GetHandle(), nullptr, 0, 0, 240, 120, SWP_NOMOVE | SWP_NOZORDER);
  RECT box{};
  OwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  const int kind = GetWindowRgn(window.GetHandle(), region.Get());
  ASSERT_TRUE(kind == COMPLEXREGION || kind == SIMPLEREGION) << kind;
  GetRgnBox(region.Get(), &box);
  EXPECT_GE(box.right, 240) << "the region follows the new size";
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "the corner is cut";
  EXPECT_TRUE(PtInRegion(region.Get(), 120, 60));
  DestroyWindow(window.GetHandle());
}

TEST(WindowImplBaseTest, MinimumTrackingSizeFromTheSkinMaximumFromTheWorkArea) {
  TestWindow window(L"<Window size=\"300,200\" mininfo=\"220,140\"><Container /></Window>");
  ASSERT_TRUE(window.Open());
  MINMAXINFO info{};
  SendMessageW(window.GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(info.ptMinTrackSize.x, 220);
  EXPECT_EQ(info.ptMinTrackSize.y, 140);
  EXPECT_EQ(info.ptMaxTrackSize.x, work.right - work.left);
  EXPECT_EQ(info.ptMaxTrackSize.y, work.bottom - work.top);
  DestroyWindow(window.GetHandle());
}

// An archive resource that is not there leaves the window empty, without the failure path.
class MissingArchiveWindow : public TestWindow {
 public:
  MissingArchiveWindow() : TestWindow(L"main.xml") {}
  int GetSkinSourceKind() override { return kUISkinArchiveResource; }
  UIResourceRef GetSkinZipResourceId() override { return UIResourceRef(4711); }
};

WindowImplBase* failedWindow = nullptr;
void RecordFailure(WindowImplBase* window) { failedWindow = window; }

TEST(WindowImplBaseTest, ASkinThatCannotBeLoadedGoesToTheFailureHandler) {
  WindowImplBase::SetSkinLoadFailureHandler(&RecordFailure);
  for (const wchar_t* skin : {L"no-such-skin.xml", L"<Window><Control><Control /></Control></Window>"}) {
    failedWindow = nullptr;
    TestWindow window(skin);
    EXPECT_FALSE(window.Open()) << "the window is not made";
    EXPECT_EQ(failedWindow, &window);
    EXPECT_EQ(window.skinLoaded, 0);
  }

  failedWindow = nullptr;
  MissingArchiveWindow empty;
  EXPECT_TRUE(empty.Open());
  EXPECT_EQ(failedWindow, nullptr);
  EXPECT_EQ(empty.GetPaintManager().GetRootControl(), nullptr);
  DestroyWindow(empty.GetHandle());
  WindowImplBase::SetSkinLoadFailureHandler(nullptr);
}

// --- Notify maps ---

class MappedWindow : public TestWindow {
 public:
  MappedWindow() : TestWindow(L"<Window><Container><Control name=\"ok\" /><Control name=\"other\" /></Container></Window>") {}
  std::wstring log;
  void OnOkClick(UINotify&) { log += L"[ok]"; }
  void OnAnyClick(UINotify& msg) { log += L"[any:" + std::wstring(msg.pSender->GetName().GetText()) + L"]"; }
  void OnTimer(WPARAM wParam, LPARAM lParam) { log += L"[timer:" + std::to_wstring(wParam + lParam) + L"]"; }
  void OnClick(UINotify& msg) override { log += L"[base-click]"; WindowImplBase::OnClick(msg); }
  TRELLIS_DECLARE_NOTIFY_MAP()
};

TRELLIS_BEGIN_NOTIFY_MAP(MappedWindow, WindowImplBase)
TRELLIS_NOTIFY_ON(L"click", L"", MappedWindow, OnAnyClick)
TRELLIS_NOTIFY_ON(L"click", L"ok", MappedWindow, OnOkClick)
TRELLIS_NOTIFY_ON_PARAMS(L"timer", L"", MappedWindow, OnTimer)
TRELLIS_END_NOTIFY_MAP()

TEST(NotifyPumpTest, NamedEntriesBeatCatchAllsAndTheClassMapComesBeforeItsBase) {
  MappedWindow window;
  ASSERT_TRUE(window.Open());
  CWindowManagerUI& manager = window.GetPaintManager();
  manager.SendNotify(manager.FindControlByName(L"ok"), L"click");
  manager.SendNotify(manager.FindControlByName(L"other"), L"click");
  manager.SendNotify(manager.FindControlByName(L"other"), L"timer", 2, 3);
  manager.SendNotify(manager.FindControlByName(L"other"), L"Click");  // types are compared exactly
  EXPECT_EQ(window.log, L"[ok][any:other][timer:5]");
  DestroyWindow(window.GetHandle());
}

TEST(NotifyPumpTest, NotificationsOfAVirtualWindowGoToItsPump) {
  MappedWindow window;
  ASSERT_TRUE(window.Open());
  MappedWindow page;  // its maps only; no window
  ASSERT_TRUE(window.AddVirtualWnd(L"Page", &page));
  EXPECT_FALSE(window.AddVirtualWnd(L"Page", &page));
  CWindowManagerUI& manager = window.GetPaintManager();
  manager.SetUsesVirtualWindows(true);
  CControlUI* ok = manager.FindControlByName(L"ok");
  ok->SetVirtualWindowName(L"page");  // names compared ignoring case
  manager.SendNotify(ok, L"click");
  EXPECT_EQ(page.log, L"[ok]");
  EXPECT_EQ(window.log, L"");
  // A virtual window whose pump has no entry for it falls back to the window's own maps.
  manager.SendNotify(ok, L"killfocus");
  ok->SetVirtualWindowName(L"");
  manager.SendNotify(ok, L"click");
  EXPECT_EQ(window.log, L"[ok]");
  EXPECT_TRUE(window.RemoveVirtualWnd(L"Page"));
  DestroyWindow(window.GetHandle());
}

}  // namespace
