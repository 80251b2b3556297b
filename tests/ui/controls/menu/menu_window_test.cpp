// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Menus as real pop-up windows, driven through their own messages: a menu
// opened from a skin, hover and clicks reaching its items, a sub-menu beside
// its item (flipping left and up at the work area's edges), leaf clicks
// reported to the owner window with the check state, focus leaving the menus,
// Escape and Left closing, what each top-level menu replaces, sub-items
// going home however a sub-menu window ends, and a disabled item ignoring
// the release of the mouse.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/base/AppMessages.h"
#include "tests/support/ManagedTestWindow.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestBitmaps.h"
#include "tests/support/WindowDriver.h"
#include "ui/controls/menu/MenuElementUI.h"
#include "ui/controls/menu/MenuUI.h"
#include "ui/controls/menu/MenuWnd.h"
#include "ui/window/SkinBuilder.h"

using namespace Trellis;
using testwindows::WindowDriver;

namespace {

// A check mark and an expand arrow, so the picture shows checked items and
// items with sub-menus.
void WritePictures(ScratchFolder& folder) {
  ScratchFolder::WriteFileBytes(folder / L"menu_check.bmp", testbitmaps::MakeBmp(16, 16, [](int x, int y) {
                                  const bool tick = (x >= 3 && x <= 6 && (y - 8) - (x - 3) >= -1 && (y - 8) - (x - 3) <= 1) ||
                                                    (x >= 6 && x <= 12 && (y - 11) + (x - 6) >= -1 && (y - 11) + (x - 6) <= 1);
                                  return tick ? 0x2D6CDFu : 0xFFFFFFu;
                                }));
  ScratchFolder::WriteFileBytes(folder / L"menu_arrow.bmp", testbitmaps::MakeBmp(8, 8, [](int x, int y) {
                                  const int d = y < 4 ? y : 7 - y;
                                  return x >= 2 && x <= 2 + d ? 0x5B6478u : 0xFFFFFFu;
                                }));
}

// The menu skin: two leaves, a check item (checked at first), a separator, an
// item with a sub-menu of three leaves, and a disabled item. Items are 26 high.
const wchar_t kMenuSkin[] =
    L"<Window>"
    L"<Font id=\"0\" name=\"WenQuanYi Micro Hei\" size=\"13\" default=\"true\" />"
    L"<Default name=\"ExpandIcon\" value=\"file='menu_arrow.bmp'\" />"
    L"<Menu inset=\"0,3,0,3\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FFB8C0CC\" "
    L"itemtextpadding=\"30,0,24,0\" itemtextcolor=\"#FF1E2533\" itemhottextcolor=\"#FF2D6CDF\" "
    L"itemhotbkcolor=\"#FFEEF1FE\" itemselectedtextcolor=\"#FF2D6CDF\" itemselectedbkcolor=\"#FFDDE6FB\" "
    L"itemdisabledtextcolor=\"#FFA0A8B8\">"
    L"<MenuElement name=\"open\" text=\"打开文件\" width=\"150\" height=\"26\" />"
    L"<MenuElement name=\"save\" text=\"保存结果\" width=\"150\" height=\"26\" />"
    L"<MenuElement name=\"wrap\" text=\"自动换行\" width=\"150\" height=\"26\" checkitem=\"true\" ischeck=\"true\" "
    L"icon=\"menu_check.bmp\" />"
    L"<MenuElement name=\"line\" linetype=\"true\" width=\"150\" />"
    L"<MenuElement name=\"speed\" text=\"语速\" width=\"150\" height=\"26\" expand=\"true\">"
    L"<MenuElement name=\"slow\" text=\"慢速\" width=\"120\" height=\"26\" />"
    L"<MenuElement name=\"normal\" text=\"正常\" width=\"120\" height=\"26\" />"
    L"<MenuElement name=\"fast\" text=\"快速\" width=\"120\" height=\"26\" checkitem=\"true\" icon=\"menu_check.bmp\" />"
    L"</MenuElement>"
    L"<MenuElement name=\"off\" text=\"不可用\" width=\"150\" height=\"26\" enabled=\"false\" />"
    L"</Menu></Window>";

// The window that opens menus: it writes down every menu-click message it gets.
class OwnerWindow : public testwindows::ManagedTestWindow {
 public:
  struct Click {
    WPARAM wParam;
    LPARAM lParam;
    std::wstring item;
  };
  OwnerWindow() : ManagedTestWindow(360, 240) {
    CSkinBuilder builder;
    CControlUI* root = builder.CreateFromSource(
        L"<Window><VerticalLayout bkcolor=\"#FFF4F6FA\"><Button name=\"btn\" height=\"30\" /></VerticalLayout></Window>",
        nullptr, nullptr, &manager());
    manager().AttachRootControl(root);
    Show();
  }
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP_MENU_CLICK) {
      clicks.push_back(Click{wParam, lParam, CMenuWnd::GetClickedItemName().GetText()});
      return 0;
    }
    return ManagedTestWindow::HandleMessage(message, wParam, lParam);
  }
  std::vector<Click> clicks;
};

