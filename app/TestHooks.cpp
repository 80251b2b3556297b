// The test variant's hooks (app/TestHooks.h): linked only into
// QuilloraTestHooks.exe. The control query answers from every window manager
// the framework keeps, so a test reaches the quit question, the message
// windows, the voice picker and the login window as it reaches the main window.
#include "app/TestHooks.h"

#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/TextConversion.h"
#include "core/base/portable/ControlQuery.h"
#include "core/transport/portable/ServiceConfig.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace Trellis;

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return (length > 0 && length < 1024) ? std::wstring(value, length) : std::wstring();
}

// An address from the environment; an unset or empty variable gives none.
std::optional<std::string> Override(const wchar_t* name) {
  const std::wstring value = Environment(name);
  if (value.empty()) return std::nullopt;
  return WideToUtf8(value);
}

// The text of the file the variable names. A file that cannot be read gives
// none, with a line saying so: the test then fails on the build's key or
// authority, and the line tells why.
std::optional<std::string> OverrideFromFile(const wchar_t* name) {
  const std::wstring path = Environment(name);
  if (path.empty()) return std::nullopt;
  ByteBuffer bytes;
  if (ReadWholeFile(path, 1 << 20, bytes) != FileReadResult::kOk) {
    DebugTrace(L"test overrides: %ls names %ls, which cannot be read", name, path.c_str());
    return std::nullopt;
  }
  return std::string(bytes.data(), bytes.size());
}

struct NamedSearch {
  const wchar_t* name;
  int wanted;  // how many matches to pass over
};

CControlUI* MatchName(CControlUI* control, void* data) {
  auto* search = static_cast<NamedSearch*>(data);
  if (control->GetName().DiffersFromText(search->name)) return nullptr;
  return search->wanted-- == 0 ? control : nullptr;
}

bool ShownWithParents(CControlUI* control) {
  for (CControlUI* at = control; at != nullptr; at = at->GetParent()) {
    if (!at->IsVisible()) return false;
  }
  return true;
}

// Posts WM_DROPFILES with a drop block made in this process, as the system's
// drop helper does for the receiving window (a block of the test's process
// would mean nothing here). `list` holds the paths, each ended by a NUL, and
// one more NUL.
bool PostFileDrop(HWND window, const std::wstring& list) {
  const size_t chars = list.size();
  if (chars < 2) return false;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  if (memory == nullptr) return false;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, list.data(), chars * sizeof(wchar_t));
  GlobalUnlock(memory);
  if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
    GlobalFree(memory);
    return false;
  }
  return true;
}

// The framework windows of a class, in the managers' order; every window for an empty class.
std::vector<CWindowManagerUI*> ManagersOf(const std::string& windowClass) {
  std::vector<CWindowManagerUI*> found;
  for (int i = 0; i < CWindowManagerUI::GetManagerCount(); ++i) {
    CWindowManagerUI* manager = CWindowManagerUI::GetManagerAt(i);
    HWND window = manager != nullptr ? manager->GetPaintWindow() : nullptr;
    if (window == nullptr || !IsWindow(window) || manager->GetRootControl() == nullptr) continue;
    wchar_t className[256] = {};
    GetClassNameW(window, className, 256);
    if (windowClass.empty() || WideToUtf8(className) == windowClass) found.push_back(manager);
  }
  return found;
}

ControlQueryReply FindControl(const ControlQueryRequest& request) {
  ControlQueryReply reply;
  const std::wstring name = Utf8ToWide(request.controlName);
  NamedSearch search{name.c_str(), request.index};
  for (CWindowManagerUI* manager : ManagersOf(request.windowClass)) {
    CControlUI* control = manager->GetRootControl()->FindControl(MatchName, &search, 0);
    if (control == nullptr) continue;
    HWND window = manager->GetPaintWindow();
    const CUIRect& pos = control->GetPos();
    reply.found = true;
    reply.visible = IsWindowVisible(window) && ShownWithParents(control);
    reply.enabled = control->IsEnabled();
    reply.window = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window));
    reply.left = pos.left;
    reply.top = pos.top;
    reply.right = pos.right;
    reply.bottom = pos.bottom;
    reply.text = WideToUtf8(control->GetText().GetText());
    break;
  }
  return reply;
}

ControlQueryReply DropFiles(const ControlQueryRequest& request) {
  ControlQueryReply reply;
  std::wstring list;
  for (const std::string& path : request.paths) list += Utf8ToWide(path) + L'\0';
  list += L'\0';
  for (CWindowManagerUI* manager : ManagersOf(request.windowClass)) {
    HWND window = manager->GetPaintWindow();
    if (!IsWindowVisible(window)) continue;
    reply.found = PostFileDrop(window, list);
    reply.window = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(window));
    break;
  }
  return reply;
}

// Writes the reply into the test's shared memory: its length, then its bytes.
bool WriteReply(const std::string& memoryName, const ControlQueryReply& reply) {
  const std::string bytes = EncodeControlQueryReply(reply);
  if (bytes.size() + 4 > kControlQueryReplyCapacity) return false;
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, Utf8ToWide(memoryName).c_str());
  if (mapping == nullptr) return false;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kControlQueryReplyCapacity);
  bool written = false;
  if (view != nullptr) {
    const uint32_t length = static_cast<uint32_t>(bytes.size());
    std::memcpy(view, &length, 4);
    std::memcpy(static_cast<char*>(view) + 4, bytes.data(), bytes.size());
    written = true;
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return written;
}

LRESULT CALLBACK QueryWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data == nullptr || data->dwData != kControlQueryMessageTag || data->lpData == nullptr) return 0;
  ControlQueryRequest request;
  if (!DecodeControlQueryRequest(std::string(static_cast<const char*>(data->lpData), data->cbData), request)) return 0;
  const ControlQueryReply reply =
      request.kind == ControlQueryKind::kDropFiles ? DropFiles(request) : FindControl(request);
  return WriteReply(request.replyName, reply) ? 1 : 0;
}

}  // namespace

ServiceOverrides ReadTestServiceOverrides() {
  ServiceOverrides overrides;
  overrides.speechBaseUrl = Override(L"QUILLORA_TEST_SPEECH_URL");
  overrides.managementBaseUrl = Override(L"QUILLORA_TEST_MANAGEMENT_URL");
  overrides.loginBaseUrl = Override(L"QUILLORA_TEST_LOGIN_URL");
  overrides.rsaPublicKeyPem = OverrideFromFile(L"QUILLORA_TEST_RSA_KEY_FILE");
  overrides.caCertPem = OverrideFromFile(L"QUILLORA_TEST_CA_FILE");
  return overrides;
}

void CrashWhenAsked() {
  wchar_t value[8] = {};
  if (GetEnvironmentVariableW(L"QUILLORA_TEST_CRASH", value, 8) > 0 && value[0] == L'1') {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
  }
}

void StartTestQueries() {
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = QueryWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kControlQueryWindowClass;
  RegisterClassW(&windowClass);
  // Message-only: it never shows and no window list of the desktop holds it.
  CreateWindowExW(0, kControlQueryWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                  nullptr);
}
