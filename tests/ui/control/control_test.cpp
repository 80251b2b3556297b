// The control base: attributes, placement, covers, visibility, search and
// events, with and without a window manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/ui/control/ControlTestSupport.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;
using namespace controltest;

namespace {

TEST(ControlAttributesTest, GeometryAttributes) {
  CControlUI control;
  control.SetAttribute(L"pos", L"10,20,110,70");
  EXPECT_EQ(control.GetFixedXY().cx, 10);
  EXPECT_EQ(control.GetFixedXY().cy, 20);
  EXPECT_EQ(control.GetFixedWidth(), 100);
  EXPECT_EQ(control.GetFixedHeight(), 50);

  control.SetAttribute(L"padding", L"1,2,3");  // the fourth number is missing: 0
  EXPECT_TRUE(SameRect(control.GetPadding(), CUIRect(1, 2, 3, 0)));

  control.SetAttribute(L"bordersize", L"2");
  EXPECT_TRUE(SameRect(control.GetBorderSize(), CUIRect(2, 2, 2, 2)));
  control.SetAttribute(L"topbordersize", L"2");
  EXPECT_TRUE(SameRect(control.GetBorderSize(), CUIRect(0, 2, 0, 0)));
  control.SetAttribute(L"bordersize", L"1,2,3,4");
  EXPECT_TRUE(SameRect(control.GetBorderSize(), CUIRect(1, 2, 3, 4)));

  control.SetAttribute(L"maxwidth", L"100");
  control.SetAttribute(L"minwidth", L"200");
  EXPECT_EQ(control.GetMaxWidth(), 200);  // a minimum above the maximum wins
  control.SetAttribute(L"width", L"-5");
  EXPECT_EQ(control.GetFixedWidth(), 100);  // negative sizes are ignored

  control.SetAttribute(L"float", L"0.5,0,0.5");
  EXPECT_TRUE(control.IsFloat());
  EXPECT_DOUBLE_EQ(control.GetFloatPercent().left, 0.5);
  EXPECT_DOUBLE_EQ(control.GetFloatPercent().right, 0.5);
  EXPECT_DOUBLE_EQ(control.GetFloatPercent().bottom, 0.0);
}

TEST(ControlAttributesTest, ColoursTextsAndFlags) {
  CControlUI control;
  control.ApplyAttributeList(
      L"bkcolor=\"#FF102030\" bordercolor=\"FF00FF00\" visible=\"false\" enabled=\"True\" "
      L"tooltip=\"a<n>b\" shortcut=\"Xy\" menu=\"true\" tag=\"-1\"");
  EXPECT_EQ(control.GetBkColor(), 0xFF102030u);
  EXPECT_EQ(control.GetBorderColor(), 0xFF00FF00u);
  EXPECT_FALSE(control.IsVisible());
  EXPECT_FALSE(control.IsEnabled());  // only the exact "true" is true
  EXPECT_STREQ(control.GetToolTip().GetText(), L"a\r\nb");
  EXPECT_EQ(control.GetShortcut(), L'X');
  EXPECT_TRUE(control.IsContextMenuUsed());
}

TEST(ControlAttributesTest, AttributeListsAndCustomAttributes) {
  struct Case {
    const wchar_t* list;
    const wchar_t* name;         // expected name afterwards
    const wchar_t* customKey;    // a custom attribute expected, or null
    const wchar_t* customValue;
  } cases[] = {
      {L"name=\"a\" text=\"b\"", L"a", nullptr, nullptr},
      {L"name=\"a\"  text=\"b\"", L"a", L" text", L"b"},  // two blanks: the second name starts with one
      {L"name=\"a text=b", L"", nullptr, nullptr},          // first value without closing quote: nothing
      {L"name=\"a\"text=\"b\"", L"a", nullptr, nullptr},  // no blank: the list ends
      {L"name", L"", nullptr, nullptr},
      {L"zzz=\"1\" zzz=\"2\"", L"", L"zzz", L"1"},        // a custom attribute keeps its first value
  };
  for (const Case& c : cases) {
    CControlUI control;
    control.ApplyAttributeList(c.list);
    EXPECT_STREQ(control.GetName().GetText(), c.name) << c.list;
    if (c.customKey != nullptr) {
      ASSERT_NE(control.GetCustomAttribute(c.customKey), nullptr) << c.list;
      EXPECT_STREQ(control.GetCustomAttribute(c.customKey), c.customValue) << c.list;
    }
  }
  CControlUI control;
  control.AddCustomAttribute(L"k", L"");
  control.AddCustomAttribute(L"", L"v");
  EXPECT_EQ(control.GetCustomAttribute(L"k"), nullptr);
}

TEST(ControlAttributesTest, EveryAttributeIsSafeBeforeAttaching) {
  // The skin builder applies attributes before a control has a manager.
  CContainerUI parent;
  CControlUI* control = new CControlUI;
  parent.AddItem(control);
  control->ApplyAttributeList(
      L"name=\"x\" bkimage=\"file='missing.png'\" virtualwnd=\"v\" visible=\"false\" visible=\"true\" "
      L"float=\"true\" pos=\"1,2,3,4\" padding=\"1,1,1,1\" text=\"t\" enabled=\"false\"");
  control->SetFocus();
  control->SetCover(new CControlUI);
  control->SetPos(CUIRect(0, 0, 10, 10));
  control->Invalidate();
  EXPECT_STREQ(control->GetVirtualWindowName().GetText(), L"v");
  EXPECT_EQ(control->GetCover()->GetParent(), control);
}

TEST(ControlPlacementTest, SetPosNormalisesAndFloatsRelativeToTheParent) {
  CControlUI control;
  control.SetPos(CUIRect(50, 40, 10, 20));
  EXPECT_TRUE(SameRect(control.GetPos(), CUIRect(50, 40, 50, 40)));

  CContainerUI parent;
  parent.SetPos(CUIRect(100, 50, 300, 150));
  CControlUI* floating = new CControlUI;
  parent.AddItem(floating);
  UIFloatPercent percent;
  percent.left = 0.5;
  percent.right = 0.5;
  floating->SetFloatPercent(percent);
  floating->SetFloat(true);
  floating->SetPos(CUIRect(10, 0, 30, 20));
  EXPECT_TRUE(SameRect(floating->GetPos(), CUIRect(110, 50, 130, 70)));
  EXPECT_EQ(floating->GetFixedXY().cx, -90);
  EXPECT_EQ(floating->GetFixedWidth(), 20);
  EXPECT_TRUE(SameRect(floating->GetRelativePos(), CUIRect(10, 0, 30, 20)));
}

class ControlWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    m_root = new CContainerUI;
    ASSERT_TRUE(m_window.manager().AttachRootControl(m_root));
    m_root->SetPos(CUIRect(0, 0, 200, 150));
  }
  CWindowManagerUI& manager() { return m_window.manager(); }

  testwindows::ManagedTestWindow m_window{200, 150};
  CContainerUI* m_root = nullptr;  // owned by the manager
};

