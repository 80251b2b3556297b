#include "ui/controls/tree/TreeViewUI.h"

#include "ui/base/portable/Delegate.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/list/ListHeaderUI.h"
#include "ui/controls/tree/TreeNodeUI.h"

namespace Trellis {

namespace {

CTreeNodeUI* AsNode(CControlUI* control) {
  return control != nullptr ? static_cast<CTreeNodeUI*>(control->GetInterface(UI_TEXT("TreeNode"))) : nullptr;
}

bool Is(const UIChar* name, const UIChar* expected) { return UITextCompare(name, expected) == 0; }

// The node whose row holds the button that sent the notification.
CTreeNodeUI* NodeOfButton(CControlUI* button) {
  CControlUI* row = button != nullptr ? button->GetParent() : nullptr;
  return row != nullptr ? AsNode(row->GetParent()) : nullptr;
}

bool IsSelectChanged(void* param) {
  auto* notify = static_cast<UINotify*>(param);
  return notify != nullptr && notify->sType.EqualsText(UI_TEXT("selectchanged"));
}

}  // namespace

CTreeViewUI::CTreeViewUI() {
  if (GetHeader() != nullptr) GetHeader()->SetVisible(false);
}

CTreeViewUI::~CTreeViewUI() = default;

const UIChar* CTreeViewUI::GetClassName() const { return UI_TEXT("TreeView"); }

void* CTreeViewUI::GetInterface(const UIChar* name) {
  if (name != nullptr && Is(name, UI_TEXT("TreeView"))) return this;
  return CListUI::GetInterface(name);
}

void CTreeViewUI::Notify(UINotify& /*msg*/) {}

CTreeNodeUI* CTreeViewUI::NodeAt(int index) const { return AsNode(GetItemAt(index)); }

// --- Adding and removing nodes ---

void CTreeViewUI::SetUpNode(CTreeNodeUI* node) {
  using Handler = CDelegate<CTreeViewUI, CTreeViewUI>;
  node->notifyListeners.AddDelegate(Handler(this, &CTreeViewUI::OnNodeDoubleClick));
  node->GetFolderButton()->notifyListeners.AddDelegate(Handler(this, &CTreeViewUI::OnNodeFolderChanged));
  node->GetCheckBox()->notifyListeners.AddDelegate(Handler(this, &CTreeViewUI::OnNodeCheckChanged));
  node->GetFolderButton()->SetVisible(m_bVisibleFolderButtons);
  node->GetCheckBox()->SetVisible(m_bVisibleCheckBoxes);
  if (m_uItemMinWidth > 0) node->SetMinWidth(static_cast<int>(m_uItemMinWidth));
}

void CTreeViewUI::LetGoOfNode(CTreeNodeUI* node) {
  // A node kept by the caller may go into another view, or outlive this one:
  // its buttons must not call this view any more.
  using Handler = CDelegate<CTreeViewUI, CTreeViewUI>;
  node->notifyListeners.RemoveDelegate(Handler(this, &CTreeViewUI::OnNodeDoubleClick));
  node->GetFolderButton()->notifyListeners.RemoveDelegate(Handler(this, &CTreeViewUI::OnNodeFolderChanged));
  node->GetCheckBox()->notifyListeners.RemoveDelegate(Handler(this, &CTreeViewUI::OnNodeCheckChanged));
}

bool CTreeViewUI::AddItem(CControlUI* control) {
  CTreeNodeUI* node = AsNode(control);
  if (node == nullptr) return false;
  return InsertNodeAt(node, GetCount()) >= 0;
}

int CTreeViewUI::InsertNodeAt(CTreeNodeUI* node, int index) {
  if (node == nullptr || AsNode(node) == nullptr) return -1;
  // The count itself is a valid place: it appends after the last item.
  if (index < 0 || index > GetCount()) return -1;
  SetUpNode(node);
  if (!CListUI::AddItemAt(node, index)) return -1;
  node->SetTreeView(this);
  int next = index + 1;
  // The subtree follows its node in display order.
  for (int i = 0; i < node->GetChildNodeCount(); ++i) {
    CTreeNodeUI* child = node->GetChildNode(i);
    if (child == nullptr) continue;
    next = InsertNodeAt(child, next);
    if (next < 0) return -1;
  }
  return next;
}

bool CTreeViewUI::InsertNodeBefore(CTreeNodeUI* node, CTreeNodeUI* anchor) {
  if (node == nullptr || anchor == nullptr) return false;
  const int index = GetItemIndex(anchor);
  if (index < 0) return false;
  return InsertNodeAt(node, index) >= 0;
}

bool CTreeViewUI::AddItemAt(CControlUI* control, int index) {
  CTreeNodeUI* node = AsNode(control);
  if (node == nullptr) return false;
  return InsertNodeAt(node, index) >= 0;
}

void CTreeViewUI::RemoveDescendants(CTreeNodeUI* node, bool keep) {
  for (int i = node->GetChildNodeCount() - 1; i >= 0; --i) {
    CTreeNodeUI* child = node->GetChildNode(i);
    if (child == nullptr) continue;
    RemoveDescendants(child, keep);
    LetGoOfNode(child);
    if (keep) {
      child->SetTreeView(nullptr);  // the caller owns the branch now
    }
    // The list's own removal by index: its removal by control would come
    // back here through RemoveItemAt.
    const int index = GetItemIndex(child);
    if (index >= 0) CListUI::RemoveItemAt(index, keep);
  }
}

bool CTreeViewUI::RemoveItem(CControlUI* control, bool keep) {
  CTreeNodeUI* node = AsNode(control);
  if (node == nullptr) return CListUI::RemoveItem(control, keep);
  if (GetItemIndex(node) < 0) return false;
  // The whole branch goes; its parent forgets it, so no dangling child stays
  // behind for a later append or LastDescendant.
  if (node->GetParentNode() != nullptr) {
    node->GetParentNode()->RemoveChildNode(node);
    node->SetParentNode(nullptr);
  }
  RemoveDescendants(node, keep);
  LetGoOfNode(node);
  if (keep) node->SetTreeView(nullptr);
  return CListUI::RemoveItemAt(GetItemIndex(node), keep);
}

bool CTreeViewUI::RemoveItemAt(int index, bool keep) {
  CControlUI* control = GetItemAt(index);
  if (control == nullptr) return false;
  // The list's RemoveItem ends in this operation: only nodes go the other way.
  if (AsNode(control) != nullptr) return RemoveItem(control, keep);
  return CListUI::RemoveItemAt(index, keep);
}

void CTreeViewUI::RemoveAllItems() {
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) LetGoOfNode(node);
  }
  CListUI::RemoveAllItems();
}

