#pragma once
// The real programs of the build (Quillora.exe and its test variant), started
// by end-to-end tests from the test's own folder, and the top-level windows
// they show, found by window class and process. Windows tests only.
#include <windows.h>

#include <string>
#include <vector>

namespace testprograms {

// The folder of the running test program (where the build puts the programs), with a trailing backslash.
inline std::wstring BinFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// A started program; ended (if still running) when the test is done.
class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (m_info.hProcess == nullptr) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 1);
    CloseHandle(m_info.hProcess);
  }

  // Starts `exe` of the build folder in `workingFolder` (default: the build folder).
  bool Start(const std::wstring& exe, const std::wstring& workingFolder = std::wstring()) {
    std::wstring commandLine = L"\"" + BinFolder() + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workingFolder.empty() ? BinFolder().c_str() : workingFolder.c_str(), &startup, &m_info)) {
      return false;
    }
    CloseHandle(m_info.hThread);
    m_info.hThread = nullptr;
    return true;
  }
  DWORD pid() const { return m_info.dwProcessId; }
  void Terminate() {
    if (m_info.hProcess == nullptr) return;
    TerminateProcess(m_info.hProcess, 1);
    WaitForSingleObject(m_info.hProcess, 10000);
  }
  // The exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(m_info.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION m_info = {};
};

// The top-level windows of one window class and one process, visible or
// not. Other test programs may show windows of the same class at the same
// time, so windows are told apart by their process.
struct WindowSearch {
  const wchar_t* windowClass;
  DWORD pid;
  std::vector<HWND> found;
};

// A named callback: on i686 a lambda does not convert to the stdcall WNDENUMPROC.
inline BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && std::wstring(name) == search->windowClass) search->found.push_back(window);
  return TRUE;
}

inline std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* windowClass) {
  WindowSearch search{windowClass, pid, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first visible window of that class and process, or null.
inline HWND VisibleWindowOf(DWORD pid, const wchar_t* windowClass) {
  for (HWND window : WindowsOf(pid, windowClass)) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// The first visible window of that class and process, waiting up to `timeoutMs`; null when none appeared.
inline HWND WaitForWindow(DWORD pid, const wchar_t* windowClass, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (HWND window = VisibleWindowOf(pid, windowClass)) return window;
    if (GetTickCount64() >= end) return nullptr;
    Sleep(100);
  }
}

// Dispatches this thread's messages for a while.
inline void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
}

}  // namespace testprograms
