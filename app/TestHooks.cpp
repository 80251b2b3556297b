#include "app/TestHooks.h"

#ifdef QUILLORA_TEST_HOOKS

#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/TextConversion.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <optional>

#include <string>

using namespace Trellis;

namespace {

constexpr UINT kInspectIntervalMs = 200;

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

std::wstring g_inspectPath;

// Tabs and line ends would break the line format.
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text)
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  return text;
}

void DumpControls(std::wstring& out, HWND window, CControlUI* control, bool parentVisible) {
  if (control == nullptr) return;
  const bool visible = parentVisible && control->IsVisible();
  const CUIString name = control->GetName();
  if (!name.IsEmpty()) {
    const CUIRect& pos = control->GetPos();
    out += L"C\t" + std::to_wstring(reinterpret_cast<uintptr_t>(window)) + L"\t" + (visible ? L"1" : L"0") + L"\t" +
           std::to_wstring(pos.left) + L"\t" + std::to_wstring(pos.top) + L"\t" + std::to_wstring(pos.right) +
           L"\t" + std::to_wstring(pos.bottom) + L"\t" + OneLine(name.GetText()) + L"\t" +
           OneLine(control->GetText().GetText()) + L"\t" + (control->IsEnabled() ? L"1" : L"0") + L"\n";
  }
  auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
  if (container == nullptr) return;
  for (int i = 0; i < container->GetCount(); ++i) DumpControls(out, window, container->GetItemAt(i), visible);
}

void CALLBACK InspectTimer(HWND, UINT, UINT_PTR, DWORD) {
  std::wstring out;
  for (int i = 0; i < CWindowManagerUI::GetManagerCount(); ++i) {
    CWindowManagerUI* manager = CWindowManagerUI::GetManagerAt(i);
    HWND window = manager != nullptr ? manager->GetPaintWindow() : nullptr;
    if (window == nullptr || !IsWindow(window)) continue;
    wchar_t className[128] = {};
    GetClassNameW(window, className, 128);
    out += L"W\t" + std::to_wstring(reinterpret_cast<uintptr_t>(window)) + L"\t" +
           (IsWindowVisible(window) ? L"1" : L"0") + L"\t" + OneLine(className) + L"\n";
    DumpControls(out, window, manager->GetRootControl(), true);
  }
  const std::string bytes = WideToUtf8(out);
  WriteFileReplacing(g_inspectPath, bytes.data(), bytes.size());
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

// The drop block WM_DROPFILES carries, made from the NUL-separated list.
LRESULT PostFileDrop(HWND window, const COPYDATASTRUCT* data) {
  const size_t chars = data->cbData / sizeof(wchar_t);
  const auto* list = static_cast<const wchar_t*>(data->lpData);
  if (chars < 2 || list[chars - 1] != L'\0' || list[chars - 2] != L'\0') return 0;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  if (memory == nullptr) return 0;
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, list, chars * sizeof(wchar_t));
  GlobalUnlock(memory);
  if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
    GlobalFree(memory);
    return 0;
  }
  return 1;
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

void StartTestInspector() {
  g_inspectPath = Environment(L"QUILLORA_TEST_INSPECT");
  if (!g_inspectPath.empty()) SetTimer(nullptr, 0, kInspectIntervalMs, InspectTimer);
}

LRESULT AnswerTestQuery(CWindowManagerUI& manager, const COPYDATASTRUCT* data) {
  if (data == nullptr || data->lpData == nullptr) return 0;
  if (data->dwData == kTestDropFiles) return PostFileDrop(manager.GetPaintWindow(), data);
  if (data->dwData != kTestQueryControl) return 0;
  std::wstring query(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
  query.resize(wcsnlen(query.c_str(), query.size()));
  int index = 0;
  const size_t hash = query.rfind(L'#');
  if (hash != std::wstring::npos) {
    index = _wtoi(query.c_str() + hash + 1);
    query.resize(hash);
  }
  CControlUI* root = manager.GetRootControl();
  if (root == nullptr) return 0;
  NamedSearch search{query.c_str(), index};
  CControlUI* control = root->FindControl(MatchName, &search, 0);
  if (control == nullptr) return 0;
  const auto pos = control->GetPos();
  uint32_t reply = kTestControlFound;
  if (ShownWithParents(control)) reply |= kTestControlVisible;
  if (control->IsEnabled()) reply |= kTestControlEnabled;
  const uint32_t x = static_cast<uint32_t>((pos.left + pos.right) / 2) & 0xFFF;
  const uint32_t y = static_cast<uint32_t>((pos.top + pos.bottom) / 2) & 0xFFF;
  reply |= (x << 8) | (y << 20);
  return static_cast<LRESULT>(reply);
}

#else

ServiceOverrides ReadTestServiceOverrides() { return ServiceOverrides(); }
void StartTestInspector() {}

#endif
