#pragma once

// CVerticalLayoutUI: stacks its visible children top to bottom; children without a
// fixed height share the room the others leave, and the scroll bars follow
// the content. With a separator ("sepheight") the user can drag the layout's
// own height.
#include "ui/layout/StackLayoutUI.h"

namespace Trellis {

class CVerticalLayoutUI : public CStackLayoutUI {
 public:
  CVerticalLayoutUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "VerticalLayout": the layout; else the container's answer.
  void* GetInterface(const UIChar* name) override;
};

}  // namespace Trellis
