#pragma once

// CMenuWnd: a pop-up menu window (class "TrellisMenuWnd"). A top-level menu is
// built from a skin whose root is a Menu; a sub-menu borrows the sub-items of
// its owner item into a Menu of its own and gives them back when it ends. Every
// open menu window is registered with the program-wide observer, through which
// a leaf click or a lost focus closes all menus and a newly entered item closes
// the sub-menus below its menu. Windows delete themselves after their last
// message.
#include <windows.h>

#include "core/base/AppMessages.h"  // WM_APP_MENU_CLICK, posted to the owner window on a leaf click
#include "ui/base/portable/UIString.h"
#include "ui/control/UIEvent.h"
#include "ui/controls/list/LentItems.h"
#include "ui/controls/menu/MenuObserver.h"
#include "ui/controls/menu/MenuReceiver.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"
#include "ui/window/WindowWnd.h"

namespace Trellis {

class CControlUI;
class CMenuElementUI;
class CMenuUI;

class CMenuWnd : public CWindowWnd, public ReceiverImpl, public INotifyUI, public IDialogBuilderCallback {
 public:
  CMenuWnd();
  ~CMenuWnd() override;

  // Opens a menu: a top-level one (no owner item) from the skin at the screen
  // point, aligned by `alignment` (2 left, 4 top, 8 right, 0x10 bottom edge at
  // the point), reporting clicks to `manager`'s window and keeping check
  // states in `checkMap` (both replace those of any earlier menu); or the
  // sub-menu of `owner`. Returns the window, which deletes itself when it ends.
  static CMenuWnd* CreateMenu(CMenuElementUI* owner, UIResourceRef xml, int x, int y, CWindowManagerUI* manager,
                              CMenuCheckMap* checkMap = nullptr, DWORD alignment = 6);
  // The name of the leaf item clicked last (program-wide), empty before the first.
  static CUIString GetClickedItemName();
  static void SetClickedItemName(const UIChar* name);
  // The program-wide register of open menus.
  static ObserverImpl& GetMenuObserver();

  // Stores the arguments, registers and creates the window (see CreateMenu).
  // False, with nothing registered and no window, when the window cannot be made.
  bool Init(CMenuElementUI* owner, UIResourceRef xml, int x, int y, CWindowManagerUI* manager,
            CMenuCheckMap* checkMap, DWORD alignment);
  // The root control of this window's manager (the Menu).
  CControlUI* GetRoot() const;
  CWindowManagerUI& GetManager() { return m_pm; }
  CMenuElementUI* GetOwnerItem() const { return m_pOwner; }
  // Called by an owner item that is being deleted: gives its sub-items back,
  // forgets it and closes this window.
  void OwnerGone();

  // CWindowWnd:
  const UIChar* GetWindowClassName() const override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Leaves the observer, gives the borrowed items back and deletes this object.
  void OnLastMessage(HWND hWnd) override;

  // ReceiverImpl:
  // 1 closes this window; 2 closes it when `window` is one of its ancestors.
  BOOL Receive(int type, HWND window) override;

  // INotifyUI:
  // Sends "click" and "valuechanged" of controls inside the menu on to the
  // owner window's manager, synchronously.
  void Notify(UINotify& msg) override;

  // IDialogBuilderCallback:
  // "Menu" and "MenuElement" (any case); null for anything else.
  CControlUI* CreateControl(const UIChar* className) override;

 private:
  LRESULT OnCreate();
  void PlaceMenu();
  void PlaceSubMenu();
  // Gives the owner's sub-items back to the owner (idempotent).
  void ReturnSubItems();
  // True when `window` is a menu window registered with the observer.
  static bool IsMenuWindow(HWND window);

  CUIPoint m_ptBase;                   // screen point of a top-level menu
  CUIString m_sXml;                    // skin name or text of a top-level menu; empty for a sub-menu
  unsigned m_nXmlId = 0;               // skin resource number (when the skin is named by number)
  CWindowManagerUI m_pm;               // this window's own manager
  CMenuElementUI* m_pOwner = nullptr;  // borrowed: the item whose sub-menu this is; null at top level
  CMenuUI* m_pLayout = nullptr;        // a sub-menu's Menu: owned by m_pm as its root
  DWORD m_dwAlignment = 6;
  bool m_bSettingRegion = false;        // set while WM_SIZE sets the rounded region
  CLentItems m_lent;                   // the owner's sub-items while they show here
};

}  // namespace Trellis
