// The container base: tree edits that fail leave everything as it was,
// removal and deletion order, delayed destruction, visibility, hit tests,
// scrolling and the stop control of painting.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/ui/control/ControlTestSupport.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/layout/HorizontalLayoutUI.h"
#include "ui/layout/VerticalLayoutUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;
using namespace controltest;

namespace {

std::vector<std::wstring> Names(const CContainerUI& container) {
  std::vector<std::wstring> names;
  for (int i = 0; i < container.GetCount(); ++i) names.push_back(container.GetItemAt(i)->GetName().GetText());
  return names;
}

// A container with three children a, b, c, attached to a window.
class ContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    m_root = new CContainerUI;
    ASSERT_TRUE(m_window.manager().AttachRootControl(m_root));
    m_root->SetPos(CUIRect(0, 0, 200, 150));
    for (const wchar_t* name : {L"a", L"b", L"c"}) m_root->AddItem(MakeControl(name));
  }
  CWindowManagerUI& manager() { return m_window.manager(); }
  using Names_t = std::vector<std::wstring>;

  testwindows::ManagedTestWindow m_window{200, 150};
  CContainerUI* m_root = nullptr;  // owned by the manager
};

TEST_F(ContainerTest, FailedEditsChangeNothingAndAttachNothing) {
  CControlUI* stray = MakeControl(L"stray");
  for (int index : {-1, 4, 1000}) {
    EXPECT_FALSE(m_root->AddItemAt(stray, index)) << index;
  }
  EXPECT_FALSE(m_root->AddItem(nullptr));
  EXPECT_EQ(Names(*m_root), (Names_t{L"a", L"b", L"c"}));
  EXPECT_EQ(stray->GetManager(), nullptr);
  EXPECT_EQ(stray->GetParent(), nullptr);
  EXPECT_EQ(manager().FindControlByName(L"stray"), nullptr);

  CControlUI* b = m_root->GetItemAt(1);
  EXPECT_FALSE(m_root->SetItemIndex(b, 3));
  EXPECT_FALSE(m_root->SetItemIndex(b, -1));
  EXPECT_FALSE(m_root->SetItemIndex(stray, 0));
  EXPECT_FALSE(m_root->MoveItems(b, 2, 2));   // the run would pass the end
  EXPECT_FALSE(m_root->MoveItems(b, 3, 0));
  EXPECT_FALSE(m_root->MoveItems(stray, 1, 0));
  EXPECT_FALSE(m_root->MoveItems(b, -1, 0));
  EXPECT_EQ(Names(*m_root), (Names_t{L"a", L"b", L"c"}));
  delete stray;
}

TEST_F(ContainerTest, EditsThatSucceed) {
  CControlUI* a = m_root->GetItemAt(0);
  EXPECT_TRUE(m_root->SetItemIndex(a, 2));
  EXPECT_EQ(Names(*m_root), (Names_t{L"b", L"c", L"a"}));
  EXPECT_TRUE(m_root->MoveItems(m_root->GetItemAt(1), 2, 0));
  EXPECT_EQ(Names(*m_root), (Names_t{L"c", L"a", L"b"}));
  EXPECT_TRUE(m_root->MoveItems(m_root->GetItemAt(0), 1, 0));  // same place: nothing to do
  CControlUI* d = MakeControl(L"d");
  EXPECT_TRUE(m_root->AddItemAt(d, 3));
  EXPECT_EQ(d->GetParent(), m_root);
  EXPECT_EQ(manager().FindControlByName(L"d"), d);
}

CContainerUI* g_watchedContainer = nullptr;
int g_indexAtDestruction = 0;

TEST_F(ContainerTest, RemovedChildIsOutOfTheListBeforeItIsDeleted) {
  m_root->SetDelayedDestroy(false);
  CControlUI* b = m_root->GetItemAt(1);
  SourceRecorder destroyed;
  g_watchedContainer = m_root;
  g_indexAtDestruction = 99;
  destroyed.check = [](void* control) {
    g_indexAtDestruction = g_watchedContainer->GetItemIndex(static_cast<CControlUI*>(control));
  };
  b->destroyListeners.AddDelegate(destroyed.Delegate());
  EXPECT_TRUE(m_root->RemoveItem(b));
  EXPECT_EQ(destroyed.arguments.size(), 1u);
  EXPECT_EQ(g_indexAtDestruction, -1);
  EXPECT_EQ(Names(*m_root), (Names_t{L"a", L"c"}));
  EXPECT_FALSE(m_root->RemoveItem(b));
}

