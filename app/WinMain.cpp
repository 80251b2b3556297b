// The program entry: the embedded skin archive, the start-up, the message loop.
#include "app/MainWnd.h"
#include "app/ProductInfo.h"
#include "app/Startup.h"
#include "app/StartupBench.h"
#include "core/base/BenchReport.h"
#include "core/base/DebugTrace.h"
#include "ui/controls/BuiltInControls.h"
#include "ui/window/WindowManager.h"

#include <windows.h>

namespace {

// Hands the skin archive to the framework as a view of the program's
// resources: they stay mapped, read-only, for the whole run, so no copy is
// needed. False when any step of the lookup fails (the first skinned window
// then reports the missing skin).
bool LoadSkinArchive(HINSTANCE instance) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(kSkinArchiveResourceId), kSkinArchiveResourceType);
  if (resource == nullptr) {
    DebugTrace(L"start-up: skin archive resource not found (error %lu)", GetLastError());
    return false;
  }
  const DWORD size = SizeofResource(instance, resource);
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (size == 0 || bytes == nullptr) {
    DebugTrace(L"start-up: skin archive resource not loaded (error %lu)", GetLastError());
    return false;
  }
  Trellis::CWindowManagerUI::SetResourceZipMemory(bytes, size);
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  BenchMark("main");
  StartStartupBenchProbe();
  Trellis::CWindowManagerUI::SetInstance(instance);
  Trellis::RegisterBuiltInControls();  // before the first skin is built
  LoadSkinArchive(instance);
  BenchMark("skin_archive");
  if (RunApplicationMain() == 1) Trellis::CWindowManagerUI::RunMessageLoop();
  // Quitting ends the loop with the main window still alive: it goes now,
  // with none of its handlers on the stack.
  DestroyMainWindow();
  return 0;
}