TEST_F(ControlWindowTest, HidingTheFocusedControlOrItsParentDropsTheFocus) {
  for (const bool hideParent : {false, true}) {
    SCOPED_TRACE(hideParent ? "its parent hidden" : "the control hidden");
    auto* box = new CContainerUI;
    m_root->AddItem(box);
    auto* probe = new EventProbe;
    box->AddItem(probe);
    auto* other = new EventProbe;
    m_root->AddItem(other);
    manager().SetFocusControl(probe, false);
    ASSERT_EQ(manager().GetFocusControl(), probe);
    ASSERT_TRUE(probe->IsFocused());

    if (hideParent) {
      box->SetVisible(false);
    } else {
      probe->SetVisible(false);
    }
    EXPECT_EQ(manager().GetFocusControl(), nullptr);
    ASSERT_FALSE(probe->kinds.empty());
    EXPECT_EQ(probe->kinds.back(), kUIEventKillFocus);
    EXPECT_FALSE(probe->IsFocused());
    // Hidden, it cannot take the focus back.
    manager().SetFocusControl(probe, false);
    EXPECT_EQ(manager().GetFocusControl(), nullptr);
    manager().SetFocusControl(other, false);
    EXPECT_EQ(manager().GetFocusControl(), other);
    manager().SetFocusControl(nullptr, false);
  }
}

