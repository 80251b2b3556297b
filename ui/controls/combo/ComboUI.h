#pragma once

// CComboUI: the drop-down list ("Combo"). The closed control paints its state
// image and the selected item's text; its items are list items kept as its
// own children but never laid out inside it. Activating it opens a CComboWnd
// pop-up whose body shows the same item objects; choosing an item closes the
// pop-up and sends "itemselect". To its items the combo is the list owner.
//
// Ownership: the items are children (deleted with the combo); the pop-up
// window object deletes itself at its last message and clears m_pWindow.
#include "ui/control/ContainerUI.h"
#include "ui/controls/StateImages.h"
#include "ui/controls/list/ListInterfaces.h"

namespace Trellis {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  // Closes an open pop-up (its items come back first) and frees the images.
  ~CComboUI() override;

  // IListOwnerUI:
  UIListInfo* GetListInfo() override;
  int GetCurSel() const override;
  // Selects the item (a target beyond the end means the last); closes the
  // pop-up unless a keyboard or wheel step is running.
  bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
  void HandleItemEvent(UIEvent& event) override;
  // Always false: combo items do not expand.
  bool ExpandItem(int index, bool expand = true) override;
  // Always -1.
  int GetExpandedItem() const override;

  // IContainerUI (each gives lent items back first; the selection follows its item):
  bool SetItemIndex(CControlUI* control, int index) override;
  bool MoveItems(CControlUI* control, int count, int newIndex) override;
  bool AddItem(CControlUI* control) override;
  bool AddItemAt(CControlUI* control, int index) override;
  bool RemoveItem(CControlUI* control, bool keep = false) override;
  bool RemoveItemAt(int index, bool keep = false) override;
  void RemoveAllItems() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "IListOwner": the owner part; "Combo": the combo; else the container's.
  void* GetInterface(const UIChar* name) override;
  // Always a tab stop.
  UINT GetControlFlags() const override;
  // Opens the pop-up (when not open) and sends "dropdown".
  bool Activate() override;
  // The selected item's text; empty without a selection.
  CUIString GetText() const override;
  // Hides the items (empty rectangles), then places the combo itself.
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // The control base's move: the items are not moved.
  void Move(CUISize offset, bool invalidate = true) override;
  // Disabling clears the state bits.
  void SetEnabled(bool enabled = true) override;
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Fixed height, else (fixed width, default font height + 8).
  CUISize EstimateSize(CUISize available) override;
  // The control base's stages: the combo paints no children.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;
  void PaintStatusImage(HDC hDC) override;
  void PaintText(HDC hDC) override;

  // --- Combo operations ---
  CComboWnd* GetDropWindow() const { return m_pWindow; }
  // Closes the pop-up at once (its items come back); nothing when closed.
  void CloseDropDown();
  bool GetShowText() const { return m_bShowText; }
  void SetShowText(bool show);
  CUIRect GetTextPadding() const { return m_rcTextPadding; }
  void SetTextPadding(CUIRect padding);
  const CUIString& GetDropBoxAttributeList() const { return m_sDropBoxAttributes; }
  void SetDropBoxAttributeList(const UIChar* list);
  CUISize GetDropBoxSize() const { return m_szDropBox; }
  void SetDropBoxSize(CUISize size);
  UINT GetButtonState() const { return m_uButtonState; }
  void SetNormalImage(const UIChar* description);
  void SetHotImage(const UIChar* description);
  void SetPushedImage(const UIChar* description);
  void SetFocusedImage(const UIChar* description);
  void SetDisabledImage(const UIChar* description);

 private:
  friend class CComboWnd;
  // Gives lent items back before the child list changes.
  void ReclaimItems();
  void RenumberItems(int first, int last);
  // One keyboard or wheel selection step: keeps the pop-up open.
  void SelectStep(int index);

  CComboWnd* m_pWindow = nullptr;          // the open pop-up; set by Activate, cleared by its last message
  int m_iCurSel = -1;
  bool m_bShowText = true;
  bool m_bSelectCloseFlag = true;          // selections close the pop-up; off around key and wheel steps
  CUIRect m_rcTextPadding;
  CUIString m_sDropBoxAttributes;
  CUISize m_szDropBox{0, 150};
  UINT m_uButtonState = 0;
  CStateImages m_images;
  UIListInfo m_ListInfo;
};

}  // namespace Trellis
