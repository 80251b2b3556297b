#pragma once
// CCustomWebEventHandler: drives the login window's browser through the login
// pages (blank page, the management service's jump page, the login page, the
// callback page), reads the callback page's result, stores the account in the
// account record and tells the login window (WM_APP_LOGIN_CHANGED). It also
// answers the page's host questions: no context menu, no borders or scroll
// bars, the browser's own interface.
//
// Borrows the browser control and the login window's manager; the login
// window owns this handler and keeps it until the browser has let go of it.
// UI thread only (the browser's events arrive on the window's thread).
#include "core/client/portable/LoginPageFlow.h"
#include "ui/controls/activex/BrowserEventHandler.h"

#include <string>

class ClientState;
namespace Trellis {
class CWebBrowserUI;
class CWindowManagerUI;
}  // namespace Trellis

class CCustomWebEventHandler : public Trellis::CBrowserEventHandler {
 public:
  // `jumpPageUrl` and `loginPageUrl` are the two addresses the flow opens.
  CCustomWebEventHandler(Trellis::CWebBrowserUI* browser, Trellis::CWindowManagerUI* manager,
                         std::wstring loginPageUrl, std::wstring jumpPageUrl, ClientState& state);

  // CBrowserEventHandler, browser events:
  HRESULT NavigateError(IDispatch* browser, VARIANT* url, VARIANT* frame, VARIANT* statusCode,
                        VARIANT_BOOL* cancel) override;
  HRESULT NavigateComplete2(IDispatch* browser, VARIANT* url) override;
  HRESULT DocumentComplete(IDispatch* browser, VARIANT* url) override;
  // CBrowserEventHandler, document host callbacks:
  HRESULT ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) override;
  HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
  HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                 IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
  HRESULT HideUI() override;
  HRESULT UpdateUI() override;
  HRESULT EnableModeless(BOOL enable) override;
  HRESULT OnDocWindowActivate(BOOL activate) override;
  HRESULT OnFrameWindowActivate(BOOL activate) override;
  HRESULT ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
  HRESULT TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
  HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
  HRESULT GetDropTarget(IDropTarget* browserTarget, IDropTarget** target) override;
  HRESULT GetExternal(IDispatch** external) override;
  HRESULT TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
  HRESULT FilterDataObject(IDataObject* object, IDataObject** result) override;
  // CBrowserEventHandler, download manager: the page downloads nothing.
  HRESULT Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb, LONG bindFlags, BINDINFO* info,
                   LPCOLESTR headers, LPCOLESTR redirect, UINT codePage) override;

 private:
  // True when the event came from the top-level page, not from a frame inside it.
  bool IsTopLevel(IDispatch* browser) const;
  // Reads "info" of the callback page, stores the account and tells the
  // login window; shows "登录失败，请重试" when the value is missing or refused.
  void ReadLoginResult();
  HWND LoginWindow() const;

  Trellis::CWebBrowserUI* m_browser;      // borrowed: the login window's "webChatLogin"
  Trellis::CWindowManagerUI* m_manager;   // borrowed: the login window's manager
  std::wstring m_loginPageUrl;
  LoginPageFlow m_flow;
  ClientState& m_state;                   // borrowed: the program's client state
  bool m_readingResult = false;           // set while a result is read (its message box runs a loop)
};