TEST_F(ControlWindowTest, CoverFollowsEvenWhereNothingIsInvalidated) {
  // Moved out of the parent's view, and under a hidden parent: the cover is
  // still placed with its control.
  CContainerUI* box = new CContainerUI;
  m_root->AddItem(box);
  box->SetPos(CUIRect(0, 0, 100, 100));
  CControlUI* control = new CControlUI;
  box->AddItem(control);
  control->SetCover(new CControlUI);

  control->SetPos(CUIRect(150, 120, 190, 140));
  EXPECT_TRUE(SameRect(control->GetCover()->GetPos(), CUIRect(150, 120, 190, 140)));
  control->Move(CUISize(-5, -5));
  EXPECT_TRUE(SameRect(control->GetCover()->GetPos(), CUIRect(145, 115, 185, 135)));

  // Under a hidden ancestor (a container that shows one child itself, as a
  // tab layout does): nothing is invalidated, the cover still follows.
  box->SetVisible(false);
  control->SetInheritedVisible(true);
  control->SetPos(CUIRect(20, 20, 40, 40));
  EXPECT_TRUE(SameRect(control->GetCover()->GetPos(), CUIRect(20, 20, 40, 40)));
}

TEST_F(ControlWindowTest, FindControlFlags) {
  CControlUI* a = MakeControl(L"a");
  CControlUI* b = MakeControl(L"b");
  m_root->AddItem(a);
  m_root->AddItem(b);
  a->SetPos(CUIRect(0, 0, 100, 100));
  b->SetPos(CUIRect(50, 50, 150, 150));
  auto any = [](CControlUI* control, void*) -> CControlUI* { return control; };
  CUIPoint overlap(60, 60);

  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest), a);
  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest | kUIFindTopFirst), b);
  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest | kUIFindMeFirst), m_root);
  b->SetVisible(false);
  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest | kUIFindTopFirst | kUIFindVisible), a);
  a->SetEnabled(false);
  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest | kUIFindVisible | kUIFindEnabled), m_root);

  // A control that is not mouse-enabled is never hit; its cover is.
  a->SetEnabled(true);
  a->SetMouseEnabled(false);
  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest | kUIFindVisible), m_root);
  CControlUI* cover = MakeControl(L"cover");
  a->SetCover(cover);
  a->SetPos(CUIRect(0, 0, 100, 100));
  EXPECT_EQ(m_root->FindControl(any, &overlap, kUIFindHitTest | kUIFindVisible), cover);
  EXPECT_EQ(manager().FindControlAtPoint(overlap), cover);
}

TEST_F(ControlWindowTest, EventsReachListenersHandlersAndParents) {
  SourceRecorder eventSource;
  SourceRecorder initSource;
  EventProbe* probe = new EventProbe;
  probe->eventListeners.AddDelegate(eventSource.Delegate());
  probe->initListeners.AddDelegate(initSource.Delegate());
  m_root->AddItem(probe);
  EXPECT_EQ(initSource.arguments.size(), 1u);

  UIEvent event;
  event.Type = kUIEventSetFocus;
  probe->SendEvent(event);
  EXPECT_TRUE(probe->IsFocused());
  eventSource.answer = false;  // a listener that says no stops the event
  event.Type = kUIEventKillFocus;
  probe->SendEvent(event);
  EXPECT_TRUE(probe->IsFocused());
  EXPECT_EQ(probe->kinds.size(), 1u);
}

