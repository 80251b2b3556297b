#pragma once

// The receiving side of the menu broadcast: every open menu window is a
// receiver registered with the program-wide observer (ObserverImpl), through
// which any menu can close all menus or only the sub-menus below a window.
#include <windows.h>

#include "ui/base/portable/UIPtrArray.h"

namespace Trellis {

class ObserverImpl;

// The operations a receiver offers to its observers.
class MenuReceiverBase {
 public:
  virtual ~MenuReceiverBase() = default;
  // Remembers an observer this receiver is registered with; does not register.
  virtual void AddObserver(ObserverImpl* observer) = 0;
  // Leaves every observer this receiver was registered with.
  virtual void DetachFromObservers() = 0;
  // Reacts to a broadcast: 1 = close, 2 = close when `window` is an ancestor.
  virtual BOOL Receive(int type, HWND window) = 0;
};

class ReceiverImpl : public MenuReceiverBase {
 public:
  ReceiverImpl() = default;
  // Leaves the observers still held, so none keeps a dangling receiver.
  ~ReceiverImpl() override;
  ReceiverImpl(const ReceiverImpl&) = delete;
  ReceiverImpl& operator=(const ReceiverImpl&) = delete;

  // MenuReceiverBase:
  // Appends the observer (null ignored); does not register with it.
  void AddObserver(ObserverImpl* observer) override;
  // Calls RemoveReceiver(this) on every observer and forgets them all.
  void DetachFromObservers() override;
  // The base reacts to nothing; returns FALSE.
  BOOL Receive(int type, HWND window) override;

 private:
  CUIPtrArray m_aObservers;  // ObserverImpl*, borrowed: the observer outlives every menu window
};

}  // namespace Trellis
