// Updrift.exe: the updater. Quillora.exe starts it hidden as
//   Updrift.exe quillora.ini
// It reads the installed program's identity from the settings file (taken
// from its own folder when the name is relative): [soft] id, version and
// showVersion, writes one line about them to the debugger output and exits.
// Exit code 0 when the settings file was found and names a program, 1 otherwise.
// This build installs nothing: the updater's download and replacement of the
// program are not part of it.
#include <windows.h>

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

std::wstring Trim(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t\"");
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L" \t\"");
  return text.substr(first, last - first + 1);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
  std::wstring settings = Trim(arguments != nullptr ? arguments : L"");
  if (settings.empty()) settings = L"quillora.ini";
  if (!(settings.size() > 1 && (settings[1] == L':' || settings[0] == L'\\'))) settings = OwnFolder() + settings;

  if (GetFileAttributesW(settings.c_str()) == INVALID_FILE_ATTRIBUTES) {
    OutputDebugStringW((L"Updrift: settings file missing: " + settings + L"\r\n").c_str());
    return 1;
  }
  const UINT softId = GetPrivateProfileIntW(L"soft", L"id", 0, settings.c_str());
  const UINT version = GetPrivateProfileIntW(L"soft", L"version", 0, settings.c_str());
  wchar_t shown[64] = {};
  GetPrivateProfileStringW(L"soft", L"showVersion", L"", shown, 64, settings.c_str());
  OutputDebugStringW((L"Updrift: program " + std::to_wstring(softId) + L" version " + std::to_wstring(version) +
                      L" (" + shown + L"): nothing to install\r\n").c_str());
  return softId != 0 ? 0 : 1;
}
