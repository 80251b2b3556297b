#pragma once

// CMenuUI: the list that fills a menu window ("Menu" in skin XML, class name
// "MenuUI"). It holds only menu elements; the sub-items of an element are kept
// hidden here, because they show in a sub-menu window of their own.
#include "ui/controls/list/ListUI.h"

namespace Trellis {

class CMenuUI : public CListUI {
 public:
  // Hides the list's header (a menu has no columns).
  CMenuUI();
  ~CMenuUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "Menu" (any case): this menu; else the list's answer.
  void* GetInterface(const UIChar* name) override;
  // Right opens the selected item's sub-menu and Return chooses it; the
  // rest is the list's (arrows, Home, End move the selection).
  void HandleEvent(UIEvent& event) override;
  // Sum of the visible items' heights by the largest of their widths; the
  // inset is not counted (the window adds the top and bottom inset to its
  // height). Stores nothing.
  CUISize EstimateSize(CUISize available) override;

  // IContainerUI (menu elements only; other controls are refused):
  // Appends a menu element, hiding its own sub-items; false for anything else.
  bool AddItem(CControlUI* control) override;
  // Inserts a menu element, hiding its own sub-items; false for anything else.
  bool AddItemAt(CControlUI* control, int index) override;
  // The element's index, -1 for other controls.
  int GetItemIndex(CControlUI* control) const override;
  // Moves a menu element; false for other controls.
  bool SetItemIndex(CControlUI* control, int index) override;
  // Removes a menu element (deleted unless kept); false for other controls.
  bool RemoveItem(CControlUI* control, bool keep = false) override;

 private:
  static bool IsMenuElement(CControlUI* control);
  // Marks every menu element among the control's children inherited-invisible.
  static void HideSubItems(CControlUI* control);
};

}  // namespace Trellis
