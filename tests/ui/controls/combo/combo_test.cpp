// Test cases run alone: the drop-down closes when another test's window takes the focus.
// The combo box built from skin XML and driven through real messages: the
// drop-down opened by a click, an item chosen by a click, keys in the open
// drop-down, Escape, placement above the combo at the bottom of the work
// area, the items always coming back to the combo, the wheel over the closed
// combo, the selection after removals and refused targets, and a press whose
// pop-up cannot be made.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/Screenshot.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/combo/ComboDropBodyUI.h"
#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/combo/ComboWnd.h"
#include "ui/controls/list/ListLabelElementUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

// A combo with four 24-px items c0..c3 (c0 selected), dropbox 200 px high.
std::wstring ComboSkin(const std::wstring& lastItemExtra = L"") {
  return L"<Window size=\"300,220\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"20,20,20,20\">"
         L"<Combo name=\"combo\" height=\"28\" width=\"200\" bkcolor=\"#FFF0F3F8\" bordersize=\"1\" "
         L"bordercolor=\"#FF8899AA\" textpadding=\"6,0,6,0\" itemheight=\"24\" dropboxsize=\"0,200\" "
         L"itemtextpadding=\"6,0,0,0\" itemhotbkcolor=\"#FFDDEEFF\">"
         L"<ListLabelElement name=\"c0\" text=\"标准女声\" selected=\"true\" />"
         L"<ListLabelElement name=\"c1\" text=\"标准男声\" />"
         L"<ListLabelElement name=\"c2\" text=\"情感女声\" />"
         L"<ListLabelElement name=\"c3\" text=\"童声\" " +
         lastItemExtra +
         L" />"
         L"</Combo></VerticalLayout></Window>";
}

CComboUI* ComboOf(SkinnedTestWindow& w) { return w.Find<CComboUI>(L"combo", L"Combo"); }

// Pumps until the drop-down has gone (it closes through posted messages).
void PumpUntilClosed(SkinnedTestWindow& w, CComboUI* combo) {
  for (int i = 0; i < 50 && combo->GetDropWindow() != nullptr; ++i) w.driver().PumpFor(10);
}

// True when every item is the combo's own again (parent and manager).
bool ItemsAreHome(SkinnedTestWindow& w, CComboUI* combo) {
  for (int i = 0; i < combo->GetCount(); ++i) {
    CControlUI* item = combo->GetItemAt(i);
    if (item->GetParent() != combo || item->GetManager() != &w.manager()) return false;
  }
  return true;
}

// Clicks an item of the open drop-down through the drop-down window's messages.
void ClickDropItem(CComboWnd* drop, CControlUI* item) {
  const CUIRect pos = item->GetPos();
  const LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
  PostMessageW(drop->GetHandle(), WM_MOUSEMOVE, 0, at);
  PostMessageW(drop->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(drop->GetHandle(), WM_LBUTTONUP, 0, at);
}

TEST(ComboTest, ClickOpensTheDropDownBelowWithTheItemsHeight) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetCurSel(), 0);
  EXPECT_STREQ(combo->GetText().GetText(), L"标准女声");

  ASSERT_TRUE(w.driver().Click(L"combo"));
  CComboWnd* drop = combo->GetDropWindow();
  ASSERT_NE(drop, nullptr);
  EXPECT_EQ(w.recorder.Of(L"dropdown"), std::vector<std::wstring>{L"combo"});
  EXPECT_TRUE(IsWindowVisible(drop->GetHandle()));
  w.driver().PumpFor(50);

  // Directly below the combo, as wide, min(4 x 24 + 4, 200) high.
  RECT popup = {};
  GetWindowRect(drop->GetHandle(), &popup);
  const CUIRect pos = combo->GetPos();
  POINT below = {pos.left, pos.bottom};
  ClientToScreen(w.hwnd(), &below);
  EXPECT_EQ(popup.left, below.x);
  EXPECT_EQ(popup.top, below.y);
  EXPECT_EQ(popup.right - popup.left, pos.GetWidth());
  EXPECT_EQ(popup.bottom - popup.top, 100);
  // The same item objects are shown by the drop-down's body.
  EXPECT_EQ(w.driver().Find(L"c1")->GetParent(), drop->GetBody());
  // The estimates were only read: the laid-out drop-down asks for nothing more.
  EXPECT_FALSE(drop->GetManager().IsUpdateNeeded());

  RECT area = {};
  GetWindowRect(w.hwnd(), &area);
  area.bottom = popup.bottom + 10 > area.bottom ? popup.bottom + 10 : area.bottom;
  EXPECT_TRUE(testshots::SaveScreenAreaPng(L"combo-open.png", area));
}

