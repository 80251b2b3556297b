// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The list built from skin XML and driven through the window's messages:
// keyboard navigation, the selection and expansion following their items
// across inserts, removals and moves, refused selections and expansions,
// handlers that rebuild the list, the header's separator drag, a header
// shown again after a layout without it, the wheel with and without
// "scrollselect", and "multiexpanding".
#include <gtest/gtest.h>

#include <string>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/list/ListBodyUI.h"
#include "ui/controls/list/ListContainerElementUI.h"
#include "ui/controls/list/ListHeaderItemUI.h"
#include "ui/controls/list/ListHeaderUI.h"
#include "ui/controls/list/ListLabelElementUI.h"
#include "ui/controls/list/ListUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

// A list of `count` label items i0..i(count-1), 20 px each, in a list 100 px
// high (so it scrolls), with a three-column header.
std::wstring ListSkin(int count, const std::wstring& itemExtra = L"") {
  std::wstring items;
  for (int i = 0; i < count; ++i) {
    items += L"<ListLabelElement name=\"i" + std::to_wstring(i) + L"\" text=\"第" + std::to_wstring(i) +
             L"行 row " + std::to_wstring(i) + L"\" " + itemExtra + L" />";
  }
  return L"<Window size=\"320,200\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\">"
         L"<List name=\"list\" height=\"124\" itemheight=\"20\" itemaltbk=\"true\" itembkcolor=\"#FFF4F4F4\" "
         L"itemhlinesize=\"1\" itemhlinecolor=\"#FFDDDDDD\" vscrollbar=\"true\" bordersize=\"1\" "
         L"bordercolor=\"#FF8899AA\">"
         L"<ListHeader name=\"header\" height=\"24\" bkcolor=\"#FFE8ECF2\">"
         L"<ListHeaderItem name=\"h0\" text=\"名称\" width=\"120\" sepcolor=\"#FF9AA4B0\" />"
         L"<ListHeaderItem name=\"h1\" text=\"Size\" width=\"80\" sepcolor=\"#FF9AA4B0\" />"
         L"<ListHeaderItem name=\"h2\" text=\"Kind\" width=\"60\" sepcolor=\"#FF9AA4B0\" />"
         L"</ListHeader>" +
         items + L"</List></VerticalLayout></Window>";
}

// The skin with more attributes on its List element.
std::wstring WithListAttributes(std::wstring skin, const std::wstring& attributes) {
  const std::wstring tag = L"<List name=\"list\"";
  skin.insert(skin.find(tag) + tag.size(), L" " + attributes);
  return skin;
}

CListUI* ListOf(SkinnedTestWindow& w) { return w.Find<CListUI>(L"list", L"List"); }

bool ItemSelected(SkinnedTestWindow& w, const wchar_t* name) {
  auto* item = static_cast<IListItemUI*>(w.driver().Find(name)->GetInterface(L"IListItem"));
  return item != nullptr && item->IsSelected();
}

TEST(ListTest, ClickSendsItemClickThenItemSelectAndTheHeaderDefinesColumns) {
  SkinnedTestWindow w(ListSkin(8), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->GetCount(), 8);
  EXPECT_STREQ(list->GetHeader()->GetName().GetText(), L"header");
  EXPECT_EQ(list->GetListInfo()->iColumnCount, 3);

  ASSERT_TRUE(w.driver().Click(L"i2"));
  EXPECT_EQ(list->GetCurSel(), 2);
  EXPECT_TRUE(ItemSelected(w, L"i2"));
  const auto sequence = w.recorder.Sequence();
  ASSERT_GE(sequence.size(), 2u);
  EXPECT_EQ(sequence[sequence.size() - 2], L"itemclick/i2");
  EXPECT_EQ(sequence.back(), L"itemselect/list");
  EXPECT_EQ(w.recorder.Of(L"itemselect", true).back(), L"list:2:-1");

  // The columns are the header items' rectangles.
  const CUIRect h1 = w.driver().Find(L"h1")->GetPos();
  EXPECT_EQ(list->GetListInfo()->rcColumns[1].left, h1.left);
  EXPECT_EQ(list->GetListInfo()->rcColumns[1].right, h1.right);
  EXPECT_TRUE(w.Screenshot(L"list-with-header.png"));
}

