#pragma once

// CDateTimeWnd: the platform's date picker ("SysDateTimePick32",
// superclassed as "DateTimeWnd") laid over a CDateTimeUI while it has the
// focus. Escape closes it keeping the old date, Backspace or Delete empty
// the owner's text, losing the focus stores the picked date in the owner.
//
// Ownership: a heap object whose last message deletes it. The owner is
// borrowed; DetachOwner clears it before the owner goes.
#include <windows.h>

#include "ui/base/portable/UIGeometry.h"
#include "ui/window/WindowWnd.h"

namespace Trellis {

class CDateTimeUI;
class CWindowManagerUI;

class CDateTimeWnd : public CWindowWnd {
 public:
  // Registers the platform's date classes, makes the picker over the owner
  // with the owner's date (today when its text is empty), shown and focused.
  // Null, leaving nothing behind, when it cannot be made.
  static CDateTimeWnd* Open(CDateTimeUI* owner);

  // Shows the picker again and gives it the focus; its date stays as the
  // user left it. Nothing without a window.
  void Reactivate();
  // The owner goes away: no more updates to it. Does not destroy the window.
  void DetachOwner();
  // The owner's rectangle clipped by every ancestor's client area; empty when
  // an ancestor is hidden or clips it away, or without an owner.
  CUIRect ComputeRect() const;

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  const UIChar* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Unregisters the window, tells the owner, deletes the object.
  void OnLastMessage(HWND hWnd) override;

 private:
  CDateTimeWnd() = default;
  bool Init(CDateTimeUI* owner);
  // Stores the picked date in the owner unless a key decided otherwise,
  // forwards the loss to the framework window when the focus leaves it, closes.
  LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

  CDateTimeUI* m_pOwner = nullptr;         // borrowed; cleared by DetachOwner
  CWindowManagerUI* m_pManager = nullptr;  // borrowed: the owner's manager when the window was made
  bool m_bInit = false;                    // set when Init ends
  bool m_bCreating = false;                // set while Open still holds the object
  bool m_bClosing = false;                 // WM_CLOSE or WM_DESTROY seen: focus loss no longer closes it
};

}  // namespace Trellis
