// The layouts with real controls in a real window: the stacking and tile
// arithmetic through the controls, scroll bars appearing, separator drags
// (with the layout deleted in the middle of one), the child layout, and a
// painted screenshot of nested layouts.
#include <gtest/gtest.h>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/ui/control/ControlTestSupport.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/layout/ChildLayoutUI.h"
#include "ui/layout/HorizontalLayoutUI.h"
#include "ui/layout/TileLayoutUI.h"
#include "ui/layout/VerticalLayoutUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;
using namespace controltest;

namespace {

bool Same(const CUIRect& a, int l, int t, int r, int b) { return SameRect(a, CUIRect(l, t, r, b)); }

// Owns a window whose root is a vertical layout; the layout under test (the
// host) is its first child, and children of a given size are added in one line.
class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    m_root = new CVerticalLayoutUI;
    ASSERT_TRUE(manager().AttachRootControl(m_root));
  }
  CWindowManagerUI& manager() { return m_window.manager(); }

  template <class Layout>
  Layout* Host(const wchar_t* attributes = L"") {
    Layout* host = new Layout;
    host->ApplyAttributeList(attributes);
    m_root->AddItem(host);
    return host;
  }
  CControlUI* Add(CContainerUI* host, int width, int height, const wchar_t* attributes = L"") {
    CControlUI* child = MakeControl(nullptr, width, height);
    child->ApplyAttributeList(attributes);
    host->AddItem(child);
    return child;
  }
  // Places the host at rc (window coordinates).
  void Place(CControlUI* host, int width, int height) { host->SetPos(CUIRect(0, 0, width, height), false); }
  UIEvent Event(int kind, int x, int y) {
    UIEvent event;
    event.Type = kind;
    event.ptMouse = CUIPoint(x, y);
    return event;
  }

  testwindows::ManagedTestWindow m_window{320, 320};
  CVerticalLayoutUI* m_root = nullptr;  // owned by the manager
};

TEST_F(LayoutTest, VerticalSharesThroughTheControls) {
  CVerticalLayoutUI* host = Host<CVerticalLayoutUI>(L"childpadding=\"10\"");
  CControlUI* a = Add(host, 0, 50);
  CControlUI* b = Add(host, 0, 0);
  CControlUI* c = Add(host, 0, 60);
  CControlUI* d = Add(host, 0, 0, L"padding=\"4,0,6,0\"");
  Place(host, 200, 301);
  EXPECT_TRUE(Same(a->GetPos(), 0, 0, 200, 50));
  EXPECT_TRUE(Same(b->GetPos(), 0, 60, 200, 140));
  EXPECT_TRUE(Same(c->GetPos(), 0, 150, 200, 210));
  EXPECT_TRUE(Same(d->GetPos(), 4, 220, 194, 301));  // the remainder, and the width less its paddings
}

TEST_F(LayoutTest, MinimumHeightBringsTheScrollBar) {
  CVerticalLayoutUI* host = Host<CVerticalLayoutUI>(L"vscrollbar=\"true\"");
  Add(host, 0, 250);
  Add(host, 0, 0, L"minheight=\"100\"");
  Place(host, 200, 300);
  CScrollBarUI* bar = host->GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 50);
  EXPECT_TRUE(Same(bar->GetPos(), 184, 0, 200, 300));
  EXPECT_EQ(host->GetItemAt(0)->GetPos().right, 184);  // the children make room for the bar

  // An automatic child fills the whole scrollable height, so the content
  // shrinks only without it: then everything fits and the bar goes.
  host->GetItemAt(1)->SetVisible(false);
  host->GetItemAt(0)->SetFixedHeight(100);
  Place(host, 200, 300);
  EXPECT_FALSE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 0);
}

