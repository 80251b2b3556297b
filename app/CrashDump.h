#pragma once
// The crash handler: an unhandled exception writes a minidump beside the
// program and starts the crash reporter with the dump's name.
//
// The dump and the reporter are both placed by the executable's folder, never
// by the current directory: after an elevated relaunch the current directory
// is the system folder, where the dump could not be written and the reporter
// would not be found.
#include <windows.h>

#include <string>

struct CrashHandlerSettings {
  std::string reporterCommand = "./Crashvane.exe quillora.ini";  // empty: start no reporter
  std::string extraText;                                          // appended as a third part when set
  std::string dumpPrefix = "Client";
};

// The dump's file name for a crash at `time`: "<prefix>_<month>-<day>_<h>-<m>-<s>.dmp",
// without zero padding.
std::string FormatDumpFileName(const std::string& prefix, const SYSTEMTIME& time);

// The reporter's command line: "<command>,<dump>" or "<command>,<dump>,<extra>"
// when the extra text is set.
std::string FormatReporterCommandLine(const CrashHandlerSettings& settings, const std::string& dumpFileName);

// Sets the program-wide settings and installs the crash filter.
void InstallCrashHandler(const CrashHandlerSettings& settings);

// The crash filter: writes the dump and starts the reporter. Returns
// EXCEPTION_EXECUTE_HANDLER (the process ends) when the dump was saved, else
// EXCEPTION_CONTINUE_SEARCH.
LONG WINAPI CrashDumpFilter(EXCEPTION_POINTERS* exception);
