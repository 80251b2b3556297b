#pragma once

// CActiveXWnd: the native child window ("ActiveXWnd") in which a windowed
// OLE object is activated in place. It is registered with the window manager
// as the control's native window, UI-activates the object when it gets the
// focus, and on a layered framework window prints the object (with a caret
// line) for the manager's layered paint.
//
// Lifetime: made by the site, deleted by its own last message, which first
// tells the site. The site destroys it when the object deactivates or the
// control lets go.
#include <windows.h>

#include "ui/window/WindowWnd.h"

namespace Trellis {

class CActiveXSite;

class CActiveXWnd : public CWindowWnd {
 public:
  // Creates the child of the framework window at 0,0 size 0; null when it cannot be made.
  static CActiveXWnd* Create(CActiveXSite* site, HWND parent);
  // The site goes away: the window forgets it. Does not destroy the window.
  void DetachSite() { m_pSite = nullptr; }

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Tells the site and deletes the object.
  void OnLastMessage(HWND hWnd) override;

 private:
  explicit CActiveXWnd(CActiveXSite* site) : m_pSite(site) {}
  void OnPrint(HDC dc);

  CActiveXSite* m_pSite;   // borrowed; cleared by DetachSite
  int m_iCaretTicks = 0;   // timer ticks since the caret last flipped
  bool m_bCaretVisible = false;
};

}  // namespace Trellis
