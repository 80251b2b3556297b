#pragma once
// The tests' one message pump and one wait: run this thread's queued messages
// through the framework's loop steps (the managers' pre-translation,
// TranslateMessage, DispatchMessageW), for a while, or until a condition
// holds. Header only; programs that use it link the framework.
#include <windows.h>

#include "ui/window/WindowManager.h"

#include <functional>

namespace testwait {

// Runs every message queued for this thread now, painting included (WM_PAINT
// is made when nothing else waits). Every window of the thread is served
// (pop-ups such as menus included). A WM_QUIT is left for the test's own loop.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!Trellis::CWindowManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

// Pumps for a while (timers, delayed notifications, animations, another process's work).
inline void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  do {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount64() < end);
  Pump();
}

// Checks `done` until it holds, pumping between checks; false after `timeoutMs`.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return false;
    PumpFor(50);
  }
  return true;
}

}  // namespace testwait
