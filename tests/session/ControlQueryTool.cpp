// A console program for tests that drive the test variant from outside Wine
// (tests/app/program_typing_test.py): it asks the running program's control
// query once (tests/support/ControlQueryClient.h) and prints the answer as one
// line of JSON on its standard output.
//
//   TestControlQuery window CLASS
//     {"window":"<handle>","client":[width,height]} of the program's last
//     shown top-level window of that class, or {"window":null}
//   TestControlQuery control CLASS NAME [INDEX]
//     {"answered":..,"found":..,"visible":..,"enabled":..,"window":"<handle>",
//      "rect":[left,top,right,bottom],"client":[width,height],"text":".."}
//
// Exit status 0 when the program answered, 1 when it did not, 2 for a wrong
// command line.
#include <windows.h>

#include "tests/support/ControlQueryClient.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], length, nullptr, nullptr);
  return out;
}

std::string Quoted(const std::wstring& text) {
  std::string out = "\"";
  for (const char c : Utf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Handle(HWND window) { return "\"" + std::to_string(reinterpret_cast<uintptr_t>(window)) + "\""; }

std::string ClientSize(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  return "[" + std::to_string(client.right) + "," + std::to_string(client.bottom) + "]";
}

void Print(const std::string& line) {
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

struct ClassSearch {
  const wchar_t* windowClass;
  DWORD pid;
  HWND last;
};

BOOL CALLBACK FindShown(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<ClassSearch*>(parameter);
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && IsWindowVisible(window) && std::wstring(name) == search->windowClass) {
    search->last = window;
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  testprograms::ControlQueryClient client;
  if (command == L"window" && argc == 3) {
    // Any answered query names the program's process.
    const testprograms::ProgramControl probe = client.Query(argv[2], L"");
    if (!probe.answered) {
      Print("{\"window\":null}");
      return 1;
    }
    ClassSearch search{argv[2], client.pid(), nullptr};
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    Print(search.last == nullptr ? "{\"window\":null}"
                                 : "{\"window\":" + Handle(search.last) + ",\"client\":" + ClientSize(search.last) + "}");
    return 0;
  }
  if (command == L"control" && (argc == 4 || argc == 5)) {
    const int index = argc == 5 ? _wtoi(argv[4]) : 0;
    const testprograms::ProgramControl control = client.Query(argv[2], argv[3], index);
    const char* yes = "true";
    const char* no = "false";
    const RECT& r = control.rect;
    Print(std::string("{\"answered\":") + (control.answered ? yes : no) + ",\"found\":" + (control.found ? yes : no) +
          ",\"visible\":" + (control.visible ? yes : no) + ",\"enabled\":" + (control.enabled ? yes : no) +
          ",\"window\":" + Handle(control.window) + ",\"rect\":[" + std::to_string(r.left) + "," +
          std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom) +
          "],\"client\":" + ClientSize(control.window) + ",\"text\":" + Quoted(control.text) + "}");
    return control.answered ? 0 : 1;
  }
  return 2;
}
