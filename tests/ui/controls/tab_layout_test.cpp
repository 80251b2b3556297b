// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The tab layout built from skin XML: which page shows, "tabselect", and how
// the current index follows pages added and removed (or refused).
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/TabLayoutUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

using Names = std::vector<std::wstring>;

std::wstring TabSkin(const std::wstring& tabAttributes = L"") {
  return L"<Window size=\"300,200\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout><TabLayout name=\"tabs\" inset=\"10,10,10,10\" bkcolor=\"#FFEEEEEE\" " +
         tabAttributes +
         L">"
         L"<Control name=\"p0\" bkcolor=\"#FFE05050\" />"
         L"<Control name=\"p1\" bkcolor=\"#FF50A050\" />"
         L"<Control name=\"p2\" bkcolor=\"#FF5050E0\" />"
         L"</TabLayout></VerticalLayout></Window>";
}

// Which pages are visible, as "p0 p2 " texts.
std::wstring VisiblePages(CTabLayoutUI* tabs) {
  std::wstring out;
  for (int i = 0; i < tabs->GetCount(); ++i) {
    if (tabs->GetItemAt(i)->IsVisible()) out += tabs->GetItemAt(i)->GetName().GetText() + std::wstring(L" ");
  }
  return out;
}

CControlUI* Page(const wchar_t* name) {
  auto* page = new CControlUI;
  page->SetName(name);
  return page;
}

TEST(TabLayoutTest, FirstVisiblePageIsCurrentAndFillsTheClientArea) {
  SkinnedTestWindow w(TabSkin());
  ASSERT_TRUE(w.ok());
  auto* tabs = w.Find<CTabLayoutUI>(L"tabs", L"TabLayout");
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_EQ(VisiblePages(tabs), L"p0 ");
  const CUIRect page = w.driver().Find(L"p0")->GetPos();
  const CUIRect all = tabs->GetPos();
  EXPECT_EQ(page.left, all.left + 10);
  EXPECT_EQ(page.top, all.top + 10);
  EXPECT_EQ(page.right, all.right - 10);
  EXPECT_EQ(page.bottom, all.bottom - 10);
  EXPECT_TRUE(w.Screenshot(L"controls-tab-page0.png"));
}

TEST(TabLayoutTest, SelectReselectAndOutOfRange) {
  SkinnedTestWindow w(TabSkin());
  ASSERT_TRUE(w.ok());
  auto* tabs = w.Find<CTabLayoutUI>(L"tabs", L"TabLayout");
  EXPECT_TRUE(tabs->SelectItem(1));
  EXPECT_EQ(w.recorder.Of(L"tabselect", true), (Names{L"tabs:1:0"}));
  EXPECT_EQ(VisiblePages(tabs), L"p1 ");
  EXPECT_TRUE(w.Screenshot(L"controls-tab-page1.png"));
  EXPECT_FALSE(w.driver().Find(L"p1")->GetPos().GetWidth() == 0) << "the new page is laid out";

  EXPECT_TRUE(tabs->SelectItem(1));  // the current page: nothing happens
  EXPECT_FALSE(tabs->SelectItem(3));
  EXPECT_FALSE(tabs->SelectItem(-1));
  EXPECT_EQ(w.recorder.Of(L"tabselect").size(), 1u);
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_TRUE(tabs->SelectItem(2, false));
  EXPECT_EQ(w.recorder.Of(L"tabselect").size(), 1u) << "no notification when not asked for";
}

TEST(TabLayoutTest, InsertBeforeTheCurrentPageKeepsItCurrent) {
  SkinnedTestWindow w(TabSkin());
  ASSERT_TRUE(w.ok());
  auto* tabs = w.Find<CTabLayoutUI>(L"tabs", L"TabLayout");
  ASSERT_TRUE(tabs->AddItemAt(Page(L"new"), 0));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(VisiblePages(tabs), L"p0 ");
  // A refused insertion (index past the end) changes no index.
  CControlUI* refused = Page(L"refused");
  EXPECT_FALSE(tabs->AddItemAt(refused, 9));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  refused->Delete();
  EXPECT_FALSE(tabs->AddItem(nullptr));
  EXPECT_EQ(tabs->GetCurSel(), 1);
}