TEST(ComboTest, ClickingAnItemSelectsItClosesAndGivesTheItemsBack) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  ASSERT_TRUE(w.driver().Click(L"combo"));
  CComboWnd* drop = combo->GetDropWindow();
  ASSERT_NE(drop, nullptr);
  w.driver().PumpFor(50);
  w.recorder.seen.clear();

  ClickDropItem(drop, w.driver().Find(L"c2"));
  PumpUntilClosed(w, combo);
  EXPECT_EQ(combo->GetDropWindow(), nullptr);
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(w.recorder.Of(L"itemselect", true), std::vector<std::wstring>{L"combo:2:0"});
  EXPECT_STREQ(combo->GetText().GetText(), L"情感女声");
  EXPECT_TRUE(ItemsAreHome(w, combo));
  // Back home the items are not laid out inside the closed combo.
  w.driver().Pump();
  EXPECT_EQ(w.driver().Find(L"c2")->GetPos().GetWidth(), 0);
}

TEST(ComboTest, KeysInTheOpenDropDownSelectAndEscapeRestores) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  ASSERT_TRUE(w.driver().Click(L"combo"));
  CComboWnd* drop = combo->GetDropWindow();
  ASSERT_NE(drop, nullptr);
  w.driver().PumpFor(50);
  w.recorder.seen.clear();

  // Keys go to the drop-down window, which keeps open during key steps.
  PostMessageW(drop->GetHandle(), WM_KEYDOWN, VK_DOWN, 1);
  w.driver().Pump();
  PostMessageW(drop->GetHandle(), WM_KEYDOWN, VK_DOWN, 1);
  w.driver().Pump();
  EXPECT_EQ(combo->GetCurSel(), 2);
  EXPECT_EQ(combo->GetDropWindow(), drop);

  PostMessageW(drop->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpUntilClosed(w, combo);
  EXPECT_EQ(combo->GetDropWindow(), nullptr);
  EXPECT_EQ(combo->GetCurSel(), 0);
  EXPECT_EQ(w.recorder.Of(L"itemselect", true), (std::vector<std::wstring>{L"combo:1:0", L"combo:2:1", L"combo:0:2"}));
  EXPECT_TRUE(ItemsAreHome(w, combo));
}

TEST(ComboTest, DownAndEndKeepTheSelectionWhenNothingSelectableLiesAhead) {
  const wchar_t* const extras[] = {L"enabled=\"false\"", L"visible=\"false\""};
  for (const wchar_t* extra : extras) {
    SkinnedTestWindow w(ComboSkin(extra), 300, 220);
    ASSERT_TRUE(w.ok());
    CComboUI* combo = ComboOf(w);
    ASSERT_TRUE(combo->SelectItem(2, false, false));
    combo->SetFocus();
    w.driver().Pump();
    w.recorder.seen.clear();
    w.driver().Key(VK_DOWN);
    EXPECT_EQ(combo->GetCurSel(), 2) << extra;
    w.driver().Key(VK_HOME);
    EXPECT_EQ(combo->GetCurSel(), 0) << extra;
    w.driver().Key(VK_END);
    EXPECT_EQ(combo->GetCurSel(), 2) << extra;
    EXPECT_EQ(combo->GetDropWindow(), nullptr) << extra;
  }
}

