#pragma once

// The program-wide register of open menu windows (ObserverImpl). It also keeps
// what the top-level menu was opened with: the window manager of the window
// that owns it (where clicks are reported) and the caller's check map.
#include <windows.h>

#include <map>
#include <string>

#include "ui/base/portable/UIChar.h"
#include "ui/base/portable/UIPtrArray.h"

namespace Trellis {

class CWindowManagerUI;
class MenuReceiverBase;

// Check states of check items by item name; owned by whoever opens the menu,
// so a state survives closing and re-opening the menu.
using CMenuCheckMap = std::map<std::basic_string<UIChar>, bool>;

// The operations an observer offers to receivers.
class MenuObserverBase {
 public:
  virtual ~MenuObserverBase() = default;
  virtual void AddReceiver(MenuReceiverBase* receiver) = 0;
  virtual void RemoveReceiver(MenuReceiverBase* receiver) = 0;
  virtual BOOL Broadcast(int type, HWND window) = 0;
};

class ObserverImpl : public MenuObserverBase {
 public:
  ObserverImpl() = default;
  ObserverImpl(const ObserverImpl&) = delete;
  ObserverImpl& operator=(const ObserverImpl&) = delete;

  // MenuObserverBase:
  // Appends the receiver (null ignored) and tells it about this observer.
  void AddReceiver(MenuReceiverBase* receiver) override;
  // Removes the first entry equal to the receiver (null ignored).
  void RemoveReceiver(MenuReceiverBase* receiver) override;
  // Hands (type, window) to every receiver from the last added to the first;
  // returns FALSE. Receivers only post their closing, so the array stays put.
  BOOL Broadcast(int type, HWND window) override;

  // Stores the owner manager; null is ignored (the old one stays).
  virtual void SetManager(CWindowManagerUI* manager);
  virtual CWindowManagerUI* GetManager() const { return m_pManager; }
  // Stores the caller's check map (null: none).
  virtual void SetCheckMap(CMenuCheckMap* map);
  virtual CMenuCheckMap* GetCheckMap() const { return m_pCheckMap; }
  // A new top-level menu replaces both the owner manager and the check map of
  // the one before, null values included, so a menu opened without a map
  // never writes into another caller's map, which may be gone by then.
  void BeginTopLevelMenu(CWindowManagerUI* manager, CMenuCheckMap* map);

  // Receivers in the order they were added; null entries are never stored.
  int GetReceiverCount() const { return m_aReceivers.GetSize(); }
  MenuReceiverBase* GetReceiverAt(int index) const;

 private:
  CUIPtrArray m_aReceivers;          // MenuReceiverBase*, borrowed: each window leaves before it is deleted
  CWindowManagerUI* m_pManager = nullptr;  // borrowed: set by each top-level menu
  CMenuCheckMap* m_pCheckMap = nullptr;    // borrowed from the caller of CMenuWnd::CreateMenu
};

}  // namespace Trellis
