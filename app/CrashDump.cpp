#include "app/CrashDump.h"

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/TextConversion.h"
#include "core/client/ClientState.h"

#include <dbghelp.h>

#include <cstdio>
#include <vector>

namespace {

CrashHandlerSettings& Settings() {
  static CrashHandlerSettings settings;
  return settings;
}

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// The debug-help library: the copy beside the program first (it may be newer
// than the system's), else the system's.
OwnedModule LoadDebugHelp(const std::wstring& exeFolder) {
  OwnedModule module;
  if (!exeFolder.empty()) module.Reset(LoadLibraryW((exeFolder + L"DBGHELP.DLL").c_str()));
  if (!module) module.Reset(LoadLibraryW(L"DBGHELP.DLL"));
  return module;
}

bool WriteDump(const std::wstring& path, EXCEPTION_POINTERS* exception, const std::wstring& exeFolder) {
  OwnedModule dbghelp = LoadDebugHelp(exeFolder);
  if (!dbghelp) {
    DebugTrace(L"crash: DBGHELP.DLL not loaded (error %lu)", GetLastError());
    return false;
  }
  auto writeDump = reinterpret_cast<MiniDumpWriteDumpFn>(
      reinterpret_cast<void*>(GetProcAddress(dbghelp.Get(), "MiniDumpWriteDump")));
  if (writeDump == nullptr) {
    DebugTrace(L"crash: MiniDumpWriteDump missing");
    return false;
  }
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DebugTrace(L"crash: cannot create %ls (error %lu)", path.c_str(), GetLastError());
    return false;
  }
  MINIDUMP_EXCEPTION_INFORMATION info = {};
  info.ThreadId = GetCurrentThreadId();
  info.ExceptionPointers = exception;
  info.ClientPointers = FALSE;
  const BOOL written = writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), MiniDumpNormal,
                                 exception != nullptr ? &info : nullptr, nullptr, nullptr);
  if (!written) DebugTrace(L"crash: MiniDumpWriteDump failed (error %lu)", GetLastError());
  return written != FALSE;
}

// Starts the reporter from the program's folder. The command line goes into a
// writable buffer: CreateProcessW may write into the one it is given.
bool StartReporter(const std::string& commandLine, const std::wstring& exeFolder) {
  std::wstring wide = AnsiToWide(commandLine);
  std::vector<wchar_t> buffer(wide.begin(), wide.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  GetStartupInfoW(&startup);
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  const std::wstring reporterPath = exeFolder + L"Crashvane.exe";
  if (!CreateProcessW(exeFolder.empty() ? nullptr : reporterPath.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, exeFolder.empty() ? nullptr : exeFolder.c_str(), &startup,
                      &process)) {
    DebugTrace(L"crash: reporter not started (error %lu)", GetLastError());
    return false;
  }
  OwnedHandle thread(process.hThread);
  OwnedHandle child(process.hProcess);
  return true;
}

}  // namespace

std::string FormatDumpFileName(const std::string& prefix, const SYSTEMTIME& time) {
  char name[MAX_PATH];
  std::snprintf(name, sizeof(name), "%s_%d-%d_%d-%d-%d.dmp", prefix.c_str(), time.wMonth, time.wDay, time.wHour,
                time.wMinute, time.wSecond);
  return name;
}

std::string FormatReporterCommandLine(const CrashHandlerSettings& settings, const std::string& dumpFileName) {
  std::string line = settings.reporterCommand + "," + dumpFileName;
  if (!settings.extraText.empty()) line += "," + settings.extraText;
  return line;
}

void InstallCrashHandler(const CrashHandlerSettings& settings) {
  Settings() = settings;
  SetUnhandledExceptionFilter(CrashDumpFilter);
}

LONG WINAPI CrashDumpFilter(EXCEPTION_POINTERS* exception) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const CrashHandlerSettings& settings = Settings();
  const std::wstring exeFolder = GetExecutableFolder();
  const std::string dumpName = FormatDumpFileName(settings.dumpPrefix, now);
  const bool saved = WriteDump(exeFolder + AnsiToWide(dumpName), exception, exeFolder);
  if (!settings.reporterCommand.empty()) StartReporter(FormatReporterCommandLine(settings, dumpName), exeFolder);
  return saved ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH;
}
