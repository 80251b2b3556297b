#pragma once

// Where the native child window of a control goes (the edit's native edit,
// the date-time control's picker): both controls lay their child over their
// own rectangle, clipped by every ancestor, and hide it rather than move it
// when nothing of it would be seen.
#include <windows.h>

#include "ui/base/portable/UIGeometry.h"

namespace Trellis {

class CControlUI;

// `rc` clipped by the client area of every ancestor of the control, from its
// parent up; all zero when an ancestor is hidden or clips it away completely.
CUIRect ClipToAncestors(const CControlUI& control, CUIRect rc);

// Puts the child on `rc` (shown, not activated, z-order kept), or hides it
// when `rc` is empty. Nothing for a null child.
void PlaceNativeChild(HWND child, const CUIRect& rc);

// The show command for a child made over `rc`: hidden when `rc` is empty.
int NativeChildShowCommand(const CUIRect& rc);

}  // namespace Trellis
