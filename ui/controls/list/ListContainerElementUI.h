#pragma once

// CListContainerElementUI: a list item made of child controls
// ("ListContainerElement"), optionally expandable. Tree nodes and menu
// elements derive from it.
#include "ui/control/ContainerUI.h"
#include "ui/controls/list/ListInterfaces.h"
#include "ui/controls/list/ListItemDrawing.h"

namespace Trellis {

class CListContainerElementUI : public CContainerUI, public IListItemUI {
 public:
  CListContainerElementUI();
  ~CListContainerElementUI() override;

  // IListItemUI:
  int GetIndex() const override;
  void SetIndex(int index) override;
  int GetDrawIndex() const override;
  void SetDrawIndex(int index) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* owner) override;
  bool IsSelected() const override;
  bool Select(bool select = true, bool takeFocus = false) override;
  bool IsExpanded() const override;
  // Stores the flag and, when expandable, asks the owner; a refusal restores
  // the flag. Sends "itemexpand"/"itemcollapse".
  bool Expand(bool expand = true) override;
  // Does nothing: the children draw the row.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ListContainerElement": the item; "IListItem": its item part; else the container's.
  void* GetInterface(const UIChar* name) override;
  UINT GetControlFlags() const override;
  // Sends "itemactivate" when the control base agrees.
  bool Activate() override;
  // Hiding a selected item clears its flag and the owner's selection.
  void SetVisible(bool visible = true) override;
  // Disabling drops the hot state.
  void SetEnabled(bool enabled = true) override;
  // Press sends "itemclick" then selects; double click and Return activate;
  // the rest to the owner.
  void HandleEvent(UIEvent& event) override;
  // "selected", "expandable"; the rest to the container.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // (fixed width, fixed height or the owner's item height).
  CUISize EstimateSize(CUISize available) override;
  // The item background, then the children.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  bool IsExpandable() const { return m_bExpandable; }
  void SetExpandable(bool expandable) { m_bExpandable = expandable; }

 protected:
  // Fills the background from the owner's appearance record.
  void DrawItemBk(HDC hDC, const CUIRect& rcItem);
  // Repaints only the part of the item visible in its list.
  void InvalidateItem();

  int m_iIndex = -1;
  int m_iDrawIndex = 0;
  bool m_bSelected = false;
  bool m_bExpandable = false;
  bool m_bExpanded = false;
  UINT m_uButtonState = 0;                 // kUIStateHot while hot
  IListOwnerUI* m_pOwner = nullptr;        // borrowed
  CListItemLifeGuard* m_pLifeGuard = nullptr;  // the running event call's guard; told by the destructor
};

}  // namespace Trellis