TEST(ListTest, KeysMoveTheSelectionAndPagesScroll) {
  SkinnedTestWindow w(ListSkin(12), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  ASSERT_TRUE(w.driver().Click(L"i0"));
  ASSERT_EQ(list->GetCurSel(), 0);

  struct Step {
    UINT key;
    int selection;
  };
  const Step steps[] = {
      {VK_UP, 0},     // the first item stays
      {VK_DOWN, 1},   {VK_DOWN, 2}, {VK_END, 11},
      {VK_DOWN, 11},  // the last item stays
      {VK_UP, 10},    {VK_HOME, 0},
  };
  for (const Step& step : steps) {
    w.driver().Key(step.key);
    EXPECT_EQ(list->GetCurSel(), step.selection) << "key " << step.key;
  }
  // End scrolled the last item into view, Home back to the top.
  EXPECT_EQ(list->GetScrollPos().cy, 0);

  w.driver().Key(VK_NEXT);
  const int paged = list->GetScrollPos().cy;
  EXPECT_GT(paged, 0);
  EXPECT_EQ(list->GetCurSel(), 0);  // paging scrolls; it does not select
  w.driver().Key(VK_PRIOR);
  EXPECT_EQ(list->GetScrollPos().cy, 0);

  w.driver().Key(VK_END);
  const CUIRect last = w.driver().Find(L"i11")->GetPos();
  const CUIRect body = list->GetListBody()->GetPos();
  EXPECT_LE(last.bottom, body.bottom);
  EXPECT_GE(last.top, body.top);
}

TEST(ListTest, DownAndEndKeepTheSelectionBesideTrailingUnselectableItems) {
  struct Case {
    const wchar_t* name;
    bool hideLast;
    bool disableLast;
  };
  const Case cases[] = {{L"disabled last", false, true}, {L"hidden last", true, false}, {L"both", true, true}};
  for (const Case& c : cases) {
    SkinnedTestWindow w(ListSkin(4), 320, 200);
    ASSERT_TRUE(w.ok());
    CListUI* list = ListOf(w);
    CControlUI* last = w.driver().Find(L"i3");
    if (c.hideLast) last->SetVisible(false);
    if (c.disableLast) last->SetEnabled(false);
    w.driver().Pump();
    ASSERT_TRUE(w.driver().Click(L"i2"));
    ASSERT_EQ(list->GetCurSel(), 2) << c.name;
    w.driver().Key(VK_DOWN);
    EXPECT_EQ(list->GetCurSel(), 2) << c.name;
    EXPECT_TRUE(ItemSelected(w, L"i2")) << c.name;
    w.driver().Key(VK_HOME);
    w.driver().Key(VK_END);
    EXPECT_EQ(list->GetCurSel(), 2) << c.name << ": End selects the last selectable item";
  }
}

TEST(ListTest, SelectionAndExpansionFollowTheirItemsAcrossInsertRemoveAndMove) {
  // Container items, expandable, so the expanded item is tracked as well.
  std::wstring items;
  for (int i = 0; i < 6; ++i) {
    items += L"<ListContainerElement name=\"c" + std::to_wstring(i) + L"\" expandable=\"true\" />";
  }
  SkinnedTestWindow w(L"<Window size=\"300,260\"><List name=\"list\" itemheight=\"20\">" + items + L"</List></Window>",
                      300, 260);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  CControlUI* selected = w.driver().Find(L"c2");
  CControlUI* expanded = w.driver().Find(L"c4");
  ASSERT_TRUE(list->SelectItem(2, false, false));
  ASSERT_TRUE(list->ExpandItem(4, true));
  ASSERT_EQ(list->GetExpandedItem(), 4);

  auto check = [&](const char* step) {
    EXPECT_EQ(list->GetCurSel(), list->GetItemIndex(selected)) << step;
    EXPECT_EQ(list->GetExpandedItem(), list->GetItemIndex(expanded)) << step;
    for (int i = 0; i < list->GetCount(); ++i) {
      auto* item = static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"IListItem"));
      EXPECT_EQ(item->GetIndex(), i) << step;
    }
  };
  auto* inserted = new CListContainerElementUI;
  ASSERT_TRUE(list->AddItemAt(inserted, 0));
  check("insert at 0");
  ASSERT_TRUE(list->RemoveItemAt(1));  // c0, before both
  check("remove before");
  ASSERT_TRUE(list->SetItemIndex(expanded, 0));
  check("expanded item moved to the top");
  ASSERT_TRUE(list->MoveItems(list->GetItemAt(0), 2, 3));
  check("run of two moved down");
  ASSERT_TRUE(list->SetItemIndex(selected, list->GetCount() - 1));
  check("selected item moved to the end");
  // Removing the expanded item forgets the expansion.
  ASSERT_TRUE(list->RemoveItem(expanded));
  EXPECT_EQ(list->GetExpandedItem(), -1);
  EXPECT_EQ(list->GetCurSel(), list->GetItemIndex(selected));
}

