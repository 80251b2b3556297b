// The user panel of the main window's title band ("btnLogin", "btnLogout",
// "loginSucessLayout" with "showInfoBtn"), the login window's entry point and
// the personal-centre pop-up.
#include "app/MainWnd.h"

#include "app/login/LoginWnd.h"
#include "core/base/TextConversion.h"
#include "core/client/ClientState.h"
#include "ui/control/ControlUI.h"
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

void CMainWnd::ShowLogin() {
  // One login window at a time: a second request (WM_APP_SHOW_LOGIN while the
  // first runs) brings nothing new.
  if (CLoginWnd::IsOpen()) return;
  CLoginWnd* login = new CLoginWnd(m_state);
  if (login->CreateWithSize(GetHandle(), L"LoginWnd", kLoginWindowStyle, 0) == nullptr) {
    // A window that never got a native handle gets no last message either.
    if (login->GetHandle() == nullptr) delete login;
    return;
  }
  login->CenterOnOwner();
  login->RunModalLoop();  // the window deletes itself at its last message
}

void CMainWnd::RefreshUserPanel() {
  const AccountRecord record = m_state.CopyAccountRecord();
  const bool signedIn = record.loggedIn == 1;
  ShowControl(m_btnLogin, !signedIn);
  ShowControl(m_btnLogout, signedIn);
  // Signed out, the panel must not keep showing the last user's name.
  ShowControl(m_loginSucessLayout, signedIn);
  if (signedIn) SetText(m_showInfoBtn, (kSignedInPrefix + NicknameOf(record)).c_str());
}

void CMainWnd::ShowPersonalCenter() {
  if (m_showInfoBtn == nullptr) return;
  RECT window;
  GetWindowRect(GetHandle(), &window);
  const CUIRect button = m_showInfoBtn->GetPos();
  CMenuWnd* menu = CMenuWnd::CreateMenu(nullptr, UIResourceRef(L"PersonalCenterTip.xml"),
                                        window.left + button.left - kPersonalCenterDx,
                                        window.top + button.bottom - kPersonalCenterDy, &m_pm, nullptr, 6);
  if (menu == nullptr) return;
  if (CControlUI* user = menu->GetManager().FindControlByName(L"user_id")) {
    user->SetText(NicknameOf(m_state.CopyAccountRecord()).c_str());
  }
}
