#pragma once

// CListElementUI: the base of the plain list items ("ListElement"): a control
// that an owner (list or combo box) numbers, selects and paints with its
// shared appearance. It draws no text of its own; the label and text elements
// do.
#include "ui/control/ControlUI.h"
#include "ui/controls/list/ListInterfaces.h"
#include "ui/controls/list/ListItemDrawing.h"

namespace Trellis {

class CListElementUI : public CControlUI, public IListItemUI {
 public:
  CListElementUI();
  ~CListElementUI() override;

  // IListItemUI:
  int GetIndex() const override;
  void SetIndex(int index) override;
  int GetDrawIndex() const override;
  void SetDrawIndex(int index) override;
  IListOwnerUI* GetOwner() override;
  void SetOwner(CControlUI* owner) override;
  bool IsSelected() const override;
  bool Select(bool select = true, bool takeFocus = false) override;
  // Always false: plain items do not expand.
  bool IsExpanded() const override;
  bool Expand(bool expand = true) override;
  // The base draws no text.
  void DrawItemText(HDC hDC, const CUIRect& rcItem) override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "ListElement": the item; "IListItem": its item part; else the control's.
  void* GetInterface(const UIChar* name) override;
  UINT GetControlFlags() const override;
  // Sends "itemactivate" when the control base agrees.
  bool Activate() override;
  // Hiding a selected item clears its flag and the owner's selection.
  void SetVisible(bool visible = true) override;
  // Disabling drops the hot state.
  void SetEnabled(bool enabled = true) override;
  // Double click and Return activate; the rest goes to the owner.
  void HandleEvent(UIEvent& event) override;
  // "selected" selects (whatever the value); the rest to the control base.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // The item background, then the text.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

 protected:
  // Fills the background from the owner's appearance record.
  void DrawItemBk(HDC hDC, const CUIRect& rcItem);
  // Repaints only the part of the item visible in its list.
  void InvalidateItem();

  int m_iIndex = -1;
  int m_iDrawIndex = 0;
  bool m_bSelected = false;
  UINT m_uButtonState = 0;                 // kUIStateHot while hot
  IListOwnerUI* m_pOwner = nullptr;        // borrowed
  CListItemLifeGuard* m_pLifeGuard = nullptr;  // the running event call's guard; told by the destructor
};

}  // namespace Trellis