// Records the notification types of a window.
class TypeRecorder : public INotifyUI {
 public:
  void Notify(UINotify& notify) override { types.push_back(notify.sType.GetText()); }
  std::vector<std::wstring> types;
};

// A container that records the kinds of the events its children pass up.
class PassedUp : public CContainerUI {
 public:
  void HandleEvent(UIEvent& event) override { kinds.push_back(event.Type); }
  std::vector<int> kinds;
};

TEST_F(ControlWindowTest, BaseHandlingNotifiesTimersAndMenusAndPassesTheRestUp) {
  TypeRecorder recorder;
  manager().AddNotifier(&recorder);
  PassedUp* parent = new PassedUp;
  m_root->AddItem(parent);
  CControlUI* control = MakeControl(L"c");
  parent->AddItem(control);
  struct Case {
    int kind;
    bool menu;
    const wchar_t* notification;  // expected, or null
    bool passedUp;
  } cases[] = {
      {kUIEventTimer, false, L"timer", false},
      {kUIEventContextMenu, true, L"menu", false},
      {kUIEventContextMenu, false, nullptr, true},
      {kUIEventButtonDown, false, nullptr, true},
  };
  for (const Case& c : cases) {
    recorder.types.clear();
    parent->kinds.clear();
    control->SetContextMenuUsed(c.menu);
    UIEvent event;
    event.Type = c.kind;
    control->SendEvent(event);
    EXPECT_EQ(recorder.types.size(), c.notification != nullptr ? 1u : 0u) << c.kind;
    if (c.notification != nullptr && !recorder.types.empty()) {
      EXPECT_EQ(recorder.types[0], c.notification);
    }
    EXPECT_EQ(parent->kinds.size(), c.passedUp ? 1u : 0u) << c.kind;
  }
  manager().RemoveNotifier(&recorder);
}

TEST_F(ControlWindowTest, SizeAndAfterPaintListeners) {
  SourceRecorder sized;
  SourceRecorder afterPaint;
  CControlUI* control = MakeControl(L"s");
  control->sizeListeners.AddDelegate(sized.Delegate());
  control->postPaintListeners.AddDelegate(afterPaint.Delegate());
  m_root->AddItem(control);
  control->SetPos(CUIRect(0, 0, 10, 10));
  control->SetPos(CUIRect(0, 0, 20, 10));
  EXPECT_EQ(sized.arguments.size(), 2u);
  EXPECT_EQ(sized.arguments[0], control);
  control->PostPaint(nullptr, CUIRect(0, 0, 10, 10));
  EXPECT_EQ(afterPaint.arguments.size(), 1u);
}

TEST_F(ControlWindowTest, DestroyedControlLeavesThePostPaintList) {
  CControlUI* control = MakeControl(L"gone");
  m_root->AddItem(control);
  ASSERT_TRUE(manager().AddPostPaint(control));
  SourceRecorder destroyed;
  control->destroyListeners.AddDelegate(destroyed.Delegate());
  m_root->SetDelayedDestroy(false);
  ASSERT_TRUE(m_root->RemoveItem(control));
  EXPECT_EQ(destroyed.arguments.size(), 1u);
  EXPECT_FALSE(manager().RemovePostPaint(control));  // it was taken off when it went
  EXPECT_EQ(manager().FindControlByName(L"gone"), nullptr);
  m_window.Show();  // painting must not reach the deleted control
}

TEST_F(ControlWindowTest, RenamingRefilesTheName) {
  CControlUI* control = MakeControl(L"first");
  m_root->AddItem(control);
  EXPECT_EQ(manager().FindControlByName(L"first"), control);
  control->SetName(L"second");
  EXPECT_EQ(manager().FindControlByName(L"first"), nullptr);
  EXPECT_EQ(manager().FindControlByName(L"second"), control);
}

}  // namespace
