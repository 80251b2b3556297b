#pragma once
// The pieces every message loop of the framework shares (the process's main
// loop and the modal loop of CWindowWnd): one wait that tells a message from
// WM_QUIT and from a failure, so an unfilled MSG is never dispatched, and one
// dispatch step with the framework's pre-translation. UI thread only.

#include <windows.h>

namespace Trellis {

enum class MessageWait {
  Message,  // msg holds a message to dispatch
  Quit,     // msg holds WM_QUIT
  Failed,   // GetMessageW failed; msg holds nothing usable
};

// Waits for the next message of this thread: of all windows (the loops' use),
// or of one window when a filter is given. A failure is only reported: the
// loops wait again (a failed wait neither closes a modal window's loop nor
// ends the program), so only WM_QUIT or the window going ends them.
MessageWait WaitForNextMessage(MSG& msg, HWND filter = nullptr);

// The function the wait calls in place of GetMessageW (tests make it fail);
// null puts GetMessageW back.
using GetMessageFunction = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);
void SetGetMessageFunction(GetMessageFunction function);
// Runs the framework's pre-translation over every window manager and, when
// none consumed the message, TranslateMessage and DispatchMessageW.
void DispatchWithPreTranslation(const MSG& msg);

}  // namespace Trellis
