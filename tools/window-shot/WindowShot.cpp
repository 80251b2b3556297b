// QuilloraWindowShot.exe: a helper of tools/run.sh, never shipped. Waits for
// the program's main window to appear, lets it paint, and saves it as a PNG
// (the file name is the argument; the folder is QUILLORA_SCREENSHOT_DIR).
// Exit code 0 when the picture was saved.
#include "tests/support/Screenshot.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  const std::wstring fileName = arguments != nullptr && *arguments != L'\0' ? arguments : L"main-window.png";
  HWND window = nullptr;
  for (int i = 0; i < 600 && window == nullptr; ++i) {  // up to a minute
    window = FindWindowW(L"_QuilloraMainWnd_", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) {
      window = nullptr;
      Sleep(100);
    }
  }
  if (window == nullptr) return 1;
  Sleep(3000);  // the first paint and the catalogue replies
  return testshots::SaveWindowPng(fileName, window) ? 0 : 1;
}
