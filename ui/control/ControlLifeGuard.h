#pragma once

// CControlLifeGuard: tells a control's own code whether the control survived
// a synchronous notification it sent (a handler may delete it, or take it
// out of its parent and leave it for later deletion). Made on the stack
// before sending; the control keeps a pointer slot that its destructor marks
// through (MarkDestroyed), so nested guards on one control all learn it.
//
// Ownership: borrows the control and its slot; never touches the control
// once it is marked destroyed.
namespace Trellis {

class CControlUI;

class CControlLifeGuard {
 public:
  // Registers in the control's slot, remembering the guard already there.
  CControlLifeGuard(CControlUI* control, CControlLifeGuard** slot);
  // Gives the slot back to the enclosing guard; a destroyed control's slot
  // is gone, and the enclosing guard is told instead.
  ~CControlLifeGuard();
  CControlLifeGuard(const CControlLifeGuard&) = delete;
  CControlLifeGuard& operator=(const CControlLifeGuard&) = delete;

  // The control was deleted since the guard was made.
  bool IsDestroyed() const { return m_bDestroyed; }
  // Deleted, or no longer under the parent it had when the guard was made.
  bool IsGone() const;
  // Called by the control's destructor through its slot.
  void MarkDestroyed() { m_bDestroyed = true; }

 private:
  CControlUI* m_pControl;              // borrowed; not touched once destroyed
  CControlUI* m_pParent;               // the parent when the guard was made
  CControlLifeGuard** m_ppSlot;        // the control's slot; restored on exit unless destroyed
  CControlLifeGuard* m_pOuter;         // the guard of an enclosing call
  bool m_bDestroyed = false;
};

}  // namespace Trellis
