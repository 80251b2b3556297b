// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Options and check boxes built from skin XML and clicked through the
// window: radio groups, toggling, "selected" from the skin, options that
// leave their window, and handlers that delete the option they hear from.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/window/SkinBuilder.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

using Names = std::vector<std::wstring>;

std::wstring OptionSkin(const std::wstring& body) {
  return L"<Window size=\"360,200\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"10,10,10,10\" childpadding=\"6\">" +
         body + L"</VerticalLayout></Window>";
}

const wchar_t kGroupOfThree[] =
    L"<Option name=\"a\" group=\"g\" selected=\"true\" text=\"A\" height=\"26\" selectedbkcolor=\"#FF7FB2F0\" />"
    L"<Option name=\"b\" group=\"g\" text=\"B\" height=\"26\" selectedbkcolor=\"#FF7FB2F0\" />"
    L"<Option name=\"c\" group=\"g\" text=\"C\" height=\"26\" selectedbkcolor=\"#FF7FB2F0\" />"
    L"<CheckBox name=\"check\" text=\"Check\" height=\"26\" selectedbkcolor=\"#FFF0C070\" />";

bool Selected(SkinnedTestWindow& w, const wchar_t* name) {
  auto* option = w.Find<COptionUI>(name, L"Option");
  return option != nullptr && option->IsSelected();
}

TEST(OptionTest, GroupOfThreeSelectsOneWithOneNotification) {
  SkinnedTestWindow w(OptionSkin(kGroupOfThree));
  ASSERT_TRUE(w.ok());
  // "selected" in the skin selected the first option (while no one listened yet).
  EXPECT_TRUE(Selected(w, L"a"));
  EXPECT_TRUE(w.recorder.Of(L"selectchanged").empty());

  ASSERT_TRUE(w.driver().Click(L"b"));
  EXPECT_EQ(w.recorder.Sequence(), (Names{L"click/b", L"selectchanged/b"}));
  EXPECT_FALSE(Selected(w, L"a"));
  EXPECT_TRUE(Selected(w, L"b"));
  EXPECT_FALSE(Selected(w, L"c"));
  EXPECT_TRUE(w.Screenshot(L"controls-option-group.png"));

  // Clicking the selected grouped option clicks but changes nothing.
  w.recorder.seen.clear();
  ASSERT_TRUE(w.driver().Click(L"b"));
  EXPECT_EQ(w.recorder.Sequence(), (Names{L"click/b"}));
  EXPECT_TRUE(Selected(w, L"b"));
}

TEST(OptionTest, UngroupedOptionAndCheckBoxToggle) {
  SkinnedTestWindow w(OptionSkin(kGroupOfThree));
  ASSERT_TRUE(w.ok());
  CControlUI* check = w.driver().Find(L"check");
  ASSERT_NE(check, nullptr);
  EXPECT_NE(check->GetInterface(L"CheckBox"), nullptr);
  EXPECT_EQ(UITextCompare(check->GetClassName(), L"CheckBox"), 0);

  ASSERT_TRUE(w.driver().Click(L"check"));
  EXPECT_TRUE(Selected(w, L"check"));
  EXPECT_TRUE(w.Screenshot(L"controls-checkbox-selected.png"));
  ASSERT_TRUE(w.driver().Click(L"check"));
  EXPECT_FALSE(Selected(w, L"check"));
  EXPECT_EQ(w.recorder.Sequence(),
            (Names{L"click/check", L"selectchanged/check", L"click/check", L"selectchanged/check"}));
  EXPECT_TRUE(Selected(w, L"a")) << "the group is not touched by an ungrouped option";
}

TEST(OptionTest, LastSelectedInTheSkinWinsTheGroup) {
  SkinnedTestWindow w(OptionSkin(L"<Option name=\"a\" group=\"g\" selected=\"true\" height=\"20\" />"
                                 L"<Option name=\"b\" group=\"g\" selected=\"true\" height=\"20\" />"));
  ASSERT_TRUE(w.ok());
  EXPECT_FALSE(Selected(w, L"a"));
  EXPECT_TRUE(Selected(w, L"b"));
}