// Records the notifications the owner window's manager delivers.
class NotifySeen : public INotifyUI {
 public:
  void Notify(UINotify& msg) override {
    seen.push_back(std::wstring(msg.sType.GetText()) + L"/" +
                   (msg.pSender != nullptr ? msg.pSender->GetName().GetText() : L""));
  }
  std::vector<std::wstring> seen;
};

// A menu whose one item holds two buttons, as the pause menu of the editor does.
const wchar_t kButtonMenuSkin[] =
    L"<Window>"
    L"<Font id=\"0\" name=\"WenQuanYi Micro Hei\" size=\"13\" default=\"true\" />"
    L"<Menu bkcolor=\"#FFFFFFFF\" itemhotbkcolor=\"#FFFFFFFF\" itemselectedbkcolor=\"#FFFFFFFF\">"
    L"<MenuElement name=\"pauses\" width=\"130\" height=\"40\">"
    L"<HorizontalLayout inset=\"5,5,5,5\" childpadding=\"4\">"
    L"<Button name=\"btnHalf\" text=\"0.5s\" width=\"58\" bkcolor=\"#FFEEF1FE\" />"
    L"<Button name=\"btnOne\" text=\"1s\" width=\"58\" bkcolor=\"#FFEEF1FE\" />"
    L"</HorizontalLayout></MenuElement>"
    L"<MenuElement name=\"volume\" width=\"130\" height=\"30\">"
    L"<Slider name=\"sldVolume\" padding=\"5,5,5,5\" width=\"120\" height=\"20\" min=\"0\" max=\"100\" "
    L"bkcolor=\"#FFDDE6FB\" />"
    L"</MenuElement></Menu></Window>";

class MenuWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WritePictures(m_folder);
    CWindowManagerUI::SetResourcePath(m_folder.path().c_str());
  }
  void TearDown() override {
    // No menu outlives its test: the observer is program-wide.
    CMenuWnd::GetMenuObserver().Broadcast(1, nullptr);
    PumpUntilNoMenus();
  }

  // Opens the sample menu at a screen point for `owner`.
  CMenuWnd* Open(OwnerWindow& owner, int x, int y, CMenuCheckMap* map, DWORD alignment = 6) {
    CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, UIResourceRef(kMenuSkin), x, y, &owner.manager(), map, alignment);
    if (menu != nullptr) WindowDriver(menu->GetManager()).PumpFor(30);
    return menu;
  }
  // Pumps until every menu window has gone (closing is posted).
  void PumpUntilNoMenus() {
    for (int i = 0; i < 100 && CMenuWnd::GetMenuObserver().GetReceiverCount() > 0; ++i) Pump(10);
  }
  static void Pump(DWORD ms = 0) { WindowDriver::PumpFor(ms); }
  static int OpenMenus() { return CMenuWnd::GetMenuObserver().GetReceiverCount(); }
  static CMenuElementUI* Item(CMenuWnd* menu, const wchar_t* name) {
    CControlUI* control = menu->GetManager().FindControlByName(name);
    return control != nullptr ? static_cast<CMenuElementUI*>(control->GetInterface(L"MenuElement")) : nullptr;
  }
  static RECT WindowRect(HWND window) {
    RECT rc = {};
    GetWindowRect(window, &rc);
    return rc;
  }
  static RECT WorkArea() {
    RECT rc = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return rc;
  }
  // The screen top of a control of a menu window.
  static int ScreenTop(CMenuWnd* menu, CControlUI* control) {
    POINT pt = {control->GetPos().left, control->GetPos().top};
    ClientToScreen(menu->GetHandle(), &pt);
    return pt.y;
  }
  // Hovers the item so that its sub-menu opens; returns the sub-menu.
  CMenuWnd* OpenSubMenu(CMenuWnd* menu, const wchar_t* itemName) {
    WindowDriver driver(menu->GetManager());
    driver.MoveTo(driver.CentreOf(itemName));
    driver.PumpFor(30);
    CMenuElementUI* item = Item(menu, itemName);
    return item != nullptr ? item->GetSubMenuWindow() : nullptr;
  }

  ScratchFolder m_folder;
};

