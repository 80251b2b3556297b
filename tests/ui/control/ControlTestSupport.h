#pragma once

// Helpers of the control, container and scroll bar tests: a delegate target
// that records what the event sources report, and a probe control that
// records the events it is sent.
#include <windows.h>

#include <vector>

#include "ui/base/portable/Delegate.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"

namespace controltest {

using namespace Trellis;

// Records each call of an event source; the answer is configurable.
struct SourceRecorder {
  bool OnEvent(void* argument) {
    arguments.push_back(argument);
    if (check) check(argument);
    return answer;
  }
  CDelegate<SourceRecorder, SourceRecorder> Delegate() { return {this, &SourceRecorder::OnEvent}; }

  std::vector<void*> arguments;
  bool answer = true;
  void (*check)(void*) = nullptr;
};

// A control that records the kinds of the events it handles.
class EventProbe : public CControlUI {
 public:
  void HandleEvent(UIEvent& event) override {
    kinds.push_back(event.Type);
    CControlUI::HandleEvent(event);
  }
  std::vector<int> kinds;
};

// A named plain control of a fixed size.
inline CControlUI* MakeControl(const UIChar* name, int width = 0, int height = 0) {
  CControlUI* control = new CControlUI;
  control->SetName(name);
  if (width > 0) control->SetFixedWidth(width);
  if (height > 0) control->SetFixedHeight(height);
  return control;
}

inline bool SameRect(const CUIRect& a, const CUIRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace controltest