TEST(ComboTest, TheDropDownOpensAboveAtTheBottomOfTheWorkArea) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  RECT work = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // The combo's bottom lands 40 px above the work area's bottom.
  const CUIRect pos = combo->GetPos();
  SetWindowPos(w.hwnd(), nullptr, 100, work.bottom - pos.bottom - 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  w.driver().Pump();

  ASSERT_TRUE(w.driver().Click(L"combo"));
  CComboWnd* drop = combo->GetDropWindow();
  ASSERT_NE(drop, nullptr);
  RECT popup = {};
  GetWindowRect(drop->GetHandle(), &popup);
  POINT top = {pos.left, pos.top};
  ClientToScreen(w.hwnd(), &top);
  EXPECT_EQ(popup.bottom, top.y);
  EXPECT_EQ(popup.bottom - popup.top, 100);
  EXPECT_EQ(popup.left, top.x);
  PostMessageW(drop->GetHandle(), WM_KEYDOWN, VK_RETURN, 1);
  PumpUntilClosed(w, combo);
  EXPECT_EQ(combo->GetDropWindow(), nullptr);
}

TEST(ComboTest, LentItemsComeBackBeforeItemChangesAndWhenTheWindowEndsAnyWay) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);

  // A change of the items while the drop-down is open.
  ASSERT_TRUE(w.driver().Click(L"combo"));
  ASSERT_NE(combo->GetDropWindow(), nullptr);
  ASSERT_TRUE(combo->RemoveItemAt(3));
  EXPECT_TRUE(ItemsAreHome(w, combo));
  EXPECT_EQ(combo->GetDropWindow()->GetBody()->GetCount(), 0);
  PumpUntilClosed(w, combo);
  EXPECT_EQ(combo->GetDropWindow(), nullptr);

  // The window destroyed from outside (no WM_CLOSE on the way).
  ASSERT_TRUE(w.driver().Click(L"combo"));
  CComboWnd* drop = combo->GetDropWindow();
  ASSERT_NE(drop, nullptr);
  ASSERT_EQ(w.driver().Find(L"c1")->GetParent(), drop->GetBody());
  DestroyWindow(drop->GetHandle());
  EXPECT_EQ(combo->GetDropWindow(), nullptr);
  EXPECT_TRUE(ItemsAreHome(w, combo));
  EXPECT_EQ(combo->GetButtonState() & 0x10u, 0u);

  // Items that came home still select and paint through the combo.
  ASSERT_TRUE(combo->SelectItem(1, false, true));
  EXPECT_STREQ(combo->GetText().GetText(), L"标准男声");
  w.driver().Pump();
}

TEST(ComboTest, TheWheelOverTheClosedComboStepsTheSelectionWithoutOpeningIt) {
  SkinnedTestWindow w(ComboSkin(L"enabled=\"false\""), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  w.recorder.seen.clear();
  struct Step {
    int notches;  // positive: up
    int selection;
  };
  // c3 is disabled: the wheel stops on c2 going down.
  const Step steps[] = {{-1, 1}, {-1, 2}, {-1, 2}, {1, 1}, {1, 0}, {1, 0}};
  for (const Step& step : steps) {
    ASSERT_TRUE(w.driver().Scroll(L"combo", step.notches));
    EXPECT_EQ(combo->GetCurSel(), step.selection) << "after " << step.notches;
    EXPECT_EQ(combo->GetDropWindow(), nullptr);
  }
  EXPECT_EQ(w.recorder.Of(L"itemselect", true),
            (std::vector<std::wstring>{L"combo:1:0", L"combo:2:1", L"combo:1:2", L"combo:0:1"}));
  EXPECT_TRUE(w.recorder.Of(L"dropdown").empty());
}

TEST(ComboTest, SelectItemPastTheEndTakesTheLastAndARefusedTargetLeavesNothingSelected) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  w.recorder.seen.clear();
  EXPECT_TRUE(combo->SelectItem(99, false, true));
  EXPECT_EQ(combo->GetCurSel(), 3);
  EXPECT_STREQ(combo->GetText().GetText(), L"童声");
  EXPECT_EQ(w.recorder.Of(L"itemselect", true), std::vector<std::wstring>{L"combo:3:0"});

  struct Case {
    const char* label;
    bool hide;
  };
  for (const Case c : {Case{"hidden", true}, Case{"disabled", false}}) {
    ASSERT_TRUE(combo->SelectItem(3, false, false)) << c.label;
    CControlUI* target = w.driver().Find(L"c1");
    if (c.hide) {
      target->SetVisible(false);
    } else {
      target->SetEnabled(false);
    }
    EXPECT_FALSE(combo->SelectItem(1, false, true)) << c.label;
    EXPECT_EQ(combo->GetCurSel(), -1) << c.label;
    EXPECT_TRUE(combo->GetText().IsEmpty()) << c.label;
    target->SetVisible(true);
    target->SetEnabled(true);
  }
}

