#pragma once
// A program of the build started by an end-to-end test, ended (if still
// running) when the test is done, and the search for its main window among
// the desktop's windows (other programs may show windows of the same class).
// Windows tests only.
#include <windows.h>

#include <string>
#include <vector>

#include "app/ProductInfo.h"

namespace apptest {

// The folder of the running test program (the build's bin folder), with its backslash.
inline std::wstring BinFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

class RunningProgram {
 public:
  RunningProgram() = default;
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;
  ~RunningProgram() {
    if (m_info.hProcess == nullptr) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(m_info.hProcess, 1);
      WaitForSingleObject(m_info.hProcess, 10000);
    }
    CloseHandle(m_info.hProcess);
  }

  // Starts a program of the bin folder there; its environment is this one's.
  bool Start(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + BinFolder() + exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, BinFolder().c_str(), &startup,
                        &m_info)) {
      return false;
    }
    CloseHandle(m_info.hThread);
    m_info.hThread = nullptr;
    return true;
  }
  DWORD pid() const { return m_info.dwProcessId; }
  bool Running() const { return m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }

  // The top-level windows of this process of a window class, visible or not.
  std::vector<HWND> WindowsOfClass(const wchar_t* className) const {
    Search search{m_info.dwProcessId, className, {}};
    EnumWindows(&RunningProgram::Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // The visible main window, waiting for it up to `timeoutMs`; null when none came.
  HWND WaitForMainWindow(DWORD timeoutMs) const {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
      for (HWND window : WindowsOfClass(kMainWindowClass)) {
        if (IsWindowVisible(window)) return window;
      }
      if (GetTickCount64() >= end) return nullptr;
      Sleep(100);
    }
  }

 private:
  struct Search {
    DWORD pid;
    const wchar_t* className;
    std::vector<HWND> found;
  };
  // A named stdcall callback: on i686 a lambda does not convert to WNDENUMPROC.
  static BOOL CALLBACK Collect(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid && std::wstring(name) == search->className) search->found.push_back(window);
    return TRUE;
  }

  PROCESS_INFORMATION m_info = {};
};

}  // namespace apptest
