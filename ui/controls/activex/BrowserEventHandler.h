#pragma once

// CBrowserEventHandler: what an application hands a CWebBrowserUI to learn
// about and decide on the page: the browser's navigation events and the
// document host's callbacks, one virtual operation each, in a fixed order.
// Every operation receives what the browser passed and returns an HRESULT;
// the defaults here are what the control does without a handler, so a
// handler overrides only the operations it cares about.
#include <windows.h>
#include <ole2.h>
#include <docobj.h>
#include <mshtmhst.h>
#include <urlmon.h>

namespace Trellis {

class CBrowserEventHandler {
 public:
  CBrowserEventHandler() = default;
  CBrowserEventHandler(const CBrowserEventHandler&) = delete;
  CBrowserEventHandler& operator=(const CBrowserEventHandler&) = delete;
  virtual ~CBrowserEventHandler() = default;

  // --- Browser events (url and frame are the browser's VARIANTs, by value) ---
  // A navigation is about to start; setting *cancel to VARIANT_TRUE stops it. Default: nothing.
  virtual HRESULT BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrame,
                                  VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel);
  // A navigation failed with the HTTP status or an INET_E code in statusCode. Default: nothing.
  virtual HRESULT NavigateError(IDispatch* browser, VARIANT* url, VARIANT* frame, VARIANT* statusCode,
                                VARIANT_BOOL* cancel);
  // The page (or a frame: browser is then the frame's) arrived at url. Default: nothing.
  virtual HRESULT NavigateComplete2(IDispatch* browser, VARIANT* url);
  // The top page at url has loaded completely (never sent for frames). Default: nothing.
  virtual HRESULT DocumentComplete(IDispatch* browser, VARIANT* url);
  // Not sent by the control; kept so the order of the operations stays fixed.
  virtual HRESULT ProgressChange(LONG progress, LONG progressMax);
  // The page asks for a new window. Default: nothing.
  virtual HRESULT NewWindow3(IDispatch** browser, VARIANT_BOOL* cancel, DWORD flags, BSTR context, BSTR url);
  // A navigation command (back, forward) became enabled or disabled. Default: nothing.
  virtual HRESULT CommandStateChange(LONG command, VARIANT_BOOL enable);

  // --- Document host callbacks (as the system's document host interface) ---
  // Default S_FALSE: the browser shows its own menu.
  virtual HRESULT ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object);
  // Fills the host's flags; default E_NOTIMPL (the browser's own).
  virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info);
  // Default S_OK: the host shows no interface of its own.
  virtual HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                         IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document);
  virtual HRESULT HideUI();
  virtual HRESULT UpdateUI();
  // Defaults E_NOTIMPL.
  virtual HRESULT EnableModeless(BOOL enable);
  virtual HRESULT OnDocWindowActivate(BOOL activate);
  virtual HRESULT OnFrameWindowActivate(BOOL activate);
  virtual HRESULT ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow);
  // Default S_FALSE: the browser translates the key itself.
  virtual HRESULT TranslateAccelerator(LPMSG message, const GUID* group, DWORD command);
  // Default E_NOTIMPL (the browser's own settings); *key arrives cleared.
  virtual HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD reserved);
  // Default S_FALSE; *target arrives cleared.
  virtual HRESULT GetDropTarget(IDropTarget* browserTarget, IDropTarget** target);
  // Default S_FALSE; *external arrives cleared.
  virtual HRESULT GetExternal(IDispatch** external);
  // Default E_NOTIMPL; *translated arrives cleared.
  virtual HRESULT TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated);
  // Default E_NOTIMPL; *result arrives cleared.
  virtual HRESULT FilterDataObject(IDataObject* object, IDataObject** result);

  // --- Download manager ---
  // A download the page starts; default E_NOTIMPL, so the browser handles it itself.
  virtual HRESULT Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb, LONG bindFlags, BINDINFO* info,
                           LPCOLESTR headers, LPCOLESTR redirect, UINT codePage);
  // Reserved; returns S_OK.
  virtual HRESULT Spare();
};

}  // namespace Trellis
