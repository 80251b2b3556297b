#include "app/login/LoginWnd.h"

#include "app/login/CustomWebEventHandler.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "core/client/portable/LoginResult.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/activex/WebBrowserUI.h"

#include <shellapi.h>

using namespace Trellis;

namespace {

constexpr UINT kLoginCloseResult = 8;
constexpr wchar_t kBrowserName[] = L"webChatLogin";
constexpr char kJumpPagePath[] = "wxlogin/jump";
// The service agreement, opened in the user's own browser.
constexpr wchar_t kServiceAgreementUrl[] = L"https://support.tavrin.example/agreement";

// UI thread only.
int g_loginWindowsOpened = 0;  // login windows made in this run
int g_loginWindowsAlive = 0;   // login window objects not yet deleted

}  // namespace

CLoginWnd::CLoginWnd(ClientState& state) : m_state(state) {
  ++g_loginWindowsOpened;
  ++g_loginWindowsAlive;
  StartUsageReport(m_state, kReportLoginWindow);
}

// The handler goes first (members before the base's tree): the browser has
// let go of it by then (OnLastMessage), or was never given it.
CLoginWnd::~CLoginWnd() { --g_loginWindowsAlive; }

int CLoginWnd::UsedTimes() { return g_loginWindowsOpened; }

bool CLoginWnd::IsOpen() { return g_loginWindowsAlive > 0; }

const UIChar* CLoginWnd::GetWindowClassName() const { return L"LoginWnd"; }

CUIString CLoginWnd::GetSkinFolder() { return CUIString(L""); }

CUIString CLoginWnd::GetSkinFile() { return CUIString(L"LoginWnd.xml"); }

void CLoginWnd::OnLastMessage(HWND hWnd) {
  WindowImplBase::OnLastMessage(hWnd);
  // The control is deleted with the window manager, after this object's
  // members; without its browser object no event can reach the handler.
  if (m_browser != nullptr) m_browser->ReleaseControl();
  delete this;
}

void CLoginWnd::OnSkinLoaded() {
  const ServiceConfig& config = m_state.endpoints();
  m_loginPageUrl = AnsiToWide(FormatLoginPageUrl(config.loginBaseUrl, m_state.softId, m_state.uuid, UsedTimes()));
  const std::wstring jumpPageUrl = AnsiToWide(config.managementBaseUrl + kJumpPagePath);

  CControlUI* control = m_pm.FindControlByName(kBrowserName);
  m_browser = control != nullptr ? static_cast<CWebBrowserUI*>(control->GetInterface(L"WebBrowser")) : nullptr;
  if (m_browser == nullptr) {
    DebugTrace(L"login window: the skin has no browser \"%ls\"", kBrowserName);
    return;
  }
  // Hidden until the jump page has arrived: the label beneath says the page is loading.
  m_browser->SetVisible(false);
  m_browser->SetDelayCreate(false);
  m_browser->SetVisible(false);  // the browser's window, made just now, hides too
  m_handler = std::make_unique<CCustomWebEventHandler>(m_browser, &m_pm, m_loginPageUrl, jumpPageUrl, m_state);
  m_browser->SetWebBrowserEventHandler(m_handler.get());
  m_browser->Navigate2(L"about:blank");
}

LRESULT CLoginWnd::HandleCustomMessage(UINT message, WPARAM, LPARAM, bool& handled) {
  if (message != WM_APP_LOGIN_CHANGED) {
    handled = false;
    return 0;
  }
  OnLoginChanged();
  handled = true;
  return 0;
}

void CLoginWnd::OnLoginChanged() {
  // The owner (the main window) refreshes its user panel; so does a window
  // above it, when there is one.
  HWND owner = GetParent(GetHandle());
  HWND ownerOwner = owner != nullptr ? GetParent(owner) : nullptr;
  if (owner != nullptr) PostMessageW(owner, WM_APP_LOGIN_CHANGED, 0, 0);
  if (ownerOwner != nullptr) PostMessageW(ownerOwner, WM_APP_LOGIN_CHANGED, 0, 0);
  StartUsageReport(m_state, kReportLoginDone);
  PostClose(kLoginCloseResult);
}

void CLoginWnd::Notify(UINotify& msg) {
  if (msg.sType.DiffersFromText(L"click") || msg.pSender == nullptr) return;
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"closeBtn")) {
    PostClose(kLoginCloseResult);
  } else if (name.EqualsText(L"loginService")) {
    ShellExecuteW(nullptr, L"open", kServiceAgreementUrl, nullptr, nullptr, SW_SHOWNORMAL);
  }
}
