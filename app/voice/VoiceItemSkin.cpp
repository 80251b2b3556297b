#include "app/voice/VoiceItemSkin.h"

#include "core/base/DebugTrace.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

// The characters of a skin image file name; anything else (a drive, a
// folder, a query) is not a name of ours.
bool IsPlainImageName(const std::wstring& name) {
  if (name.empty() || name == L"." || name == L"..") return false;
  for (wchar_t c : name) {
    const bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                       c == L'_' || c == L'-' || c == L'.';
    if (!plain) return false;
  }
  return true;
}

}  // namespace

bool BuildItemContent(CContainerUI& item, INotifyUI& listener, const wchar_t* skinFile) {
  CWindowManagerUI* manager = item.GetManager();
  item.RemoveAllItems();
  if (manager == nullptr) return false;
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(UIResourceRef(skinFile), UI_TEXT("xml"), nullptr, manager, nullptr);
  if (root == nullptr || !item.AddItem(root)) {
    if (root != nullptr) root->Delete();
    item.RemoveAllItems();
    DebugTrace(L"list item: %ls did not build; the item stays empty", skinFile);
    return false;
  }
  manager->AddNotifier(&listener);
  return true;
}

CControlUI* FindItemControl(CContainerUI& item, const wchar_t* name) {
  CWindowManagerUI* manager = item.GetManager();
  return manager != nullptr ? manager->FindSubControlByName(&item, name) : nullptr;
}

std::wstring VoiceAvatarImage(CWindowManagerUI* manager, const std::wstring& avatar) {
  // An address keeps the file name as its last part: ".../anchor_ava.png?v=2".
  std::wstring name = avatar.substr(0, avatar.find_first_of(L"?#"));
  if (name.find(L"://") != std::wstring::npos) name = name.substr(name.find_last_of(L'/') + 1);
  if (!IsPlainImageName(name)) return std::wstring();
  const std::wstring image = L"images/" + name;
  if (manager != nullptr && manager->GetOrAddImage(image.c_str()) == nullptr) {
    DebugTrace(L"voice picture %ls is not in the skin", image.c_str());
    return std::wstring();
  }
  return image;
}

void ShowVoiceAvatar(CControlUI* face, const std::wstring& avatar) {
  if (face == nullptr) return;
  const std::wstring image = VoiceAvatarImage(face->GetManager(), avatar);
  if (!image.empty()) face->SetBkImage(image.c_str());
}
