#pragma once
// CLoginWnd: the small skinned window ("LoginWnd.xml") in which the user signs
// in through the login service's web page, shown by the browser control
// "webChatLogin". Its CCustomWebEventHandler walks the pages and stores the
// account; once a login is complete the window tells its owner (and the
// owner's owner) with WM_APP_LOGIN_CHANGED, reports it and closes.
//
// A heap object, run modal on the main window (UserPanel::ShowLogin). Owns its
// handler and the login page address; its last message releases the browser
// and then deletes the window object with them. UI thread only.
#include "ui/window/WindowImplBase.h"

#include <memory>
#include <string>

class CCustomWebEventHandler;
class ClientState;
namespace Trellis {
class CWebBrowserUI;
}

class CLoginWnd : public Trellis::WindowImplBase {
 public:
  // Starts the login-window usage report.
  explicit CLoginWnd(ClientState& state);
  ~CLoginWnd() override;

  // CWindowWnd:
  const Trellis::UIChar* GetWindowClassName() const override;
  // Lets go of the browser (no event reaches the handler afterwards) and deletes this object.
  void OnLastMessage(HWND hWnd) override;
  // WindowImplBase:
  // Makes the handler and starts the page flow with the blank page.
  void OnSkinLoaded() override;
  Trellis::CUIString GetSkinFolder() override;
  Trellis::CUIString GetSkinFile() override;
  // WM_APP_LOGIN_CHANGED: passes the news on, reports the login and closes with 8.
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // INotifyUI: "closeBtn" closes with 8, "loginService" opens the service agreement.
  void Notify(Trellis::UINotify& msg) override;

  // The "usedtimes" value of the login page: how many login windows this run
  // has opened, this one included (1 for the first). The login service counts
  // a user's attempts with it; it is not kept across runs.
  static int UsedTimes();
  // True while a login window object exists.
  static bool IsOpen();

 private:
  void OnLoginChanged();

  ClientState& m_state;                               // borrowed: the program's client state
  Trellis::CWebBrowserUI* m_browser = nullptr;        // borrowed from the tree: "webChatLogin"; null when missing
  std::unique_ptr<CCustomWebEventHandler> m_handler;  // owned; made when the skin has loaded
  std::wstring m_loginPageUrl;                        // the login page, with this window's values
};
