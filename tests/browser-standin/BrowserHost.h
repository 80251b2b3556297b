#pragma once
// A minimal OLE container for the web-browser control, built the way a host
// embeds it: CoCreateInstance of the class, client site first, host names,
// in-place activation in a window of the test, IWebBrowser2, and an event
// sink advised on the DWebBrowserEvents2 connection point. At each
// NavigateComplete2 the sink installs a document host UI handler on the new
// document (ICustomDoc::SetUIHandler), as hosts do.
//
// The host's objects live in the BrowserHost and count their references
// without deleting themselves, so a test can check that the browser gave
// every reference back.

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"

namespace browsertest {

// {8856F961-340A-11D0-A96B-00C04FD705A2}: the system web-browser class.
const CLSID kWebBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
// The flags a login host gives: dialog, no help menu, no 3-D borders, no scroll bars, themed.
const DWORD kHostFlags = 0x0024000F;

struct Event {
  DISPID id = 0;
  bool topLevel = false;  // pDisp was the browser itself (not a frame's browser)
  IDispatch* browser = nullptr;  // pDisp as given (not kept alive; compare only)
  std::wstring url;
  std::wstring frame;  // BeforeNavigate2 / NavigateError: the target frame's name
  LONG status = 0;     // NavigateError
  DWORD thread = 0;    // the thread the event arrived on
};

// Counts references without deleting: the host owns these objects.
template <typename Interface>
class HostObject : public Interface {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_references); }
  LONG references() const { return m_references; }

 protected:
  LONG m_references = 0;
};

class EventSink : public HostObject<IDispatch> {
 public:
  std::vector<Event> events;
  // Called for each recorded event before Invoke returns; may set *cancel for
  // BeforeNavigate2 and NavigateError.
  std::function<void(const Event&, VARIANT_BOOL* cancel)> onEvent;
  IDispatch* topBrowser = nullptr;         // the browser's IDispatch, to tell frames from the page
  IDocHostUIHandler* uiHandler = nullptr;  // installed on each new top-level document
  int badArguments = 0;                    // events whose arguments did not have the documented types

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    if (iid != IID_NULL || params == nullptr) return E_INVALIDARG;
    Event event;
    event.id = id;
    event.thread = GetCurrentThreadId();
    VARIANT_BOOL* cancel = nullptr;
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
        if (!Expect(params, {VT_DISPATCH, VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF,
                             VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF, VT_BOOL | VT_BYREF})) {
          return E_INVALIDARG;
        }
        event.browser = V_DISPATCH(&params->rgvarg[6]);
        event.url = Text(V_VARIANTREF(&params->rgvarg[5]));
        event.frame = Text(V_VARIANTREF(&params->rgvarg[3]));
        cancel = V_BOOLREF(&params->rgvarg[0]);
        break;
      case DISPID_NAVIGATECOMPLETE2:
      case DISPID_DOCUMENTCOMPLETE:
        if (!Expect(params, {VT_DISPATCH, VT_VARIANT | VT_BYREF})) return E_INVALIDARG;
        event.browser = V_DISPATCH(&params->rgvarg[1]);
        event.url = Text(V_VARIANTREF(&params->rgvarg[0]));
        break;
      case DISPID_NAVIGATEERROR: {
        if (!Expect(params, {VT_DISPATCH, VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF, VT_VARIANT | VT_BYREF,
                             VT_BOOL | VT_BYREF})) {
          return E_INVALIDARG;
        }
        event.browser = V_DISPATCH(&params->rgvarg[4]);
        event.url = Text(V_VARIANTREF(&params->rgvarg[3]));
        event.frame = Text(V_VARIANTREF(&params->rgvarg[2]));
        const VARIANT* status = V_VARIANTREF(&params->rgvarg[1]);
        if (V_VT(status) != VT_I4) ++badArguments;
        event.status = V_VT(status) == VT_I4 ? V_I4(status) : 0;
        cancel = V_BOOLREF(&params->rgvarg[0]);
        break;
      }
      case DISPID_COMMANDSTATECHANGE:
        if (!Expect(params, {VT_I4, VT_BOOL})) return E_INVALIDARG;
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;  // a host ignores what it does not handle
    }
    event.topLevel = event.browser == topBrowser;
    if (id == DISPID_NAVIGATECOMPLETE2 && event.topLevel && uiHandler != nullptr) InstallUiHandler();
    events.push_back(event);
    if (onEvent) onEvent(events.back(), cancel);
    return S_OK;
  }

  ComPtr<IHTMLDocument2> Document() const {
    ComPtr<IDispatch> document;
    ComPtr<IHTMLDocument2> html;
    auto* browser = static_cast<IWebBrowser2*>(topBrowser);
    if (browser != nullptr && browser->get_Document(document.Receive()) == S_OK && document) {
      document->QueryInterface(__uuidof(IHTMLDocument2), html.ReceiveVoid());
    }
    return html;
  }

 private:
  static std::wstring Text(const VARIANT* value) {
    return value != nullptr && V_VT(value) == VT_BSTR && V_BSTR(value) != nullptr ? V_BSTR(value) : L"";
  }
  // The arguments arrive last first: types are listed in declaration order.
  bool Expect(const DISPPARAMS* params, std::vector<VARTYPE> types) {
    if (params->cArgs != types.size() || params->rgvarg == nullptr) {
      ++badArguments;
      return false;
    }
    for (size_t i = 0; i < types.size(); ++i) {
      if (V_VT(&params->rgvarg[types.size() - 1 - i]) != types[i]) {
        ++badArguments;
        return false;
      }
    }
    return true;
  }
  void InstallUiHandler() {
    ComPtr<IDispatch> document;
    auto* browser = static_cast<IWebBrowser2*>(topBrowser);
    if (browser->get_Document(document.Receive()) != S_OK || !document) return;
    ComPtr<ICustomDoc> custom;
    if (SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), custom.ReceiveVoid()))) {
      custom->SetUIHandler(uiHandler);
    }
  }
};

class UiHandler : public HostObject<IDocHostUIHandler> {
 public:
  int hostInfoCalls = 0;
  int contextMenuCalls = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDocHostUIHandler) return E_NOINTERFACE;
    *out = static_cast<IDocHostUIHandler*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
    ++contextMenuCalls;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override {
    ++hostInfoCalls;
    info->cbSize = sizeof(DOCHOSTUIINFO);
    info->dwFlags |= kHostFlags;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                   IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
    if (key != nullptr) *key = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
    if (target != nullptr) *target = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
    if (external != nullptr) *external = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
    if (out != nullptr) *out = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
    if (out != nullptr) *out = nullptr;
    return S_FALSE;
  }
};

// The client site with its in-place part, one object as hosts usually make it.
class Site : public HostObject<IOleClientSite>, public IOleInPlaceSite {
 public:
  HWND window = nullptr;  // the host window the browser draws in
  RECT position = {0, 0, 0, 0};
  bool inPlaceActive = false;

  ULONG STDMETHODCALLTYPE AddRef() override { return HostObject<IOleClientSite>::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return HostObject<IOleClientSite>::Release(); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *out = static_cast<IOleInPlaceSite*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  // IOleClientSite:
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow:
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    *out = window;
    return window != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return S_OK; }
  // IOleInPlaceSite:
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
    inPlaceActive = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT pos,
                                             LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = nullptr;
    *document = nullptr;
    *pos = position;
    *clip = position;
    info->fMDIApp = FALSE;
    info->hwndFrame = window;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
    inPlaceActive = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return E_NOTIMPL; }
};

}  // namespace browsertest
