#pragma once

// The records that travel between the window manager and controls: input and
// timer events addressed to one control (UIEvent), notifications from a
// control to the window's listeners (UINotify, INotifyUI), and the fixed bit
// values shared by controls, containers and the manager (event kinds, key
// state, control flags, FindControl flags, part state bits). Only the window
// manager unpacks raw window messages; controls see these records.
#include <windows.h>

#include <cstdint>

#include "ui/base/portable/UIGeometry.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

class CControlUI;

// Event kinds (UIEvent::Type). Mouse events are the kinds from mouse-move to
// scroll-wheel inclusive; key events from key-down to sys-key.
enum UIEventKind : int32_t {
  kUIEventKeyDown = 3,          // to the focus control on WM_KEYDOWN; it becomes the key control
  kUIEventKeyUp = 4,            // to the key control on WM_KEYUP
  kUIEventChar = 5,             // to the focus control on WM_CHAR
  kUIEventSysKey = 6,           // to the focus control on WM_SYSKEYDOWN (pre-translation)
  kUIEventMouseMove = 9,        // to the click control, else the control under the mouse
  kUIEventMouseLeave = 10,      // to the hover control when the mouse leaves it
  kUIEventMouseEnter = 11,      // to the new hover control
  kUIEventMouseHover = 12,      // to the hover control on WM_MOUSEHOVER
  kUIEventButtonDown = 13,      // to the control under the mouse
  kUIEventButtonUp = 14,        // to the click control
  kUIEventRightButtonDown = 15, // to the control under the mouse
  kUIEventDoubleClick = 16,     // to the control under the mouse
  kUIEventContextMenu = 17,     // to the click control
  kUIEventScrollWheel = 18,     // to the control under the mouse; wParam 0 up, 1 down
  kUIEventKillFocus = 20,       // to the old focus control; sender = the control taking the focus
  kUIEventSetFocus = 21,        // to the new focus control
  kUIEventWindowSize = 22,      // to the focus control on WM_SIZE
  kUIEventSetCursor = 23,       // to the control under the mouse (control flag 0x2 only)
  kUIEventTimer = 24,           // to the timer's control; wParam = the control's timer id

  kUIEventKeyFirst = kUIEventKeyDown,
  kUIEventKeyLast = kUIEventSysKey,
  kUIEventMouseFirst = kUIEventMouseMove,
  kUIEventMouseLast = kUIEventScrollWheel,
};

inline bool IsMouseEventKind(int32_t kind) { return kind >= kUIEventMouseFirst && kind <= kUIEventMouseLast; }
inline bool IsKeyEventKind(int32_t kind) { return kind >= kUIEventKeyFirst && kind <= kUIEventKeyLast; }

// Key state bits of UIEvent::wKeyState (from GetKeyState; for button events
// the message's wParam instead).
enum UIKeyState : uint16_t {
  kUIKeyStateLeftButton = 0x01,
  kUIKeyStateRightButton = 0x02,
  kUIKeyStateShift = 0x04,
  kUIKeyStateControl = 0x08,
  kUIKeyStateAlt = 0x20,
};

// Bits of CControlUI::GetControlFlags.
enum UIControlFlag : uint32_t {
  kUIFlagTabStop = 0x1,    // reached by Tab navigation
  kUIFlagSetCursor = 0x2,  // wants set-cursor events
};

// Flags of CControlUI::FindControl.
enum UIFindFlag : uint32_t {
  kUIFindVisible = 0x1,           // visible controls only
  kUIFindEnabled = 0x2,           // enabled controls only
  kUIFindHitTest = 0x4,           // the data is a CUIPoint in client coordinates that must be inside
  kUIFindUpdateTest = 0x8,        // refuse a control for which the callback answers
  kUIFindTopFirst = 0x10,         // containers search their children from the last to the first
  kUIFindMeFirst = 0x80000000u,   // offer the control before its cover and children
};

// State bits of the parts of interactive controls (buttons, scroll bar parts).
enum UIStateBit : uint32_t {
  kUIStateFocused = 0x01,
  kUIStateSelected = 0x02,
  kUIStateDisabled = 0x04,
  kUIStateHot = 0x08,
  kUIStatePushed = 0x10,
  kUIStateCaptured = 0x40,
};

// One input or timer event, addressed to a single control and delivered with
// CControlUI::SendEvent.
struct UIEvent {
  int32_t Type = 0;                // a UIEventKind
  CControlUI* pSender = nullptr;   // the addressed control (kill-focus: the control taking the focus, may be null); borrowed
  DWORD dwTimestamp = 0;           // GetTickCount at sending
  CUIPoint ptMouse;                // client coordinates: the message's point or the last mouse point
  UIChar chKey = 0;                // character or virtual-key code
  WORD wKeyState = 0;              // UIKeyState bits
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// One notification from a control to the window's listeners.
struct UINotify {
  CUIString sType;                 // fixed lower-case name: "click", "setfocus", "scroll", ...
  CUIString sVirtualWnd;           // the sender's virtual-window name, while virtual windows are in use
  CControlUI* pSender = nullptr;   // borrowed; null when the sender went away while the record was queued
  DWORD dwTimestamp = 0;           // GetTickCount at sending
  CUIPoint ptMouse;                // the manager's last mouse point at sending
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Receives a window's notifications (registered with CWindowManagerUI::AddNotifier).
class INotifyUI {
 public:
  // Called on the UI thread for every notification of the window, in
  // registration order; the record is valid only during the call.
  virtual void Notify(UINotify& msg) = 0;
  virtual ~INotifyUI() = default;
};

}  // namespace Trellis
