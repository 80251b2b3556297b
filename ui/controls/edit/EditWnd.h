#pragma once

// CEditWnd: the native single-line edit window that a CEditUI lays over its
// text area while it has the keyboard focus (a super-class of the platform's
// "Edit"). Its base hosts it over the control (registration, closing on the
// loss of focus, the last message); it reports Enter and text changes through
// the control, and on a layered window paints its caret itself (the system
// caret does not show there) and can paint a half-transparent background with
// a brush made of what lies behind it.
//
// Lifetime: made by CEditWnd::Open, deleted by its own last message, which
// first tells the owner control. A control that goes away first calls Abandon.
#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIGeometry.h"
#include "ui/controls/NativeChildWnd.h"

namespace Trellis {

class CEditUI;
class CWindowManagerUI;

class CEditWnd : public CNativeChildWnd {
 public:
  // Makes the native edit over the owner's text area, focused, with the
  // owner's text, font and settings. Null, leaving nothing behind, when the
  // object or the window cannot be made (the owner may try again later).
  static CEditWnd* Open(CEditUI* owner);

  // The owner's item rectangle less its text padding, narrowed to the font
  // height and centred vertically, clipped by every ancestor's client area;
  // all zero when an ancestor is hidden or clips it away, or without an owner.
  CUIRect ComputeEditRect() const;

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  const UIChar* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // CNativeChildWnd:
  void TellOwnerClosed(CControlUI* owner) override;

 private:
  CEditWnd() = default;
  // Creates and sets up the window; false when it could not be created.
  bool Init(CEditUI* owner);
  bool IsLayered() const;
  CEditUI* Owner() const;
  // Copies the native text into the owner and sends "textchanged".
  void OnTextChange();
  // The background brush of a coloured native edit, or null for the native background.
  HBRUSH OnCtlColor(HDC dc);
  // Draws the caret line of a layered window into the printed picture.
  void PaintCaret(HDC dc);

  OwnedBrush m_hBkBrush;                   // background brush; made by OnCtlColor, freed with the object
  bool m_bDrawCaret = false;               // caret phase on a layered window, toggled by the caret timer
  bool m_bInPaint = false;                 // inside the window's own paint or print pass
};

}  // namespace Trellis