TEST(ComboTest, RemovingTheSelectedItemSelectsTheOneNowAtItsPlaceOrTheNearestBefore) {
  struct Case {
    const char* label;
    int selected;
    const wchar_t* disable;  // an item made unselectable first, or null
    int wantSel;
    const wchar_t* wantItem;
  };
  const Case cases[] = {
      {"the next item moves up and takes it", 1, nullptr, 1, L"c2"},
      {"the last item: the one before", 3, nullptr, 2, L"c2"},
      {"the next item disabled: the one before", 1, L"c2", 0, L"c0"},
      {"the first item, the next disabled: the first selectable after", 0, L"c1", 1, L"c2"},
  };
  for (const Case& c : cases) {
    SkinnedTestWindow w(ComboSkin(), 300, 220);
    ASSERT_TRUE(w.ok());
    CComboUI* combo = ComboOf(w);
    if (c.disable != nullptr) w.driver().Find(c.disable)->SetEnabled(false);
    ASSERT_TRUE(combo->SelectItem(c.selected, false, false)) << c.label;
    w.recorder.seen.clear();
    ASSERT_TRUE(combo->RemoveItemAt(c.selected)) << c.label;
    EXPECT_EQ(combo->GetCurSel(), c.wantSel) << c.label;
    EXPECT_EQ(combo->GetItemAt(c.wantSel), w.driver().Find(c.wantItem)) << c.label;
    EXPECT_EQ(w.recorder.Of(L"itemselect", true),
              std::vector<std::wstring>{L"combo:" + std::to_wstring(c.wantSel) + L":-1"})
        << c.label;
  }
}

// Refuses the creation of every drop-down window while installed.
HHOOK g_refuseDropHook = nullptr;
LRESULT CALLBACK RefuseDropWindows(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    wchar_t className[32] = {};
    GetClassNameW(reinterpret_cast<HWND>(wParam), className, 32);
    if (std::wstring(className) == L"ComboWnd") return 1;
  }
  return CallNextHookEx(g_refuseDropHook, code, wParam, lParam);
}

TEST(ComboTest, APressWhosePopUpCannotBeMadeLeavesTheComboUnpushed) {
  SkinnedTestWindow w(ComboSkin(), 300, 220);
  ASSERT_TRUE(w.ok());
  CComboUI* combo = ComboOf(w);
  g_refuseDropHook = SetWindowsHookExW(WH_CBT, RefuseDropWindows, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_refuseDropHook, nullptr);
  const bool clicked = w.driver().Click(L"combo");
  UnhookWindowsHookEx(g_refuseDropHook);
  g_refuseDropHook = nullptr;
  ASSERT_TRUE(clicked);
  EXPECT_EQ(combo->GetDropWindow(), nullptr);
  EXPECT_EQ(combo->GetButtonState() & 0x50u, 0u) << "neither pushed nor captured after the release";
  EXPECT_TRUE(w.recorder.Of(L"dropdown").empty());
  EXPECT_TRUE(ItemsAreHome(w, combo));

  // The next press opens the pop-up and shows the combo pushed while it is open.
  ASSERT_TRUE(w.driver().Click(L"combo"));
  ASSERT_NE(combo->GetDropWindow(), nullptr);
  EXPECT_EQ(combo->GetButtonState() & 0x10u, 0x10u);
  PostMessageW(combo->GetDropWindow()->GetHandle(), WM_KEYDOWN, VK_RETURN, 1);
  PumpUntilClosed(w, combo);
  EXPECT_EQ(combo->GetButtonState() & 0x10u, 0u);
}

}  // namespace