TEST_F(LayoutTest, BothScrollBarsFollowTheContent) {
  CHorizontalLayoutUI* host = Host<CHorizontalLayoutUI>(L"vscrollbar=\"true\" hscrollbar=\"true\"");
  CControlUI* first = Add(host, 150, 150);
  CControlUI* second = Add(host, 150, 150);
  Place(host, 200, 100);
  CScrollBarUI* vbar = host->GetVerticalScrollBar();
  CScrollBarUI* hbar = host->GetHorizontalScrollBar();
  ASSERT_TRUE(vbar->IsVisible());
  ASSERT_TRUE(hbar->IsVisible());
  EXPECT_EQ(hbar->GetScrollRange(), 300 - 184);  // the client is 184 wide beside the vertical bar
  EXPECT_EQ(vbar->GetScrollRange(), 150 - 84);   // and 84 high above the horizontal one
  EXPECT_TRUE(Same(hbar->GetPos(), 0, 84, 184, 100));
  EXPECT_TRUE(Same(vbar->GetPos(), 184, 0, 200, 84));

  host->SetScrollPos(CUISize(50, 30));
  EXPECT_TRUE(Same(first->GetPos(), -50, -30, 100, 120));
  EXPECT_TRUE(Same(second->GetPos(), 100, -30, 250, 120));

  // Content that fits: both bars go and the children are back in place.
  first->SetFixedWidth(50);
  first->SetFixedHeight(50);
  second->SetFixedWidth(50);
  second->SetFixedHeight(50);
  Place(host, 200, 100);
  EXPECT_FALSE(vbar->IsVisible());
  EXPECT_FALSE(hbar->IsVisible());
  EXPECT_EQ(host->GetScrollPos().cx, 0);
  EXPECT_TRUE(Same(first->GetPos(), 0, 0, 50, 50));
}

TEST_F(LayoutTest, TileColumnsThroughTheControls) {
  // Without "itemsize" the cells are 80 x 80.
  CTileLayoutUI* plain = Host<CTileLayoutUI>();
  Add(plain, 0, 0);
  Add(plain, 0, 0);
  Place(plain, 100, 200);
  EXPECT_EQ(plain->GetColumns(), 1);
  EXPECT_TRUE(Same(plain->GetItemAt(1)->GetPos(), 0, 80, 80, 160));
  m_root->RemoveItem(plain);

  CTileLayoutUI* host = Host<CTileLayoutUI>(L"itemsize=\"80,30\"");
  for (int i = 0; i < 4; ++i) Add(host, 0, 0);
  Place(host, 250, 200);
  EXPECT_EQ(host->GetColumns(), 3);
  EXPECT_EQ(host->GetRows(), 2);
  EXPECT_TRUE(Same(host->GetItemAt(1)->GetPos(), 85, 0, 165, 30));
  host->SetAttribute(L"columns", L"2");
  Place(host, 250, 200);
  EXPECT_TRUE(Same(host->GetItemAt(1)->GetPos(), 170, 0, 250, 30));
  host->SetAttribute(L"columns", L"0");
  host->SetAttribute(L"itemsize", L"0");  // a cell without width: one column, no division by zero
  Place(host, 250, 200);
  EXPECT_EQ(host->GetColumns(), 1);
}

TEST_F(LayoutTest, SeparatorDragStopsAtTheMinimum) {
  CVerticalLayoutUI* host = Host<CVerticalLayoutUI>(L"height=\"100\" minheight=\"50\" sepheight=\"4\"");
  Add(m_root, 0, 0);
  m_root->SetPos(CUIRect(0, 0, 200, 300), false);
  ASSERT_EQ(host->GetHeight(), 100);
  EXPECT_EQ(host->GetControlFlags(), static_cast<UINT>(kUIFlagSetCursor));

  UIEvent down = Event(kUIEventButtonDown, 100, 98);
  host->SendEvent(down);
  ASSERT_TRUE(host->IsDragging());
  UIEvent up1 = Event(kUIEventMouseMove, 100, 58);
  host->SendEvent(up1);
  EXPECT_EQ(host->GetFixedHeight(), 60);
  UIEvent up2 = Event(kUIEventMouseMove, 100, 28);
  host->SendEvent(up2);
  EXPECT_EQ(host->GetFixedHeight(), 50);  // clamped at the minimum
  UIEvent up3 = Event(kUIEventMouseMove, 100, 10);
  host->SendEvent(up3);
  EXPECT_EQ(host->GetFixedHeight(), 50);  // further shrinking is ignored
  UIEvent release = Event(kUIEventButtonUp, 100, 10);
  host->SendEvent(release);
  EXPECT_FALSE(host->IsDragging());
  m_root->SetPos(CUIRect(0, 0, 200, 300), false);
  EXPECT_EQ(host->GetHeight(), 50);
  EXPECT_EQ(m_root->GetItemAt(1)->GetPos().top, 50);
}

