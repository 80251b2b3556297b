// Crashvane.exe: the crash reporter. Quillora.exe's crash handler starts it as
//   ./Crashvane.exe <settings file>,<dump file>[,<extra text>]
// It moves the dump into the "crash" folder beside itself (so dumps do not pile
// up beside the program) and appends one line about it to "crash\crashes.log":
// the local time, the command line it was given, the settings file, the dump's
// new place and its size. Relative names are taken from its own folder, never
// from the current directory. Exit code 0 when the dump was kept, 1 otherwise.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

// The command line after the program's own name (quoted or not).
std::wstring ArgumentsOf(const wchar_t* commandLine) {
  const wchar_t* p = commandLine;
  if (*p == L'"') {
    ++p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\"");
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L" \t\"");
  return text.substr(first, last - first + 1);
}

bool IsAbsolute(const std::wstring& path) {
  return path.size() > 1 && (path[1] == L':' || (path[0] == L'\\' && path[1] == L'\\'));
}

// A dump name may only name a file: a path with folders would let the
// command line move any file of the machine.
bool IsPlainDumpName(const std::wstring& name) {
  return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." && name != L"..";
}

void AppendLogLine(const std::wstring& logPath, const std::wstring& line) {
  HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    OutputDebugStringW(L"Crashvane: cannot open the crash log\r\n");
    return;
  }
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring folder = OwnFolder();
  const std::wstring commandLine = GetCommandLineW();
  const std::wstring arguments = ArgumentsOf(commandLine.c_str());

  const size_t comma = arguments.find(L',');
  const std::wstring settings = Trim(arguments.substr(0, comma));
  std::wstring dumpName;
  if (comma != std::wstring::npos) {
    const size_t next = arguments.find(L',', comma + 1);
    dumpName = Trim(arguments.substr(comma + 1, next == std::wstring::npos ? std::wstring::npos : next - comma - 1));
  }

  const std::wstring crashFolder = folder + L"crash\\";
  CreateDirectoryW(crashFolder.c_str(), nullptr);

  std::wstring outcome;
  bool kept = false;
  if (!IsPlainDumpName(dumpName)) {
    outcome = L"no dump named";
  } else {
    const std::wstring source = folder + dumpName;
    const std::wstring target = crashFolder + dumpName;
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
      WIN32_FILE_ATTRIBUTE_DATA data = {};
      ULONGLONG size = 0;
      if (GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) {
        size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      }
      outcome = L"kept " + target + L" (" + std::to_wstring(size) + L" bytes)";
      kept = true;
    } else {
      outcome = L"dump missing (error " + std::to_wstring(GetLastError()) + L")";
    }
  }

  const std::wstring settingsPath = settings.empty() || IsAbsolute(settings) ? settings : folder + settings;
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t stamp[32];
  swprintf(stamp, 32, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
           now.wSecond);
  AppendLogLine(crashFolder + L"crashes.log", std::wstring(stamp) + L"\tcommand: " + commandLine + L"\tsettings: " +
                                                  settingsPath + L"\t" + outcome + L"\r\n");
  return kept ? 0 : 1;
}
