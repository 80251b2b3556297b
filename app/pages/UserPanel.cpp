#include "app/pages/UserPanel.h"

#include "app/login/LoginWnd.h"
#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "core/base/UserMessage.h"
#include "core/client/AccountMessages.h"
#include "core/client/ClientState.h"
#include "ui/controls/menu/MenuWnd.h"

using namespace Trellis;

namespace {

constexpr DWORD kLoginWindowStyle = 0x90000000;  // WS_POPUP | WS_VISIBLE; the skin gives the size
const wchar_t kSignedInPrefix[] = L"登录用户：";
// The pop-up opens 35 pixels left of the button's left edge and 10 pixels below it.
constexpr int kPersonalCenterDx = 35;
constexpr int kPersonalCenterDy = -10;

// The nickname as the service sent it: UTF-8 whatever the user's code page.
std::wstring NicknameOf(const AccountRecord& record) { return Utf8ToWide(RecordText(record.nickname)); }

}  // namespace

const NotifyRoute<UserPanel> UserPanel::kNotifyRoutes[] = {
    {L"click", L"btnLogin", false, &UserPanel::OnLoginButton},
    {L"click", L"btnLogout", false, &UserPanel::OnLogoutButton},
    {L"click", L"btnUserLogout", false, &UserPanel::OnLogoutButton},
    {L"click", L"showInfoBtn", false, &UserPanel::OnShowInfo},
};

void UserPanel::Bind() {
  m_btnLogin = Bound(L"btnLogin");
  m_btnLogout = Bound(L"btnLogout");
  m_showInfoBtn = Bound(L"showInfoBtn");
  m_loginSucessLayout = Bound(L"loginSucessLayout");
}

bool UserPanel::Notify(UINotify& msg) { return DispatchNotify(this, kNotifyRoutes, msg); }

bool UserPanel::OnAppMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_APP_LOGIN_CHANGED:
    case WM_APP_INIT_PARAMS_LOADED: RefreshUserPanel(); return true;
    case WM_APP_LOGOUT: Logout(); return true;
    case WM_APP_SHOW_LOGIN: ShowLogin(); return true;
    default: return false;
  }
}

void UserPanel::ShowLogin() {
  // One login window at a time: a second request (WM_APP_SHOW_LOGIN while the
  // first runs) brings nothing new.
  if (CLoginWnd::IsOpen()) return;
  CLoginWnd* login = new CLoginWnd(State());
  if (login->CreateWithSize(Window(), L"LoginWnd", kLoginWindowStyle, 0) == nullptr) {
    // A window that never got a native handle gets no last message either.
    if (login->GetHandle() == nullptr) delete login;
    return;
  }
  login->CenterOnOwner();
  login->RunModalLoop();  // the window deletes itself at its last message
}

void UserPanel::RefreshUserPanel() {
  const AccountRecord record = State().CopyAccountRecord();
  const bool signedIn = record.loggedIn == 1;
  ShowControl(m_btnLogin, !signedIn);
  ShowControl(m_btnLogout, signedIn);
  // Signed out, the panel must not keep showing the last user's name.
  ShowControl(m_loginSucessLayout, signedIn);
  if (signedIn) SetControlText(m_showInfoBtn, (kSignedInPrefix + NicknameOf(record)).c_str());
}

void UserPanel::ShowPersonalCenter() {
  if (m_showInfoBtn == nullptr) return;
  RECT window;
  GetWindowRect(Window(), &window);
  const CUIRect button = m_showInfoBtn->GetPos();
  CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, UIResourceRef(L"PersonalCenterTip.xml"),
                                        window.left + button.left - kPersonalCenterDx,
                                        window.top + button.bottom - kPersonalCenterDy, &Manager(), nullptr, 6);
  if (menu == nullptr) return;
  if (CControlUI* user = menu->GetManager().FindControlByName(L"user_id")) {
    user->SetText(NicknameOf(State().CopyAccountRecord()).c_str());
  }
}

void UserPanel::Logout() {
  const bool saved = State().UpdateAccountRecord([](AccountRecord& record) { record.loggedIn = 0; });
  // Unsaved, the record is still signed in, as the file is: the panel shows that.
  RefreshUserPanel();
  if (!saved) {
    ShowUserMessage(Window(), kAccountMessageLogoutNotSaved);
    return;
  }
  ShowControl(m_loginSucessLayout, false);
}