// --- Handlers ---

bool CTreeViewUI::OnNodeCheckChanged(void* param) {
  if (IsSelectChanged(param)) {
    auto* notify = static_cast<UINotify*>(param);
    auto* box = static_cast<COptionUI*>(notify->pSender);
    CTreeNodeUI* node = NodeOfButton(box);
    if (node != nullptr) CheckSubtree(box->IsSelected(), node);
  }
  return true;
}

bool CTreeViewUI::OnNodeFolderChanged(void* param) {
  if (IsSelectChanged(param)) {
    auto* notify = static_cast<UINotify*>(param);
    auto* folder = static_cast<COptionUI*>(notify->pSender);
    CTreeNodeUI* node = NodeOfButton(folder);
    if (node != nullptr) {
      node->SetFolderExpanded(!folder->IsSelected());
      ExpandSubtree(!folder->IsSelected(), node);
    }
  }
  return true;
}

bool CTreeViewUI::OnNodeDoubleClick(void* param) {
  auto* notify = static_cast<UINotify*>(param);
  if (notify == nullptr || !notify->sType.EqualsText(UI_TEXT("itemdbclick"))) return false;
  CTreeNodeUI* node = AsNode(notify->pSender);
  if (node != nullptr) {
    // The folder button's own "selectchanged" expands or collapses the branch.
    COptionUI* folder = node->GetFolderButton();
    folder->SetSelected(!folder->IsSelected(), true);
    node->SetFolderExpanded(!folder->IsSelected());
    ExpandSubtree(!folder->IsSelected(), node);
  }
  return true;
}

