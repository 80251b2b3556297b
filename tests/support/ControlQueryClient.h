#pragma once
// The tests' side of the test variant's control query
// (core/base/portable/ControlQuery.h): asks the program of one process, by
// WM_COPYDATA to its query window, about one control of its framework windows
// or to take a file drop, and reads the reply from a named shared memory it
// owns. Every call is bounded: a program that is gone or hung makes a reply
// that says it was not answered. Used by tests/support/ProgramDriver.h and by
// the query tool of the display-server test (tests/session/ControlQueryTool.cpp).
// Header only; needs nothing of app/ or of the framework.
#include <windows.h>

#include "core/base/portable/ControlQuery.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testprograms {

// What the program says of one control.
struct ProgramControl {
  bool answered = false;  // the program took the query (false: it is gone, hung or not the test variant)
  bool found = false;
  bool visible = false;   // its window shows, and the control with every parent
  bool enabled = false;
  HWND window = nullptr;  // the framework window that holds it
  RECT rect = {};         // client coordinates of that window
  std::wstring text;

  POINT Centre() const { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }
  // The rectangle on the screen.
  RECT ScreenRect() const {
    POINT corner{rect.left, rect.top};
    ClientToScreen(window, &corner);
    return RECT{corner.x, corner.y, corner.x + rect.right - rect.left, corner.y + rect.bottom - rect.top};
  }
};

class ControlQueryClient {
 public:
  // Asks the program of process `pid`; 0: the first program that answers queries.
  explicit ControlQueryClient(DWORD pid = 0) : m_pid(pid) {}
  ControlQueryClient(const ControlQueryClient&) = delete;
  ControlQueryClient& operator=(const ControlQueryClient&) = delete;
  ~ControlQueryClient() {
    if (m_view != nullptr) UnmapViewOfFile(m_view);
    if (m_mapping != nullptr) CloseHandle(m_mapping);
  }
  void SetProcess(DWORD pid) {
    m_pid = pid;
    m_queryWindow = nullptr;
  }
  // The process of the program asked (found by the first query when 0 was given).
  DWORD pid() const { return m_pid; }

  // The `index`-th control of that skin name (0 first, hidden ones counted)
  // in the program's framework windows of `windowClass`.
  ProgramControl Query(const wchar_t* windowClass, const wchar_t* name, int index = 0) {
    ControlQueryRequest request;
    request.windowClass = Utf8(windowClass);
    request.controlName = Utf8(name);
    request.index = index;
    ControlQueryReply reply;
    ProgramControl control;
    if (!Ask(request, reply)) return control;
    control.answered = true;
    control.found = reply.found;
    control.visible = reply.visible;
    control.enabled = reply.enabled;
    control.window = reinterpret_cast<HWND>(static_cast<uintptr_t>(reply.window));
    control.rect = RECT{reply.left, reply.top, reply.right, reply.bottom};
    control.text = Wide(reply.text);
    return control;
  }

  // Has the program drop files on its first shown window of the class: it
  // posts that window WM_DROPFILES with a drop block of its own, as the system
  // does for a drop from Explorer.
  bool DropFiles(const wchar_t* windowClass, const std::vector<std::wstring>& paths) {
    ControlQueryRequest request;
    request.kind = ControlQueryKind::kDropFiles;
    request.windowClass = Utf8(windowClass);
    for (const std::wstring& path : paths) request.paths.push_back(Utf8(path.c_str()));
    ControlQueryReply reply;
    return Ask(request, reply) && reply.found;
  }

 private:
  static constexpr DWORD kQueryTimeoutMs = 10000;

  static std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string out(static_cast<size_t>(length - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], length, nullptr, nullptr);
    return out;
  }
  static std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
    return text;
  }

  // The program's query window (a message-only window of its process), or null.
  HWND QueryWindow() {
    for (HWND at = FindWindowExW(HWND_MESSAGE, nullptr, kControlQueryWindowClass, nullptr); at != nullptr;
         at = FindWindowExW(HWND_MESSAGE, at, kControlQueryWindowClass, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(at, &owner);
      if (m_pid == 0) m_pid = owner;
      if (owner == m_pid) return at;
    }
    return nullptr;
  }

  // Sends one request and reads the reply; false when the program is gone,
  // does not answer within the bound, or answers nothing readable.
  bool Ask(ControlQueryRequest& request, ControlQueryReply& reply) {
    if (m_view == nullptr) {
      m_replyName = L"Local\\QuilloraTestReply." + std::to_wstring(GetCurrentProcessId()) + L"." +
                    std::to_wstring(reinterpret_cast<uintptr_t>(this));
      m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kControlQueryReplyCapacity,
                                     m_replyName.c_str());
      if (m_mapping == nullptr) return false;
      m_view = static_cast<char*>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, kControlQueryReplyCapacity));
      if (m_view == nullptr) return false;
    }
    if (m_queryWindow == nullptr || !IsWindow(m_queryWindow)) m_queryWindow = QueryWindow();
    if (m_queryWindow == nullptr) return false;
    request.replyName = Utf8(m_replyName.c_str());
    std::memset(m_view, 0, 4);
    const std::string bytes = EncodeControlQueryRequest(request);
    COPYDATASTRUCT data = {};
    data.dwData = kControlQueryMessageTag;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = const_cast<char*>(bytes.data());
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(m_queryWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             kQueryTimeoutMs, &result) ||
        result != 1) {
      return false;
    }
    uint32_t length = 0;
    std::memcpy(&length, m_view, 4);
    if (length > kControlQueryReplyCapacity - 4) return false;
    return DecodeControlQueryReply(std::string(m_view + 4, length), reply);
  }

  DWORD m_pid;
  HWND m_queryWindow = nullptr;  // borrowed: the program's query window, found at the first query
  std::wstring m_replyName;
  HANDLE m_mapping = nullptr;    // owned: the reply memory
  char* m_view = nullptr;        // owned: its view
};

}  // namespace testprograms
