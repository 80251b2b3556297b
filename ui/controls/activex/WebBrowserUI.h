#pragma once

// CWebBrowserUI: hosts the system web browser (an OLE control created
// through COM by its class id) as a CActiveXUI. It navigates, listens to the
// browser's DWebBrowserEvents2, serves as the page's document host (UI
// handler), command target (script errors show no dialog) and download
// manager service, routes keyboard accelerators to the browser, and reads
// page values (GetHtmlWindow, GetProperty). What the application wants to
// know or decide goes through one CBrowserEventHandler.
//
// Ownership: owns the browser's IWebBrowser2 and the page window it last
// read; borrows the event handler. Its COM parts live inside the control and
// never delete it: the control lets go of the browser (unadvising the sink
// and taking the UI handler off the document first) before it goes away.
#include <windows.h>
#include <docobj.h>
#include <downloadmgr.h>
#include <exdisp.h>
#include <mshtml.h>
#include <mshtmhst.h>

#include "core/base/ScopedHandle.h"
#include "ui/controls/activex/ActiveXUI.h"
#include "ui/window/MessageFilter.h"

namespace Trellis {

class CBrowserEventHandler;

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public IDownloadManager,
                      public ITranslateAccelerator {
 public:
  CWebBrowserUI();
  ~CWebBrowserUI() override;

  // CControlUI:
  // "WebBrowser".
  const UIChar* GetClassName() const override;
  // This control for "WebBrowser", else as CActiveXUI.
  void* GetInterface(const UIChar* name) override;
  // "homepage", "autonavi" (also "autonavigate"); others as CActiveXUI.
  void SetAttribute(const UIChar* name, const UIChar* value) override;

  // CActiveXUI:
  // Takes the UI handler off the document, unadvises the events and removes
  // the accelerator before the object is released.
  void ReleaseControl() override;
  // Creates the browser, connects its events, then (with "autonavi") loads the home page.
  bool DoCreateControl() override;

  // Stores the handler; null or the current one is ignored. Not owned.
  void SetWebBrowserEventHandler(CBrowserEventHandler* handler);
  CBrowserEventHandler* GetWebBrowserEventHandler() const { return m_pEventHandler; }
  // Navigate2 with the URL; nothing without a browser or URL.
  void Navigate2(const UIChar* url);
  // Navigate with the URL and no flags, target, post data or headers; nothing without a browser or URL.
  void Navigate(const UIChar* url);
  // The current page's window (its IDispatch, a new reference), kept for
  // later; null without a browser or document.
  ComPtr<IDispatch> GetHtmlWindow();
  // Reads the named property of a script object: E_FAIL for an unknown name,
  // else the result of the property get. Does not clear value on failure.
  static HRESULT GetProperty(IDispatch* script, const UIChar* name, VARIANT* value);
  // True when an event's browser is the top browser itself (not a frame's
  // browser); false without a browser.
  bool IsTopBrowser(IDispatch* browser) const;
  // The browser (borrowed); null before creation.
  IWebBrowser2* GetWebBrowser2() const { return m_pWebBrowser.Get(); }
  void SetHomePage(const UIChar* url) { m_sHomePage = CUIString(url); }
  const CUIString& GetHomePage() const { return m_sHomePage; }
  void SetAutoNavigate(bool on) { m_bAutoNavigate = on; }
  bool IsAutoNavigate() const { return m_bAutoNavigate; }

  // IUnknown (shared by the COM parts; never deletes the control):
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch: the DWebBrowserEvents2 sink.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;

  // IDocHostUIHandler: each goes to the handler's operation of the same name.
  STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) override;
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
  STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                      IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
  STDMETHODIMP HideUI() override;
  STDMETHODIMP UpdateUI() override;
  STDMETHODIMP EnableModeless(BOOL enable) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
  STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
  STDMETHODIMP GetDropTarget(IDropTarget* browserTarget, IDropTarget** target) override;
  STDMETHODIMP GetExternal(IDispatch** external) override;
  STDMETHODIMP TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
  STDMETHODIMP FilterDataObject(IDataObject* object, IDataObject** result) override;

  // IServiceProvider: only the download manager, with this control.
  STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

  // IOleCommandTarget: script errors are answered "keep running" without a dialog.
  STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
  STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;

  // IDownloadManager: passed to the handler; without one taken (S_OK) and dropped.
  STDMETHODIMP Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb, LONG bindFlags, BINDINFO* info,
                        LPCOLESTR headers, LPCOLESTR redirect, UINT codePage) override;

  // ITranslateAccelerator: key messages for the browser while it has the focus.
  LRESULT TranslateKeyMessage(MSG* message) override;

 private:
  // Connects the sink to the browser's DWebBrowserEvents2; false when it cannot.
  bool AdviseEvents();
  // Sets the handler on the current document (null takes it off).
  void SetDocumentUIHandler(IDocHostUIHandler* handler);
  // The event's arguments, checked: the DISPID's count and types; false when they do not fit.
  HRESULT DispatchEvent(DISPID id, DISPPARAMS* params);

  ComPtr<IWebBrowser2> m_pWebBrowser;           // owned; set by DoCreateControl, cleared by ReleaseControl
  ComPtr<IHTMLWindow2> m_pHtmlWindow;           // owned; the page window of the last GetHtmlWindow
  ComPtr<IConnectionPoint> m_pEventPoint;       // owned while advised
  DWORD m_dwEventCookie = 0;
  CUIString m_sHomePage;
  bool m_bAutoNavigate = false;
  bool m_bAcceleratorAdded = false;
  CBrowserEventHandler* m_pEventHandler = nullptr;  // borrowed; null = the defaults
  LONG m_refs = 0;                                  // the COM parts' count (informational)
};

}  // namespace Trellis