TEST(ListTest, RemovingTheSelectedItemSelectsTheOneNowAtItsPlaceOrTheNearestBefore) {
  struct Case {
    const char* label;
    int selected;
    const wchar_t* disable;  // an item made unselectable first, or null
    int wantSel;
    const wchar_t* wantItem;
  };
  const Case cases[] = {
      {"the next item moves up and takes it", 3, nullptr, 3, L"i4"},
      {"the last item: the one before", 4, nullptr, 3, L"i3"},
      {"the next item disabled: the nearest before", 2, L"i3", 1, L"i1"},
      {"the first item: the next one moves up", 0, nullptr, 0, L"i1"},
  };
  for (const Case& c : cases) {
    SkinnedTestWindow w(ListSkin(5), 320, 200);
    ASSERT_TRUE(w.ok());
    CListUI* list = ListOf(w);
    if (c.disable != nullptr) w.driver().Find(c.disable)->SetEnabled(false);
    ASSERT_TRUE(list->SelectItem(c.selected, false, false)) << c.label;
    w.recorder.seen.clear();
    ASSERT_TRUE(list->RemoveItemAt(c.selected)) << c.label;
    EXPECT_EQ(list->GetCurSel(), c.wantSel) << c.label;
    EXPECT_EQ(list->GetItemAt(c.wantSel), w.driver().Find(c.wantItem)) << c.label;
    EXPECT_TRUE(ItemSelected(w, c.wantItem)) << c.label;
    EXPECT_EQ(w.recorder.Of(L"itemselect", true),
              std::vector<std::wstring>{L"list:" + std::to_wstring(c.wantSel) + L":-1"})
        << c.label;
  }

  // The only item removed: nothing left to select and nothing sent.
  SkinnedTestWindow w(ListSkin(1), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  ASSERT_TRUE(list->SelectItem(0, false, false));
  w.recorder.seen.clear();
  ASSERT_TRUE(list->RemoveItemAt(0));
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_TRUE(w.recorder.Of(L"itemselect").empty());
}

TEST(ListTest, RefusedSelectionsLeaveNothingSelectedAndOutOfRangeScrollsNothing) {
  SkinnedTestWindow w(ListSkin(10), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  w.driver().Find(L"i3")->SetEnabled(false);
  w.driver().Find(L"i4")->SetVisible(false);

  for (int target : {3, 4, 99}) {
    ASSERT_TRUE(list->SelectItem(1, false, false)) << target;
    w.recorder.seen.clear();
    EXPECT_FALSE(list->SelectItem(target, false, true)) << target;
    EXPECT_EQ(list->GetCurSel(), -1) << target;
    EXPECT_FALSE(ItemSelected(w, L"i1")) << target;
    EXPECT_TRUE(w.recorder.Of(L"itemselect").empty()) << target;
  }
  // -1 clears the selection without a notification.
  ASSERT_TRUE(list->SelectItem(1, false, false));
  w.recorder.seen.clear();
  EXPECT_FALSE(list->SelectItem(-1, false, true));
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_FALSE(ItemSelected(w, L"i1"));
  EXPECT_TRUE(w.recorder.Of(L"itemselect").empty());

  ASSERT_TRUE(list->SelectItem(9, false, false));
  const CUISize scrolled = list->GetScrollPos();
  for (int index : {-5, 10, 1000}) {
    list->EnsureVisible(index);
    EXPECT_EQ(list->GetScrollPos().cy, scrolled.cy) << index;
  }
}

TEST(ListTest, ItemsRevertRefusedSelectionAndExpansionAndDisabledItemsDeselect) {
  SkinnedTestWindow w(L"<Window size=\"300,200\"><List name=\"list\" itemheight=\"20\">"
                      L"<ListLabelElement name=\"a\" text=\"a\" />"
                      L"<ListLabelElement name=\"b\" text=\"b\" />"
                      L"<ListContainerElement name=\"c\" expandable=\"true\" />"
                      L"</List></Window>",
                      300, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  auto* a = static_cast<CListLabelElementUI*>(w.driver().Find(L"a"));
  auto* b = static_cast<CListLabelElementUI*>(w.driver().Find(L"b"));
  auto* c = static_cast<CListContainerElementUI*>(w.driver().Find(L"c"));

  // A hidden item asks the list, which refuses: the item's flag goes back.
  b->SetVisible(false);
  EXPECT_FALSE(b->Select(true));
  EXPECT_FALSE(b->IsSelected());
  EXPECT_EQ(list->GetCurSel(), -1);

  // A selected item that is then disabled can still be deselected.
  ASSERT_TRUE(a->Select(true));
  a->SetEnabled(false);
  EXPECT_TRUE(a->Select(false));
  EXPECT_FALSE(a->IsSelected());

  // A hidden expandable item: the list refuses, the flag is restored.
  c->SetVisible(false);
  w.recorder.seen.clear();
  EXPECT_FALSE(c->Expand(true));
  EXPECT_FALSE(c->IsExpanded());
  EXPECT_EQ(list->GetExpandedItem(), -1);
  EXPECT_TRUE(w.recorder.Of(L"itemexpand").empty());
  c->SetVisible(true);
  EXPECT_TRUE(c->Expand(true));
  EXPECT_TRUE(c->IsExpanded());
  EXPECT_EQ(list->GetExpandedItem(), 2);
  EXPECT_EQ(w.recorder.Of(L"itemexpand"), std::vector<std::wstring>{L"c"});
}

TEST(ListTest, AnItemClickHandlerThatRebuildsTheListIsSafe) {
  SkinnedTestWindow w(ListSkin(4), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  // Removed items are deleted at once, so touching one afterwards would
  // touch freed memory.
  list->GetListBody()->SetDelayedDestroy(false);
  w.recorder.hook = [&](UINotify& msg) {
    if (msg.sType.EqualsText(L"itemclick")) {
      list->RemoveAllItems();
      for (int i = 0; i < 3; ++i) {
        auto* item = new CListLabelElementUI;
        item->SetText(L"new");
        list->AddItem(item);
      }
    }
  };
  ASSERT_TRUE(w.driver().Click(L"i1"));
  w.recorder.hook = nullptr;
  EXPECT_EQ(list->GetCount(), 3);
  EXPECT_EQ(list->GetCurSel(), -1);
  EXPECT_TRUE(w.recorder.Of(L"itemselect").empty());
  for (int i = 0; i < list->GetCount(); ++i) {
    auto* item = static_cast<IListItemUI*>(list->GetItemAt(i)->GetInterface(L"IListItem"));
    EXPECT_FALSE(item->IsSelected());
  }
  w.driver().Pump();
}

TEST(ListTest, HeaderSeparatorDragResizesAndStopsAtSixteenPixels) {
  SkinnedTestWindow w(ListSkin(3), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  CControlUI* h0 = w.driver().Find(L"h0");
  const CUIRect start = h0->GetPos();
  ASSERT_EQ(start.GetWidth(), 120);
  const POINT grip = {start.right - 2, (start.top + start.bottom) / 2};

  w.driver().PressAt(grip);
  w.driver().MoveTo(POINT{grip.x + 30, grip.y});
  w.driver().Pump();
  EXPECT_EQ(h0->GetPos().GetWidth(), 150);
  EXPECT_EQ(list->GetListInfo()->rcColumns[0].right, h0->GetPos().right);
  // Far to the left of the column: the width stops at the minimum.
  w.driver().MoveTo(POINT{grip.x - 300, grip.y});
  w.driver().Pump();
  EXPECT_EQ(h0->GetPos().GetWidth(), 16);
  w.driver().MoveTo(POINT{grip.x - 200, grip.y});
  w.driver().Pump();
  EXPECT_EQ(h0->GetPos().GetWidth(), 16);
  w.driver().ReleaseAt(POINT{grip.x - 200, grip.y});
  EXPECT_EQ(h0->GetPos().GetWidth(), 16);
  EXPECT_EQ(list->GetListInfo()->rcColumns[1].left, h0->GetPos().right);

  // A press inside the caption (not on the separator) is a header click.
  w.recorder.seen.clear();
  ASSERT_TRUE(w.driver().Click(L"h1"));
  EXPECT_EQ(w.recorder.Of(L"headerclick"), std::vector<std::wstring>{L"h1"});
}

TEST(ListTest, AHeaderHiddenForALayoutShowsAgainAndStillGivesTheColumnsMeanwhile) {
  SkinnedTestWindow w(ListSkin(4), 320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  CListHeaderUI* header = list->GetHeader();
  const int firstRowShown = w.driver().Find(L"i0")->GetPos().top;
  header->SetVisible(false);
  w.driver().Pump();
  ASSERT_FALSE(header->IsVisible());
  // Hidden, the header still lays out the columns (at zero height).
  EXPECT_EQ(list->GetListInfo()->iColumnCount, 3);
  EXPECT_EQ(list->GetListInfo()->rcColumns[0].GetWidth(), 120);
  EXPECT_EQ(w.driver().Find(L"i0")->GetPos().top, firstRowShown - 24);

  header->SetVisible(true);
  w.driver().Pump();
  EXPECT_TRUE(header->IsVisible());
  EXPECT_TRUE(w.driver().Find(L"h1")->IsVisible());
  EXPECT_EQ(header->GetPos().GetHeight(), 24);
  EXPECT_EQ(w.driver().Find(L"i0")->GetPos().top, firstRowShown);
  EXPECT_EQ(list->GetListInfo()->rcColumns[1].left, w.driver().Find(L"h1")->GetPos().left);
  // The header is painted: its background colour shows above the first row.
  const CUIRect band = header->GetPos();
  const auto pixels = w.Pixels(CUIRect(band.left + 2, band.top + 2, band.left + 6, band.top + 4));
  EXPECT_EQ(testcontrols::CountPixels(pixels, [](int r, int g, int b) { return r == 0xE8 && g == 0xEC && b == 0xF2; }),
            static_cast<int>(pixels.size()));
  EXPECT_TRUE(w.Screenshot(L"list-header-shown-again.png"));
}

TEST(ListTest, WithScrollSelectTheWheelMovesTheSelectionAndWithoutItScrolls) {
  for (const bool scrollSelect : {true, false}) {
    SkinnedTestWindow w(WithListAttributes(ListSkin(12), scrollSelect ? L"scrollselect=\"true\"" : L""), 320, 200);
    ASSERT_TRUE(w.ok());
    CListUI* list = ListOf(w);
    ASSERT_TRUE(list->SelectItem(0, false, false));
    w.recorder.seen.clear();
    ASSERT_TRUE(w.driver().Scroll(L"i1", -2));
    if (scrollSelect) {
      EXPECT_EQ(list->GetCurSel(), 2);
      EXPECT_EQ(w.recorder.Of(L"itemselect", true), (std::vector<std::wstring>{L"list:1:0", L"list:2:1"}));
      ASSERT_TRUE(w.driver().Scroll(L"i2", 1));
      EXPECT_EQ(list->GetCurSel(), 1);
    } else {
      EXPECT_EQ(list->GetCurSel(), 0);
      EXPECT_TRUE(w.recorder.Of(L"itemselect").empty());
      EXPECT_GT(list->GetScrollPos().cy, 0);
    }
  }
}

TEST(ListTest, ExpandingOneItemCollapsesTheOtherUnlessMultiExpanding) {
  for (const bool multi : {false, true}) {
    std::wstring items;
    for (int i = 0; i < 3; ++i) {
      items += L"<ListContainerElement name=\"c" + std::to_wstring(i) + L"\" expandable=\"true\" />";
    }
    SkinnedTestWindow w(L"<Window size=\"300,200\"><List name=\"list\" itemheight=\"20\" multiexpanding=\"" +
                            std::wstring(multi ? L"true" : L"false") + L"\">" + items + L"</List></Window>",
                        300, 200);
    ASSERT_TRUE(w.ok());
    CListUI* list = ListOf(w);
    auto expanded = [&](const wchar_t* name) {
      return static_cast<IListItemUI*>(w.driver().Find(name)->GetInterface(L"IListItem"))->IsExpanded();
    };
    ASSERT_TRUE(list->ExpandItem(0, true));
    ASSERT_TRUE(list->ExpandItem(2, true));
    EXPECT_EQ(list->GetExpandedItem(), 2) << multi;
    EXPECT_TRUE(expanded(L"c2")) << multi;
    EXPECT_EQ(expanded(L"c0"), multi) << "the first stays expanded only when several may";
    EXPECT_EQ(w.recorder.Of(L"itemcollapse"), multi ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"c0"});
  }
}

TEST(ListTest, ScrollingSidewaysCarriesTheHeaderAndTheColumns) {
  std::wstring items;
  for (int i = 0; i < 4; ++i) items += L"<ListTextElement name=\"t" + std::to_wstring(i) + L"\" text=\"row\" />";
  SkinnedTestWindow w(L"<Window size=\"320,200\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
                      L"<List name=\"list\" itemheight=\"20\" hscrollbar=\"true\">"
                      L"<ListHeader height=\"24\"><ListHeaderItem name=\"h0\" text=\"A\" width=\"200\" />"
                      L"<ListHeaderItem name=\"h1\" text=\"B\" width=\"150\" />"
                      L"<ListHeaderItem name=\"h2\" text=\"C\" width=\"100\" /></ListHeader>" +
                          items + L"</List></Window>",
                      320, 200);
  ASSERT_TRUE(w.ok());
  CListUI* list = ListOf(w);
  w.driver().PumpFor(20);
  ASSERT_GT(list->GetScrollRange().cx, 0);
  CControlUI* h1 = w.driver().Find(L"h1");
  const CUIRect before = h1->GetPos();
  const CUIRect row = w.driver().Find(L"t0")->GetPos();

  list->SetScrollPos(CUISize(40, 0));
  EXPECT_EQ(list->GetScrollPos().cx, 40);
  EXPECT_EQ(h1->GetPos().left, before.left - 40);
  EXPECT_EQ(list->GetListInfo()->rcColumns[1].left, before.left - 40);
  EXPECT_EQ(list->GetListInfo()->rcColumns[1].right, before.right - 40);
  EXPECT_EQ(w.driver().Find(L"t0")->GetPos().left, row.left - 40);

  EXPECT_EQ(h1->GetPos().top, before.top);
}

}  // namespace
