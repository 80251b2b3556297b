#pragma once

// CContainerUI: a control that owns a list of children, places them inside
// its rectangle less an inset (the plain container puts every child over the
// same area; the layouts replace that), paints them clipped to that area,
// routes hit tests into them and scrolls them with optional scroll bars.
// IContainerUI is how other code adds and removes children without knowing
// the concrete class (GetInterface("IContainer")).
//
// Ownership: the container owns its children (deleted on removal while
// auto-destroy is on, through the manager's delayed clean-up while
// delayed-destroy is on) and its two scroll bars.
#include "ui/base/portable/UIPtrArray.h"
#include "ui/control/ControlUI.h"

namespace Trellis {

class CScrollBarUI;

class IContainerUI {
 public:
  // The child at the index, or null outside 0..count-1.
  virtual CControlUI* GetItemAt(int index) const = 0;
  // The child's index, -1 when it is not a child.
  virtual int GetItemIndex(CControlUI* control) const = 0;
  // Moves a child to the index (0..count-1); false, changing nothing, when it
  // is not a child or the index is outside.
  virtual bool SetItemIndex(CControlUI* control, int index) = 0;
  // Moves the run of count children that starts at the control to the new
  // index; false, changing nothing, when the run or the target does not fit.
  virtual bool MoveItems(CControlUI* control, int count, int newIndex) = 0;
  virtual int GetCount() const = 0;
  // Appends and attaches the control (manager, parent, init); false for null
  // or when it cannot be stored (then nothing is attached).
  virtual bool AddItem(CControlUI* control) = 0;
  // Inserts at 0..count; false, attaching nothing, for another index.
  virtual bool AddItemAt(CControlUI* control, int index) = 0;
  // Takes the child out of the list, then deletes it unless kept (or
  // auto-destroy is off); a kept child no longer points at this container.
  virtual bool RemoveItem(CControlUI* control, bool keep = false) = 0;
  virtual bool RemoveItemAt(int index, bool keep = false) = 0;
  // Empties the list, deleting the children while auto-destroy is on.
  virtual void RemoveAllItems() = 0;

 protected:
  ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI();
  // Deletes the children at once (delayed destruction is switched off) and both bars.
  ~CContainerUI() override;

  // IContainerUI:
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
  // "IContainer": the IContainerUI part; "Container": the container.
  void* GetInterface(const UIChar* name) override;
  // Passes the manager to the children and bars (this container as parent) first.
  void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
  // The position less the inset and the visible bars.
  CUIRect GetClientPos() const override;
  // Places every child over the whole scrollable area (floating ones by their placement).
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // Moves the container, its visible bars and its visible children.
  void Move(CUISize offset, bool invalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInheritedVisible(bool visible = true) override;
  // Sets the bars' flag, then the container's own.
  void SetMouseEnabled(bool enabled = true) override;
  // Searches the container, its cover, its bars and its children (last
  // first with kUIFindTopFirst); hit tests reach only children inside the
  // client area (floating ones anywhere).
  CControlUI* FindControl(UIFindControlProc proc, void* data, UINT flags) override;
  // Focus flag, keyboard and wheel scrolling; the rest to the control base.
  void HandleEvent(UIEvent& event) override;
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Own layers, then the children clipped to the client area, then the bars.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  // --- Container operations ---
  virtual CUIRect GetInset() const;
  // Stores the margins and asks for a layout.
  virtual void SetInset(CUIRect inset);
  virtual int GetChildPadding() const;
  // Stores max(padding, 0) and asks for a layout.
  virtual void SetChildPadding(int padding);
  // 0 left, 1 centre, 2 right.
  virtual UINT GetChildAlign() const;
  virtual void SetChildAlign(UINT align);
  // 0 top, 4 centre, 8 bottom.
  virtual UINT GetChildVAlign() const;
  virtual void SetChildVAlign(UINT align);
  virtual bool IsAutoDestroy() const;
  virtual void SetAutoDestroy(bool autoDestroy);
  virtual bool IsDelayedDestroy() const;
  virtual void SetDelayedDestroy(bool delayed);
  virtual bool IsMouseChildEnabled() const;
  virtual void SetMouseChildEnabled(bool enabled = true);
  // The index of the first visible, enabled list item from the index in the
  // direction (backward falls back to forward from 0), -1 when none.
  virtual int FindSelectable(int index, bool forward = true) const;
  // (horizontal, vertical) position of the visible bars; 0 without one.
  virtual CUISize GetScrollPos() const;
  virtual CUISize GetScrollRange() const;
  // Moves the visible bars to the position (they clamp it) and the children
  // by the change; notifies "scroll" through the bars.
  virtual void SetScrollPos(CUISize pos);
  virtual void LineUp();
  virtual void LineDown();
  virtual void PageUp();
  virtual void PageDown();
  virtual void ScrollToTop();
  virtual void ScrollToBottom();
  virtual void LineLeft();
  virtual void LineRight();
  virtual void PageLeft();
  virtual void PageRight();
  virtual void ScrollToLeftEnd();
  virtual void ScrollToRightEnd();
  // Creates (with the manager's "VScrollBar"/"HScrollBar" default lists) or
  // deletes the bars, then asks for a layout.
  virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
  virtual CScrollBarUI* GetVerticalScrollBar() const;
  virtual CScrollBarUI* GetHorizontalScrollBar() const;
  // Places one visible floating child by its float placement.
  virtual void SetFloatPos(int index);
  // After a layout measured the children in area rc (already less the
  // visible bars): shows, hides, sizes and places the bars; may lay the
  // container out again when a bar appears or disappears.
  virtual void ProcessScrollBar(CUIRect rc, int cxRequired, int cyRequired);

  // The control of that name below this container (case-insensitive, hidden
  // ones included), through the manager; null without one.
  CControlUI* FindChildByName(const UIChar* name) const;

 protected:
  // Deletes a removed child: through the manager's delayed clean-up while
  // delayed-destroy is on and there is a manager, else at once.
  void DestroyChild(CControlUI* child);
  // The vertical line step: the bar's scroll unit above 1, else the default
  // font height plus 8 (8 without a manager).
  int GetVerticalLineStep() const;
  // Lays the container out again at its own place (relative when floating).
  void Relayout(bool invalidate);

  CUIPtrArray m_items;                            // owned CControlUI*, in placement and painting order
  CUIRect m_rcInset;                              // margins left, top, right, bottom
  int m_iChildPadding = 0;                        // never negative
  UINT m_iChildAlign = 0;                         // 0 left, 1 centre, 2 right
  UINT m_iChildVAlign = 0;                        // 0 top, 4 centre, 8 bottom
  bool m_bAutoDestroy = true;                     // removed children are deleted
  bool m_bDelayedDestroy = true;                  // through the manager's delayed clean-up
  bool m_bMouseChildEnabled = true;               // hit tests may descend into children and cover
  bool m_bScrollProcess = false;                  // set while relaying out because a bar appeared
  CScrollBarUI* m_pVerticalScrollBar = nullptr;   // owned
  CScrollBarUI* m_pHorizontalScrollBar = nullptr; // owned
};

}  // namespace Trellis
