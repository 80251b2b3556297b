#include "ui/controls/activex/WebBrowserUI.h"

#include <exdispid.h>
#include <ocidl.h>

#include "core/base/DebugTrace.h"
#include "ui/controls/activex/BrowserEventHandler.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

// {8856F961-340A-11D0-A96B-00C04FD705A2}: the system web-browser class.
const CLSID kWebBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
// {F38BC242-B950-11D1-8918-00C04FC2C836}: the document host's command group.
const GUID kDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
constexpr DWORD kShowScriptError = 40;  // OLECMDID_SHOWSCRIPTERROR

// The VARIANT an event argument carries: the referenced one for
// VT_VARIANT|VT_BYREF, the argument itself for a plain value; null when it is
// neither.
VARIANT* ValueOf(VARIANTARG& argument) {
  if (V_VT(&argument) == (VT_VARIANT | VT_BYREF)) return V_VARIANTREF(&argument);
  if ((V_VT(&argument) & VT_BYREF) == 0) return &argument;
  return nullptr;
}

bool IsType(const VARIANTARG& argument, VARTYPE type) { return V_VT(&argument) == type; }

// The object's identity (its IUnknown) for comparing two interface pointers.
ComPtr<IUnknown> IdentityOf(IUnknown* object) {
  ComPtr<IUnknown> identity;
  if (object != nullptr) object->QueryInterface(IID_IUnknown, identity.ReceiveVoid());
  return identity;
}

}  // namespace

CWebBrowserUI::CWebBrowserUI() { SetCLSIDValue(kWebBrowserClass); }

CWebBrowserUI::~CWebBrowserUI() { CWebBrowserUI::ReleaseControl(); }

const UIChar* CWebBrowserUI::GetClassName() const { return UI_TEXT("WebBrowser"); }

void* CWebBrowserUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("WebBrowser")) == 0) return static_cast<CWebBrowserUI*>(this);
  return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(const UIChar* name, const UIChar* value) {
  const auto is = [name](const UIChar* candidate) { return UITextCompare(name, candidate) == 0; };
  if (is(UI_TEXT("homepage"))) {
    SetHomePage(value);
  } else if (is(UI_TEXT("autonavi")) || is(UI_TEXT("autonavigate"))) {
    SetAutoNavigate(value != nullptr && UITextCompare(value, UI_TEXT("true")) == 0);
  } else {
    CActiveXUI::SetAttribute(name, value);
  }
}

void CWebBrowserUI::SetWebBrowserEventHandler(CBrowserEventHandler* handler) {
  if (handler == nullptr || handler == m_pEventHandler) return;
  m_pEventHandler = handler;
}

// --- Creation and release ---

bool CWebBrowserUI::DoCreateControl() {
  if (!CActiveXUI::DoCreateControl()) return false;
  if (m_pManager != nullptr) m_bAcceleratorAdded = m_pManager->AddTranslateAccelerator(this);
  if (FAILED(m_pOleObject->QueryInterface(IID_IWebBrowser2, m_pWebBrowser.ReceiveVoid()))) {
    DebugTrace(L"CWebBrowserUI: the object has no IWebBrowser2");
    return false;
  }
  // The sink goes first, so the home page's first events are not lost.
  AdviseEvents();
  if (m_bAutoNavigate && !m_sHomePage.IsEmpty()) Navigate2(m_sHomePage.GetText());
  return true;
}

bool CWebBrowserUI::AdviseEvents() {
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = m_pWebBrowser->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
  if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_pEventPoint.Receive());
  if (SUCCEEDED(hr)) hr = m_pEventPoint->Advise(static_cast<IDispatch*>(this), &m_dwEventCookie);
  if (FAILED(hr)) {
    DebugTrace(L"CWebBrowserUI: cannot connect the browser events");
    m_pEventPoint.Reset();
    m_dwEventCookie = 0;
    return false;
  }
  return true;
}

void CWebBrowserUI::SetDocumentUIHandler(IDocHostUIHandler* handler) {
  if (!m_pWebBrowser) return;
  ComPtr<IDispatch> document;
  if (FAILED(m_pWebBrowser->get_Document(document.Receive())) || !document) return;
  ComPtr<ICustomDoc> custom;
  if (SUCCEEDED(document->QueryInterface(__uuidof(ICustomDoc), custom.ReceiveVoid()))) custom->SetUIHandler(handler);
}

void CWebBrowserUI::ReleaseControl() {
  // A document that outlives the control must call nothing of it: the UI
  // handler comes off the document and the sink off the browser first.
  SetDocumentUIHandler(nullptr);
  if (m_pEventPoint) {
    m_pEventPoint->Unadvise(m_dwEventCookie);
    m_pEventPoint.Reset();
    m_dwEventCookie = 0;
  }
  if (m_bAcceleratorAdded && m_pManager != nullptr) m_pManager->RemoveTranslateAccelerator(this);
  m_bAcceleratorAdded = false;
  m_pHtmlWindow.Reset();
  m_pWebBrowser.Reset();
  CActiveXUI::ReleaseControl();
  m_bCreated = false;
}

