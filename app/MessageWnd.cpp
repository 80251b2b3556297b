#include "app/MessageWnd.h"

#include "core/base/AppMessages.h"
#include "ui/control/ControlUI.h"

#include <shellapi.h>

using namespace Trellis;

namespace {
// WS_POPUP with WS_VISIBLE; the skin gives the size.
constexpr DWORD kMessageWindowStyle = 0x90000000;
// Texts longer than this need the label's second line.
constexpr size_t kOneLineCharacters = 15;
constexpr int kTwoLineHeight = 81;
}  // namespace

CMessageWnd::CMessageWnd(std::wstring message, bool quitConfirm, const ConvertJob* result)
    : m_message(std::move(message)), m_quitConfirm(quitConfirm), m_result(result) {}

const UIChar* CMessageWnd::GetWindowClassName() const { return L"MessageWnd"; }

CUIString CMessageWnd::GetSkinFolder() { return CUIString(L""); }

CUIString CMessageWnd::GetSkinFile() {
  return CUIString(m_result != nullptr ? L"ConvertOkWnd.xml" : L"MessageWnd.xml");
}

void CMessageWnd::OnLastMessage(HWND hWnd) {
  WindowImplBase::OnLastMessage(hWnd);
  delete this;
}

void CMessageWnd::OnSkinLoaded() {
  m_titleTipsLabel = m_pm.FindControlByName(L"titleTips");
  m_cancelButton = m_pm.FindControlByName(L"btn_cancel");
  if (m_titleTipsLabel == nullptr || m_message.empty()) return;
  m_titleTipsLabel->SetText(m_message.c_str());
  if (m_message.size() > kOneLineCharacters) m_titleTipsLabel->SetFixedHeight(kTwoLineHeight);
}

bool CMessageWnd::Open(HWND parent) {
  if (CreateWithSize(parent, L"MessageWnd", kMessageWindowStyle, 0) == nullptr) return false;
  CenterOnOwner();
  return true;
}

void CMessageWnd::HideCancel() {
  if (m_cancelButton != nullptr) m_cancelButton->SetVisible(false);
}

void CMessageWnd::Notify(UINotify& msg) {
  if (msg.sType.DiffersFromText(L"click") || msg.pSender == nullptr) return;
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"btn_ok") && m_quitConfirm) {
    // The box stays alive but out of sight; the main window ends the program.
    ShowWindow(GetHandle(), SW_SHOW);
    ShowWindow(GetHandle(), SW_HIDE);
    PostMessageW(GetParent(GetHandle()), WM_APP_QUIT_CONFIRMED, 0, 0);
  } else if (name.EqualsText(L"btn_ok") || name.EqualsText(L"btn_cancel") || name.EqualsText(L"closebtn")) {
    PostClose(IDCLOSE);
  } else if (name.EqualsText(L"btnOpenFile")) {
    OpenResultFile();
    PostClose(IDCLOSE);
  } else if (name.EqualsText(L"btnOpenPath")) {
    ShowResultInFolder();
    PostClose(IDCLOSE);
  }
}

void CMessageWnd::OpenResultFile() {
  if (m_result == nullptr) return;
  const HINSTANCE opened = ShellExecuteW(nullptr, L"open", m_result->outputPath.c_str(), nullptr, nullptr,
                                         SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(opened) <= 32) {
    MessageBoxW(GetHandle(), L"打开失败，文件不可用", L"提示", MB_ICONERROR);
  }
}

void CMessageWnd::ShowResultInFolder() {
  if (m_result == nullptr) return;
  const std::wstring parameters = ExplorerSelectParameters(m_result->outputPath);
  ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWDEFAULT);
}

std::wstring ExplorerSelectParameters(const std::wstring& path) { return L"/select,\"" + path + L"\""; }

// --- Launchers ---

namespace {
CMessageWnd* OpenMessageWindow(const std::wstring& text, bool quitConfirm, const ConvertJob* job, HWND parent) {
  CMessageWnd* window = new CMessageWnd(text, quitConfirm, job);
  if (!window->Open(parent)) {
    // A window that never got a native handle gets no last message either.
    if (window->GetHandle() == nullptr) delete window;
    return nullptr;
  }
  return window;
}
}  // namespace

UINT ShowMessageModal(const std::wstring& text, bool quitConfirm, HWND parent) {
  CMessageWnd* window = OpenMessageWindow(text, quitConfirm, nullptr, parent);
  if (window == nullptr) return 0;
  window->HideCancel();
  return window->RunModalLoop();
}

CMessageWnd* ShowMessageModeless(const std::wstring& text, bool quitConfirm, HWND parent) {
  CMessageWnd* window = OpenMessageWindow(text, quitConfirm, nullptr, parent);
  if (window == nullptr) return nullptr;
  window->HideCancel();
  window->ShowOrHide(true, true);
  return window;
}

UINT ShowConvertResult(const std::wstring& text, HWND parent, const ConvertJob* job) {
  CMessageWnd* window = OpenMessageWindow(text, false, job, parent);
  return window != nullptr ? window->RunModalLoop() : 0;
}

UINT ConfirmQuit(HWND mainWindow) {
  CMessageWnd* window = OpenMessageWindow(std::wstring(), true, nullptr, mainWindow);
  return window != nullptr ? window->RunModalLoop() : 0;
}
