#pragma once
// UserPanel: the account controls of the main window's title band
// ("btnLogin", "btnLogout", "loginSucessLayout" with "showInfoBtn"), the
// login window's entry point, the personal-centre pop-up and the logout.
// Owns nothing but its borrowed control pointers; the account lives in the
// client state. UI thread only.
#include "app/pages/Page.h"

class UserPanel : public Page {
 public:
  explicit UserPanel(PageHost& host) : Page(host) {}

  // Page:
  void Bind() override;
  bool Notify(Trellis::UINotify& msg) override;
  // WM_APP_LOGIN_CHANGED and WM_APP_INIT_PARAMS_LOADED refresh the panel,
  // WM_APP_LOGOUT signs out, WM_APP_SHOW_LOGIN opens the login window.
  bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool IsBusy() const override { return false; }
  // Shows the account as the record has it.
  void Reset() override { RefreshUserPanel(); }

  // Opens the login window, modal on the main window; one at a time.
  void ShowLogin();
  // Shows the signed-in user, or the login button.
  void RefreshUserPanel();
  // The pop-up with the user's name below "showInfoBtn".
  void ShowPersonalCenter();
  // Signs the user out and refreshes the panel; an unsaved logout says so.
  void Logout();

 private:
  void OnLoginButton(Trellis::UINotify&) { ShowLogin(); }
  void OnLogoutButton(Trellis::UINotify&) { Logout(); }
  void OnShowInfo(Trellis::UINotify&) { ShowPersonalCenter(); }
  static const NotifyRoute<UserPanel> kNotifyRoutes[];

  // Borrowed from the window's tree; null when the skin lacks the name.
  Trellis::CControlUI* m_btnLogin = nullptr;
  Trellis::CControlUI* m_btnLogout = nullptr;
  Trellis::CControlUI* m_showInfoBtn = nullptr;
  Trellis::CControlUI* m_loginSucessLayout = nullptr;
};
