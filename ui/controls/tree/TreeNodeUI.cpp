#include "ui/controls/tree/TreeNodeUI.h"

#include "ui/control/portable/AttributeText.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/tree/TreeViewUI.h"
#include "ui/layout/HorizontalLayoutUI.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

CTreeNodeUI* AsNode(CControlUI* control) {
  return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(UI_TEXT("TreeNode"))) : nullptr;
}

bool Is(const UIChar* name, const UIChar* expected) { return UITextCompare(name, expected) == 0; }

}  // namespace

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parent) {
  m_cxyFixed = CUISize(250, 18);
  m_pRow = new CHorizontalLayoutUI();
  m_pFolderButton = new CCheckBoxUI();
  m_pDotLine = new CLabelUI();
  m_pCheckBox = new CCheckBoxUI();
  m_pItemButton = new COptionUI();

  m_pFolderButton->SetFixedWidth(m_cxyFixed.cy);
  m_pDotLine->SetFixedWidth(2);
  m_pDotLine->SetVisible(false);
  m_pCheckBox->SetFixedWidth(m_cxyFixed.cy);
  m_pCheckBox->SetVisible(false);
  m_pItemButton->SetAttribute(UI_TEXT("align"), UI_TEXT("left"));
  m_pItemButton->SetMouseEnabled(false);

  // The row is built for every node: a node made without a parent node (by
  // the skin builder, or for the top level) needs it just the same.
  if (parent != nullptr && Is(parent->GetClassName(), UI_TEXT("TreeNode"))) {
    m_pDotLine->SetVisible(parent->GetDotLine()->IsVisible());
    m_pDotLine->SetFixedWidth(parent->GetDotLine()->GetFixedWidth() + 16);
    m_pParentNode = parent;
  }
  m_pRow->AddItem(m_pDotLine);
  m_pRow->AddItem(m_pFolderButton);
  m_pRow->AddItem(m_pCheckBox);
  m_pRow->AddItem(m_pItemButton);
  // Straight into the element's own children: this node's AddItemAt, which
  // the container's AddItem reaches, takes only child nodes.
  CListContainerElementUI::AddItemAt(m_pRow, 0);
}

CTreeNodeUI::~CTreeNodeUI() {
  // Outside a view nobody else holds the child nodes (a branch built but never
  // attached, or one removed with "keep" and then deleted).
  if (m_pTreeView == nullptr) {
    for (int i = 0; i < m_aChildNodes.GetSize(); ++i) {
      CTreeNodeUI* child = GetChildNode(i);
      if (child != nullptr) child->Delete();
    }
  }
}

const UIChar* CTreeNodeUI::GetClassName() const { return UI_TEXT("TreeNode"); }

void* CTreeNodeUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("TreeNode"))) return this;
  return CListContainerElementUI::GetInterface(name);
}

// --- Child nodes ---

bool CTreeNodeUI::AddItem(CControlUI* control) {
  if (control == nullptr) return false;
  if (Is(control->GetClassName(), UI_TEXT("TreeNode"))) return AppendChildNode(AsNode(control));
  // Anything else a skin puts into a node belongs on its row, after the text.
  return m_pRow->AddItem(control);
}

bool CTreeNodeUI::AddItemAt(CControlUI* control, int index) {
  CTreeNodeUI* node = AsNode(control);
  if (node == nullptr) return false;
  if (index < 0 || GetChildNode(index) == nullptr) return AppendChildNode(node);
  return InsertChildNode(node, index);
}

bool CTreeNodeUI::AppendChildNode(CTreeNodeUI* node) {
  if (node == nullptr || !Is(node->GetClassName(), UI_TEXT("TreeNode"))) return false;
  return InsertChildNode(node, m_aChildNodes.GetSize());
}

bool CTreeNodeUI::InsertChildNode(CTreeNodeUI* node, int index) {
  PrepareChild(node);
  if (m_pTreeView != nullptr) {
    bool placed = false;
    if (index < m_aChildNodes.GetSize()) {
      // Before the child that was at the index, in the view as in the array.
      placed = m_pTreeView->InsertNodeBefore(node, GetChildNode(index));
    } else {
      // After the whole branch of this node, not merely after its last child.
      CTreeNodeUI* last = this;
      if (!m_aChildNodes.IsEmpty() && GetChildNode(m_aChildNodes.GetSize() - 1) != nullptr) {
        last = GetChildNode(m_aChildNodes.GetSize() - 1)->LastDescendant();
      }
      const int at = last->IndexInView();
      placed = at >= 0 && m_pTreeView->InsertNodeAt(node, at + 1) >= 0;
    }
    if (!placed) return false;
  }
  // A child of a collapsed or hidden node stays hidden.
  node->SetVisible(!m_pFolderButton->IsSelected() && (m_pTreeView == nullptr || IsVisible()));
  return m_aChildNodes.InsertAt(index, node);
}

bool CTreeNodeUI::RemoveChildNode(CTreeNodeUI* node) {
  const int index = m_aChildNodes.Find(node);
  if (index < 0) return false;
  m_aChildNodes.Remove(index);
  return true;
}

