#include "app/pages/Page.h"

#include "app/MessageWnd.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "ui/controls/SliderUI.h"

#include <shlobj.h>

using namespace Trellis;

namespace {

const wchar_t kMessageBusy[] = L"转换中，请稍后再试！";
const wchar_t kFolderDialogTitle[] = L"选择文件路径";
// File-system folders only. (Asking for computers as well would leave OK
// greyed for every folder.)
constexpr UINT kFolderDialogFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;

}  // namespace

CControlUI* Page::Bound(const wchar_t* name) {
  CControlUI* control = Manager().FindControlByName(name);
  if (control == nullptr) DebugTrace(L"main window: the skin has no control \"%ls\"", name);
  return control;
}

void SetControlText(CControlUI* control, const wchar_t* text) {
  if (control != nullptr) control->SetText(text);
}

void ShowControl(CControlUI* control, bool visible) {
  if (control != nullptr) control->SetVisible(visible);
}

void SetSliderValue(CControlUI* slider, CControlUI* label, int value) {
  if (auto* control = ControlAs<CSliderUI>(slider, L"Slider")) control->SetValue(value);
  wchar_t text[16];
  swprintf(text, 16, L"%d", value);
  SetControlText(label, text);
}

void ShowBusyMessage(HWND owner) { ShowMessageModal(kMessageBusy, false, owner); }

bool PickOpenFile(OPENFILENAMEW* dialog, DWORD* error) {
  using OpenProc = BOOL(WINAPI*)(OPENFILENAMEW*);
  using ErrorProc = DWORD(WINAPI*)();
  static HMODULE library = nullptr;  // kept for the process once loaded
  if (library == nullptr) library = LoadLibraryW(L"comdlg32.dll");
  const auto open = library != nullptr ? reinterpret_cast<OpenProc>(
                                             reinterpret_cast<void*>(GetProcAddress(library, "GetOpenFileNameW")))
                                       : nullptr;
  const auto lastError = library != nullptr ? reinterpret_cast<ErrorProc>(reinterpret_cast<void*>(
                                                  GetProcAddress(library, "CommDlgExtendedError")))
                                            : nullptr;
  if (open == nullptr || lastError == nullptr) {
    DebugTrace(L"file dialog: comdlg32.dll cannot be used (error %lu)", GetLastError());
    if (error != nullptr) *error = CDERR_INITIALIZATION;
    return false;
  }
  const bool picked = open(dialog) != FALSE;
  if (error != nullptr) *error = picked ? 0 : lastError();
  return picked;
}

std::wstring ChooseFolder(HWND owner) {
  // The dialog needs COM on this thread; a thread that has it already keeps it.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.lpszTitle = kFolderDialogTitle;
  info.ulFlags = kFolderDialogFlags;
  std::wstring chosen;
  {
    OwnedCoTaskMemory<ITEMIDLIST> list(SHBrowseForFolderW(&info));
    wchar_t path[MAX_PATH + 2] = {};
    if (list && SHGetPathFromIDListW(list.Get(), path)) chosen = path;
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE)) return std::wstring();
  return path;
}
