#pragma once

// CEditWnd: the native single-line edit window that a CEditUI lays over its
// text area while it has the keyboard focus (a super-class of the platform's
// "Edit"). It is registered with the window manager as a native child of the
// control, reports Enter and text changes through the control, closes itself
// when it loses the focus, and on a layered window paints its caret itself
// (the system caret does not show there) and can paint a half-transparent
// background with a brush made of what lies behind it.
//
// Lifetime: made by CEditWnd::Open, deleted by its own last message, which
// first tells the owner control. A control that goes away first detaches
// itself (DetachOwner) and destroys the window.
#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/window/WindowWnd.h"

namespace Trellis {

class CEditUI;
class CWindowManagerUI;

class CEditWnd : public CWindowWnd {
 public:
  // Makes the native edit over the owner's text area, focused, with the
  // owner's text, font and settings. Null, leaving nothing behind, when the
  // object or the window cannot be made (the owner may try again later).
  static CEditWnd* Open(CEditUI* owner);

  // The owner goes away: the window forgets it (no more notifications or
  // text copies). Does not destroy the window.
  void DetachOwner();
  // The owner's item rectangle less its text padding, narrowed to the font
  // height and centred vertically, clipped by every ancestor's client area;
  // all zero when an ancestor is hidden or clips it away, or without an owner.
  CUIRect ComputeEditRect() const;

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  const UIChar* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Invalidates and releases the owner, unregisters the window, deletes the object.
  void OnLastMessage(HWND hWnd) override;

 private:
  CEditWnd() = default;
  // Creates and sets up the window; false when it could not be created.
  bool Init(CEditUI* owner);
  bool IsLayered() const;
  // Forwards the loss of focus to the paint window when the focus leaves the
  // framework window, then closes this window.
  LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
  // Copies the native text into the owner and sends "textchanged".
  void OnTextChange();
  // The background brush of a coloured native edit, or null for the native background.
  HBRUSH OnCtlColor(HDC dc);
  // Draws the caret line of a layered window into the printed picture.
  void PaintCaret(HDC dc);

  CEditUI* m_pOwner = nullptr;             // borrowed; cleared by DetachOwner
  CWindowManagerUI* m_pManager = nullptr;  // borrowed: the owner's manager when the window was made
  OwnedBrush m_hBkBrush;                   // background brush; made by OnCtlColor, freed with the window
  bool m_bInit = false;                    // set when Init ends; text changes before are not reported
  bool m_bCreating = false;                // set while the window is being created (a failure is cleaned up by Open)
  bool m_bDrawCaret = false;               // caret phase on a layered window, toggled by the caret timer
  bool m_bInPaint = false;                 // inside the window's own paint or print pass
  bool m_bClosing = false;                 // WM_CLOSE or WM_DESTROY seen: a loss of focus no longer closes it
};

}  // namespace Trellis
