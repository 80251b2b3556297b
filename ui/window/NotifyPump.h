#pragma once

// CNotifyPump: dispatches a window's notifications through per-class
// notification maps, walked from the deriving class to its bases, so a window
// binds a handler to a notification type from one named control (or from any
// control) by a table instead of a chain of comparisons. UI thread only.
//
// A class declares its map with TRELLIS_DECLARE_NOTIFY_MAP() and defines it:
//   TRELLIS_BEGIN_NOTIFY_MAP(CMyWnd, WindowImplBase)
//     TRELLIS_NOTIFY_ON(UI_TEXT("click"), UI_TEXT("btnOk"), CMyWnd, OnOk)        // OnOk(UINotify&)
//     TRELLIS_NOTIFY_ON_PARAMS(UI_TEXT("timer"), UI_TEXT(""), CMyWnd, OnTick)    // OnTick(WPARAM, LPARAM)
//   TRELLIS_END_NOTIFY_MAP()
#include <windows.h>

#include <cstdint>

#include "ui/base/portable/UIChar.h"
#include "ui/base/portable/UIStringMap.h"

namespace Trellis {

struct UINotify;
class CNotifyPump;

// Handler kinds of a map entry; the end entry carries UINotifyHandlerEnd.
enum UINotifyHandlerKind : int32_t {
  UINotifyHandlerEnd = 0,
  UINotifyHandlerParams = 1,  // handler(wParam, lParam) of the notification
  UINotifyHandlerRecord = 2,  // handler(the whole notification)
};

using UINotifyParamsHandler = void (CNotifyPump::*)(WPARAM, LPARAM);
using UINotifyRecordHandler = void (CNotifyPump::*)(UINotify&);

// One entry of a notification map. The texts are literals of the map's
// definition, so maps are constant data without start-up code.
struct UINotifyMapEntry {
  const UIChar* type;                   // notification type, compared exactly ("click")
  const UIChar* controlName;            // sender's name, compared exactly; empty: any control
  UINotifyHandlerKind kind;
  UINotifyParamsHandler paramsHandler;  // set for UINotifyHandlerParams
  UINotifyRecordHandler recordHandler;  // set for UINotifyHandlerRecord
};

// A class's map record: its entries and its base class's record.
struct UINotifyMap {
  const UINotifyMap* baseMap;       // null for CNotifyPump's own map
  const UINotifyMapEntry* entries;  // ends with a UINotifyHandlerEnd entry
};

class CNotifyPump {
 public:
  CNotifyPump();
  virtual ~CNotifyPump() = default;
  CNotifyPump(const CNotifyPump&) = delete;
  CNotifyPump& operator=(const CNotifyPump&) = delete;

  // The map record of the object's class (each class with a map overrides it).
  virtual const UINotifyMap* GetMessageMap() const;

  // Dispatches one notification: to the pump registered for its virtual-window
  // name when there is one and it handles it, else through this object's maps.
  // Unhandled notifications are ignored.
  void NotifyPump(UINotify& msg);
  // Tries this object's class map, then each base map; true when a handler ran.
  bool LoopDispatch(UINotify& msg);
  // The entry for this notification in one map: an entry of the same type for
  // the sender's name wins at once, else the last catch-all entry of that type; null when none.
  static const UINotifyMapEntry* FindMapEntry(const UINotifyMapEntry* entries, const UINotify& msg);

  // Routes notifications of controls in a virtual window of this name to
  // another pump (not owned); false when the name is empty or taken.
  bool AddVirtualWnd(const UIChar* name, CNotifyPump* pump);
  // Stops routing that name; false when it was not routed.
  bool RemoveVirtualWnd(const UIChar* name);

 protected:
  static const UINotifyMap s_notifyMap;

 private:
  static const UINotifyMapEntry s_notifyMapEntries[];

  CUIStringMap m_virtualWnds;  // virtual-window name -> CNotifyPump* (not owned)
};

}  // namespace Trellis

#define TRELLIS_DECLARE_NOTIFY_MAP()                                       \
 private:                                                                  \
  static const ::Trellis::UINotifyMapEntry s_notifyMapEntries[];           \
                                                                           \
 protected:                                                                \
  static const ::Trellis::UINotifyMap s_notifyMap;                         \
                                                                           \
 public:                                                                   \
  const ::Trellis::UINotifyMap* GetMessageMap() const override;            \
                                                                           \
 private:

#define TRELLIS_BEGIN_NOTIFY_MAP(theClass, baseClass)                                                     \
  const ::Trellis::UINotifyMap* theClass::GetMessageMap() const { return &theClass::s_notifyMap; }        \
  const ::Trellis::UINotifyMap theClass::s_notifyMap = {&baseClass::s_notifyMap, &theClass::s_notifyMapEntries[0]}; \
  const ::Trellis::UINotifyMapEntry theClass::s_notifyMapEntries[] = {

#define TRELLIS_NOTIFY_ON(type, controlName, theClass, handler)                                 \
  {type, controlName, ::Trellis::UINotifyHandlerRecord, nullptr,                                \
   static_cast<::Trellis::UINotifyRecordHandler>(&theClass::handler)},

#define TRELLIS_NOTIFY_ON_PARAMS(type, controlName, theClass, handler)                          \
  {type, controlName, ::Trellis::UINotifyHandlerParams,                                         \
   static_cast<::Trellis::UINotifyParamsHandler>(&theClass::handler), nullptr},

#define TRELLIS_END_NOTIFY_MAP()                                             \
  { nullptr, nullptr, ::Trellis::UINotifyHandlerEnd, nullptr, nullptr }     \
  }                                                                          \
  ;
