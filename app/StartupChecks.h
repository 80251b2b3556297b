#pragma once
// The two checks at the start of the program, kept apart from the start-up
// itself so that they can be tested alone: whether this process may run
// (single instance) and whether it must first restart elevated.
#include <windows.h>

#include <functional>

// What the administrator check decides.
enum class ElevationOutcome {
  Continue,    // member of Administrators, or a Windows before 6: go on as we are
  Relaunched,  // an elevated copy was started: this process exits with code 0
  Refused,     // relaunch refused or failed: start-up ends (main returns 0)
};

// The check with its three questions put to the system injected, so the
// decision can be tested without a real token or a consent prompt.
struct ElevationCheck {
  std::function<bool()> isAdministrator;     // membership of the built-in Administrators group
  std::function<DWORD()> majorVersion;       // Windows major version
  std::function<bool()> relaunchElevated;    // "runas" on our own path; true when started
  ElevationOutcome Run() const;
};

// The checks of this machine: token membership, the running Windows version,
// and ShellExecuteExW "runas" with the program's folder as working folder.
ElevationCheck SystemElevationCheck();

// What the first steps of the start-up decide.
enum class StartupGate {
  Run,         // the first instance, allowed to run as it is: go on with the start-up
  Relaunched,  // an elevated copy was started: this process exits with code 0
  End,         // relaunch refused or failed, or another instance runs: main returns 0
};

// The first steps in their order, with the system's part injected so that the
// order can be tested: look for a running instance, then the administrator
// check (which may restart us elevated), and only then wake the running
// instance. A copy that is not elevated cannot post to an elevated window
// (the system drops the message), so the wake-up is sent by the elevated
// copy that the check starts.
struct StartupSteps {
  std::function<bool()> isFirstInstance;          // the single-instance mark is now ours
  std::function<HWND()> findRunningWindow;        // the running instance's main window, or null
  ElevationCheck elevation;
  std::function<void(HWND running)> wakeRunning;  // posts WM_APP_ACTIVATE_INSTANCE to it
  StartupGate Run() const;
};

// The single running instance. The first start creates a named mutex and
// keeps it; a later start finds it, waits briefly for the first one's main
// window (it may still be starting), asks it to come to the front and ends.
class SingleInstance {
 public:
  // True when this is the first instance (the mutex is now ours).
  bool Acquire();
  // Lets go of the mutex (before an elevated copy of us takes over).
  void Release();
  // Finds the running instance's main window, waiting up to `waitMs` for it.
  static HWND FindRunningWindow(DWORD waitMs);

 private:
  HANDLE m_mutex = nullptr;  // owned: closed by Release or at exit
};
