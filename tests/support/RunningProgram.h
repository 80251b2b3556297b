#pragma once
// The one starter of the build's real programs (Quillora.exe, its test
// variant QuilloraTestHooks.exe, the benchmarks' helpers) for end-to-end tests
// and benchmarks, with the one list of the environment variables by which the
// test variant takes a test's service addresses; and the top-level windows a
// program shows, found by window class and process. A Program owns its
// process (ended when the Program goes, if still running) and the PEM files it
// writes for the test variant. Windows tests only; needs nothing of app/ or
// of the framework.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace testprograms {

// The folder of the running test program (where the build puts the programs), with a trailing backslash.
inline std::wstring BinFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The services a test points the test variant at. Empty fields keep the
// build's (or the settings file's) values.
struct ProgramEndpoints {
  std::string speech;        // the speech service's base address
  std::string management;    // the client-management base address
  std::string login;         // the login service's base address
  std::string caPem;         // the authority that signed the services' certificates
  std::string rsaPublicPem;  // the management envelope's public key
};

// How to start a program.
struct ProgramStart {
  std::wstring exe = L"QuilloraTestHooks.exe";  // a program of the build folder, or a full path
  std::wstring arguments;                        // after the program's quoted path
  std::wstring folder;                           // the working folder; empty: the build folder
  const ProgramEndpoints* endpoints = nullptr;   // null: the services the program finds itself
  std::vector<std::pair<std::wstring, std::wstring>> environment;  // more variables (QUILLORA_TEST_CRASH=1)
};

// A started program; ended (if still running) when the test is done.
class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (m_info.hProcess != nullptr) {
      if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 1);
        WaitForSingleObject(m_info.hProcess, 10000);
      }
      CloseHandle(m_info.hProcess);
    }
    for (const std::wstring& file : m_files) DeleteFileW(file.c_str());
  }

  // Starts `exe` of the build folder in `workingFolder` (default: the build folder).
  bool Start(const std::wstring& exe, const std::wstring& workingFolder = std::wstring()) {
    ProgramStart start;
    start.exe = exe;
    start.folder = workingFolder;
    return Start(start);
  }

  bool Start(const ProgramStart& start) {
    std::vector<std::pair<std::wstring, std::wstring>> variables = start.environment;
    if (start.endpoints != nullptr && !AddEndpoints(*start.endpoints, variables)) return false;
    std::wstring block = EnvironmentBlock(variables);
    const bool fullPath = start.exe.find(L':') != std::wstring::npos || start.exe.rfind(L"\\\\", 0) == 0;
    std::wstring commandLine = L"\"" + (fullPath ? start.exe : BinFolder() + start.exe) + L"\"";
    if (!start.arguments.empty()) commandLine += L" " + start.arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    const std::wstring folder = start.folder.empty() ? BinFolder() : start.folder;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, &block[0],
                        folder.c_str(), &startup, &m_info)) {
      // A start that fails only now and then under load must say why.
      std::fwprintf(stderr, L"CreateProcessW(%ls) in %ls failed: error %lu\n", commandLine.c_str(), folder.c_str(),
                    GetLastError());
      return false;
    }
    CloseHandle(m_info.hThread);
    m_info.hThread = nullptr;
    return true;
  }

  DWORD pid() const { return m_info.dwProcessId; }
  HANDLE process() const { return m_info.hProcess; }
  bool Running() const { return m_info.hProcess != nullptr && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }
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
  static std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
    return text;
  }

  // A PEM text as a file of the temporary folder, kept until the Program goes.
  bool WritePem(const std::string& pem, const wchar_t* stem, std::wstring& path) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path = std::wstring(temp) + L"quillora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(reinterpret_cast<uintptr_t>(this)) + L"-" + stem + L".pem";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      std::fwprintf(stderr, L"writing %ls failed: error %lu\n", path.c_str(), GetLastError());
      return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, pem.data(), static_cast<DWORD>(pem.size()), &written, nullptr) &&
                    written == pem.size();
    if (!ok) std::fwprintf(stderr, L"writing %ls failed: error %lu\n", path.c_str(), GetLastError());
    CloseHandle(file);
    m_files.push_back(path);
    return ok;
  }

  // The test variant's service variables: the one list of them.
  bool AddEndpoints(const ProgramEndpoints& endpoints, std::vector<std::pair<std::wstring, std::wstring>>& out) {
    const std::pair<const wchar_t*, const std::string*> addresses[] = {
        {L"QUILLORA_TEST_SPEECH_URL", &endpoints.speech},
        {L"QUILLORA_TEST_MANAGEMENT_URL", &endpoints.management},
        {L"QUILLORA_TEST_LOGIN_URL", &endpoints.login},
    };
    for (const auto& address : addresses) {
      if (!address.second->empty()) out.emplace_back(address.first, Wide(*address.second));
    }
    const std::pair<const wchar_t*, const std::string*> files[] = {
        {L"QUILLORA_TEST_CA_FILE", &endpoints.caPem},
        {L"QUILLORA_TEST_RSA_KEY_FILE", &endpoints.rsaPublicPem},
    };
    for (const auto& file : files) {
      if (file.second->empty()) continue;
      std::wstring path;
      if (!WritePem(*file.second, file.first, path)) return false;
      out.emplace_back(file.first, path);
    }
    return true;
  }

  // This process's environment with `variables` set (replacing any of the same name).
  static std::wstring EnvironmentBlock(const std::vector<std::pair<std::wstring, std::wstring>>& variables) {
    std::wstring block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; entry != nullptr && *entry != L'\0'; entry += wcslen(entry) + 1) {
      const std::wstring text = entry;
      const size_t equals = text.find(L'=', 1);  // "=C:=C:\..." entries start with '='
      bool replaced = false;
      for (const auto& variable : variables) {
        replaced = replaced || (equals == variable.first.size() &&
                                _wcsnicmp(text.c_str(), variable.first.c_str(), equals) == 0);
      }
      if (!replaced) block += text + L'\0';
    }
    if (strings != nullptr) FreeEnvironmentStringsW(strings);
    for (const auto& variable : variables) block += variable.first + L"=" + variable.second + L'\0';
    block += L'\0';
    return block;
  }

  PROCESS_INFORMATION m_info = {};
  std::vector<std::wstring> m_files;  // owned: the PEM files written for the program
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

}  // namespace testprograms