TEST(TabLayoutTest, RemovingPagesKeepsTheIndexOnTheShownPage) {
  SkinnedTestWindow w(TabSkin());
  ASSERT_TRUE(w.ok());
  auto* tabs = w.Find<CTabLayoutUI>(L"tabs", L"TabLayout");
  ASSERT_TRUE(tabs->SelectItem(2));
  // Removing a page before the current one moves the index down.
  ASSERT_TRUE(tabs->RemoveItem(w.driver().Find(L"p0")));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(VisiblePages(tabs), L"p2 ");
  // A refused removal (not a child) changes nothing.
  CControlUI* stranger = Page(L"stranger");
  EXPECT_FALSE(tabs->RemoveItem(stranger));
  EXPECT_FALSE(tabs->RemoveItemAt(7));
  EXPECT_EQ(tabs->GetCurSel(), 1);
  stranger->Delete();
  // Removing the current page shows page 0, without a notification.
  w.recorder.seen.clear();
  ASSERT_TRUE(tabs->RemoveItem(w.driver().Find(L"p2")));
  EXPECT_EQ(tabs->GetCurSel(), 0);
  EXPECT_EQ(VisiblePages(tabs), L"p1 ");
  EXPECT_TRUE(w.recorder.Of(L"tabselect").empty());
  EXPECT_TRUE(w.Screenshot(L"controls-tab-after-remove.png"));
  ASSERT_TRUE(tabs->RemoveItemAt(0));
  EXPECT_EQ(tabs->GetCurSel(), -1);
  EXPECT_FALSE(tabs->SelectItem(0));
}

TEST(TabLayoutTest, SelectedIdInTheSkinShowsThatPage) {
  SkinnedTestWindow w(TabSkin(L"selectedid=\"1\""));
  ASSERT_TRUE(w.ok());
  auto* tabs = w.Find<CTabLayoutUI>(L"tabs", L"TabLayout");
  EXPECT_EQ(tabs->GetCurSel(), 1);
  EXPECT_EQ(VisiblePages(tabs), L"p1 ");
  const auto pixels = w.Pixels(CUIRect(150, 100, 151, 101));
  EXPECT_EQ(pixels.front(), 0x50A050u);
}

// Pages holding buttons (tab stops): the page shown has a pending step to its
// first button, which a control the program focuses replaces.
std::wstring FocusSkin() {
  return L"<Window size=\"300,200\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout><TabLayout name=\"tabs\">"
         L"<VerticalLayout name=\"p0\"><Button name=\"a0\" height=\"30\" text=\"a0\" /></VerticalLayout>"
         L"<VerticalLayout name=\"p1\"><Button name=\"b0\" height=\"30\" text=\"b0\" />"
         L"<Button name=\"b1\" height=\"30\" text=\"b1\" /><Button name=\"b2\" height=\"30\" text=\"b2\" />"
         L"</VerticalLayout></TabLayout></VerticalLayout></Window>";
}

// One paint of the whole window, as anything that invalidates it brings.
void PaintOnce(SkinnedTestWindow& w) {
  InvalidateRect(w.hwnd(), nullptr, FALSE);
  UpdateWindow(w.hwnd());
  w.driver().Pump();
}

TEST(TabLayoutTest, AFocusChosenRightAfterThePageChangeOutlivesThePagesPendingTabStep) {
  const struct {
    const wchar_t* chosen;    // the control the program focuses right after the page change
    const wchar_t* expected;  // where the focus is after the paints
  } cases[] = {
      {L"b1", L"b1"},
      {L"b2", L"b2"},
      {L"b0", L"b0"},  // the page's first tab stop itself
  };
  for (const auto& c : cases) {
    const std::string label = testing::PrintToString(std::wstring(c.chosen));
    SkinnedTestWindow w(FocusSkin());
    ASSERT_TRUE(w.ok());
    auto* tabs = w.Find<CTabLayoutUI>(L"tabs", L"TabLayout");
    PaintOnce(w);
    ASSERT_TRUE(tabs->SelectItem(1));
    w.manager().SetFocusControl(w.driver().Find(c.chosen));
    PaintOnce(w);
    ASSERT_NE(w.manager().GetFocusControl(), nullptr) << label;
    EXPECT_EQ(w.manager().GetFocusControl()->GetName().GetText(), std::wstring(c.expected))
        << label << ": after the paint that shows the page";
    // Later paints (a key's echo, a hover) leave the focus where it is.
    for (int i = 0; i < 3; ++i) PaintOnce(w);
    EXPECT_EQ(w.manager().GetFocusControl()->GetName().GetText(), std::wstring(c.expected))
        << label << ": after later paints";
  }
}

}  // namespace