TEST_F(MenuWindowTest, HoverAndClicksReachTheItemsOfAMenuBuiltFromItsSkin) {
  OwnerWindow owner;
  CMenuCheckMap map;
  CMenuWnd* menu = Open(owner, 200, 150, &map);
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(menu->GetRoot(), nullptr);
  EXPECT_NE(menu->GetRoot()->GetInterface(L"Menu"), nullptr);
  EXPECT_TRUE(IsWindowVisible(menu->GetHandle()));
  // Every item was laid out: 5 items of 26 and a 6-pixel separator, plus the inset.
  const RECT rc = WindowRect(menu->GetHandle());
  EXPECT_EQ(rc.left, 200);
  EXPECT_EQ(rc.top, 150);
  EXPECT_EQ(rc.bottom - rc.top, 5 * 26 + 6 + 6);
  EXPECT_EQ(Item(menu, L"line")->GetPos().GetHeight(), 6);

  // Hover: the item under the pointer becomes the hover control, is hot and selected.
  WindowDriver driver(menu->GetManager());
  driver.MoveTo(driver.CentreOf(L"save"));
  EXPECT_EQ(menu->GetManager().GetHoverControl(), Item(menu, L"save"));
  EXPECT_TRUE(Item(menu, L"save")->IsHot());
  EXPECT_TRUE(Item(menu, L"save")->IsSelected());
  driver.PumpFor(200);
  EXPECT_TRUE(Item(menu, L"save")->IsHot()) << "the hover state lasts while the pointer stays";
  driver.MoveTo(driver.CentreOf(L"open"));
  EXPECT_FALSE(Item(menu, L"save")->IsHot());
  EXPECT_TRUE(Item(menu, L"open")->IsHot());

  // A click on a leaf that is no check item: reported with lParam 0, every menu closes.
  const HWND menuWindow = menu->GetHandle();
  driver.ClickAt(driver.CentreOf(L"open"));
  PumpUntilNoMenus();
  Pump(20);
  EXPECT_FALSE(IsWindow(menuWindow));
  ASSERT_EQ(owner.clicks.size(), 1u);
  EXPECT_EQ(owner.clicks[0].wParam, 0u);
  EXPECT_EQ(owner.clicks[0].lParam, 0);
  EXPECT_EQ(owner.clicks[0].item, L"open");
  EXPECT_STREQ(CMenuWnd::GetClickedItemName().GetText(), L"open");
  EXPECT_TRUE(map.find(L"open") == map.end());  // not a check item: the map is left alone
}

TEST_F(MenuWindowTest, CheckItemsToggleInTheOpenersMapAndKeepTheirStateOnReopening) {
  OwnerWindow owner;
  CMenuCheckMap map;
  // "ischeck" gives the first state: checked.
  CMenuWnd* menu = Open(owner, 200, 150, &map);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(map.count(L"wrap"), 1u);
  EXPECT_TRUE(map[L"wrap"]);
  EXPECT_TRUE(Item(menu, L"wrap")->IsChecked());

  WindowDriver(menu->GetManager()).Click(L"wrap");
  PumpUntilNoMenus();
  Pump(20);
  ASSERT_EQ(owner.clicks.size(), 1u);
  EXPECT_EQ(owner.clicks[0].lParam, 0);  // unchecked by the click
  EXPECT_FALSE(map[L"wrap"]);

  // Re-opened, "ischeck" does not overwrite the state the map keeps; the next click checks it.
  menu = Open(owner, 200, 150, &map);
  ASSERT_NE(menu, nullptr);
  EXPECT_FALSE(Item(menu, L"wrap")->IsChecked());
  WindowDriver(menu->GetManager()).Click(L"wrap");
  PumpUntilNoMenus();
  Pump(20);
  ASSERT_EQ(owner.clicks.size(), 2u);
  EXPECT_EQ(owner.clicks[1].lParam, 1);
  EXPECT_EQ(owner.clicks[1].item, L"wrap");
  EXPECT_TRUE(map[L"wrap"]);
}

