#include "app/StartupChecks.h"

#include "app/ProductInfo.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/client/ClientState.h"

#include <shellapi.h>

// --- Elevation ---

ElevationOutcome ElevationCheck::Run() const {
  if (isAdministrator()) return ElevationOutcome::Continue;
  if (majorVersion() < 6) return ElevationOutcome::Continue;  // no elevation before Vista
  return relaunchElevated() ? ElevationOutcome::Relaunched : ElevationOutcome::Refused;
}

namespace {

bool IsAdministratorMember() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0,
                                0, 0, &administrators)) {
    DebugTrace(L"start-up: AllocateAndInitializeSid failed (error %lu)", GetLastError());
    return false;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

DWORD WindowsMajorVersion() {
  // RtlGetVersion tells the truth where GetVersionExW is capped by the manifest.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");  // always loaded; not ours to free
  auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                          : nullptr;
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (getVersion != nullptr && getVersion(&info) == 0) return info.dwMajorVersion;
  return 6;
}

bool RelaunchElevated() {
  wchar_t path[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0) return false;
  const std::wstring folder = GetExecutableFolder();
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpVerb = L"runas";
  info.lpFile = path;
  // The elevated copy would otherwise start in the system folder.
  info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&info)) {
    DebugTrace(L"start-up: elevated relaunch not started (error %lu)", GetLastError());
    return false;
  }
  OwnedHandle process(info.hProcess);
  return true;
}

}  // namespace

ElevationCheck SystemElevationCheck() {
  return ElevationCheck{IsAdministratorMember, WindowsMajorVersion, RelaunchElevated};
}

// --- Start-up order ---

StartupGate StartupSteps::Run() const {
  const bool first = isFirstInstance();
  const HWND running = first ? nullptr : findRunningWindow();
  switch (elevation.Run()) {
    case ElevationOutcome::Relaunched:
      return StartupGate::Relaunched;
    case ElevationOutcome::Refused:
      return StartupGate::End;
    case ElevationOutcome::Continue:
      break;
  }
  if (first) return StartupGate::Run;
  if (running != nullptr) wakeRunning(running);
  return StartupGate::End;
}

// --- Single instance ---

bool SingleInstance::Acquire() {
  m_mutex = CreateMutexW(nullptr, FALSE, kSingleInstanceMutex);
  if (m_mutex == nullptr) {
    // Without the mutex fall back to the window lookup alone.
    DebugTrace(L"start-up: single-instance mutex not created (error %lu)", GetLastError());
    return FindRunningWindow(0) == nullptr;
  }
  return GetLastError() != ERROR_ALREADY_EXISTS;
}

void SingleInstance::Release() {
  if (m_mutex != nullptr) CloseHandle(m_mutex);
  m_mutex = nullptr;
}

HWND SingleInstance::FindRunningWindow(DWORD waitMs) {
  const ULONGLONG end = GetTickCount64() + waitMs;
  for (;;) {
    HWND window = FindWindowW(kMainWindowClass, kProductTitle);
    if (window != nullptr || GetTickCount64() >= end) return window;
    Sleep(100);
  }
}
