#pragma once

// CHorizontalLayoutUI: stacks its visible children left to right; children without a
// fixed width share the room the others leave, and the scroll bars follow
// the content. With a separator ("sepwidth") the user can drag the layout's
// own width.
#include "ui/layout/StackLayoutUI.h"

namespace Trellis {

class CHorizontalLayoutUI : public CStackLayoutUI {
 public:
  CHorizontalLayoutUI();

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "HorizontalLayout": the layout; else the container's answer.
  void* GetInterface(const UIChar* name) override;
};

}  // namespace Trellis
