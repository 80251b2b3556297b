#include "ui/controls/menu/MenuReceiver.h"

#include "ui/controls/menu/MenuObserver.h"

namespace Trellis {

ReceiverImpl::~ReceiverImpl() { DetachFromObservers(); }

void ReceiverImpl::AddObserver(ObserverImpl* observer) {
  if (observer != nullptr) m_aObservers.Add(observer);
}

void ReceiverImpl::DetachFromObservers() {
  for (int i = 0; i < m_aObservers.GetSize(); ++i) {
    static_cast<ObserverImpl*>(m_aObservers.GetAt(i))->RemoveReceiver(this);
  }
  m_aObservers.Clear();
}

BOOL ReceiverImpl::Receive(int /*type*/, HWND /*window*/) { return FALSE; }

}  // namespace Trellis