TEST_F(MenuWindowTest, ClicksAndValueChangesOfControlsInsideAnItemReachTheOwnerWindow) {
  OwnerWindow owner;
  NotifySeen seen;
  owner.manager().AddNotifier(&seen);
  CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, UIResourceRef(kButtonMenuSkin), 200, 150, &owner.manager());
  ASSERT_NE(menu, nullptr);
  WindowDriver driver(menu->GetManager());
  driver.PumpFor(30);
  // Laid out inside the item, side by side.
  const CUIRect half = driver.Find(L"btnHalf")->GetPos();
  const CUIRect one = driver.Find(L"btnOne")->GetPos();
  EXPECT_EQ(half.GetWidth(), 58);
  EXPECT_EQ(one.left, half.right + 4);

  ASSERT_TRUE(driver.Click(L"btnOne"));
  driver.PumpFor(20);
  EXPECT_EQ(seen.seen, std::vector<std::wstring>{L"click/btnOne"});

  // A slider's change reaches the owner window as well; the menu stays open.
  seen.seen.clear();
  ASSERT_TRUE(driver.Click(L"sldVolume"));
  driver.PumpFor(20);
  EXPECT_EQ(seen.seen, std::vector<std::wstring>{L"valuechanged/sldVolume"});
  EXPECT_EQ(OpenMenus(), 1);
  owner.manager().RemoveNotifier(&seen);
}

