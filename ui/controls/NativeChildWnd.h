#pragma once

// CNativeChildWnd: the base of a native window that a control lays over
// itself while it has the focus (the edit's native edit, the date-time
// control's picker). It holds the owner control (borrowed) and its manager,
// registers the window with the manager as the owner's native child, closes
// the window when it loses the focus (telling the framework window when the
// focus leaves it altogether) and, at its last message, unregisters it,
// tells the owner and deletes the object. Deriving windows keep only their
// own set-up and messages.
//
// Lifetime: made by the deriving window's Open, deleted by its own last
// message. An owner that goes away first calls Abandon.
#include <windows.h>

#include "ui/window/WindowWnd.h"

namespace Trellis {

class CControlUI;
class CWindowManagerUI;

class CNativeChildWnd : public CWindowWnd {
 public:
  // The owner goes away: the window forgets it (no more updates or
  // notifications). Does not destroy the window.
  void DetachOwner() { m_pOwner = nullptr; }
  // For an owner that goes away: detaches it, then destroys the window,
  // whose last message deletes the object.
  void Abandon();

  // CWindowWnd:
  // Registers the window on WM_CREATE, notes WM_CLOSE and WM_DESTROY, closes
  // on WM_KILLFOCUS; everything else goes to the native window.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Unregisters the window, tells the owner (TellOwnerClosed), deletes the
  // object unless its set-up still runs.
  void OnLastMessage(HWND hWnd) override;

 protected:
  CNativeChildWnd() = default;

  // Binds the owner and its manager and marks the set-up as running (the
  // last message then leaves the object to Open); false without a manager
  // or paint window.
  bool BeginSetUp(CControlUI* owner);
  // Creates the window over `rc` as a child of the paint window, hidden when
  // `rc` is empty; false, with a trace line naming `what`, when it cannot be
  // made.
  bool CreateOver(const CUIRect& rc, DWORD style, const wchar_t* what);
  // Shows the window (hidden when `rc` is empty) and gives it the focus.
  // False when taking the focus closed it or detached the owner.
  bool ShowFocused(const CUIRect& rc);
  // The set-up is done: from now on the last message deletes the object.
  void EndSetUp();
  // A window whose set-up failed: destroyed when it exists, and deleted.
  static void Discard(CNativeChildWnd* window);

  // Registers the window with the manager as the owner's native child; false
  // when it was registered already or there is no owner.
  bool RegisterWithManager();
  // The focus went to `gaining`: false when the window keeps its place (the
  // focus only moved into a window of its own). Runs before the window closes
  // and may update the owner. The default lets the window close.
  virtual bool OnFocusLeaving(HWND gaining);
  // The window's last message: the owner hears that its window is gone.
  virtual void TellOwnerClosed(CControlUI* owner) = 0;

  CControlUI* m_pOwner = nullptr;          // borrowed; cleared by DetachOwner and at the last message
  CWindowManagerUI* m_pManager = nullptr;  // borrowed: the owner's manager when the window was made
  bool m_bInit = false;                    // set by EndSetUp
  bool m_bCreating = false;                // set by BeginSetUp, cleared by EndSetUp
  bool m_bClosing = false;                 // WM_CLOSE or WM_DESTROY seen: a focus loss no longer closes it

 private:
  LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
};

}  // namespace Trellis
