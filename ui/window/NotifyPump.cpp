// Notification maps: dispatch of a UINotify to the handler bound to its type
// and sender name, walking the class's map and then its bases' maps.
#include "ui/window/NotifyPump.h"

#include "ui/base/portable/UIString.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"

namespace Trellis {

const UINotifyMap CNotifyPump::s_notifyMap = {nullptr, &CNotifyPump::s_notifyMapEntries[0]};
const UINotifyMapEntry CNotifyPump::s_notifyMapEntries[] = {
    {nullptr, nullptr, UINotifyHandlerEnd, nullptr, nullptr},
};

CNotifyPump::CNotifyPump() : m_virtualWnds(83) {}

const UINotifyMap* CNotifyPump::GetMessageMap() const { return &s_notifyMap; }

bool CNotifyPump::AddVirtualWnd(const UIChar* name, CNotifyPump* pump) {
  if (name == nullptr || name[0] == 0 || pump == nullptr) return false;
  if (m_virtualWnds.Find(name, false) != nullptr) return false;
  return m_virtualWnds.Insert(name, pump);
}

bool CNotifyPump::RemoveVirtualWnd(const UIChar* name) { return name != nullptr && m_virtualWnds.Remove(name); }

void CNotifyPump::NotifyPump(UINotify& msg) {
  if (!msg.sVirtualWnd.IsEmpty()) {
    for (int i = 0; i < m_virtualWnds.GetCount(); ++i) {
      const UIChar* key = m_virtualWnds.GetKeyAt(i);
      if (key == nullptr || msg.sVirtualWnd.CompareNoCase(key) != 0) continue;
      auto* pump = static_cast<CNotifyPump*>(m_virtualWnds.Find(key, false));
      if (pump != nullptr && pump->LoopDispatch(msg)) return;
    }
  }
  LoopDispatch(msg);
}

bool CNotifyPump::LoopDispatch(UINotify& msg) {
  for (const UINotifyMap* map = GetMessageMap(); map != nullptr; map = map->baseMap) {
    const UINotifyMapEntry* entry = FindMapEntry(map->entries, msg);
    if (entry == nullptr) continue;
    if (entry->kind == UINotifyHandlerParams && entry->paramsHandler != nullptr) {
      (this->*entry->paramsHandler)(msg.wParam, msg.lParam);
      return true;
    }
    if (entry->kind == UINotifyHandlerRecord && entry->recordHandler != nullptr) {
      (this->*entry->recordHandler)(msg);
      return true;
    }
    return false;
  }
  return false;
}

const UINotifyMapEntry* CNotifyPump::FindMapEntry(const UINotifyMapEntry* entries, const UINotify& msg) {
  if (entries == nullptr) return nullptr;
  // The sender may be gone by the time a queued notification is delivered;
  // then only catch-all entries can match.
  CUIString senderName;
  if (msg.pSender != nullptr) senderName = msg.pSender->GetName();
  const UINotifyMapEntry* catchAll = nullptr;
  for (const UINotifyMapEntry* entry = entries; entry->kind != UINotifyHandlerEnd; ++entry) {
    if (entry->type == nullptr || msg.sType.Compare(entry->type) != 0) continue;
    const bool anyControl = entry->controlName == nullptr || entry->controlName[0] == 0;
    if (anyControl) {
      catchAll = entry;
    } else if (msg.pSender != nullptr && senderName.Compare(entry->controlName) == 0) {
      return entry;
    }
  }
  return catchAll;
}

}  // namespace Trellis
