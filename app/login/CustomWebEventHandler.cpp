#include "app/login/CustomWebEventHandler.h"

#include "app/ProductInfo.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/TextConversion.h"
#include "core/base/UserMessage.h"
#include "core/client/AccountMessages.h"
#include "core/client/ClientState.h"
#include "core/client/portable/LoginResult.h"
#include "ui/controls/activex/WebBrowserUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

const wchar_t kLoadFailedMessage[] = L"加载失败，请重试！";
const wchar_t kLoginFailedMessage[] = L"登录失败，请重试";
const wchar_t kResultVariable[] = L"info";

// The page's own look: a dialog without borders, 3-D edges or scroll bars,
// themed, without the help menu (DIALOG, DISABLE_HELP_MENU, NO3DBORDER,
// SCROLL_NO, THEME, NO3DOUTERBORDER).
constexpr DWORD kHostFlags = 0x0024000F;

std::wstring UrlText(const VARIANT* url) {
  if (url == nullptr || V_VT(url) != VT_BSTR || V_BSTR(url) == nullptr) return std::wstring();
  return std::wstring(V_BSTR(url), SysStringLen(V_BSTR(url)));
}

}  // namespace

CCustomWebEventHandler::CCustomWebEventHandler(CWebBrowserUI* browser, CWindowManagerUI* manager,
                                               std::wstring loginPageUrl, std::wstring jumpPageUrl,
                                               ClientState& state)
    : m_browser(browser),
      m_manager(manager),
      m_loginPageUrl(std::move(loginPageUrl)),
      m_flow(std::move(jumpPageUrl)),
      m_state(state) {}

HWND CCustomWebEventHandler::LoginWindow() const {
  return m_manager != nullptr ? m_manager->GetPaintWindow() : nullptr;
}

bool CCustomWebEventHandler::IsTopLevel(IDispatch* browser) const {
  return m_browser != nullptr && m_browser->IsTopBrowser(browser);
}

// --- Browser events ---

HRESULT CCustomWebEventHandler::NavigateError(IDispatch* browser, VARIANT* url, VARIANT*, VARIANT* statusCode,
                                              VARIANT_BOOL*) {
  // A frame that fails (the login page's code box, say) leaves the page usable.
  if (!IsTopLevel(browser)) return S_OK;
  const LONG status = (statusCode != nullptr && V_VT(statusCode) == VT_I4) ? V_I4(statusCode) : 0;
  DebugTrace(L"login window: page failed to load (0x%08lX): %ls", static_cast<unsigned long>(status),
             UrlText(url).c_str());
  if (m_browser != nullptr) m_browser->SetVisible(false);
  MessageBoxW(LoginWindow(), kLoadFailedMessage, kProductTitle, MB_ICONINFORMATION);
  return S_OK;
}

HRESULT CCustomWebEventHandler::NavigateComplete2(IDispatch* browser, VARIANT* url) {
  if (m_flow.OnNavigateComplete(IsTopLevel(browser), UrlText(url)) != LoginPageStep::kShowLoginPage) return S_OK;
  if (m_browser == nullptr) return S_OK;
  m_browser->SetVisible(true);
  m_browser->Navigate2(m_loginPageUrl.c_str());
  return S_OK;
}

HRESULT CCustomWebEventHandler::DocumentComplete(IDispatch* browser, VARIANT* url) {
  switch (m_flow.OnDocumentComplete(IsTopLevel(browser), UrlText(url))) {
    case LoginPageStep::kOpenJumpPage:
      if (m_browser != nullptr) m_browser->Navigate(m_flow.JumpPageUrl().c_str());
      break;
    case LoginPageStep::kReadResult:
      ReadLoginResult();
      break;
    default:
      break;
  }
  return S_OK;
}

void CCustomWebEventHandler::ReadLoginResult() {
  // The failure message runs a message loop in which the page could load
  // again; one result at a time.
  if (m_readingResult || m_browser == nullptr) return;
  m_readingResult = true;
  std::string info;
  bool read = false;
  ComPtr<IDispatch> window = m_browser->GetHtmlWindow();
  if (window) {
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(CWebBrowserUI::GetProperty(window.Get(), kResultVariable, &value)) && V_VT(&value) == VT_BSTR &&
        V_BSTR(&value) != nullptr) {
      // The value is Base64 text; its ANSI form is its ASCII bytes.
      info = WideToAnsi(std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))));
      read = true;
    }
    VariantClear(&value);
  }
  LoginAccount account;
  if (!read || !::ReadLoginResult(info, m_state.rsaKeyText, account)) {
    DebugTrace(read ? L"login window: the login result was refused" : L"login window: the page has no login result");
    MessageBoxW(LoginWindow(), kLoginFailedMessage, kProductTitle, MB_ICONERROR);
    m_readingResult = false;
    return;
  }
  if (!m_state.UpdateAccountRecord([&account](AccountRecord& record) { ApplyLoginToRecord(record, account); })) {
    // The file still says signed out, and so does the record: the next start
    // agrees with what the windows show. The window stays for another try.
    ShowUserMessage(LoginWindow(), kAccountMessageLoginNotSaved);
    m_readingResult = false;
    return;
  }
  if (HWND loginWindow = LoginWindow()) PostMessageW(loginWindow, WM_APP_LOGIN_CHANGED, 0, 0);
  m_readingResult = false;
}

// --- Document host callbacks ---

HRESULT CCustomWebEventHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
  return S_OK;  // handled: the page shows no context menu
}

HRESULT CCustomWebEventHandler::GetHostInfo(DOCHOSTUIINFO* info) {
  if (info == nullptr) return E_POINTER;
  info->cbSize = sizeof(DOCHOSTUIINFO);
  info->dwFlags |= kHostFlags;
  info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  return S_OK;
}

HRESULT CCustomWebEventHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                       IOleInPlaceUIWindow*) {
  return S_FALSE;  // the browser shows its own interface
}

HRESULT CCustomWebEventHandler::HideUI() { return S_OK; }
HRESULT CCustomWebEventHandler::UpdateUI() { return S_OK; }
HRESULT CCustomWebEventHandler::EnableModeless(BOOL) { return S_OK; }
HRESULT CCustomWebEventHandler::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT CCustomWebEventHandler::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT CCustomWebEventHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT CCustomWebEventHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_OK; }
HRESULT CCustomWebEventHandler::GetOptionKeyPath(LPOLESTR*, DWORD) { return S_OK; }
HRESULT CCustomWebEventHandler::GetDropTarget(IDropTarget*, IDropTarget**) { return S_OK; }
HRESULT CCustomWebEventHandler::GetExternal(IDispatch**) { return S_OK; }
HRESULT CCustomWebEventHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR*) { return S_OK; }
HRESULT CCustomWebEventHandler::FilterDataObject(IDataObject*, IDataObject**) { return S_OK; }

HRESULT CCustomWebEventHandler::Download(IMoniker*, IBindCtx*, DWORD, LONG, BINDINFO*, LPCOLESTR, LPCOLESTR, UINT) {
  return S_OK;
}
