// CWindowManagerUI, notifications: UINotify records from controls to the
// sender's notify listeners and the window's INotifyUI listeners, delivered at
// once or queued and flushed on the private message 0x8001. A record whose
// sender goes away (ReapObjects) is never delivered with a null or freed
// sender: queued ones are dropped, one being delivered stops.
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
  // Without a sender the record could never be told apart from one whose
  // sender went away: nothing to queue.
  if (notify.pSender == nullptr) return;
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
  // Registered while it is delivered, so ReapObjects can clear its sender if
  // a listener deletes the sender; delivery then stops.
  m_aInFlightNotify.Add(&notify);
  CControlUI* sender = notify.pSender;
  if (sender != nullptr && sender->notifyListeners.HasDelegates()) sender->notifyListeners.Invoke(&notify);
  for (int i = 0; i < m_aNotifiers.GetSize(); ++i) {
    if (sender != nullptr && notify.pSender == nullptr) break;
    static_cast<INotifyUI*>(m_aNotifiers.GetAt(i))->Notify(notify);
  }
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
    if (notify->pSender != nullptr) DeliverNotify(*notify);
    delete notify;
  }
  DropDelayedCleanups();
}

}  // namespace Trellis
