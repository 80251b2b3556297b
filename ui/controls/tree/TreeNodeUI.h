#pragma once

// CTreeNodeUI: one node of a tree view ("TreeNode" in skin XML). The tree view
// shows every node, at any depth, as an item of its list in display order; a
// node's one child control is its row: a dotted-line spacer (the indentation),
// a folder button (a check box: selected = collapsed), a check box and the
// item button with the text. A node keeps its own array of child nodes;
// collapsing only hides the descendants' rows.
//
// Ownership: the row and its buttons are the node's children. Child nodes
// belong to the tree view's list once the node is in a view; a node outside
// any view deletes the child nodes it still holds.
#include "ui/base/portable/UIPtrArray.h"
#include "ui/controls/list/ListContainerElementUI.h"

namespace Trellis {

class CCheckBoxUI;
class CHorizontalLayoutUI;
class CLabelUI;
class COptionUI;
class CTreeViewUI;

class CTreeNodeUI : public CListContainerElementUI {
 public:
  // Builds the row whatever the parent is; a parent node gives its indentation
  // (its dotted line's width + 16) and is stored.
  explicit CTreeNodeUI(CTreeNodeUI* parent = nullptr);
  ~CTreeNodeUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "TreeNode": this node; else the element's answer.
  void* GetInterface(const UIChar* name) override;
  // Double click sends "itemdbclick"; entering and leaving set the item text colours.
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  // IContainerUI:
  // A tree node becomes a child node (AppendChildNode); any other control joins the row.
  bool AddItem(CControlUI* control) override;
  // A tree node is inserted among the child nodes before the one at `index`
  // (appended when there is none); other controls are refused.
  bool AddItemAt(CControlUI* control, int index) override;

  // IListItemUI:
  // The element's selection, then the item text colour for the new state.
  bool Select(bool select = true, bool takeFocus = false) override;

  // --- Tree operations ---
  // Appends a child node, into the view after this node's last descendant
  // when the node is in a view; shown unless this node is collapsed or hidden.
  bool AppendChildNode(CTreeNodeUI* node);
  // Takes the child out of the child-node array (nothing else); false when absent.
  bool RemoveChildNode(CTreeNodeUI* node);
  int GetChildNodeCount() const { return m_aChildNodes.GetSize(); }
  CTreeNodeUI* GetChildNode(int index) const { return static_cast<CTreeNodeUI*>(m_aChildNodes.GetAt(index)); }
  bool HasChildNodes() const { return !m_aChildNodes.IsEmpty(); }
  CTreeNodeUI* GetParentNode() const { return m_pParentNode; }
  void SetParentNode(CTreeNodeUI* parent) { m_pParentNode = parent; }
  CTreeViewUI* GetTreeView() const { return m_pTreeView; }
  // Stores the view (no other change).
  void SetTreeView(CTreeViewUI* view) { m_pTreeView = view; }
  // This node when it has no children, else its deepest last descendant.
  CTreeNodeUI* LastDescendant();
  // The node's index among the view's items; -1 without a view or when absent.
  int IndexInView() const;
  // Gives the child this node's indentation + 16, parent, option group and view.
  void PrepareChild(CTreeNodeUI* node);
  // False while the node's folder is collapsed.
  bool IsFolderExpanded() const { return m_bFolderExpanded; }
  void SetFolderExpanded(bool expanded) { m_bFolderExpanded = expanded; }

  CHorizontalLayoutUI* GetRow() const { return m_pRow; }
  CCheckBoxUI* GetFolderButton() const { return m_pFolderButton; }
  CLabelUI* GetDotLine() const { return m_pDotLine; }
  CCheckBoxUI* GetCheckBox() const { return m_pCheckBox; }
  COptionUI* GetItemButton() const { return m_pItemButton; }

  // The item-button text colours a node keeps, one per colour attribute.
  enum TextColor { kItemText, kItemHotText, kSelItemText, kSelItemHotText };
  // Which colour an attribute name ("itemtextcolor", "itemhottextcolor",
  // "selitemtextcolor", "selitemhottextcolor") sets; false for other names.
  // The node and the view read the same four attributes through it.
  static bool TextColorAttribute(const UIChar* name, TextColor& which);
  // The colour setter for `which`.
  void SetTextColor(TextColor which, DWORD color);
  // Colour setters: the first also sets the item button's colour now, the
  // others store and repaint.
  void SetItemTextColor(DWORD color);
  void SetItemHotTextColor(DWORD color);
  void SetSelItemTextColor(DWORD color);
  void SetSelItemHotTextColor(DWORD color);

 private:
  // Places a child node at `index` of the child nodes (the count appends):
  // in the view before the child now there, or after this node's whole
  // branch; shown unless this node is collapsed or hidden.
  bool InsertChildNode(CTreeNodeUI* node, int index);

  bool m_bFolderExpanded = true;
  DWORD m_dwItemTextColor = 0;
  DWORD m_dwItemHotTextColor = 0;
  DWORD m_dwSelItemTextColor = 0;
  DWORD m_dwSelItemHotTextColor = 0;
  CTreeViewUI* m_pTreeView = nullptr;         // borrowed: the view the node lives in
  CHorizontalLayoutUI* m_pRow = nullptr;      // child 0, owned through the child list
  CCheckBoxUI* m_pFolderButton = nullptr;     // in the row
  CLabelUI* m_pDotLine = nullptr;             // in the row
  CCheckBoxUI* m_pCheckBox = nullptr;         // in the row
  COptionUI* m_pItemButton = nullptr;         // in the row
  CTreeNodeUI* m_pParentNode = nullptr;       // borrowed
  CUIPtrArray m_aChildNodes;                  // CTreeNodeUI*, direct children in order (see ownership above)
};

}  // namespace Trellis
