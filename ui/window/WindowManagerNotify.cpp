// CWindowManagerUI, notifications: UINotify records from controls to the
// sender's notify listeners and the window's INotifyUI listeners, delivered at
// once or queued and flushed on the private message 0x8001. A record whose
// sender goes away (ReapObjects) is still delivered, with a null sender, so
// delivery never reads a freed control: queued ones lose their sender, and
// one being delivered goes on to the remaining listeners without it.
//
// Sections: Sending; Delivery; Flush.
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

// --- Sending ---

void CWindowManagerUI::SendNotify(CControlUI* sender, const UIChar* type, WPARAM wParam, LPARAM lParam, bool async,
                                  bool noMerge) {
  UINotify notify;
  notify.sType.AssignText(type);
  notify.pSender = sender;
  notify.wParam = wParam;
  notify.lParam = lParam;
  SendNotifyRecord(notify, async, noMerge);
}

void CWindowManagerUI::SendNotifyRecord(UINotify& notify, bool async, bool noMerge) {
  notify.ptMouse = m_ptLastMousePos;
  notify.dwTimestamp = ::GetTickCount();
  if (m_bUsedVirtualWnd && notify.pSender != nullptr) notify.sVirtualWnd = notify.pSender->GetVirtualWindowName();
  if (!async) {
    DeliverNotify(notify);
    return;
  }
  if (!noMerge) {
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
      auto* queued = static_cast<UINotify*>(m_aAsyncNotify.GetAt(i));
      if (queued->pSender == notify.pSender && queued->sType.EqualsText(notify.sType.GetText())) {
        queued->sVirtualWnd = notify.sVirtualWnd;
        queued->wParam = notify.wParam;
        queued->lParam = notify.lParam;
        queued->ptMouse = notify.ptMouse;
        queued->dwTimestamp = notify.dwTimestamp;
        return;
      }
    }
  }
  auto* copy = new UINotify(notify);
  if (!m_aAsyncNotify.Add(copy)) {
    delete copy;
    return;
  }
  if (!m_bAsyncNotifyPosted && m_hWndPaint != nullptr) {
    m_bAsyncNotifyPosted = ::PostMessageW(m_hWndPaint, kFlushNotifyMessage, 0, 0) != FALSE;
  }
}

// --- Delivery ---

void CWindowManagerUI::DeliverNotify(UINotify& notify) {
  // Registered while it is delivered, so ReapObjects clears its sender when a
  // listener deletes the sender: the listeners after it still get the record,
  // with a null sender. What a listener returns never stops the delivery.
  m_aInFlightNotify.Add(&notify);
  if (notify.pSender != nullptr && notify.pSender->notifyListeners.HasDelegates()) {
    notify.pSender->notifyListeners.Invoke(&notify);
  }
  for (int i = 0; i < m_aNotifiers.GetSize(); ++i) static_cast<INotifyUI*>(m_aNotifiers.GetAt(i))->Notify(notify);
  for (int i = m_aInFlightNotify.GetSize() - 1; i >= 0; --i) {
    if (m_aInFlightNotify.GetAt(i) == &notify) {
      m_aInFlightNotify.Remove(i);
      break;
    }
  }
}

// --- Flush ---

void CWindowManagerUI::FlushNotifications() {
  m_bAsyncNotifyPosted = false;
  // Each record leaves the queue before it is delivered: a listener may
  // rebuild the tree (AttachRootControl empties the queue) or queue more.
  while (!m_aAsyncNotify.IsEmpty()) {
    auto* notify = static_cast<UINotify*>(m_aAsyncNotify.GetAt(0));
    m_aAsyncNotify.Remove(0);
    DeliverNotify(*notify);  // the sender's own listeners only while it is alive
    delete notify;
  }
  DropDelayedCleanups();
}

}  // namespace Trellis