// --- Navigation and page values ---

void CWebBrowserUI::Navigate2(const UIChar* url) {
  if (!m_pWebBrowser || url == nullptr || url[0] == 0) return;
  VARIANT address;
  ::VariantInit(&address);
  V_VT(&address) = VT_BSTR;
  V_BSTR(&address) = ::SysAllocString(url);
  if (V_BSTR(&address) == nullptr) return;
  VARIANT empty;
  ::VariantInit(&empty);
  const HRESULT hr = m_pWebBrowser->Navigate2(&address, &empty, &empty, &empty, &empty);
  if (FAILED(hr)) DebugTrace(L"CWebBrowserUI: Navigate2 failed");
  ::VariantClear(&address);
}

void CWebBrowserUI::Navigate(const UIChar* url) {
  if (!m_pWebBrowser || url == nullptr || url[0] == 0) return;
  OwnedBstr address(::SysAllocString(url));
  if (!address) return;
  if (FAILED(m_pWebBrowser->Navigate(address.Get(), nullptr, nullptr, nullptr, nullptr))) {
    DebugTrace(L"CWebBrowserUI: Navigate failed");
  }
}

ComPtr<IDispatch> CWebBrowserUI::GetHtmlWindow() {
  ComPtr<IDispatch> result;
  if (!m_pWebBrowser) return result;
  ComPtr<IDispatch> document;
  if (FAILED(m_pWebBrowser->get_Document(document.Receive())) || !document) return result;
  ComPtr<IHTMLDocument2> html;
  if (FAILED(document->QueryInterface(IID_IHTMLDocument2, html.ReceiveVoid()))) return result;
  ComPtr<IHTMLWindow2> window;
  if (FAILED(html->get_parentWindow(window.Receive())) || !window) return result;
  window->QueryInterface(IID_IDispatch, result.ReceiveVoid());
  m_pHtmlWindow = std::move(window);
  return result;
}

HRESULT CWebBrowserUI::GetProperty(IDispatch* script, const UIChar* name, VARIANT* value) {
  if (script == nullptr || name == nullptr || value == nullptr) return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))) return E_FAIL;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return script->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
}

// --- IUnknown ---