TEST_F(MenuWindowTest, DisabledItemsAndSeparatorsTakeNoClickAndRightButtonsDoNothing) {
  OwnerWindow owner;
  CMenuCheckMap map;
  CMenuWnd* menu = Open(owner, 200, 150, &map);
  ASSERT_NE(menu, nullptr);
  WindowDriver driver(menu->GetManager());
  driver.ClickAt(driver.CentreOf(L"off"));
  driver.ClickAt(driver.CentreOf(L"line"));
  const POINT at = driver.CentreOf(L"save");
  PostMessageW(menu->GetHandle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageW(menu->GetHandle(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  driver.PumpFor(30);
  EXPECT_TRUE(owner.clicks.empty());
  EXPECT_EQ(OpenMenus(), 1);
  EXPECT_TRUE(IsWindow(menu->GetHandle()));
}

TEST_F(MenuWindowTest, ASubMenuOpensBesideItsItemAndALeafInItIsReportedAndClosesAll) {
  OwnerWindow owner;
  CMenuCheckMap map;
  CMenuWnd* menu = Open(owner, 200, 150, &map);
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* speed = Item(menu, L"speed");
  ASSERT_NE(speed, nullptr);
  // Inside the parent menu the sub-items stay hidden.
  EXPECT_EQ(Item(menu, L"slow")->GetPos().GetHeight(), 0);

  CMenuWnd* sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(OpenMenus(), 2);
  EXPECT_TRUE(speed->IsSelected());
  // Right of the parent menu, level with the item, as high as its three items.
  const RECT parent = WindowRect(menu->GetHandle());
  const RECT rc = WindowRect(sub->GetHandle());
  EXPECT_EQ(rc.left, parent.right);
  EXPECT_EQ(rc.top, ScreenTop(menu, speed));
  EXPECT_EQ(rc.bottom - rc.top, 3 * 26 + 6);  // its parent's look, inset included
  // Without a "Menu" default list the sub-menu looks like its parent menu.
  auto* subMenu = static_cast<CMenuUI*>(sub->GetRoot()->GetInterface(L"Menu"));
  ASSERT_NE(subMenu, nullptr);
  EXPECT_EQ(subMenu->GetBkColor(), 0xFFFFFFFFu);
  EXPECT_EQ(subMenu->GetListInfo()->dwTextColor, 0xFF1E2533u);
  EXPECT_EQ(subMenu->GetListInfo()->dwHotBkColor, 0xFFEEF1FEu);
  // The same item objects now live in the sub-menu window and take its input.
  CMenuElementUI* fast = Item(sub, L"fast");
  ASSERT_NE(fast, nullptr);
  EXPECT_EQ(fast, speed->GetItemAt(2));
  EXPECT_EQ(fast->GetManager(), &sub->GetManager());
  WindowDriver subDriver(sub->GetManager());
  subDriver.MoveTo(subDriver.CentreOf(L"fast"));
  EXPECT_TRUE(fast->IsHot());
  // Hovering the sub-menu keeps it and its parent open.
  EXPECT_EQ(OpenMenus(), 2);

  const HWND menuWindow = menu->GetHandle();
  const HWND subWindow = sub->GetHandle();
  subDriver.ClickAt(subDriver.CentreOf(L"fast"));
  PumpUntilNoMenus();
  Pump(20);
  EXPECT_FALSE(IsWindow(subWindow));
  EXPECT_FALSE(IsWindow(menuWindow));
  ASSERT_EQ(owner.clicks.size(), 1u);
  EXPECT_EQ(owner.clicks[0].item, L"fast");
  EXPECT_EQ(owner.clicks[0].lParam, 1);  // a check item, checked by the click
  EXPECT_TRUE(map[L"fast"]);
}

TEST_F(MenuWindowTest, EnteringAnotherItemClosesTheSubMenuAndItsItemsGoHome) {
  OwnerWindow owner;
  CMenuWnd* menu = Open(owner, 200, 150, nullptr);
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* speed = Item(menu, L"speed");
  CMenuWnd* sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);
  const HWND subWindow = sub->GetHandle();
  CControlUI* slow = speed->GetItemAt(0);

  WindowDriver driver(menu->GetManager());
  driver.MoveTo(driver.CentreOf(L"open"));
  for (int i = 0; i < 50 && IsWindow(subWindow); ++i) Pump(10);
  EXPECT_FALSE(IsWindow(subWindow));
  EXPECT_EQ(speed->GetSubMenuWindow(), nullptr);
  EXPECT_EQ(OpenMenus(), 1);
  // Home again: parent, manager, hidden, and the item no longer pushed.
  EXPECT_EQ(slow->GetParent(), speed);
  EXPECT_EQ(slow->GetManager(), &menu->GetManager());
  EXPECT_FALSE(slow->IsVisible());
  // The sub-menu opens again on the next visit.
  ASSERT_NE(OpenSubMenu(menu, L"speed"), nullptr);
}

TEST_F(MenuWindowTest, ATopLevelMenuGoesWhereItsAlignmentPutsItAndSubMenusFlipLeftAndUp) {
  OwnerWindow owner;
  const RECT work = WorkArea();
  // Opened near the bottom-right corner with its left and top at the point:
  // it is left there, hanging past the work area.
  CMenuWnd* menu = Open(owner, work.right - 20, work.bottom - 10, nullptr);
  ASSERT_NE(menu, nullptr);
  RECT rc = WindowRect(menu->GetHandle());
  EXPECT_EQ(rc.left, work.right - 20);
  EXPECT_EQ(rc.top, work.bottom - 10);
  CMenuWnd::GetMenuObserver().Broadcast(1, nullptr);
  PumpUntilNoMenus();

  // With its right and bottom edges at the point it fits.
  menu = Open(owner, work.right - 20, work.bottom - 10, nullptr, 8 | 0x10);
  ASSERT_NE(menu, nullptr);
  rc = WindowRect(menu->GetHandle());
  EXPECT_EQ(rc.right, work.right - 20);
  EXPECT_EQ(rc.bottom, work.bottom - 10);
  EXPECT_EQ(rc.right - rc.left, 150);

  // No room on the right: the sub-menu opens to the left of the menu; no room
  // below the item: it ends where the item begins.
  CMenuWnd* sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);
  const RECT subRc = WindowRect(sub->GetHandle());
  EXPECT_EQ(subRc.right, rc.left);
  EXPECT_EQ(subRc.bottom, ScreenTop(menu, Item(menu, L"speed")));
  EXPECT_EQ(subRc.bottom - subRc.top, 3 * 26 + 6);
}

TEST_F(MenuWindowTest, TheWindowIsAsWideAsTheWidestItemWhateverTheSideInsets) {
  OwnerWindow owner;
  std::wstring skin = kMenuSkin;
  const std::wstring inset = L"inset=\"0,3,0,3\"";
  skin.replace(skin.find(inset), inset.size(), L"inset=\"5,3,5,3\"");
  CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, UIResourceRef(skin.c_str()), 200, 150, &owner.manager());
  ASSERT_NE(menu, nullptr);
  WindowDriver(menu->GetManager()).PumpFor(30);
  const RECT rc = WindowRect(menu->GetHandle());
  EXPECT_EQ(rc.right - rc.left, 150);
  EXPECT_EQ(rc.bottom - rc.top, 5 * 26 + 6 + 6);
}

