#pragma once
// The main window's first paint, which the start-up fetches wait for before
// their transfers. Run beside the window's creation, their set-up (TLS,
// libraries loading on several threads at once) slows the window that the
// user waits for; the replies come later anyway.
#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "core/base/WorkerThread.h"

class FirstPaintGate {
 public:
  FirstPaintGate();
  FirstPaintGate(const FirstPaintGate&) = delete;
  FirstPaintGate& operator=(const FirstPaintGate&) = delete;

  // The window has painted (or will not): every wait ends, now and later.
  void Open();
  // Waits until the gate is open, the token asks to stop, or `timeoutMs`
  // has passed; true when the gate is open.
  bool Wait(const StopToken& stop, DWORD timeoutMs) const;

 private:
  OwnedHandle m_event;  // manual-reset
};

// The program's gate, opened by the main window's first paint.
FirstPaintGate& MainWindowFirstPaint();