// "selected" from the skin is a selection like any other: read while the
// window listens (a part built into a running window), each option selected
// there sends "selectchanged", grouped or not; "false" sends nothing.
TEST(OptionTest, SelectedInTheSkinNotifies) {
  SkinnedTestWindow w(OptionSkin(kGroupOfThree));
  ASSERT_TRUE(w.ok());
  w.recorder.seen.clear();
  CSkinBuilder builder;
  CControlUI* part = builder.CreateFromSource(
      L"<Window><VerticalLayout>"
      L"<Option name=\"x\" group=\"h\" selected=\"true\" /><Option name=\"y\" group=\"h\" selected=\"true\" />"
      L"<CheckBox name=\"z\" selected=\"true\" /><CheckBox name=\"n\" selected=\"false\" />"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &w.manager());
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(w.recorder.Sequence(), (Names{L"selectchanged/x", L"selectchanged/y", L"selectchanged/z"}));
  part->Delete();
}

TEST(OptionTest, OptionBuiltButNotAttachedLeavesItsGroup) {
  SkinnedTestWindow w(OptionSkin(kGroupOfThree));
  ASSERT_TRUE(w.ok());
  // The builder attaches a fragment to the manager while applying its
  // attributes, then detaches it: the stray option must not stay filed.
  CSkinBuilder builder;
  CControlUI* stray = builder.CreateFromSource(L"<Window><Option name=\"stray\" group=\"g\" /></Window>", nullptr,
                                               nullptr, &w.manager());
  ASSERT_NE(stray, nullptr);
  CUIPtrArray* group = w.manager().GetOptionGroup(L"g");
  ASSERT_NE(group, nullptr);
  EXPECT_LT(group->Find(stray), 0);
  EXPECT_EQ(group->GetSize(), 3);
  stray->Delete();

  // The group still works (it would reach the deleted option otherwise).
  ASSERT_TRUE(w.driver().Click(L"c"));
  EXPECT_TRUE(Selected(w, L"c"));
  EXPECT_FALSE(Selected(w, L"a"));
}

TEST(OptionTest, OptionRemovedFromTheTreeLeavesItsGroupWhenDeleted) {
  SkinnedTestWindow w(OptionSkin(kGroupOfThree));
  ASSERT_TRUE(w.ok());
  auto* root = w.Find<CContainerUI>(L"root", L"Container");
  CControlUI* b = w.driver().Find(L"b");
  ASSERT_TRUE(root->RemoveItem(b, true));
  b->SetManager(nullptr, nullptr, false);
  EXPECT_EQ(w.manager().GetOptionGroup(L"g")->Find(b), -1);
  b->Delete();
  w.driver().Pump();  // lays the rest out again before clicking by position
  ASSERT_TRUE(w.driver().Click(L"c"));
  EXPECT_TRUE(Selected(w, L"c"));
  EXPECT_EQ(w.manager().GetOptionGroup(L"g")->GetSize(), 2);
}

TEST(OptionTest, HandlerMayDeleteTheOptionItHears) {
  for (const wchar_t* type : {L"click", L"selectchanged"}) {
    SkinnedTestWindow w(OptionSkin(kGroupOfThree));
    ASSERT_TRUE(w.ok());
    auto* root = w.Find<CContainerUI>(L"root", L"Container");
    root->SetDelayedDestroy(false);
    w.recorder.hook = [root, type](UINotify& msg) {
      if (msg.sType.EqualsText(type) && msg.pSender->GetName().EqualsText(L"b")) root->RemoveItem(msg.pSender);
    };
    ASSERT_TRUE(w.driver().Click(L"b"));
    EXPECT_EQ(w.driver().Find(L"b"), nullptr) << type;
    w.recorder.hook = nullptr;
    w.driver().Pump();
    ASSERT_TRUE(w.driver().Click(L"c"));
    EXPECT_TRUE(Selected(w, L"c")) << type;
    EXPECT_EQ(w.manager().GetOptionGroup(L"g")->GetSize(), 2) << type;
  }
}

TEST(OptionTest, DisabledSelectedOptionKeepsItsSelectedLook) {
  SkinnedTestWindow w(OptionSkin(kGroupOfThree));
  ASSERT_TRUE(w.ok());
  auto* a = w.Find<COptionUI>(L"a", L"Option");
  a->SetEnabled(false);
  EXPECT_EQ(a->GetButtonState(), static_cast<UINT>(kUIStateSelected));
  const CUIRect pos = a->GetPos();
  const auto pixels = w.Pixels(CUIRect(pos.left + 2, pos.top + 2, pos.left + 6, pos.top + 4));
  EXPECT_EQ(pixels.front(), 0x7FB2F0u);
  w.driver().Click(L"a");
  EXPECT_TRUE(w.recorder.Of(L"click").empty());
}

}  // namespace