TEST_F(LayoutTest, ImmediateHorizontalDragResizesLive) {
  CHorizontalLayoutUI* row = Host<CHorizontalLayoutUI>(L"height=\"40\"");
  CHorizontalLayoutUI* pane = new CHorizontalLayoutUI;
  pane->ApplyAttributeList(L"width=\"100\" sepwidth=\"-5\" sepimm=\"true\"");
  row->AddItem(new CControlUI);
  row->AddItem(pane);
  m_root->SetPos(CUIRect(0, 0, 300, 300), false);
  ASSERT_TRUE(Same(pane->GetPos(), 200, 0, 300, 40));
  UIEvent down = Event(kUIEventButtonDown, 202, 20);
  pane->SendEvent(down);
  UIEvent move = Event(kUIEventMouseMove, 182, 20);
  pane->SendEvent(move);
  EXPECT_EQ(pane->GetFixedWidth(), 120);
  EXPECT_TRUE(Same(pane->GetPos(), 180, 0, 300, 40));
  UIEvent release = Event(kUIEventButtonUp, 182, 20);
  pane->SendEvent(release);
}

TEST_F(LayoutTest, LayoutDeletedDuringADragLeavesThePostPaintList) {
  CVerticalLayoutUI* host = Host<CVerticalLayoutUI>(L"height=\"100\" sepheight=\"4\"");
  m_root->SetPos(CUIRect(0, 0, 200, 300), false);
  UIEvent down = Event(kUIEventButtonDown, 50, 98);
  host->SendEvent(down);
  ASSERT_TRUE(host->IsDragging());
  m_root->SetDelayedDestroy(false);
  ASSERT_TRUE(m_root->RemoveItem(host));
  EXPECT_FALSE(manager().RemovePostPaint(host));  // already gone from the list
  m_window.Show();  // the after-paint pass must not reach it
  MSG msg;
  while (PeekMessageW(&msg, m_window.GetHandle(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST_F(LayoutTest, ChildLayoutInitialisedTwiceHoldsOneSubtree) {
  CChildLayoutUI* child = new CChildLayoutUI;
  child->SetAttribute(L"xmlfile", L"<VerticalLayout name=\"inner\"><Control /></VerticalLayout>");
  m_root->AddItem(child);  // attaching runs Init
  ASSERT_EQ(child->GetCount(), 1);
  child->Init();
  EXPECT_EQ(child->GetCount(), 1);
  EXPECT_EQ(child->GetInterface(L"IContainer"), nullptr);
  EXPECT_NE(child->GetInterface(L"ChildLayout"), nullptr);
}

TEST_F(LayoutTest, HostileAttributeValuesNeitherCrashNorHang) {
  // Every geometry attribute of the controls and layouts with extreme,
  // broken or cut values, then a layout pass and a paint.
  const wchar_t* names[] = {L"pos",        L"padding",     L"bordersize", L"borderround", L"float",
                            L"inset",      L"itemsize",    L"childpadding", L"columns",   L"childvpadding",
                            L"sepheight",  L"width",       L"height",     L"minwidth",    L"maxheight",
                            L"bkcolor",    L"bkcolor2",    L"bkimage",    L"childalign",  L"vscrollbar"};
  const wchar_t* values[] = {L"-2147483648,2147483647,-2147483648,2147483647",
                             L"99999999999,-99999999999",
                             L"nan,inf,-inf,1e308",
                             L"0.5,0.5,-1e300,1e300",
                             L"",
                             L",,,",
                             L"#",
                             L"1",
                             L"true",
                             L"file='' corner='9,9,9,9' source='-5,-5,2147483647,2147483647'"};
  for (const wchar_t* value : values) {
    CVerticalLayoutUI* vertical = Host<CVerticalLayoutUI>();
    CTileLayoutUI* tile = new CTileLayoutUI;
    CHorizontalLayoutUI* horizontal = new CHorizontalLayoutUI;
    vertical->AddItem(tile);
    vertical->AddItem(horizontal);
    CControlUI* leaves[] = {Add(tile, 0, 0), Add(tile, 0, 0), Add(horizontal, 0, 0), Add(horizontal, 10, 10)};
    for (const wchar_t* name : names) {
      for (CControlUI* control : {static_cast<CControlUI*>(vertical), static_cast<CControlUI*>(tile),
                                  static_cast<CControlUI*>(horizontal), leaves[0], leaves[1], leaves[2], leaves[3]}) {
        control->SetAttribute(name, value);
      }
    }
    m_root->SetPos(CUIRect(0, 0, 320, 320), false);
    DrawCanvas canvas(320, 320);
    m_root->Paint(canvas.dc(), CUIRect(0, 0, 320, 320), nullptr);
    vertical->LineDown();
    vertical->PageDown();
    m_root->SetDelayedDestroy(false);
    m_root->RemoveAllItems();
  }
}

TEST_F(LayoutTest, NestedLayoutsPaint) {
  m_root->ApplyAttributeList(L"bkcolor=\"#FFF4F6FA\" inset=\"8,8,8,8\" childpadding=\"6\"");
  CHorizontalLayoutUI* header = Host<CHorizontalLayoutUI>(
      L"height=\"40\" bkcolor=\"#FF3A6EA5\" bkcolor2=\"#FF1F3F66\" childpadding=\"6\" inset=\"6,6,6,6\"");
  Add(header, 28, 0, L"bkcolor=\"#FFFFC857\" borderround=\"8,8\"");
  Add(header, 0, 0, L"bkcolor=\"#40FFFFFF\"");
  Add(header, 60, 0, L"bkcolor=\"#FFE9724C\" bordercolor=\"#FFFFFFFF\" bordersize=\"1\"");
  CHorizontalLayoutUI* body = Host<CHorizontalLayoutUI>(L"childpadding=\"6\"");
  CVerticalLayoutUI* list = new CVerticalLayoutUI;
  list->ApplyAttributeList(
      L"width=\"140\" vscrollbar=\"true\" childpadding=\"4\" bkcolor=\"#FFFFFFFF\" bordercolor=\"#FFB0B8C4\" "
      L"bordersize=\"1\" inset=\"4,4,4,4\"");
  body->AddItem(list);
  for (int i = 0; i < 12; ++i) {
    Add(list, 0, 30, i % 2 == 0 ? L"bkcolor=\"#FFDDE7F3\"" : L"bkcolor=\"#FFC5D6EA\" bottombordersize=\"2\" bordercolor=\"#FF3A6EA5\"");
  }
  list->GetVerticalScrollBar()->ApplyAttributeList(
      L"thumbcolor=\"#FF8DA2BB\" button1color=\"#FFB0B8C4\" button2color=\"#FFB0B8C4\" bkcolor=\"#FFEEF1F5\"");
  CTileLayoutUI* tiles = new CTileLayoutUI;
  tiles->ApplyAttributeList(L"itemsize=\"50,50\" childvpadding=\"6\"");
  body->AddItem(tiles);
  for (int i = 0; i < 9; ++i) {
    Add(tiles, 0, 0, L"bkcolor=\"#FF6C9A8B\" bkcolor2=\"#FF2E5E4E\" borderround=\"10,10\" padding=\"2,2,2,2\"");
  }
  m_window.Show();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  ASSERT_TRUE(testshots::SaveWindowPng(L"layout-nested.png", m_window.GetHandle()));
  EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(tiles->GetColumns(), 3);  // 320 - 2 x 8 inset - 140 list - 6 padding = 158 wide: 3 cells of 50
}

}  // namespace
