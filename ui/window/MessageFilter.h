#pragma once
// The two hooks a window manager offers for raw window messages: filters that
// see a window's messages before the manager handles them, and accelerator
// translators that may consume queued key messages before they are
// dispatched. Neither is owned by the manager that lists it.

#include <windows.h>

namespace Trellis {

// Sees a message before the manager (message filters) or during the message
// loop's pre-translation (pre-message filters). Setting handled to true ends
// the handling; the returned value is then the message's result.
class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  // Looks at one message; does not need to set handled (it arrives false).
  virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
};

// Translates keyboard shortcuts of a window during the message loop.
class ITranslateAccelerator {
 public:
  virtual ~ITranslateAccelerator() = default;
  // Returns 0 when it consumed the message (it is then not dispatched),
  // anything else to let the message go on.
  virtual LRESULT TranslateKeyMessage(MSG* message) = 0;
};

}  // namespace Trellis