// Writes down the wParam of every WM_CLOSE taken from the queue of a menu window.
std::vector<WPARAM>* g_menuCloses = nullptr;
HHOOK g_closeHook = nullptr;
LRESULT CALLBACK RecordMenuCloses(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_CLOSE && g_menuCloses != nullptr) {
    wchar_t className[32] = {};
    GetClassNameW(msg->hwnd, className, 32);
    if (std::wstring(className) == L"TrellisMenuWnd") g_menuCloses->push_back(msg->wParam);
  }
  return CallNextHookEx(g_closeHook, code, wParam, lParam);
}

TEST_F(MenuWindowTest, EscapeAndLeftCloseTheMenuWindowTheyReachWithResultOne) {
  for (const UINT key : {static_cast<UINT>(VK_ESCAPE), static_cast<UINT>(VK_LEFT)}) {
    OwnerWindow owner;
    CMenuWnd* menu = Open(owner, 200, 150, nullptr);
    ASSERT_NE(menu, nullptr);
    CMenuWnd* sub = OpenSubMenu(menu, L"speed");
    ASSERT_NE(sub, nullptr);
    const HWND menuWindow = menu->GetHandle();
    const HWND subWindow = sub->GetHandle();
    std::vector<WPARAM> closes;
    g_menuCloses = &closes;
    g_closeHook = SetWindowsHookExW(WH_GETMESSAGE, RecordMenuCloses, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_closeHook, nullptr);

    // In the sub-menu: only the sub-menu closes.
    PostMessageW(subWindow, WM_KEYDOWN, key, 1);
    for (int i = 0; i < 50 && IsWindow(subWindow); ++i) Pump(10);
    EXPECT_FALSE(IsWindow(subWindow)) << key;
    EXPECT_TRUE(IsWindow(menuWindow)) << key;
    EXPECT_EQ(OpenMenus(), 1) << key;
    // In the top-level menu: it closes too, and nothing was reported as chosen.
    PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    PumpUntilNoMenus();
    UnhookWindowsHookEx(g_closeHook);
    g_closeHook = nullptr;
    g_menuCloses = nullptr;
    EXPECT_FALSE(IsWindow(menuWindow)) << key;
    EXPECT_TRUE(owner.clicks.empty()) << key;
    ASSERT_GE(closes.size(), 2u) << key;
    for (const WPARAM result : closes) EXPECT_EQ(result, 1u) << key;
  }
}

TEST_F(MenuWindowTest, FocusMovingToAnotherWindowClosesEveryMenuButNotIntoASubMenu) {
  OwnerWindow owner;
  CMenuWnd* menu = Open(owner, 200, 150, nullptr);
  ASSERT_NE(menu, nullptr);
  CMenuWnd* sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);
  const HWND menuWindow = menu->GetHandle();
  const HWND subWindow = sub->GetHandle();

  // Between the menus the focus moves freely.
  SetFocus(subWindow);
  Pump(30);
  SetFocus(menuWindow);
  Pump(30);
  EXPECT_EQ(OpenMenus(), 2);

  SetForegroundWindow(owner.GetHandle());
  SetFocus(owner.GetHandle());
  PumpUntilNoMenus();
  EXPECT_FALSE(IsWindow(subWindow));
  EXPECT_FALSE(IsWindow(menuWindow));
  EXPECT_TRUE(owner.clicks.empty());
}

