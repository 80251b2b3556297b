#include "ui/control/ControlLifeGuard.h"

#include "ui/control/ControlUI.h"

namespace Trellis {

CControlLifeGuard::CControlLifeGuard(CControlUI* control, CControlLifeGuard** slot)
    : m_pControl(control), m_pParent(control->GetParent()), m_ppSlot(slot), m_pOuter(*slot) {
  *slot = this;
}

CControlLifeGuard::~CControlLifeGuard() {
  if (m_bDestroyed) {
    // The control is gone; an enclosing call on the same control learns it too.
    if (m_pOuter != nullptr) m_pOuter->MarkDestroyed();
    return;
  }
  *m_ppSlot = m_pOuter;
}

bool CControlLifeGuard::IsGone() const { return m_bDestroyed || m_pControl->GetParent() != m_pParent; }

}  // namespace Trellis
