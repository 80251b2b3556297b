#pragma once

// CTreeViewUI: a tree shown as a flat list ("TreeView" or "Tree" in skin
// XML): every node, at any depth, is an item of the list in display order.
// The view listens to each node's folder button (expand / collapse), check box
// (check a subtree) and double click (toggle the folder).
#include "ui/control/UIEvent.h"
#include "ui/controls/list/ListUI.h"

namespace Trellis {

class CTreeNodeUI;

class CTreeViewUI : public CListUI, public INotifyUI {
 public:
  // Hides the list's header.
  CTreeViewUI();
  ~CTreeViewUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "TreeView": this view; else the list's answer.
  void* GetInterface(const UIChar* name) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  // IContainerUI:
  // Appends a node and, after it, its whole subtree in display order; false
  // for anything that is not a tree node.
  bool AddItem(CControlUI* control) override;
  // Inserts a node (and its subtree) at the index; false for other controls.
  bool AddItemAt(CControlUI* control, int index) override;
  // Removes a node with its whole subtree and unlinks it from its parent
  // node; with `keep` nothing is deleted and the caller owns the node and its
  // subtree. Other controls go to the list.
  bool RemoveItem(CControlUI* control, bool keep = false) override;
  // RemoveItem of the control at the index; false without one.
  bool RemoveItemAt(int index, bool keep = false) override;
  // The list's, after every node has stopped calling this view.
  void RemoveAllItems() override;

  // INotifyUI:
  // Does nothing: the view listens through the nodes' event sources.
  void Notify(UINotify& msg) override;

  // --- Tree operations ---
  // Inserts the node at the index (0..count; count appends), then its
  // subtree after it; returns the index after the last inserted node, -1 for
  // a null or non-node control or an index out of range.
  int InsertNodeAt(CTreeNodeUI* node, int index);
  // Inserts the node before the anchor item; false when the anchor is not an item.
  bool InsertNodeBefore(CTreeNodeUI* node, CTreeNodeUI* anchor);

  // Handlers bound to every node (the argument is the UINotify record).
  virtual bool OnNodeCheckChanged(void* param);
  virtual bool OnNodeFolderChanged(void* param);
  virtual bool OnNodeDoubleClick(void* param);
  // Sets the check box of every descendant of the node (every item without a node).
  virtual bool CheckSubtree(bool checked, CTreeNodeUI* node);
  // Shows or hides the descendants of the node (every item without a node);
  // a collapsed sub-folder keeps its descendants hidden.
  virtual void ExpandSubtree(bool expanded, CTreeNodeUI* node);
  virtual void SetVisibleFolderButtons(bool visible);
  virtual bool GetVisibleFolderButtons() const { return m_bVisibleFolderButtons; }
  virtual void SetVisibleCheckBoxes(bool visible);
  virtual bool GetVisibleCheckBoxes() const { return m_bVisibleCheckBoxes; }
  // Stores the width and gives it to every item as its minimum width; 0 leaves the items alone.
  virtual void SetItemMinWidth(UINT width);
  virtual UINT GetItemMinWidth() const { return m_uItemMinWidth; }
  // Each calls the node's setter on every item.
  virtual void SetItemTextColor(DWORD color);
  virtual void SetItemHotTextColor(DWORD color);
  virtual void SetSelItemTextColor(DWORD color);
  virtual void SetSelItemHotTextColor(DWORD color);

 private:
  // Binds the handlers and applies the view's settings to one node.
  void SetUpNode(CTreeNodeUI* node);
  // Unbinds the handlers from a node that leaves the view.
  void LetGoOfNode(CTreeNodeUI* node);
  // One item-button colour (a CTreeNodeUI::TextColor) on every node.
  void SetNodeTextColors(int which, DWORD color);
  // Takes the node's descendants out of the list, deepest last first.
  void RemoveDescendants(CTreeNodeUI* node, bool keep);
  CTreeNodeUI* NodeAt(int index) const;

  UINT m_uItemMinWidth = 0;
  bool m_bVisibleFolderButtons = true;
  bool m_bVisibleCheckBoxes = false;
};

}  // namespace Trellis