TEST_F(MenuWindowTest, EachTopLevelMenuReplacesTheOwnerAndTheCheckMapOfTheOneBefore) {
  OwnerWindow first;
  OwnerWindow second;
  ObserverImpl& observer = CMenuWnd::GetMenuObserver();
  CMenuCheckMap firstMap;
  {
    CMenuWnd* menu = Open(first, 200, 150, &firstMap);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(observer.GetManager(), &first.manager());
    EXPECT_EQ(observer.GetCheckMap(), &firstMap);
    observer.Broadcast(1, nullptr);
    PumpUntilNoMenus();
  }
  const CMenuCheckMap before = firstMap;

  // The second menu has no map: no check state is kept, none written into the first map.
  CMenuWnd* menu = Open(second, 220, 160, nullptr);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(observer.GetManager(), &second.manager());
  EXPECT_EQ(observer.GetCheckMap(), nullptr);
  EXPECT_FALSE(Item(menu, L"wrap")->IsChecked());
  WindowDriver(menu->GetManager()).Click(L"wrap");
  PumpUntilNoMenus();
  Pump(20);
  EXPECT_EQ(firstMap, before);
  EXPECT_TRUE(first.clicks.empty());
  ASSERT_EQ(second.clicks.size(), 1u);
  EXPECT_EQ(second.clicks[0].item, L"wrap");
  EXPECT_EQ(second.clicks[0].lParam, 0);
}

TEST_F(MenuWindowTest, SubItemsGoHomeWhenTheSubMenuWindowIsDestroyedWithoutClosing) {
  OwnerWindow owner;
  CMenuWnd* menu = Open(owner, 200, 150, nullptr);
  ASSERT_NE(menu, nullptr);
  CMenuElementUI* speed = Item(menu, L"speed");
  CMenuWnd* sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);

  // Ended by DestroyWindow, not WM_CLOSE.
  DestroyWindow(sub->GetHandle());
  Pump(20);
  EXPECT_EQ(speed->GetSubMenuWindow(), nullptr);
  EXPECT_EQ(OpenMenus(), 1);
  for (int i = 0; i < speed->GetCount(); ++i) {
    EXPECT_EQ(speed->GetItemAt(i)->GetParent(), speed) << i;
    EXPECT_EQ(speed->GetItemAt(i)->GetManager(), &menu->GetManager()) << i;
  }
  // The parent menu still works: the sub-menu opens again (on the next visit
  // of the item) and a leaf in it reports.
  WindowDriver driver(menu->GetManager());
  driver.MoveTo(driver.CentreOf(L"save"));
  sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);
  WindowDriver(sub->GetManager()).Click(L"slow");
  PumpUntilNoMenus();
  Pump(20);
  ASSERT_EQ(owner.clicks.size(), 1u);
  EXPECT_EQ(owner.clicks[0].item, L"slow");
}

TEST_F(MenuWindowTest, DestroyingTheOwnerWindowEndsItsOpenMenusCleanly) {
  auto owner = std::make_unique<OwnerWindow>();
  CMenuWnd* menu = Open(*owner, 200, 150, nullptr);
  ASSERT_NE(menu, nullptr);
  ASSERT_NE(OpenSubMenu(menu, L"speed"), nullptr);
  EXPECT_EQ(OpenMenus(), 2);
  // The menus are owned by the window: they end with it, sub-menu first.
  owner.reset();
  Pump(30);
  EXPECT_EQ(OpenMenus(), 0);
}

