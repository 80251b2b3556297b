#include "ui/layout/ChildLayoutUI.h"

#include "ui/window/SkinBuilder.h"

namespace Trellis {

CChildLayoutUI::CChildLayoutUI() = default;

const UIChar* CChildLayoutUI::GetClassName() const { return UI_TEXT("ChildLayout"); }

void* CChildLayoutUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("ChildLayout")) == 0) return static_cast<CChildLayoutUI*>(this);
  return CControlUI::GetInterface(name);
}

void CChildLayoutUI::Init() {
  if (m_pstrXMLFile.IsEmpty()) return;
  CSkinBuilder builder;
  CControlUI* content =
      builder.CreateFromSource(UIResourceRef(m_pstrXMLFile.GetText()), nullptr, nullptr, m_pManager, nullptr);
  // The file's tree replaces what an earlier Init built, so initialising
  // twice still leaves one subtree.
  RemoveAllItems();
  if (content != nullptr && !AddItem(content)) content->Delete();
}

void CChildLayoutUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("xmlfile")) == 0) {
    SetChildLayoutXML(value);
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace Trellis
