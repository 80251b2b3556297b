// The factory table of the concrete controls, installed into the skin builder.
#include "ui/controls/BuiltInControls.h"

#include "ui/controls/ButtonUI.h"
#include "ui/controls/CircleProgressUI.h"
#include "ui/controls/GifAnimUI.h"
#include "ui/controls/IconUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/activex/ActiveXUI.h"
#include "ui/controls/activex/WebBrowserUI.h"
#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/datetime/DateTimeUI.h"
#include "ui/controls/edit/EditUI.h"
#include "ui/controls/list/ListContainerElementUI.h"
#include "ui/controls/list/ListHBoxElementUI.h"
#include "ui/controls/list/ListHeaderItemUI.h"
#include "ui/controls/list/ListHeaderUI.h"
#include "ui/controls/list/ListLabelElementUI.h"
#include "ui/controls/list/ListTextElementUI.h"
#include "ui/controls/list/ListUI.h"
#include "ui/controls/menu/MenuElementUI.h"
#include "ui/controls/menu/MenuUI.h"
#include "ui/controls/richedit/RichEditUI.h"
#include "ui/controls/tree/TreeNodeUI.h"
#include "ui/controls/tree/TreeViewUI.h"
#include "ui/window/SkinBuilder.h"

namespace Trellis {
namespace {

template <class T>
CControlUI* Make(const UIChar*) {
  return new T;
}

// Every concrete control's element name. "TreeNode" is asked for only by the
// builder's tree-node step: a node is attached to a tree node or a tree view,
// never to a plain container.
const UIFactoryEntry kBuiltInControls[] = {
    {UI_TEXT("Edit"), false, &Make<CEditUI>},
    {UI_TEXT("List"), false, &Make<CListUI>},
    {UI_TEXT("Text"), false, &Make<CTextUI>},
    {UI_TEXT("Icon"), true, &Make<CIconUI>},
    {UI_TEXT("Tree"), false, &Make<CTreeViewUI>},
    {UI_TEXT("Menu"), false, &Make<CMenuUI>},
    {UI_TEXT("Combo"), false, &Make<CComboUI>},
    {UI_TEXT("Label"), false, &Make<CLabelUI>},
    {UI_TEXT("Button"), false, &Make<CButtonUI>},
    {UI_TEXT("Option"), false, &Make<COptionUI>},
    {UI_TEXT("Slider"), false, &Make<CSliderUI>},
    {UI_TEXT("ActiveX"), false, &Make<CActiveXUI>},
    {UI_TEXT("GifAnim"), true, &Make<CGifAnimUI>},
    {UI_TEXT("Progress"), false, &Make<CProgressUI>},
    {UI_TEXT("RichEdit"), false, &Make<CRichEditUI>},
    {UI_TEXT("CheckBox"), false, &Make<CCheckBoxUI>},
    {UI_TEXT("ComboBox"), false, &Make<CComboUI>},
    {UI_TEXT("DateTime"), false, &Make<CDateTimeUI>},
    {UI_TEXT("TreeNode"), false, &Make<CTreeNodeUI>},
    {UI_TEXT("TreeView"), false, &Make<CTreeViewUI>},
    {UI_TEXT("MenuElement"), false, &Make<CMenuElementUI>},
    {UI_TEXT("TabLayout"), false, &Make<CTabLayoutUI>},
    {UI_TEXT("ListHeader"), false, &Make<CListHeaderUI>},
    {UI_TEXT("WebBrowser"), false, &Make<CWebBrowserUI>},
    {UI_TEXT("ListHeaderItem"), false, &Make<CListHeaderItemUI>},
    {UI_TEXT("CircleProgress"), false, &Make<CCircleProgressUI>},
    {UI_TEXT("ListTextElement"), false, &Make<CListTextElementUI>},
    {UI_TEXT("ListHBoxElement"), false, &Make<CListHBoxElementUI>},
    {UI_TEXT("ListLabelElement"), false, &Make<CListLabelElementUI>},
    {UI_TEXT("ListContainerElement"), false, &Make<CListContainerElementUI>},
};

}  // namespace

CControlUI* CreateBuiltInControl(const UIChar* elementName) {
  return CSkinBuilder::CreateFromTable(kBuiltInControls,
                                       static_cast<int>(sizeof(kBuiltInControls) / sizeof(kBuiltInControls[0])),
                                       elementName);
}

void RegisterBuiltInControls() { CSkinBuilder::SetControlFactory(&CreateBuiltInControl); }

}  // namespace Trellis