STDMETHODIMP CWebBrowserUI::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDocHostUIHandler) {
    *object = static_cast<IDocHostUIHandler*>(this);
  } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
    *object = static_cast<IDispatch*>(this);
  } else if (iid == IID_IServiceProvider) {
    *object = static_cast<IServiceProvider*>(this);
  } else if (iid == IID_IOleCommandTarget) {
    *object = static_cast<IOleCommandTarget*>(this);
  } else if (iid == __uuidof(IDownloadManager)) {
    *object = static_cast<IDownloadManager*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWebBrowserUI::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
STDMETHODIMP_(ULONG) CWebBrowserUI::Release() { return static_cast<ULONG>(InterlockedDecrement(&m_refs)); }

// --- IDispatch: the event sink ---

STDMETHODIMP CWebBrowserUI::GetTypeInfoCount(UINT* count) {
  if (count != nullptr) *count = 0;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowserUI::Invoke(DISPID id, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                   UINT*) {
  if (!IsEqualIID(iid, IID_NULL)) return E_INVALIDARG;
  switch (id) {
    case DISPID_STATUSTEXTCHANGE:
      return S_OK;
    case DISPID_COMMANDSTATECHANGE:
    case DISPID_BEFORENAVIGATE2:
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE:
    case DISPID_NAVIGATEERROR:
    case DISPID_NEWWINDOW3:
      if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr)) return E_INVALIDARG;
      return DispatchEvent(id, params);
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

bool CWebBrowserUI::IsTopBrowser(IDispatch* browser) const {
  if (browser == nullptr || !m_pWebBrowser) return false;
  return IdentityOf(browser).Get() == IdentityOf(m_pWebBrowser.Get()).Get();
}

HRESULT CWebBrowserUI::DispatchEvent(DISPID id, DISPPARAMS* params) {
  // The browser passes the arguments last to first.
  VARIANTARG* args = params->rgvarg;
  const UINT count = params->cArgs;
  CBrowserEventHandler defaults;
  CBrowserEventHandler* handler = m_pEventHandler != nullptr ? m_pEventHandler : &defaults;
  switch (id) {
    case DISPID_COMMANDSTATECHANGE:
      if (count != 2 || !IsType(args[1], VT_I4) || !IsType(args[0], VT_BOOL)) return DISP_E_TYPEMISMATCH;
      handler->CommandStateChange(V_I4(&args[1]), V_BOOL(&args[0]));
      return S_OK;
    case DISPID_BEFORENAVIGATE2: {
      if (count != 7 || !IsType(args[6], VT_DISPATCH) || !IsType(args[0], VT_BOOL | VT_BYREF)) {
        return DISP_E_TYPEMISMATCH;
      }
      VARIANT* values[5];
      for (int i = 0; i < 5; ++i) {
        values[i] = ValueOf(args[5 - i]);
        if (values[i] == nullptr) return DISP_E_TYPEMISMATCH;
      }
      handler->BeforeNavigate2(V_DISPATCH(&args[6]), values[0], values[1], values[2], values[3], values[4],
                               V_BOOLREF(&args[0]));
      return S_OK;
    }
    case DISPID_NAVIGATECOMPLETE2:
    case DISPID_DOCUMENTCOMPLETE: {
      VARIANT* url = count == 2 ? ValueOf(args[0]) : nullptr;
      if (url == nullptr || !IsType(args[1], VT_DISPATCH)) return DISP_E_TYPEMISMATCH;
      IDispatch* browser = V_DISPATCH(&args[1]);
      if (id == DISPID_NAVIGATECOMPLETE2) {
        // The new document asks this control for its host behaviour.
        SetDocumentUIHandler(static_cast<IDocHostUIHandler*>(this));
        handler->NavigateComplete2(browser, url);
      } else if (IsTopBrowser(browser)) {
        handler->DocumentComplete(browser, url);
      }
      return S_OK;
    }
    case DISPID_NAVIGATEERROR: {
      if (count != 5 || !IsType(args[4], VT_DISPATCH) || !IsType(args[0], VT_BOOL | VT_BYREF)) {
        return DISP_E_TYPEMISMATCH;
      }
      VARIANT* url = ValueOf(args[3]);
      VARIANT* frame = ValueOf(args[2]);
      VARIANT* status = ValueOf(args[1]);
      if (url == nullptr || frame == nullptr || status == nullptr) return DISP_E_TYPEMISMATCH;
      handler->NavigateError(V_DISPATCH(&args[4]), url, frame, status, V_BOOLREF(&args[0]));
      return S_OK;
    }
    case DISPID_NEWWINDOW3:
      if (count != 5 || !IsType(args[4], VT_DISPATCH | VT_BYREF) || !IsType(args[3], VT_BOOL | VT_BYREF) ||
          (!IsType(args[2], VT_I4) && !IsType(args[2], VT_UI4)) || !IsType(args[1], VT_BSTR) ||
          !IsType(args[0], VT_BSTR)) {
        return DISP_E_TYPEMISMATCH;
      }
      handler->NewWindow3(V_DISPATCHREF(&args[4]), V_BOOLREF(&args[3]), static_cast<DWORD>(V_I4(&args[2])),
                          V_BSTR(&args[1]), V_BSTR(&args[0]));
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// --- IDocHostUIHandler ---

STDMETHODIMP CWebBrowserUI::ShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* object) {
  return m_pEventHandler != nullptr ? m_pEventHandler->ShowContextMenu(id, point, commandTarget, object) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) {
  if (info == nullptr) return E_POINTER;
  return m_pEventHandler != nullptr ? m_pEventHandler->GetHostInfo(info) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commandTarget,
                                   IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) {
  return m_pEventHandler != nullptr ? m_pEventHandler->ShowUI(id, active, commandTarget, frame, document) : S_OK;
}

STDMETHODIMP CWebBrowserUI::HideUI() { return m_pEventHandler != nullptr ? m_pEventHandler->HideUI() : S_OK; }
STDMETHODIMP CWebBrowserUI::UpdateUI() { return m_pEventHandler != nullptr ? m_pEventHandler->UpdateUI() : S_OK; }

STDMETHODIMP CWebBrowserUI::EnableModeless(BOOL enable) {
  return m_pEventHandler != nullptr ? m_pEventHandler->EnableModeless(enable) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnDocWindowActivate(BOOL activate) {
  return m_pEventHandler != nullptr ? m_pEventHandler->OnDocWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::OnFrameWindowActivate(BOOL activate) {
  return m_pEventHandler != nullptr ? m_pEventHandler->OnFrameWindowActivate(activate) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) {
  return m_pEventHandler != nullptr ? m_pEventHandler->ResizeBorder(border, window, frameWindow) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) {
  return m_pEventHandler != nullptr ? m_pEventHandler->TranslateAccelerator(message, group, command) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved) {
  if (key != nullptr) *key = nullptr;
  return m_pEventHandler != nullptr ? m_pEventHandler->GetOptionKeyPath(key, reserved) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::GetDropTarget(IDropTarget* browserTarget, IDropTarget** target) {
  if (target != nullptr) *target = nullptr;
  return m_pEventHandler != nullptr ? m_pEventHandler->GetDropTarget(browserTarget, target) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::GetExternal(IDispatch** external) {
  if (external != nullptr) *external = nullptr;
  return m_pEventHandler != nullptr ? m_pEventHandler->GetExternal(external) : S_FALSE;
}

STDMETHODIMP CWebBrowserUI::TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) {
  if (translated != nullptr) *translated = nullptr;
  return m_pEventHandler != nullptr ? m_pEventHandler->TranslateUrl(translate, url, translated) : E_NOTIMPL;
}

STDMETHODIMP CWebBrowserUI::FilterDataObject(IDataObject* object, IDataObject** result) {
  if (result != nullptr) *result = nullptr;
  return m_pEventHandler != nullptr ? m_pEventHandler->FilterDataObject(object, result) : E_NOTIMPL;
}

// --- IServiceProvider ---

STDMETHODIMP CWebBrowserUI::QueryService(REFGUID service, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualGUID(service, __uuidof(IDownloadManager)) || !IsEqualIID(iid, __uuidof(IDownloadManager))) return E_NOINTERFACE;
  *object = static_cast<IDownloadManager*>(this);
  AddRef();
  return S_OK;
}

// --- IOleCommandTarget ---

STDMETHODIMP CWebBrowserUI::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) { return OLECMDERR_E_NOTSUPPORTED; }

STDMETHODIMP CWebBrowserUI::Exec(const GUID* group, DWORD command, DWORD, VARIANT* in, VARIANT* out) {
  if (group == nullptr || !IsEqualGUID(*group, kDocHostCommandHandler)) return OLECMDERR_E_UNKNOWNGROUP;
  if (command != kShowScriptError) return OLECMDERR_E_NOTSUPPORTED;
  // The error's details are read from the page's event object; the page goes on.
  if (in != nullptr && (V_VT(in) == VT_UNKNOWN || V_VT(in) == VT_DISPATCH) && V_UNKNOWN(in) != nullptr) {
    ComPtr<IHTMLDocument2> document;
    ComPtr<IHTMLWindow2> window;
    ComPtr<IHTMLEventObj> event;
    ComPtr<IDispatch> eventScript;
    if (SUCCEEDED(V_UNKNOWN(in)->QueryInterface(IID_IHTMLDocument2, document.ReceiveVoid())) &&
        SUCCEEDED(document->get_parentWindow(window.Receive())) && window &&
        SUCCEEDED(window->get_event(event.Receive())) && event &&
        SUCCEEDED(event->QueryInterface(IID_IDispatch, eventScript.ReceiveVoid()))) {
      const UIChar* names[] = {UI_TEXT("errorLine"), UI_TEXT("errorCharacter"), UI_TEXT("errorCode"),
                               UI_TEXT("errorMessage"), UI_TEXT("errorUrl")};
      for (const UIChar* name : names) {
        VARIANT value;
        ::VariantInit(&value);
        GetProperty(eventScript.Get(), name, &value);
        ::VariantClear(&value);
      }
    }
  }
  if (out == nullptr) return E_POINTER;
  ::VariantClear(out);
  V_VT(out) = VT_BOOL;
  V_BOOL(out) = VARIANT_TRUE;  // keep running scripts, show no dialog
  return S_OK;
}

// --- IDownloadManager ---

STDMETHODIMP CWebBrowserUI::Download(IMoniker* moniker, IBindCtx* context, DWORD bindVerb, LONG bindFlags,
                                     BINDINFO* info, LPCOLESTR headers, LPCOLESTR redirect, UINT codePage) {
  // Without a handler the download counts as taken: an embedded page starts
  // no file transfer of its own.
  if (m_pEventHandler == nullptr) return S_OK;
  return m_pEventHandler->Download(moniker, context, bindVerb, bindFlags, info, headers, redirect, codePage);
}

// --- ITranslateAccelerator ---

LRESULT CWebBrowserUI::TranslateKeyMessage(MSG* message) {
  if (message == nullptr || message->message < WM_KEYFIRST || message->message > 0x108) return 1;
  if (!m_pWebBrowser) return E_NOTIMPL;
  HWND host = GetNativeWindow();
  bool inside = false;
  for (HWND window = ::GetFocus(); window != nullptr && host != nullptr; window = ::GetParent(window)) {
    if (window == host) {
      inside = true;
      break;
    }
  }
  if (!inside) return 1;
  ComPtr<IOleInPlaceActiveObject> active;
  if (FAILED(m_pWebBrowser->QueryInterface(IID_IOleInPlaceActiveObject, active.ReceiveVoid()))) return 1;
  return active->TranslateAccelerator(message);
}

}  // namespace Trellis
