#pragma once

// CLentItems: the record of items an owner lends to a pop-up's body (the
// combo box's drop-down, a menu). The items stay the owner's children; the
// body shows the same objects while the pop-up is open. Give them back before
// any change to the owner's items and whenever the pop-up's window ends, for
// any reason: Return empties the body without deleting anything, makes the
// pop-up's manager forget the items and attaches them to the owner's manager
// again. Returning twice, or with nothing lent, does nothing.
#include "ui/control/ContainerUI.h"

namespace Trellis {

class CWindowManagerUI;

class CLentItems {
 public:
  CLentItems() = default;
  CLentItems(const CLentItems&) = delete;
  CLentItems& operator=(const CLentItems&) = delete;
  // Gives back whatever is still lent.
  ~CLentItems();

  // Adds every item of the owner to the body (which must not delete them:
  // its auto-destroy is switched off). Gives back an earlier loan first.
  // The body's manager is the pop-up's.
  void Lend(CContainerUI* owner, CContainerUI* body);
  // Takes the items out of the body and attaches them to the owner again
  // (manager, parent; no initialisation); nothing when nothing is lent. Does
  // not lay the owner out.
  void Return();
  bool IsLent() const { return m_pOwner != nullptr; }
  CContainerUI* GetOwner() const { return m_pOwner; }

 private:
  CContainerUI* m_pOwner = nullptr;  // borrowed; set by Lend, cleared by Return
  CContainerUI* m_pBody = nullptr;   // borrowed; set by Lend, cleared by Return
};

}  // namespace Trellis
