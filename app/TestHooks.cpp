#include "app/TestHooks.h"

#ifdef QUILLORA_TEST_HOOKS

#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "core/base/FileBytes.h"
#include "core/base/TextConversion.h"
#include "core/transport/portable/ServiceConfig.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

std::wstring Environment(const wchar_t* name) {
  wchar_t value[2048] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 2048);
  return length > 0 && length < 2048 ? std::wstring(value) : std::wstring();
}

void TakeText(const wchar_t* name, std::string& target) {
  const std::wstring value = Environment(name);
  if (!value.empty()) target = WideToUtf8(value);
}

void TakeFile(const wchar_t* name, std::string& target) {
  const std::wstring path = Environment(name);
  ByteBuffer bytes;
  if (!path.empty() && ReadWholeFile(path, 1 << 20, bytes) == FileReadResult::kOk) target.assign(bytes.view());
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

void ApplyTestServiceSettings() {
  ServiceConfig& config = GetServiceConfig();
  TakeText(L"QUILLORA_TEST_SPEECH_URL", config.speechBaseUrl);
  TakeText(L"QUILLORA_TEST_MANAGEMENT_URL", config.managementBaseUrl);
  TakeText(L"QUILLORA_TEST_LOGIN_URL", config.loginBaseUrl);
  TakeFile(L"QUILLORA_TEST_CA_FILE", config.caCertPem);
  TakeFile(L"QUILLORA_TEST_RSA_FILE", config.rsaPublicKeyPem);
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

#endif
