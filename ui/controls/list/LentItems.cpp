#include "ui/controls/list/LentItems.h"

#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// Makes the pop-up's manager forget every control of a lent item's subtree
// (hover, click, focus, key and tooltip control, timers, names, queued
// notifications, mouse-leave listening), so nothing in the pop-up points at
// an item that went home.
struct Forgetter {
  CWindowManagerUI* manager;
  static CControlUI* Visit(CControlUI* control, void* data) {
    CWindowManagerUI* manager = static_cast<Forgetter*>(data)->manager;
    manager->RemoveMouseLeaveListener(control);
    manager->RemovePostPaint(control);
    manager->ReapObjects(control);
    return nullptr;  // go on through the whole subtree
  }
};

}  // namespace

CLentItems::~CLentItems() { Return(); }

void CLentItems::Lend(CContainerUI* owner, CContainerUI* body) {
  Return();
  if (owner == nullptr || body == nullptr) return;
  m_pOwner = owner;
  m_pBody = body;
  body->SetAutoDestroy(false);
  for (int i = 0; i < owner->GetCount(); ++i) body->AddItem(owner->GetItemAt(i));
}

void CLentItems::Return() {
  if (m_pOwner == nullptr) return;
  CContainerUI* owner = m_pOwner;
  CContainerUI* body = m_pBody;
  m_pOwner = nullptr;
  m_pBody = nullptr;
  if (CWindowManagerUI* popup = body->GetManager()) {
    for (int i = 0; i < body->GetCount(); ++i) {
      Forgetter forgetter{popup};
      body->GetItemAt(i)->FindControl(&Forgetter::Visit, &forgetter, 0);
    }
  }
  // Auto-destroy is off: the body lets go of the items without deleting them.
  body->SetAutoDestroy(false);
  body->RemoveAllItems();
  owner->SetManager(owner->GetManager(), owner->GetParent(), false);
}

}  // namespace Trellis