TEST_F(MenuWindowTest, Screenshot) {
  OwnerWindow owner;
  CMenuCheckMap map;
  map[L"fast"] = true;
  RECT ownerRc = WindowRect(owner.GetHandle());
  CMenuWnd* menu = Open(owner, ownerRc.left + 30, ownerRc.top + 40, &map);
  ASSERT_NE(menu, nullptr);
  CMenuWnd* sub = OpenSubMenu(menu, L"speed");
  ASSERT_NE(sub, nullptr);
  WindowDriver subDriver(sub->GetManager());
  subDriver.MoveTo(subDriver.CentreOf(L"slow"));
  subDriver.PumpFor(100);
  RECT area = ownerRc;
  const RECT subRc = WindowRect(sub->GetHandle());
  if (subRc.right + 10 > area.right) area.right = subRc.right + 10;
  if (subRc.bottom + 10 > area.bottom) area.bottom = subRc.bottom + 10;
  testshots::Picture shot;
  ASSERT_TRUE(testshots::SaveScreenAreaPng(L"menu-open.png", area, &shot));

  // What the picture must show, found at the items' places on the screen.
  const auto itemArea = [&area](CMenuWnd* window, const wchar_t* name) {
    const CUIRect pos = window->GetManager().FindControlByName(name)->GetPos();
    POINT origin{0, 0};
    ClientToScreen(window->GetHandle(), &origin);
    return RECT{pos.left + origin.x - area.left, pos.top + origin.y - area.top, pos.right + origin.x - area.left,
                pos.bottom + origin.y - area.top};
  };
  const auto count = [&shot](const RECT& rc, uint32_t colour) {
    int found = 0;
    for (int y = rc.top; y < rc.bottom; ++y) {
      for (int x = rc.left; x < rc.right; ++x) found += shot.At(x, y) == colour ? 1 : 0;
    }
    return found;
  };
  // The hovered leaf of the sub-menu is selected (its background); its neighbour is not.
  const RECT slow = itemArea(sub, L"slow");
  const RECT normal = itemArea(sub, L"normal");
  EXPECT_EQ(shot.At(slow.left + 3, slow.top + 3), 0xDDE6FBu);
  EXPECT_EQ(shot.At(normal.left + 3, normal.top + 3), 0xFFFFFFu);
  // "fast", checked by the map, shows its check picture; "normal" has none.
  EXPECT_GT(count(itemArea(sub, L"fast"), 0x2D6CDF), 5);
  EXPECT_EQ(count(normal, 0x2D6CDF), 0);
  // Both menus are framed by their border, and their items' text is drawn.
  const RECT menuRc = WindowRect(menu->GetHandle());
  EXPECT_EQ(shot.At(menuRc.left - area.left, (menuRc.top + menuRc.bottom) / 2 - area.top), 0xB8C0CCu);
  EXPECT_EQ(shot.At(subRc.right - 1 - area.left, (subRc.top + subRc.bottom) / 2 - area.top), 0xB8C0CCu);
  EXPECT_GT(count(itemArea(menu, L"open"), 0x1E2533), 5) << "no text in the first item";
}

// The list owner of an item under test: it writes down the events the item hands up.
class RecordingOwner : public CControlUI, public IListOwnerUI {
 public:
  void* GetInterface(const UIChar* name) override {
    if (UITextCompare(name, L"IListOwner") == 0) return static_cast<IListOwnerUI*>(this);
    return CControlUI::GetInterface(name);
  }
  UIListInfo* GetListInfo() override { return &info; }
  int GetCurSel() const override { return -1; }
  bool SelectItem(int, bool, bool) override { return false; }
  void HandleItemEvent(UIEvent& event) override { handed.push_back(event.Type); }
  bool ExpandItem(int, bool) override { return false; }
  int GetExpandedItem() const override { return -1; }

  UIListInfo info;
  std::vector<int> handed;
};

TEST(MenuElementTest, ADisabledItemIgnoresTheReleaseOfTheMouse) {
  struct Case {
    const char* label;
    bool separator;  // a separator takes no mouse input either
  };
  for (const Case c : {Case{"disabled item", false}, Case{"separator", true}}) {
    RecordingOwner owner;
    CMenuElementUI item;
    item.SetOwner(&owner);
    if (c.separator) {
      item.MakeSeparator();
    } else {
      item.SetEnabled(false);
    }
    UIEvent up;
    up.Type = kUIEventButtonUp;
    up.pSender = &item;
    item.HandleEvent(up);
    EXPECT_TRUE(owner.handed.empty()) << c.label;
    EXPECT_EQ(item.GetSubMenuWindow(), nullptr) << c.label;
  }
}

}  // namespace
