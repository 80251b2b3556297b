#pragma once

// CStateImages: the pictures of a control that paints one image for its
// state (normal, hot, pushed, focused, disabled): keeps their descriptions
// and draws the one the state asks for, the normal image standing in for one
// that is not set or cannot be drawn. Shared by the edit, the combo box and
// the list header item; each says which states it has and which wins.
#include <windows.h>

#include "ui/base/portable/UIChar.h"
#include "ui/draw/portable/UIImageDrawInfo.h"

namespace Trellis {

class CControlUI;

class CStateImages {
 public:
  enum Slot { kNormal, kHot, kPushed, kFocused, kDisabled, kSlotCount };

  // Stores a description (null: none). False when the slot holds that
  // description already and it was loaded: nothing to repaint.
  bool Set(Slot slot, const UIChar* description);
  const UIChar* GetDescription(Slot slot) const { return m_images[slot].sDrawString.GetText(); }

  // The first of `order` (count slots, the winner first) whose state bit is
  // set in `state` (kUIStateHot, ...); normal when none is.
  static Slot Choose(UINT state, const Slot* order, int count);
  // Draws the slot's image over the control; the normal image when that one
  // is not set or cannot be drawn.
  void Draw(CControlUI& control, HDC hDC, Slot slot);

 private:
  UIImageDrawInfo m_images[kSlotCount];
};

}  // namespace Trellis