void CTreeNodeUI::PrepareChild(CTreeNodeUI* node) {
  node->GetDotLine()->SetVisible(true);
  node->GetDotLine()->SetFixedWidth(m_pDotLine->GetFixedWidth() + 16);
  node->SetParentNode(this);
  if (!m_pItemButton->GetGroup().IsEmpty()) node->GetItemButton()->SetGroup(m_pItemButton->GetGroup().GetText());
  node->SetTreeView(m_pTreeView);
}

CTreeNodeUI* CTreeNodeUI::LastDescendant() {
  CTreeNodeUI* last = this;
  for (int i = 0; i < m_aChildNodes.GetSize(); ++i) {
    CTreeNodeUI* child = GetChildNode(i);
    if (child == nullptr) continue;
    last = child->HasChildNodes() ? child->LastDescendant() : child;
  }
  return last;
}

int CTreeNodeUI::IndexInView() const {
  if (m_pTreeView == nullptr) return -1;
  return m_pTreeView->GetItemIndex(const_cast<CTreeNodeUI*>(this));
}

// --- Selection, events, attributes ---

bool CTreeNodeUI::Select(bool select, bool takeFocus) {
  const bool result = CListContainerElementUI::Select(select, takeFocus);
  m_pItemButton->SetTextColor(m_bSelected ? m_dwSelItemTextColor : m_dwItemTextColor);
  return result;
}

void CTreeNodeUI::HandleEvent(UIEvent& event) {
  if (!IsMouseEnabled() && IsMouseEventKind(event.Type)) {
    CListContainerElementUI::HandleEvent(event);  // goes to the owner list
    return;
  }
  CListContainerElementUI::HandleEvent(event);
  if (event.Type == kUIEventDoubleClick && IsEnabled()) {
    if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("itemdbclick"));
    Invalidate();
  } else if (event.Type == kUIEventMouseEnter) {
    if (!IsEnabled()) {
      m_pItemButton->SetTextColor(m_pItemButton->GetDisabledTextColor());
    } else if (m_bSelected && m_dwSelItemHotTextColor != 0) {
      m_pItemButton->SetTextColor(m_dwSelItemHotTextColor);
    } else {
      m_pItemButton->SetTextColor(m_dwItemHotTextColor);
    }
  } else if (event.Type == kUIEventMouseLeave) {
    if (!IsEnabled()) {
      m_pItemButton->SetTextColor(m_pItemButton->GetDisabledTextColor());
    } else if (m_bSelected) {
      if (m_dwSelItemTextColor != 0) m_pItemButton->SetTextColor(m_dwSelItemTextColor);
    } else {
      m_pItemButton->SetTextColor(m_dwItemTextColor);
    }
  }
}

bool CTreeNodeUI::TextColorAttribute(const UIChar* name, TextColor& which) {
  static const struct {
    const UIChar* name;
    TextColor which;
  } kAttributes[] = {{UI_TEXT("itemtextcolor"), kItemText},
                     {UI_TEXT("itemhottextcolor"), kItemHotText},
                     {UI_TEXT("selitemtextcolor"), kSelItemText},
                     {UI_TEXT("selitemhottextcolor"), kSelItemHotText}};
  for (const auto& attribute : kAttributes) {
    if (Is(name, attribute.name)) {
      which = attribute.which;
      return true;
    }
  }
  return false;
}

void CTreeNodeUI::SetTextColor(TextColor which, DWORD color) {
  switch (which) {
    case kItemText: SetItemTextColor(color); break;
    case kItemHotText: SetItemHotTextColor(color); break;
    case kSelItemText: SetSelItemTextColor(color); break;
    case kSelItemHotText: SetSelItemHotTextColor(color); break;
  }
}

void CTreeNodeUI::SetItemTextColor(DWORD color) {
  m_dwItemTextColor = color;
  m_pItemButton->SetTextColor(color);
}

void CTreeNodeUI::SetItemHotTextColor(DWORD color) {
  m_dwItemHotTextColor = color;
  Invalidate();
}

void CTreeNodeUI::SetSelItemTextColor(DWORD color) {
  m_dwSelItemTextColor = color;
  Invalidate();
}

void CTreeNodeUI::SetSelItemHotTextColor(DWORD color) {
  m_dwSelItemHotTextColor = color;
  Invalidate();
}

void CTreeNodeUI::SetAttribute(const UIChar* name, const UIChar* value) {
  TextColor color = kItemText;
  if (TextColorAttribute(name, color)) {
    SetTextColor(color, ParseAttributeColor(value));
  } else if (Is(name, UI_TEXT("text"))) {
    m_pItemButton->SetText(value);
  } else if (Is(name, UI_TEXT("horizattr"))) {
    m_pRow->ApplyAttributeList(value);
  } else if (Is(name, UI_TEXT("dotlineattr"))) {
    m_pDotLine->ApplyAttributeList(value);
  } else if (Is(name, UI_TEXT("folderattr"))) {
    m_pFolderButton->ApplyAttributeList(value);
  } else if (Is(name, UI_TEXT("checkboxattr"))) {
    m_pCheckBox->ApplyAttributeList(value);
  } else if (Is(name, UI_TEXT("itemattr"))) {
    m_pItemButton->ApplyAttributeList(value);
  } else {
    CListContainerElementUI::SetAttribute(name, value);
  }
}

}  // namespace Trellis
