#pragma once

// CComboWnd: the pop-up window of a combo box ("ComboWnd"), with its own
// window manager and a CComboDropBodyUI root that shows the combo's items.
// The items go back to the combo whenever the window ends, for any reason.
// The object lives on the heap and deletes itself at its last message.
#include "ui/controls/list/LentItems.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

namespace Trellis {

class CComboUI;
class CComboDropBodyUI;

class CComboWnd : public CWindowWnd {
 public:
  CComboWnd();
  ~CComboWnd() override;

  // Computes the drop-down rectangle below the owner (above it when it would
  // pass the bottom of the work area) and creates and shows the window; false
  // when the window cannot be made (the object is then not used further).
  bool Init(CComboUI* owner);
  // Scrolls the body so that the item is fully visible; nothing while the
  // owner has no selection.
  void EnsureVisible(int index);
  // Moves the body's scroll position; nothing for (0, 0).
  void Scroll(int dx, int dy);
  // Gives the items back to the owner now (safe to repeat).
  void ReturnItems();
  // Forgets the owner (it is going away): the window then ends without
  // touching it.
  void DetachOwner() { m_pOwner = nullptr; }
  CWindowManagerUI& GetManager() { return m_pm; }
  CComboDropBodyUI* GetBody() const { return m_pLayout; }

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Gives the items back, clears the owner's pointer and pushed bit, deletes this.
  void OnLastMessage(HWND hWnd) override;

 private:
  // Builds the body, lends it the owner's items and attaches it as the root.
  void OnCreate();
  void OnClose();

  CWindowManagerUI m_pm;
  CComboUI* m_pOwner = nullptr;            // borrowed
  CComboDropBodyUI* m_pLayout = nullptr;   // owned by m_pm as its root
  int m_iOldSel = -1;                      // the owner's selection when the pop-up opened
  bool m_bScrollBarPressed = false;        // a press on the body's scroll bar; the release does not close
  CLentItems m_lent;                       // the owner's items shown by the body
};

}  // namespace Trellis