bool CTreeViewUI::CheckSubtree(bool checked, CTreeNodeUI* node) {
  if (node == nullptr) {
    for (int i = 0; i < GetCount(); ++i) {
      CTreeNodeUI* item = NodeAt(i);
      if (item != nullptr) item->GetCheckBox()->SetSelected(checked, true);
    }
    return true;
  }
  for (int i = 0; i < node->GetChildNodeCount(); ++i) {
    CTreeNodeUI* child = node->GetChildNode(i);
    if (child == nullptr) continue;
    child->GetCheckBox()->SetSelected(checked, true);
    if (child->HasChildNodes()) CheckSubtree(checked, child);
  }
  return true;
}

void CTreeViewUI::ExpandSubtree(bool expanded, CTreeNodeUI* node) {
  if (node == nullptr) {
    for (int i = 0; i < GetCount(); ++i) {
      CControlUI* item = GetItemAt(i);
      if (item != nullptr) item->SetVisible(expanded);
    }
    return;
  }
  for (int i = 0; i < node->GetChildNodeCount(); ++i) {
    CTreeNodeUI* child = node->GetChildNode(i);
    if (child == nullptr) continue;
    child->SetVisible(expanded);
    // A collapsed sub-folder keeps its own descendants hidden.
    if (child->HasChildNodes() && !child->GetFolderButton()->IsSelected()) ExpandSubtree(expanded, child);
  }
}

// --- Settings ---

void CTreeViewUI::SetVisibleFolderButtons(bool visible) {
  m_bVisibleFolderButtons = visible;
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->GetFolderButton()->SetVisible(visible);
  }
}

void CTreeViewUI::SetVisibleCheckBoxes(bool visible) {
  m_bVisibleCheckBoxes = visible;
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->GetCheckBox()->SetVisible(visible);
  }
}

void CTreeViewUI::SetItemMinWidth(UINT width) {
  m_uItemMinWidth = width;
  if (width == 0) return;
  for (int i = 0; i < GetCount(); ++i) {
    if (CControlUI* item = GetItemAt(i)) item->SetMinWidth(static_cast<int>(width));
  }
  Invalidate();
}

void CTreeViewUI::SetNodeTextColors(int which, DWORD color) {
  for (int i = 0; i < GetCount(); ++i) {
    if (CTreeNodeUI* node = NodeAt(i)) node->SetTextColor(static_cast<CTreeNodeUI::TextColor>(which), color);
  }
}

void CTreeViewUI::SetItemTextColor(DWORD color) { SetNodeTextColors(CTreeNodeUI::kItemText, color); }
void CTreeViewUI::SetItemHotTextColor(DWORD color) { SetNodeTextColors(CTreeNodeUI::kItemHotText, color); }
void CTreeViewUI::SetSelItemTextColor(DWORD color) { SetNodeTextColors(CTreeNodeUI::kSelItemText, color); }
void CTreeViewUI::SetSelItemHotTextColor(DWORD color) { SetNodeTextColors(CTreeNodeUI::kSelItemHotText, color); }

void CTreeViewUI::SetAttribute(const UIChar* name, const UIChar* value) {
  CTreeNodeUI::TextColor color = CTreeNodeUI::kItemText;
  if (CTreeNodeUI::TextColorAttribute(name, color)) {
    // Through the view's own (overridable) setters.
    const DWORD argb = ParseAttributeColor(value);
    switch (color) {
      case CTreeNodeUI::kItemText: SetItemTextColor(argb); break;
      case CTreeNodeUI::kItemHotText: SetItemHotTextColor(argb); break;
      case CTreeNodeUI::kSelItemText: SetSelItemTextColor(argb); break;
      case CTreeNodeUI::kSelItemHotText: SetSelItemHotTextColor(argb); break;
    }
  } else if (Is(name, UI_TEXT("visiblefolderbtn"))) {
    SetVisibleFolderButtons(Is(value, UI_TEXT("true")));
  } else if (Is(name, UI_TEXT("visiblecheckbtn"))) {
    SetVisibleCheckBoxes(Is(value, UI_TEXT("true")));
  } else if (Is(name, UI_TEXT("itemminwidth"))) {
    SetItemMinWidth(static_cast<UINT>(ParseAttributeInt(value)));
  } else {
    CListUI::SetAttribute(name, value);
  }
}

}  // namespace Trellis
