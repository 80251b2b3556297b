#pragma once

// CListUI: the list control ("List"). A vertical layout with exactly two
// children of its own, a header (index 0) and a body (index 1); the body holds
// the items and the scroll bars, and every item and scrolling operation of the
// list goes to it, so to the outside the list's items are the body's
// children. The list keeps the selection and the expanded item, numbers its
// items and hands them the shared appearance record.
//
// Ownership: header and body are children (deleted with the list); items are
// the body's children; the text provider is borrowed.
#include "ui/controls/list/ListInterfaces.h"
#include "ui/layout/VerticalLayoutUI.h"

namespace Trellis {

class CListHeaderUI;
class CListBodyUI;

class CListUI : public CVerticalLayoutUI, public IListUI {
 public:
  // Creates the body and the default (empty) header.
  CListUI();
  // Frees the appearance record's images; the children go with the container.
  ~CListUI() override;

  // IListOwnerUI:
  UIListInfo* GetListInfo() override;
  int GetCurSel() const override;
  bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
  void HandleItemEvent(UIEvent& event) override;
  bool ExpandItem(int index, bool expand = true) override;
  int GetExpandedItem() const override;

  // IListUI:
  CListHeaderUI* GetHeader() const override;
  CListBodyUI* GetListBody() const override;
  IListTextProviderUI* GetTextProvider() const override;
  void SetTextProvider(IListTextProviderUI* provider) override;

  // IContainerUI (items are the body's; headers and header items go to the header):
  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  bool SetItemIndex(CControlUI* control, int index) override;
  bool MoveItems(CControlUI* control, int count, int newIndex) override;
  int GetCount() const override;
  bool AddItem(CControlUI* control) override;
  bool AddItemAt(CControlUI* control, int index) override;
  bool RemoveItem(CControlUI* control, bool keep = false) override;
  bool RemoveItemAt(int index, bool keep = false) override;
  void RemoveAllItems() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "List": the list; "IList" and "IListOwner": its list part; else the layout's.
  void* GetInterface(const UIChar* name) override;
  // Always a tab stop.
  UINT GetControlFlags() const override;
  // Lays out header and body, taking the columns before and after.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Moves the list; a hidden header is moved along (without invalidation).
  void Move(CUISize offset, bool invalidate = true) override;
  // Keys move the selection, the wheel scrolls (or selects with scrollselect).
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  // CControlUI, run over the list's own two children (header and body):
  void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  CControlUI* FindControl(UIFindControlProc proc, void* data, UINT flags) override;
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  // CContainerUI (all the body's: the list itself has no scroll bars):
  int GetChildPadding() const override;
  void SetChildPadding(int padding) override;
  CUISize GetScrollPos() const override;
  CUISize GetScrollRange() const override;
  void SetScrollPos(CUISize pos) override;
  void LineUp() override;
  void LineDown() override;
  void PageUp() override;
  void PageDown() override;
  void ScrollToTop() override;
  void ScrollToBottom() override;
  void LineLeft() override;
  void LineRight() override;
  void PageLeft() override;
  void PageRight() override;
  void ScrollToLeftEnd() override;
  void ScrollToRightEnd() override;
  void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false) override;
  CScrollBarUI* GetVerticalScrollBar() const override;
  CScrollBarUI* GetHorizontalScrollBar() const override;

  // --- List operations ---
  // Scrolls the body so that the item is fully visible; nothing for an index
  // outside the items or while nothing is selected.
  void EnsureVisible(int index);
  // Moves the body's scroll position by the offset; nothing for (0, 0).
  void Scroll(int dx, int dy);
  bool IsScrollSelect() const { return m_bScrollSelect; }
  // Stores the flag only.
  void SetScrollSelect(bool scrollSelect);
  // Stores the flag only.
  void SetMultiExpanding(bool multiExpanding);
  // Appearance setters: geometry ones ask for a layout, the others repaint.
  void SetItemTextPadding(CUIRect padding);
  void SetItemShowHtml(bool showHtml);
  void SetItemTextColor(DWORD color);
  void SetItemBkColor(DWORD color);
  void SetSelectedItemTextColor(DWORD color);
  void SetSelectedItemBkColor(DWORD color);
  void SetHotItemTextColor(DWORD color);
  void SetHotItemBkColor(DWORD color);
  void SetDisabledItemTextColor(DWORD color);
  void SetDisabledItemBkColor(DWORD color);
  void SetItemHLineColor(DWORD color);
  void SetItemVLineColor(DWORD color);
  void SetItemHLineSize(int size);
  void SetItemVLineSize(int size);
  void SetAlternateBk(bool alternate);
  void SetItemBkImage(const UIChar* description);
  void SetSelectedItemImage(const UIChar* description);
  void SetHotItemImage(const UIChar* description);
  void SetDisabledItemImage(const UIChar* description);

 protected:
  // While one lives, GetCount and GetItemAt answer the list's own children:
  // the container's and layout's own operations walk their children through
  // those (virtual) calls, and must reach header and body, not the items.
  class COwnChildrenScope {
   public:
    explicit COwnChildrenScope(CListUI& list) : m_list(list) { ++m_list.m_iOwnChildren; }
    ~COwnChildrenScope() { --m_list.m_iOwnChildren; }
    COwnChildrenScope(const COwnChildrenScope&) = delete;
    COwnChildrenScope& operator=(const COwnChildrenScope&) = delete;

   private:
    CListUI& m_list;
  };

  // Takes the columns from the header items; rc is the list's outer
  // rectangle, layoutHeader places a zero-height header first.
  void UpdateColumns(const CUIRect& rc, bool layoutHeader);
  // Renumbers the body's items first..last (clamped to the items).
  void RenumberItems(int first, int last);
  // The item at the index as a list item, or null.
  IListItemUI* GetListItemAt(int index) const;
  // Stores a changed image description and repaints.
  void SetItemImage(UIImageDrawInfo& image, const UIChar* description);

  bool m_bScrollSelect = false;            // the wheel moves the selection
  int m_iCurSel = -1;                      // selected item index; set by SelectItem and the item operations
  int m_iExpandedItem = -1;                // last expanded item; set by ExpandItem and the item operations
  IListTextProviderUI* m_pTextProvider = nullptr;  // borrowed
  CListBodyUI* m_pList = nullptr;          // child 1, owned through the child list
  CListHeaderUI* m_pHeader = nullptr;      // child 0, owned through the child list
  UIListInfo m_ListInfo;
  int m_iOwnChildren = 0;                  // depth of COwnChildrenScope
};

}  // namespace Trellis
