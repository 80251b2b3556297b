#pragma once

// CTabLayoutUI ("TabLayout"): a container that shows exactly one child (a
// page) at a time and lays only that one out, over its whole client area.
// Switching pages hides the others, asks for a layout and sends "tabselect"
// (wParam the new index, lParam the previous one). Adding or removing pages
// keeps the current index pointing at the same page; a change the container
// refuses leaves the index alone.
#include "ui/control/ContainerUI.h"

namespace Trellis {

class CTabLayoutUI : public CContainerUI {
 public:
  CTabLayoutUI();

  // IContainerUI:
  // The container's add; a visible first page becomes current, others are hidden.
  bool AddItem(CControlUI* control) override;
  // As AddItem; a page inserted at or before the current one moves the index up.
  bool AddItemAt(CControlUI* control, int index) override;
  // Removing the current page makes page 0 current (none when empty), without
  // notification; removing one before it moves the index down.
  bool RemoveItem(CControlUI* control, bool keep = false) override;
  bool RemoveItemAt(int index, bool keep = false) override;
  // No current page, then the container empties itself.
  void RemoveAllItems() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "TabLayout": the tab layout; other names go to the container.
  void* GetInterface(const UIChar* name) override;
  // Places floating children and the current page (padding, estimate, the
  // whole remaining area for a zero width or height, minimum and maximum).
  void SetPos(CUIRect rc, bool invalidate = true) override;
  // "selectedid" selects that page (with notification), then goes to the container.
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  // CTabLayoutUI:
  // The current page index, -1 when none.
  int GetCurSel() const { return m_iCurSel; }
  // Shows the page at the index and hides the others; false outside
  // 0..count-1, true without any effect for the current index. With a
  // manager the focus moves to the next tab stop and, when notify is set,
  // "tabselect" is sent last.
  virtual bool SelectItem(int index, bool notify = true);
  // SelectItem of the child's index; false when it is not a child.
  bool SelectItem(CControlUI* control, bool notify = true);

 protected:
  int m_iCurSel = -1;  // the page shown; -1 = none
};

}  // namespace Trellis
