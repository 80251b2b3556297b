// The user panel of the main window's title band and the login window's
// entry points.
//
// NOT BUILT YET: placeholders; the login work replaces each body.
#include "app/MainWnd.h"

using namespace Trellis;

void CMainWnd::ShowLogin() {}  // placeholder: the login window

void CMainWnd::RefreshUserPanel() {}  // placeholder: "btnLogin" / "loginSucessLayout" by the account record

void CMainWnd::ShowPersonalCenter() {}  // placeholder: "PersonalCenterTip.xml" pop-up
