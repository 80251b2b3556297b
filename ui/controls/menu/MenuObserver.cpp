#include "ui/controls/menu/MenuObserver.h"

#include "ui/controls/menu/MenuReceiver.h"

namespace Trellis {

void ObserverImpl::AddReceiver(MenuReceiverBase* receiver) {
  if (receiver == nullptr) return;
  m_aReceivers.Add(receiver);
  receiver->AddObserver(this);
}

void ObserverImpl::RemoveReceiver(MenuReceiverBase* receiver) {
  if (receiver == nullptr) return;
  const int index = m_aReceivers.Find(receiver);
  if (index >= 0) m_aReceivers.Remove(index);
}

BOOL ObserverImpl::Broadcast(int type, HWND window) {
  for (int i = m_aReceivers.GetSize() - 1; i >= 0; --i) {
    auto* receiver = static_cast<MenuReceiverBase*>(m_aReceivers.GetAt(i));
    if (receiver != nullptr) receiver->Receive(type, window);
  }
  return FALSE;
}

void ObserverImpl::SetManager(CWindowManagerUI* manager) {
  if (manager != nullptr) m_pManager = manager;
}

void ObserverImpl::SetCheckMap(CMenuCheckMap* map) { m_pCheckMap = map; }

void ObserverImpl::BeginTopLevelMenu(CWindowManagerUI* manager, CMenuCheckMap* map) {
  m_pManager = manager;
  m_pCheckMap = map;
}

MenuReceiverBase* ObserverImpl::GetReceiverAt(int index) const {
  return static_cast<MenuReceiverBase*>(m_aReceivers.GetAt(index));
}

}  // namespace Trellis
