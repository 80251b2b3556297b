#include "ui/window/MessageLoop.h"

#include "core/base/DebugTrace.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {
GetMessageFunction g_getMessage = nullptr;  // null: GetMessageW
}  // namespace

void SetGetMessageFunction(GetMessageFunction function) { g_getMessage = function; }

MessageWait WaitForNextMessage(MSG& msg, HWND filter) {
  const BOOL got = g_getMessage != nullptr ? g_getMessage(&msg, filter, 0, 0) : ::GetMessageW(&msg, filter, 0, 0);
  if (got == -1) {
    // The MSG was not filled: dispatching it would replay stale or random data.
    DebugTrace(L"Trellis: GetMessageW failed, error %lu", ::GetLastError());
    return MessageWait::Failed;
  }
  return got == 0 ? MessageWait::Quit : MessageWait::Message;
}

void DispatchWithPreTranslation(const MSG& msg) {
  if (CWindowManagerUI::TranslateMessage(&msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace Trellis
