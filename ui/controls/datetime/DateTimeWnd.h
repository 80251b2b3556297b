#pragma once

// CDateTimeWnd: the platform's date picker ("SysDateTimePick32",
// superclassed as "DateTimeWnd") laid over a CDateTimeUI while it has the
// focus. Escape closes it keeping the old date, Backspace or Delete empty
// the owner's text, losing the focus stores the picked date in the owner.
//
// Its base hosts it over the control (registration, closing on the loss of
// focus, the last message).
//
// Ownership: a heap object whose last message deletes it. The owner is
// borrowed; an owner that goes first calls Abandon.
#include <windows.h>

#include "ui/base/portable/UIGeometry.h"
#include "ui/controls/NativeChildWnd.h"

namespace Trellis {

class CDateTimeUI;
class CWindowManagerUI;

class CDateTimeWnd : public CNativeChildWnd {
 public:
  // Registers the platform's date classes, makes the picker over the owner
  // with the owner's date (today when its text is empty), shown and focused.
  // Null, leaving nothing behind, when it cannot be made.
  static CDateTimeWnd* Open(CDateTimeUI* owner);

  // Shows the picker again and gives it the focus; its date stays as the
  // user left it. Nothing without a window.
  void Reactivate();
  // The owner's rectangle clipped by every ancestor's client area; empty when
  // an ancestor is hidden or clips it away, or without an owner.
  CUIRect ComputeRect() const;

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  const UIChar* GetSuperClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // CNativeChildWnd:
  // Keeps the picker when the focus only went into its drop-down calendar;
  // otherwise stores the picked date in the owner unless a key decided otherwise.
  bool OnFocusLeaving(HWND gaining) override;
  void TellOwnerClosed(CControlUI* owner) override;

 private:
  CDateTimeWnd() = default;
  bool Init(CDateTimeUI* owner);
  CDateTimeUI* Owner() const;
};

}  // namespace Trellis
