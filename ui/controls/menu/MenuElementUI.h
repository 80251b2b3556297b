#pragma once

// CMenuElementUI: one item of a menu ("MenuElement" in skin XML, class name
// "MenuElementUI"). An item that holds menu elements of its own has a
// sub-menu: its sub-items stay its children and are lent to a sub-menu window
// while that is open. A leaf click toggles the item's check state (kept in the
// check map of whoever opened the menu), reports the item to the owner window
// with WM_APP_MENU_CLICK and closes every menu. An item may also be a
// separator line, or hold ordinary controls (buttons) drawn inside it.
#include "ui/controls/list/ListContainerElementUI.h"
#include "ui/draw/ImageAttribute.h"

namespace Trellis {

class CMenuWnd;

class CMenuElementUI : public CListContainerElementUI {
 public:
  // Fixed size 130 by 30 until the skin says otherwise.
  CMenuElementUI();
  ~CMenuElementUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "MenuElement" (any case): this item; else the element's answer.
  void* GetInterface(const UIChar* name) override;
  // Entering or Right opens the sub-menu (or closes other sub-menus of this
  // menu and selects the item); releasing the button on a leaf chooses it.
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Visible sub-items' total height and largest width; without them the
  // measured text plus padding (and 20 for the arrow), the fixed height
  // winning. Stored as the fixed size directly, so estimating never asks for
  // another layout.
  CUISize EstimateSize(CUISize available) override;
  // Only the part of the paint rectangle on the item: a separator line, or
  // background, text, icon, arrow and the children that are not menu items.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  // Lays out only the children that are not menu items (those show in the
  // sub-menu window, which places them itself).
  void SetPos(CUIRect rc, bool invalidate = true) override;
  void Move(CUISize offset, bool invalidate = true) override;
  // Hit tests never reach the sub-items: while lent they lie in another
  // window's coordinates. Other searches are the container's.
  CControlUI* FindControl(UIFindControlProc proc, void* data, UINT flags) override;

  // CContainerUI:
  // A menu element added as a child is a sub-item: it is kept hidden here.
  bool AddItemAt(CControlUI* control, int index) override;
  bool AddItem(CControlUI* control) override;

  // IListItemUI:
  // The item text in the owner's colours for the item's state, font, style and padding.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // --- Menu item operations ---
  // Each of these only stores.
  void SetIcon(const UIChar* description);
  void SetIconSize(int width, int height);
  void SetCheckItem(bool checkItem);
  bool GetCheckItem() const { return m_bCheckItem; }
  void SetShowExpandArrow(bool show);
  void SetLineColor(DWORD color);
  void SetLinePadding(CUIRect padding);
  // Turns the item into a separator line (6 high unless another height than
  // 30 was set) that takes no input.
  void MakeSeparator();
  bool IsSeparator() const { return m_bDrawLine; }
  // False unless this is a check item with an entry in the check map.
  bool IsChecked() const;
  // Writes the state into the check map; nothing unless this is a check item
  // and a map is set.
  void SetChecked(bool checked);
  // What a leaf click does: toggles the check state, reports the item to the
  // owner window and closes every menu. Nothing for a disabled item or one
  // with sub-items.
  void Choose();
  // Opens the sub-menu of an item with sub-items; otherwise closes the other
  // sub-menus of this menu. Selects the item when `select`.
  void OpenOrCloseSubMenus(bool select);
  // The open sub-menu window, or null; cleared by the window at its end.
  CMenuWnd* GetSubMenuWindow() const { return m_pSubMenuWnd; }
  void SetSubMenuWindow(CMenuWnd* window) { m_pSubMenuWnd = window; }
  // True while the pointer is over the item.
  bool IsHot() const { return (m_uButtonState & kUIStateHot) != 0; }
  // Drops the pushed state and repaints (the sub-menu window ended).
  void ClearPushed();
  // Number of menu elements among the children.
  int GetSubItemCount() const;

 private:
  // Shows every sub-item again (they are hidden inside this menu); returns their number.
  int ShowSubItems();
  // Opens the sub-menu window unless one is open.
  void OpenSubMenu();
  HWND GetPaintWindow() const;

  CMenuWnd* m_pSubMenuWnd = nullptr;     // the open sub-menu: the window deletes itself and clears this
  bool m_bDrawLine = false;
  DWORD m_dwLineColor = 0xFFBCBFC4;
  CUIRect m_rcLinePadding{29, 0, 7, 0};
  int m_nIconWidth = 16;
  int m_nIconHeight = 16;
  bool m_bCheckItem = false;
  CImageAttribute m_icon;
  bool m_bShowExpandArrow = false;
  CImageAttribute m_expandArrow;
};

}  // namespace Trellis