TEST_F(ContainerTest, KeptChildForgetsItsParent) {
  CControlUI* a = m_root->GetItemAt(0);
  EXPECT_TRUE(m_root->RemoveItem(a, true));
  EXPECT_EQ(a->GetParent(), nullptr);
  EXPECT_EQ(m_root->GetItemIndex(a), -1);
  // Kept children can go into another container.
  CContainerUI* other = new CContainerUI;
  m_root->AddItem(other);
  EXPECT_TRUE(other->AddItem(a));
  EXPECT_EQ(a->GetParent(), other);
}

TEST_F(ContainerTest, DelayedDestructionWaitsForTheFlush) {
  CControlUI* c = m_root->GetItemAt(2);
  SourceRecorder destroyed;
  c->destroyListeners.AddDelegate(destroyed.Delegate());
  EXPECT_TRUE(m_root->RemoveItemAt(2));
  EXPECT_TRUE(destroyed.arguments.empty());
  MSG msg;
  while (PeekMessageW(&msg, m_window.GetHandle(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(destroyed.arguments.size(), 1u);
}

TEST_F(ContainerTest, ChildOfAHiddenContainerInheritsIt) {
  CContainerUI* box = new CContainerUI;
  m_root->AddItem(box);
  box->SetVisible(false);
  CControlUI* child = MakeControl(L"inside");
  box->AddItem(child);
  EXPECT_FALSE(child->IsVisible());
  box->SetVisible(true);
  EXPECT_TRUE(child->IsVisible());
  EXPECT_EQ(box->FindChildByName(L"INSIDE"), child);
}

TEST_F(ContainerTest, HitTestsStayInsideTheClientArea) {
  CContainerUI* box = new CContainerUI;
  m_root->AddItem(box);
  box->SetInset(CUIRect(10, 10, 10, 10));
  CControlUI* child = MakeControl(L"child");
  box->AddItem(child);
  box->SetPos(CUIRect(0, 0, 100, 100));
  child->SetPos(CUIRect(0, 0, 100, 100));  // as if scrolled over the inset
  auto any = [](CControlUI* control, void*) -> CControlUI* { return control; };
  CUIPoint inInset(5, 5);
  CUIPoint inClient(50, 50);
  EXPECT_EQ(box->FindControl(any, &inInset, kUIFindHitTest), box);
  EXPECT_EQ(box->FindControl(any, &inClient, kUIFindHitTest), child);
  box->SetMouseChildEnabled(false);
  EXPECT_EQ(box->FindControl(any, &inClient, kUIFindHitTest), box);
}

TEST_F(ContainerTest, PaintingStopsAtTheStopControl) {
  // Children side by side, each its own colour; the third is the stop control.
  m_root->RemoveAllItems();
  const uint32_t colours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
  std::vector<CControlUI*> children;
  for (int i = 0; i < 3; ++i) {
    CControlUI* child = new CControlUI;
    child->SetBkColor(colours[i]);
    m_root->AddItem(child);
    child->SetPos(CUIRect(i * 50, 0, i * 50 + 50, 50));
    children.push_back(child);
  }
  DrawCanvas canvas(200, 150, 0xFF000000u);
  EXPECT_FALSE(m_root->Paint(canvas.dc(), CUIRect(0, 0, 200, 150), children[2]));
  EXPECT_EQ(canvas.At(25, 25) & 0xFFFFFFu, 0xFF0000u);
  EXPECT_EQ(canvas.At(75, 25) & 0xFFFFFFu, 0x00FF00u);
  EXPECT_EQ(canvas.At(125, 25) & 0xFFFFFFu, 0u);  // not painted
}

// A container whose bar processing can be driven directly.
class ScrollProbe : public CContainerUI {
 public:
  void SetRelayoutFlag(bool on) { m_bScrollProcess = on; }
};

TEST_F(ContainerTest, ContentThatFitsNeedsNoScrollRange) {
  ScrollProbe* box = new ScrollProbe;
  m_root->AddItem(box);
  box->EnableScrollBar(true, false);
  box->SetPos(CUIRect(0, 0, 100, 100));
  CScrollBarUI* bar = box->GetVerticalScrollBar();
  ASSERT_NE(bar, nullptr);
  box->ProcessScrollBar(CUIRect(0, 0, 84, 100), 0, 160);
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 60);
  // While the container lays itself out again because the bar appeared, the
  // content turns out to fit: the range is 0 and the bar goes, instead of a
  // range mirrored from the shortfall.
  box->SetRelayoutFlag(true);
  box->ProcessScrollBar(CUIRect(0, 0, 84, 100), 0, 40);
  box->SetRelayoutFlag(false);
  EXPECT_EQ(bar->GetScrollRange(), 0);
  EXPECT_FALSE(bar->IsVisible());
}

TEST_F(ContainerTest, LineStepsAndTheWheel) {
  CVerticalLayoutUI* list = new CVerticalLayoutUI;
  m_root->AddItem(list);
  list->EnableScrollBar(true, false);
  for (int i = 0; i < 10; ++i) list->AddItem(MakeControl(nullptr, 0, 50));
  list->SetPos(CUIRect(0, 0, 100, 100));
  CScrollBarUI* bar = list->GetVerticalScrollBar();
  ASSERT_TRUE(bar->IsVisible());
  EXPECT_EQ(bar->GetScrollRange(), 400);

  const int fontStep = manager().GetDefaultFontInfo()->tm.tmHeight + 8;
  list->LineDown();
  EXPECT_EQ(list->GetScrollPos().cy, fontStep);
  EXPECT_EQ(list->GetItemAt(0)->GetPos().top, -fontStep);  // the children moved with it
  bar->SetScrollUnit(30);
  list->ScrollToTop();
  list->LineDown();
  EXPECT_EQ(list->GetScrollPos().cy, 30);

  UIEvent wheel;
  wheel.Type = kUIEventScrollWheel;
  wheel.wParam = 1;  // towards the user
  list->SendEvent(wheel);
  EXPECT_EQ(list->GetScrollPos().cy, 60);
  list->ScrollToBottom();
  EXPECT_EQ(list->GetScrollPos().cy, 390);  // the range rounded to the unit of 30 first
}

TEST_F(ContainerTest, KeysScrollByLinesPagesAndToTheEnds) {
  auto* tall = new CVerticalLayoutUI;
  m_root->AddItem(tall);
  tall->EnableScrollBar(true, false);
  tall->SetInset(CUIRect(0, 10, 0, 10));
  for (int i = 0; i < 10; ++i) tall->AddItem(MakeControl(nullptr, 0, 50));
  tall->SetPos(CUIRect(0, 0, 100, 100));
  ASSERT_EQ(tall->GetVerticalScrollBar()->GetScrollRange(), 420);  // 500 in 80

  auto* wide = new CHorizontalLayoutUI;  // only a horizontal bar: the same keys go sideways
  m_root->AddItem(wide);
  wide->EnableScrollBar(false, true);
  for (int i = 0; i < 10; ++i) wide->AddItem(MakeControl(nullptr, 50, 0));
  wide->SetPos(CUIRect(0, 0, 100, 100));
  ASSERT_EQ(wide->GetHorizontalScrollBar()->GetScrollRange(), 400);

  const int fontStep = manager().GetDefaultFontInfo()->tm.tmHeight + 8;
  const struct {
    CContainerUI* box;
    UINT key;
    int expected;  // scroll position along the bar after the key
  } steps[] = {
      {tall, VK_NEXT, 80},   // a page is the height less the inset
      {tall, VK_NEXT, 160},  {tall, VK_PRIOR, 80}, {tall, VK_END, 420},       {tall, VK_NEXT, 420},
      {tall, VK_HOME, 0},    {tall, VK_PRIOR, 0},  {tall, VK_DOWN, fontStep}, {tall, VK_UP, 0},
      {tall, VK_RIGHT, 0},  // not a scrolling key
      {wide, VK_NEXT, 100},  {wide, VK_DOWN, 108}, {wide, VK_UP, 100},        {wide, VK_END, 400},
      {wide, VK_HOME, 0},
  };
  for (const auto& step : steps) {
    UIEvent key;
    key.Type = kUIEventKeyDown;
    key.chKey = static_cast<UIChar>(step.key);
    step.box->SendEvent(key);
    const CUISize pos = step.box->GetScrollPos();
    EXPECT_EQ(step.box == tall ? pos.cy : pos.cx, step.expected)
        << (step.box == tall ? "vertical" : "horizontal") << ", key " << step.key;
  }

  // A container that does not take the keyboard does not scroll by it.
  tall->SetKeyboardEnabled(false);
  UIEvent key;
  key.Type = kUIEventKeyDown;
  key.chKey = VK_NEXT;
  tall->SendEvent(key);
  EXPECT_EQ(tall->GetScrollPos().cy, 0);
}

// A child a list would select: answers "IListItem".
class SelectableProbe : public CControlUI {
 public:
  void* GetInterface(const UIChar* name) override {
    if (std::wstring(name) == L"IListItem") return this;
    return CControlUI::GetInterface(name);
  }
};

TEST(ContainerNoWindowTest, FindSelectableSkipsHiddenDisabledAndPlainChildren) {
  // 0 item, 1 plain, 2 hidden item, 3 disabled item, 4 item, 5 plain
  CContainerUI box;
  EXPECT_EQ(box.FindSelectable(0, true), -1) << "no children";
  box.AddItem(new SelectableProbe);
  box.AddItem(new CControlUI);
  box.AddItem(new SelectableProbe);
  box.GetItemAt(2)->SetVisible(false);
  box.AddItem(new SelectableProbe);
  box.GetItemAt(3)->SetEnabled(false);
  box.AddItem(new SelectableProbe);
  box.AddItem(new CControlUI);
  const struct {
    int index;
    bool forward;
    int expected;
  } cases[] = {
      {0, true, 0},  {1, true, 4},  {4, true, 4},  {5, true, -1}, {99, true, -1}, {-3, true, 0},
      {3, false, 0}, {5, false, 4}, {99, false, 4}, {0, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(box.FindSelectable(c.index, c.forward), c.expected)
        << "from " << c.index << (c.forward ? " forward" : " backward");
  }
  // Backward with nothing selectable at or before the index: the first one after it.
  box.GetItemAt(0)->SetEnabled(false);
  EXPECT_EQ(box.FindSelectable(3, false), 4);
  EXPECT_EQ(box.FindSelectable(1, false), 4);
}

TEST(ContainerNoWindowTest, ContainerAttributes) {
  CContainerUI box;
  box.ApplyAttributeList(
      L"inset=\"1,2,3,4\" childpadding=\"-7\" childalign=\"center\" childvalign=\"bottom\" mousechild=\"false\" "
      L"hscrollbar=\"true\"");
  box.SetAttribute(L"vscrollbarstyle", L"scrollunit=\"30\" linesize=\"-3\"");
  EXPECT_TRUE(SameRect(box.GetInset(), CUIRect(1, 2, 3, 4)));
  EXPECT_EQ(box.GetChildPadding(), 0);  // never negative
  EXPECT_EQ(box.GetChildAlign(), 1u);
  EXPECT_EQ(box.GetChildVAlign(), 8u);
  EXPECT_FALSE(box.IsMouseChildEnabled());
  ASSERT_NE(box.GetVerticalScrollBar(), nullptr);
  EXPECT_EQ(box.GetVerticalScrollBar()->GetScrollUnit(), 30);
  EXPECT_EQ(box.GetVerticalScrollBar()->GetLineSize(), 8);  // a negative line size is ignored
  ASSERT_NE(box.GetHorizontalScrollBar(), nullptr);
  EXPECT_TRUE(box.GetHorizontalScrollBar()->IsHorizontal());
  EXPECT_EQ(box.GetHorizontalScrollBar()->GetFixedHeight(), 16);

  box.ApplyAttributeList(L"childalign=\"middle\" childvalign=\"center\" vscrollbar=\"false\"");
  EXPECT_EQ(box.GetChildAlign(), 1u);  // unknown words change nothing
  EXPECT_EQ(box.GetChildVAlign(), 8u);
  EXPECT_EQ(box.GetVerticalScrollBar(), nullptr);
  EXPECT_NE(box.GetHorizontalScrollBar(), nullptr);
}

TEST(ContainerNoWindowTest, LineStepWithoutAManagerAndSidewaysWheel) {
  CContainerUI box;
  box.EnableScrollBar(false, true);
  CScrollBarUI* bar = box.GetHorizontalScrollBar();
  bar->SetScrollRange(100);
  bar->SetVisible(true);
  UIEvent wheel;
  wheel.Type = kUIEventScrollWheel;
  wheel.wParam = 1;
  box.SendEvent(wheel);  // only a horizontal bar: the wheel scrolls sideways
  EXPECT_EQ(box.GetScrollPos().cx, 8);
  box.EnableScrollBar(true, true);
  box.GetVerticalScrollBar()->SetScrollRange(100);
  box.LineDown();
  EXPECT_EQ(box.GetScrollPos().cy, 8);
}

}  // namespace
