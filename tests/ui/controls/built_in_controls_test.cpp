// The built-in controls' factory, as the skin builder asks it once the
// controls are installed: every element name makes its control class, the
// names ignore case except "Icon" and "GifAnim", and "TreeNode" is made only
// by the tree-node step.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/control/ControlUI.h"
#include "ui/controls/BuiltInControls.h"
#include "ui/window/SkinBuilder.h"

using namespace Trellis;

namespace {

struct Made {
  const wchar_t* element;
  const wchar_t* className;  // null: nothing is made
};

const Made kElements[] = {
    {L"Edit", L"Edit"},
    {L"list", L"List"},
    {L"Text", L"Text"},
    {L"Icon", L"IconUI"},
    {L"icon", nullptr},
    {L"Tree", L"TreeView"},
    {L"Menu", L"MenuUI"},
    {L"COMBO", L"Combo"},
    {L"Label", L"Label"},
    {L"Button", L"Button"},
    {L"Option", L"Option"},
    {L"Slider", L"Slider"},
    {L"ActiveX", L"ActiveX"},
    {L"GifAnim", L"GifAnim"},
    {L"gifanim", nullptr},
    {L"Progress", L"Progress"},
    {L"RichEdit", L"RichEdit"},
    {L"CheckBox", L"CheckBox"},
    {L"ComboBox", L"Combo"},
    {L"DateTime", L"DateTime"},
    {L"TreeView", L"TreeView"},
    {L"MenuElement", L"MenuElementUI"},
    {L"TabLayout", L"TabLayout"},
    {L"ListHeader", L"ListHeader"},
    {L"WebBrowser", L"WebBrowser"},
    {L"ListHeaderItem", L"ListHeaderItem"},
    {L"CircleProgress", L"CircleProgress"},
    {L"ListTextElement", L"ListTextElement"},
    {L"ListHBoxElement", L"ListHBoxElement"},
    {L"ListLabelElement", L"ListLabelElement"},
    {L"ListContainerElement", L"ListContainerElement"},
    // The framework's own names still come from the framework's table.
    {L"HBox", L"HorizontalLayout"},
    {L"Container", L"Container"},
    {L"TileLayout", L"TileLayout"},
    // A tree node outside the tree-node step, and names nobody knows.
    {L"TreeNode", nullptr},
    {L"Buttons", nullptr},
    {L"", nullptr},
};

TEST(BuiltInControlsTest, EveryElementNameMakesItsControlOnceInstalled) {
  RegisterBuiltInControls();
  RegisterBuiltInControls();  // a second call changes nothing
  ASSERT_EQ(CSkinBuilder::GetControlFactory(), &CreateBuiltInControl);
  for (const Made& made : kElements) {
    std::unique_ptr<CControlUI> control(CSkinBuilder::CreateFactoryControl(made.element));
    if (made.className == nullptr) {
      EXPECT_EQ(control, nullptr) << "\"" << std::wstring(made.element) << "\" made a control";
    } else {
      ASSERT_NE(control, nullptr) << "\"" << std::wstring(made.element) << "\" made nothing";
      EXPECT_STREQ(control->GetClassName(), made.className) << std::wstring(made.element);
    }
  }
  std::unique_ptr<CControlUI> node(CreateBuiltInControl(L"TreeNode"));
  ASSERT_NE(node, nullptr);
  EXPECT_STREQ(node->GetClassName(), L"TreeNode");
}

}  // namespace
