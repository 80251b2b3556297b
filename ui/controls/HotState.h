#pragma once

// The hot state of a control that lights up while the mouse is over it (the
// edit, the combo box, the list header item and the list items): the hot bit
// of its state word is set on entering and cleared on leaving, and the
// control stays a mouse-leave listener while the point is still inside it
// (a native child window or a child control under the pointer makes the
// framework report a leave that is not one for the user).
#include <windows.h>

namespace Trellis {

class CControlUI;
struct UIEvent;

// How the control is repainted after a change of its hot bit; null means
// the control's own Invalidate.
using HotRepaint = void (*)(CControlUI* control);

// Handles mouse enter and mouse leave for `control`, whose state bits are
// `state`: entering inside the control while enabled sets kUIStateHot;
// leaving with the point still inside registers the control as a
// mouse-leave listener and changes nothing; leaving outside clears the bit
// (while enabled) and unregisters. Repaints only when the bit changed. True
// when the event was one of the two (the caller is done with it); false for
// every other event, which is left untouched.
bool TrackHotState(CControlUI& control, const UIEvent& event, UINT& state, HotRepaint repaint = nullptr);

}  // namespace Trellis
