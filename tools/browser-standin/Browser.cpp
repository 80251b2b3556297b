#include "tools/browser-standin/Browser.h"

#include <exdispid.h>
#include <olectl.h>
#include <urlmon.h>

#include <utility>

// Sections: lifetime and IUnknown; IWebBrowser2; navigation and events; OLE
// object and in-place activation; persistence, view object; connection point.

namespace browserstandin {
namespace {

const UINT kFetchDone = WM_APP + 1;            // lParam: FetchResult*, owned by the receiver
const UINT kDocumentCompleteDue = WM_APP + 2;  // wParam: the navigation it belongs to
const size_t kMaxFrames = 8;

// {8856F961-340A-11D0-A96B-00C04FD705A2}
const CLSID kWebBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

std::wstring RectText(const RECT& rect) {
  return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," + std::to_wstring(rect.right) + L"," +
         std::to_wstring(rect.bottom);
}

// The URL text of a Navigate2 argument: a BSTR, or a reference to one.
bool UrlFromVariant(const VARIANT* value, std::wstring* url) {
  if (value == nullptr) return false;
  if (V_VT(value) == (VT_VARIANT | VT_BYREF)) return UrlFromVariant(V_VARIANTREF(value), url);
  if (V_VT(value) == VT_BSTR) {
    *url = V_BSTR(value) != nullptr ? V_BSTR(value) : L"";
    return true;
  }
  if (V_VT(value) == (VT_BSTR | VT_BYREF) && V_BSTRREF(value) != nullptr) {
    *url = *V_BSTRREF(value) != nullptr ? *V_BSTRREF(value) : L"";
    return true;
  }
  return false;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  const size_t length = wcslen(prefix);
  return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

LONG g_browsers = 0;  // live browsers; the view class is unregistered with the last

}  // namespace

// --- Lifetime and IUnknown ---

Browser::Browser() {
  ++g_browsers;
  // Downloads end on other threads; their results come back through this window, so every event
  // fires on the thread that made the browser.
  if (RegisterViewClass()) {
    m_notifyWindow.Reset(CreateWindowExW(0, L"QuilloraBrowserStandinView", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                         nullptr, g_module, this));
  }
  if (!m_notifyWindow) Log(L"create: no message window, error " + std::to_wstring(GetLastError()));
}

Browser::~Browser() {
  if (!m_sinks.empty()) Log(L"release: " + std::to_wstring(m_sinks.size()) + L" event sink(s) still advised");
  if (m_document && m_document->uiHandler() != nullptr) Log(L"release: the document still holds a UI handler");
  if (m_notifyWindow) {
    // Downloads already posted but not received would be lost with their results otherwise.
    MSG message;
    while (PeekMessageW(&message, m_notifyWindow.Get(), kFetchDone, kFetchDone, PM_REMOVE)) {
      delete reinterpret_cast<FetchResult*>(message.lParam);
    }
    SetWindowLongPtrW(m_notifyWindow.Get(), GWLP_USERDATA, 0);
  }
  if (m_view) SetWindowLongPtrW(m_view.Get(), GWLP_USERDATA, 0);
  m_view.Reset();
  m_notifyWindow.Reset();
  if (--g_browsers == 0) UnregisterClassW(L"QuilloraBrowserStandinView", g_module);
  Log(L"destroyed");
}

HRESULT Browser::Create(REFIID iid, void** out) {
  Browser* browser = new Browser();
  const HRESULT hr = browser->QueryInterface(iid, out);
  browser->Release();
  Log(L"created, asked for an interface: " + HexHresult(hr));
  return hr;
}

HRESULT Browser::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  // One IDispatch for everything: a host compares the pDisp of events with its IWebBrowser2 pointer.
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWebBrowser) ||
      iid == __uuidof(IWebBrowserApp) || iid == __uuidof(IWebBrowser2)) {
    *out = static_cast<IWebBrowser2*>(this);
  } else if (iid == IID_IOleObject) {
    *out = static_cast<IOleObject*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
    *out = static_cast<IOleInPlaceObject*>(this);
  } else if (iid == IID_IOleInPlaceActiveObject) {
    *out = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (iid == IID_IOleControl) {
    *out = static_cast<IOleControl*>(this);
  } else if (iid == IID_IPersist || iid == IID_IPersistStorage) {
    *out = static_cast<IPersistStorage*>(this);
  } else if (iid == IID_IConnectionPointContainer) {
    *out = static_cast<IConnectionPointContainer*>(this);
  } else if (iid == IID_IViewObject || iid == IID_IViewObject2) {
    *out = static_cast<IViewObject2*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG Browser::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG Browser::Release() {
  const LONG left = InterlockedDecrement(&m_references);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT Browser::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT Browser::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (names == nullptr || ids == nullptr) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT Browser::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

// --- IWebBrowser2 ---

HRESULT Browser::GoBack() {
  if (m_historyIndex <= 0) return E_FAIL;
  --m_historyIndex;
  return StartNavigation(m_history[static_cast<size_t>(m_historyIndex)], nullptr, nullptr, false);
}

HRESULT Browser::GoForward() {
  if (m_historyIndex + 1 >= static_cast<int>(m_history.size())) return E_FAIL;
  ++m_historyIndex;
  return StartNavigation(m_history[static_cast<size_t>(m_historyIndex)], nullptr, nullptr, false);
}

HRESULT Browser::Navigate(BSTR URL, VARIANT* Flags, VARIANT*, VARIANT* PostData, VARIANT* Headers) {
  if (URL == nullptr) return E_INVALIDARG;
  Log(L"Navigate " + std::wstring(URL));
  if (PostData != nullptr && V_VT(PostData) != VT_EMPTY && V_VT(PostData) != VT_ERROR) {
    Log(L"Navigate: post data is not sent by this engine; the page is fetched with GET");
  }
  return StartNavigation(URL, Flags, Headers, true);
}

HRESULT Browser::Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT*, VARIANT* PostData, VARIANT* Headers) {
  std::wstring url;
  if (!UrlFromVariant(URL, &url)) {
    Log(L"Navigate2: the URL is not a string");
    return E_INVALIDARG;
  }
  Log(L"Navigate2 " + url);
  if (PostData != nullptr && V_VT(PostData) != VT_EMPTY && V_VT(PostData) != VT_ERROR) {
    Log(L"Navigate2: post data is not sent by this engine; the page is fetched with GET");
  }
  return StartNavigation(url, Flags, Headers, true);
}

HRESULT Browser::Refresh() {
  if (m_url.empty()) return S_OK;
  return StartNavigation(m_url, nullptr, nullptr, false);
}

HRESULT Browser::Refresh2(VARIANT*) { return Refresh(); }

HRESULT Browser::Stop() {
  Log(L"Stop");
  ++m_navigation;  // results still on their way are dropped
  m_busy = false;
  if (m_readyState != READYSTATE_UNINITIALIZED) m_readyState = READYSTATE_COMPLETE;
  return S_OK;
}

HRESULT Browser::get_Application(IDispatch** ppDisp) {
  if (ppDisp == nullptr) return E_POINTER;
  *ppDisp = Self();
  AddRef();
  return S_OK;
}

HRESULT Browser::get_Container(IDispatch** ppDisp) {
  if (ppDisp == nullptr) return E_POINTER;
  *ppDisp = nullptr;
  return S_OK;  // a control has no container object of its own
}

HRESULT Browser::get_Document(IDispatch** ppDisp) {
  if (ppDisp == nullptr) return E_POINTER;
  *ppDisp = nullptr;
  if (!m_document) {
    Log(L"get_Document: no document yet");
    return S_FALSE;
  }
  return m_document->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(ppDisp));
}

HRESULT Browser::get_TopLevelContainer(VARIANT_BOOL* pBool) {
  if (pBool == nullptr) return E_POINTER;
  *pBool = VARIANT_TRUE;
  return S_OK;
}

HRESULT Browser::get_Type(BSTR* Type) { return CopyToBstr(L"HTML Document", Type); }

HRESULT Browser::get_LocationName(BSTR* LocationName) {
  return CopyToBstr(m_document ? (m_document->page().title.empty() ? m_url : m_document->page().title)
                               : std::wstring(),
                    LocationName);
}

HRESULT Browser::get_LocationURL(BSTR* LocationURL) { return CopyToBstr(m_url, LocationURL); }

HRESULT Browser::get_Busy(VARIANT_BOOL* pBool) {
  if (pBool == nullptr) return E_POINTER;
  *pBool = m_busy ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Browser::get_HWND(SHANDLE_PTR* pHWND) {
  if (pHWND == nullptr) return E_POINTER;
  *pHWND = 0;
  return E_FAIL;  // an embedded browser has no top-level window of its own
}

HRESULT Browser::get_Visible(VARIANT_BOOL* pBool) {
  if (pBool == nullptr) return E_POINTER;
  *pBool = m_visible ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Browser::put_Visible(VARIANT_BOOL Value) {
  m_visible = Value != VARIANT_FALSE;
  if (m_view) ShowWindow(m_view.Get(), m_visible ? SW_SHOWNA : SW_HIDE);
  return S_OK;
}

HRESULT Browser::QueryStatusWB(OLECMDID, OLECMDF* pcmdf) {
  if (pcmdf == nullptr) return E_POINTER;
  *pcmdf = static_cast<OLECMDF>(0);
  return OLECMDERR_E_NOTSUPPORTED;
}

HRESULT Browser::ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) { return OLECMDERR_E_NOTSUPPORTED; }

HRESULT Browser::get_ReadyState(READYSTATE* plReadyState) {
  if (plReadyState == nullptr) return E_POINTER;
  *plReadyState = m_readyState;
  return S_OK;
}

HRESULT Browser::get_Silent(VARIANT_BOOL* pbSilent) {
  if (pbSilent == nullptr) return E_POINTER;
  *pbSilent = m_silent ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT Browser::put_Silent(VARIANT_BOOL bSilent) {
  m_silent = bSilent != VARIANT_FALSE;
  return S_OK;
}

// --- Navigation and events ---

HRESULT Browser::StartNavigation(const std::wstring& url, VARIANT* flags, VARIANT* headers, bool addToHistory) {
  if (url.empty()) return E_INVALIDARG;
  // An event handler may release the browser; it stays alive until this call ends.
  AddRef();
  bool cancel = false;
  const int before = m_navigation;
  FireBeforeNavigate2(Self(), url, flags, L"", headers, &cancel);
  if (cancel || m_navigation != before) {
    Log(cancel ? L"navigation cancelled by the host: " + url : L"navigation replaced inside BeforeNavigate2: " + url);
    Release();
    return S_OK;
  }
  const int navigation = ++m_navigation;
  m_pendingUrl = url;
  m_busy = true;
  m_readyState = READYSTATE_LOADING;
  if (addToHistory) {
    if (m_historyIndex + 1 < static_cast<int>(m_history.size())) m_history.resize(static_cast<size_t>(m_historyIndex + 1));
    m_history.push_back(url);
    m_historyIndex = static_cast<int>(m_history.size()) - 1;
  }
  FetchResult* request = new FetchResult();
  request->navigation = navigation;
  request->url = url;
  if (_wcsicmp(url.c_str(), L"about:blank") == 0) {
    // Nothing to fetch; the empty page still arrives through the queue, as a download would.
    request->finalUrl = url;
    request->ok = true;
    if (!PostMessageW(m_notifyWindow.Get(), kFetchDone, 0, reinterpret_cast<LPARAM>(request))) delete request;
  } else if (!StartsWith(url, L"http://") && !StartsWith(url, L"https://")) {
    request->finalUrl = url;
    request->errorCode = INET_E_UNKNOWN_PROTOCOL;
    if (!PostMessageW(m_notifyWindow.Get(), kFetchDone, 0, reinterpret_cast<LPARAM>(request))) delete request;
  } else {
    StartFetch(m_notifyWindow.Get(), kFetchDone, request);
  }
  Release();
  return S_OK;
}

void Browser::OnFetchDone(FetchResult* result) {
  std::unique_ptr<FetchResult> owned(result);
  if (result->navigation != m_navigation) {
    Log(L"dropped the result of a replaced navigation: " + result->url);
    return;
  }
  AddRef();
  if (result->frame < 0) {
    OnPageArrived(*result);
  } else {
    OnFrameDone(*result);
  }
  Release();
}

void Browser::OnPageArrived(const FetchResult& result) {
  const int navigation = m_navigation;
  if (!result.ok) {
    bool cancel = false;
    FireNavigateError(Self(), result.url, L"", result.errorCode, &cancel);
    if (m_navigation != navigation) return;
    m_busy = false;
    m_readyState = READYSTATE_COMPLETE;
    if (cancel) {
      Log(L"NavigateError cancelled by the host; the previous page stays");
    } else {
      ShowError(result.url, result.errorCode);
    }
    return;
  }
  const std::wstring url = result.finalUrl.empty() ? result.url : result.finalUrl;
  auto page = std::make_shared<Page>(ParsePage(result.html));
  m_document.Reset(new Document(url, page));
  m_url = url;
  m_errorText.clear();
  m_readyState = READYSTATE_INTERACTIVE;
  m_frames.clear();
  m_framesPending = 0;
  for (size_t i = 0; i < page->frames.size() && i < kMaxFrames; ++i) {
    Frame frame;
    frame.browser.Reset(new FrameBrowser(ResolveUrl(url, page->frames[i]), L"frame" + std::to_wstring(i)));
    m_frames.push_back(std::move(frame));
  }
  Invalidate();
  FireUrlEvent(DISPID_NAVIGATECOMPLETE2, L"NavigateComplete2", Self(), url);
  if (m_navigation != navigation) return;
  FireCommandState(CSC_NAVIGATEBACK, m_historyIndex > 0);
  FireCommandState(CSC_NAVIGATEFORWARD, m_historyIndex + 1 < static_cast<int>(m_history.size()));
  FireTitle(page->title.empty() ? url : page->title);
  if (m_navigation != navigation) return;
  for (size_t i = 0; i < m_frames.size(); ++i) {
    FrameBrowser* frame = m_frames[i].browser.Get();
    bool cancel = false;
    if (!FireBeforeNavigate2(frame, frame->url(), nullptr, frame->name(), nullptr, &cancel)) return;
    if (cancel || (!StartsWith(frame->url(), L"http://") && !StartsWith(frame->url(), L"https://"))) {
      m_frames[i].done = true;
      continue;
    }
    FetchResult* request = new FetchResult();
    request->navigation = navigation;
    request->frame = static_cast<int>(i);
    request->url = frame->url();
    if (StartFetch(m_notifyWindow.Get(), kFetchDone, request)) {
      ++m_framesPending;
    } else {
      m_frames[i].done = true;
    }
  }
  if (m_framesPending == 0) PostMessageW(m_notifyWindow.Get(), kDocumentCompleteDue, navigation, 0);
}

void Browser::OnFrameDone(const FetchResult& result) {
  const int navigation = m_navigation;
  if (result.frame < 0 || static_cast<size_t>(result.frame) >= m_frames.size()) return;
  Frame& frame = m_frames[static_cast<size_t>(result.frame)];
  ComPtr<FrameBrowser> browser(frame.browser.Get());
  browser->AddRef();  // the frame list may be replaced by a navigation inside the events below
  frame.done = true;
  if (result.ok) {
    const std::wstring url = result.finalUrl.empty() ? result.url : result.finalUrl;
    browser->SetUrl(url);
    ComPtr<Document> document(new Document(url, std::make_shared<Page>(ParsePage(result.html))));
    browser->SetDocument(document.Get());
    Invalidate();
    FireUrlEvent(DISPID_NAVIGATECOMPLETE2, L"NavigateComplete2", browser.Get(), url);
    if (m_navigation != navigation) return;
    FireUrlEvent(DISPID_DOCUMENTCOMPLETE, L"DocumentComplete", browser.Get(), url);
  } else {
    frame.errorText = L"框架无法显示 (" + (result.httpStatus != 0 ? L"HTTP " + std::to_wstring(result.httpStatus)
                                                                   : HexHresult(result.errorCode)) + L")";
    Invalidate();
    bool cancel = false;
    FireNavigateError(browser.Get(), result.url, browser->name(), result.errorCode, &cancel);
  }
  if (m_navigation != navigation) return;
  if (m_framesPending > 0 && --m_framesPending == 0) {
    PostMessageW(m_notifyWindow.Get(), kDocumentCompleteDue, navigation, 0);
  }
}

void Browser::OnDocumentCompleteDue(int navigation) {
  if (navigation != m_navigation) {
    Log(L"DocumentComplete dropped: the page was replaced before it completed");
    return;
  }
  AddRef();
  m_busy = false;
  m_readyState = READYSTATE_COMPLETE;
  FireUrlEvent(DISPID_DOCUMENTCOMPLETE, L"DocumentComplete", Self(), m_url);
  Release();
}

void Browser::ShowError(const std::wstring& url, LONG code) {
  // What a person sees in place of the page; the host hears of it only through NavigateError.
  m_errorText = L"无法显示此页\n" + url + L"\n" +
                (code > 0 && code < 1000 ? L"HTTP " + std::to_wstring(code) : L"错误 " + HexHresult(code));
  m_url = url;
  m_frames.clear();
  m_framesPending = 0;
  auto page = std::make_shared<Page>();
  page->title = L"无法显示此页";
  m_document.Reset(new Document(url, page));
  Invalidate();
}

bool Browser::FireBeforeNavigate2(IDispatch* browser, const std::wstring& url, VARIANT* flags,
                                  const std::wstring& frame, VARIANT* headers, bool* cancel) {
  const int navigation = m_navigation;
  OwnedBstr urlText(SysAllocString(url.c_str()));
  OwnedBstr frameText(SysAllocString(frame.c_str()));
  OwnedBstr headerText(SysAllocString(L""));
  VARIANT urlValue, flagsValue, frameValue, postValue, headersValue;
  VariantInit(&urlValue);
  V_VT(&urlValue) = VT_BSTR;
  V_BSTR(&urlValue) = urlText.Get();
  VariantInit(&flagsValue);
  V_VT(&flagsValue) = VT_I4;
  V_I4(&flagsValue) = 0;
  if (flags != nullptr && V_VT(flags) == VT_I4) V_I4(&flagsValue) = V_I4(flags);
  VariantInit(&frameValue);
  V_VT(&frameValue) = VT_BSTR;
  V_BSTR(&frameValue) = frameText.Get();
  VariantInit(&postValue);
  VariantInit(&headersValue);
  V_VT(&headersValue) = VT_BSTR;
  V_BSTR(&headersValue) = headerText.Get();
  if (headers != nullptr && V_VT(headers) == VT_BSTR && V_BSTR(headers) != nullptr) {
    V_BSTR(&headersValue) = V_BSTR(headers);
  }
  VARIANT_BOOL cancelValue = VARIANT_FALSE;
  VARIANTARG args[7];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  // Arguments go in reverse order: pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel.
  V_VT(&args[6]) = VT_DISPATCH;
  V_DISPATCH(&args[6]) = browser;
  VARIANT* byReference[] = {&urlValue, &flagsValue, &frameValue, &postValue, &headersValue};
  for (int i = 0; i < 5; ++i) {
    V_VT(&args[5 - i]) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&args[5 - i]) = byReference[i];
  }
  V_VT(&args[0]) = VT_BOOL | VT_BYREF;
  V_BOOLREF(&args[0]) = &cancelValue;
  Fire(DISPID_BEFORENAVIGATE2, L"BeforeNavigate2", args, 7, url + (frame.empty() ? L"" : L" frame " + frame));
  *cancel = cancelValue != VARIANT_FALSE;
  return m_navigation == navigation;
}

void Browser::FireUrlEvent(DISPID id, const wchar_t* name, IDispatch* browser, const std::wstring& url) {
  OwnedBstr urlText(SysAllocString(url.c_str()));
  VARIANT urlValue;
  VariantInit(&urlValue);
  V_VT(&urlValue) = VT_BSTR;
  V_BSTR(&urlValue) = urlText.Get();
  VARIANTARG args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  V_VT(&args[1]) = VT_DISPATCH;
  V_DISPATCH(&args[1]) = browser;
  V_VT(&args[0]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&args[0]) = &urlValue;
  Fire(id, name, args, 2, url + (browser == Self() ? L"" : L" (frame)"));
}

void Browser::FireNavigateError(IDispatch* browser, const std::wstring& url, const std::wstring& frame, LONG code,
                                bool* cancel) {
  OwnedBstr urlText(SysAllocString(url.c_str()));
  OwnedBstr frameText(SysAllocString(frame.c_str()));
  VARIANT urlValue, frameValue, statusValue;
  VariantInit(&urlValue);
  V_VT(&urlValue) = VT_BSTR;
  V_BSTR(&urlValue) = urlText.Get();
  VariantInit(&frameValue);
  V_VT(&frameValue) = VT_BSTR;
  V_BSTR(&frameValue) = frameText.Get();
  VariantInit(&statusValue);
  V_VT(&statusValue) = VT_I4;
  V_I4(&statusValue) = code;
  VARIANT_BOOL cancelValue = VARIANT_FALSE;
  VARIANTARG args[5];
  for (VARIANTARG& arg : args) VariantInit(&arg);
  // Reverse order: pDisp, URL, Frame, StatusCode, Cancel.
  V_VT(&args[4]) = VT_DISPATCH;
  V_DISPATCH(&args[4]) = browser;
  V_VT(&args[3]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&args[3]) = &urlValue;
  V_VT(&args[2]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&args[2]) = &frameValue;
  V_VT(&args[1]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&args[1]) = &statusValue;
  V_VT(&args[0]) = VT_BOOL | VT_BYREF;
  V_BOOLREF(&args[0]) = &cancelValue;
  const std::wstring status = code > 0 && code < 1000 ? std::to_wstring(code) : HexHresult(code);
  Fire(DISPID_NAVIGATEERROR, L"NavigateError", args, 5,
       url + L" status " + status + (frame.empty() ? L"" : L" frame " + frame));
  *cancel = cancelValue != VARIANT_FALSE;
}

void Browser::FireCommandState(LONG command, bool enabled) {
  VARIANTARG args[2];
  VariantInit(&args[0]);
  VariantInit(&args[1]);
  V_VT(&args[1]) = VT_I4;
  V_I4(&args[1]) = command;
  V_VT(&args[0]) = VT_BOOL;
  V_BOOL(&args[0]) = enabled ? VARIANT_TRUE : VARIANT_FALSE;
  Fire(DISPID_COMMANDSTATECHANGE, L"CommandStateChange", args, 2,
       std::to_wstring(command) + (enabled ? L" on" : L" off"));
}

void Browser::FireTitle(const std::wstring& title) {
  OwnedBstr text(SysAllocString(title.c_str()));
  VARIANTARG args[1];
  VariantInit(&args[0]);
  V_VT(&args[0]) = VT_BSTR;
  V_BSTR(&args[0]) = text.Get();
  Fire(DISPID_TITLECHANGE, L"TitleChange", args, 1, title);
}

void Browser::Fire(DISPID id, const wchar_t* name, VARIANTARG* args, UINT count, const std::wstring& detail) {
  // A sink may unadvise (or advise) while it is called: call a copy of the list.
  std::vector<IDispatch*> sinks;
  for (const Sink& sink : m_sinks) {
    sinks.push_back(sink.sink.Get());
    sink.sink->AddRef();
  }
  Log(L"event " + std::to_wstring(id) + L" " + name + L" " + detail + L" -> " + std::to_wstring(sinks.size()) +
      L" sink(s)");
  DISPPARAMS params = {args, nullptr, count, 0};
  for (IDispatch* sink : sinks) {
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                                    nullptr);
    VariantClear(&result);
    if (FAILED(hr) && hr != DISP_E_MEMBERNOTFOUND) Log(L"event " + std::wstring(name) + L": sink answered " + HexHresult(hr));
    sink->Release();
  }
}

std::wstring Browser::ResolveUrl(const std::wstring& base, const std::wstring& relative) const {
  wchar_t combined[INTERNET_MAX_URL_LENGTH];
  DWORD size = INTERNET_MAX_URL_LENGTH;
  if (InternetCombineUrlW(base.c_str(), relative.c_str(), combined, &size, ICU_NO_ENCODE)) return combined;
  return relative;
}

// --- OLE object and in-place activation ---

HRESULT Browser::SetClientSite(IOleClientSite* pClientSite) {
  Log(pClientSite != nullptr ? L"SetClientSite" : L"SetClientSite none");
  if (pClientSite != nullptr) pClientSite->AddRef();
  m_clientSite.Reset(pClientSite);
  if (pClientSite == nullptr) m_inPlaceSite.Reset();
  return S_OK;
}

HRESULT Browser::GetClientSite(IOleClientSite** ppClientSite) {
  if (ppClientSite == nullptr) return E_POINTER;
  *ppClientSite = m_clientSite.Get();
  if (*ppClientSite != nullptr) (*ppClientSite)->AddRef();
  return S_OK;
}

HRESULT Browser::SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR) {
  Log(L"SetHostNames " + std::wstring(szContainerApp != nullptr ? szContainerApp : L"(none)"));
  return S_OK;
}

HRESULT Browser::Close(DWORD) {
  Log(L"Close");
  if (!m_sinks.empty()) Log(L"close: " + std::to_wstring(m_sinks.size()) + L" event sink(s) still advised");
  if (m_document && m_document->uiHandler() != nullptr) Log(L"close: the document still holds a UI handler");
  ++m_navigation;  // nothing more fires for pages on their way
  if (m_view) InPlaceDeactivate();
  return S_OK;
}

HRESULT Browser::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT Browser::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
  if (ppmk != nullptr) *ppmk = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::InitFromData(IDataObject*, WINBOOL, DWORD) { return E_NOTIMPL; }

HRESULT Browser::GetClipboardData(DWORD, IDataObject** ppDataObject) {
  if (ppDataObject != nullptr) *ppDataObject = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND, LPCRECT lprcPosRect) {
  Log(L"DoVerb " + std::to_wstring(iVerb) + (lprcPosRect != nullptr ? L" at " + RectText(*lprcPosRect) : L""));
  IOleClientSite* site = pActiveSite != nullptr ? pActiveSite : m_clientSite.Get();
  switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(site, lprcPosRect, true);
    case OLEIVERB_INPLACEACTIVATE:
      return ActivateInPlace(site, lprcPosRect, false);
    case OLEIVERB_HIDE:
      if (m_view) ShowWindow(m_view.Get(), SW_HIDE);
      return S_OK;
    default:
      return OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT Browser::ActivateInPlace(IOleClientSite* site, LPCRECT position, bool uiActivate) {
  if (m_view) {
    if (position != nullptr) SetObjectRects(position, position);
    if (uiActivate && !m_uiActive && m_inPlaceSite) {
      m_inPlaceSite->OnUIActivate();
      m_uiActive = true;
      SetFocus(m_view.Get());
    }
    return S_OK;
  }
  if (site == nullptr) return E_INVALIDARG;
  ComPtr<IOleInPlaceSite> inPlaceSite;
  HRESULT hr = site->QueryInterface(IID_IOleInPlaceSite, inPlaceSite.ReceiveVoid());
  if (FAILED(hr)) {
    Log(L"activate: the site has no IOleInPlaceSite");
    return hr;
  }
  hr = inPlaceSite->CanInPlaceActivate();
  if (hr != S_OK) {
    Log(L"activate: CanInPlaceActivate " + HexHresult(hr));
    return E_FAIL;
  }
  ComPtr<IOleInPlaceSiteEx> siteEx;
  if (SUCCEEDED(inPlaceSite->QueryInterface(IID_IOleInPlaceSiteEx, siteEx.ReceiveVoid()))) {
    BOOL noRedraw = FALSE;
    hr = siteEx->OnInPlaceActivateEx(&noRedraw, 0);  // windowed: this engine always draws in its own window
  } else {
    hr = inPlaceSite->OnInPlaceActivate();
  }
  Log(L"activate: OnInPlaceActivate " + HexHresult(hr));
  if (FAILED(hr)) return hr;
  HWND parent = nullptr;
  if (FAILED(inPlaceSite->GetWindow(&parent)) || parent == nullptr) {
    Log(L"activate: the site gave no window");
    inPlaceSite->OnInPlaceDeactivate();
    return E_FAIL;
  }
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> documentWindow;
  RECT pos = {0, 0, 0, 0};
  RECT clip = {0, 0, 0, 0};
  OLEINPLACEFRAMEINFO frameInfo = {};
  frameInfo.cb = sizeof(frameInfo);
  hr = inPlaceSite->GetWindowContext(frame.Receive(), documentWindow.Receive(), &pos, &clip, &frameInfo);
  Log(L"activate: GetWindowContext " + HexHresult(hr) + L" pos " + RectText(pos) + L" clip " + RectText(clip) +
      L" frame info size " + std::to_wstring(frameInfo.cb) + L" accelerators " + std::to_wstring(frameInfo.cAccelEntries));
  if (position != nullptr) pos = *position;
  m_position = pos;
  m_inPlaceSite = std::move(inPlaceSite);
  m_view.Reset(CreateWindowExW(0, L"QuilloraBrowserStandinView", L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                                   (m_visible ? WS_VISIBLE : 0),
                               pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top, parent, nullptr,
                               g_module, this));
  if (!m_view) {
    Log(L"activate: no view window, error " + std::to_wstring(GetLastError()));
    m_inPlaceSite->OnInPlaceDeactivate();
    m_inPlaceSite.Reset();
    return E_FAIL;
  }
  if (uiActivate) {
    m_inPlaceSite->OnUIActivate();
    m_uiActive = true;
    if (frame) frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    SetFocus(m_view.Get());
  }
  return S_OK;
}

HRESULT Browser::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
  if (ppEnumOleVerb != nullptr) *ppEnumOleVerb = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::Update() { return S_OK; }

HRESULT Browser::IsUpToDate() { return S_OK; }

HRESULT Browser::GetUserClassID(CLSID* pClsid) {
  if (pClsid == nullptr) return E_POINTER;
  *pClsid = kWebBrowserClass;
  return S_OK;
}

HRESULT Browser::GetUserType(DWORD, LPOLESTR* pszUserType) {
  if (pszUserType != nullptr) *pszUserType = nullptr;
  return OLE_S_USEREG;
}

HRESULT Browser::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  if (psizel == nullptr) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  m_extent = *psizel;
  return S_OK;
}

HRESULT Browser::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  if (psizel == nullptr) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *psizel = m_extent;
  return S_OK;
}

HRESULT Browser::Advise(IAdviseSink*, DWORD* pdwConnection) {
  if (pdwConnection != nullptr) *pdwConnection = 0;
  return E_NOTIMPL;
}

HRESULT Browser::Unadvise(DWORD) { return E_NOTIMPL; }

HRESULT Browser::EnumAdvise(IEnumSTATDATA** ppenumAdvise) {
  if (ppenumAdvise != nullptr) *ppenumAdvise = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::GetMiscStatus(DWORD, DWORD* pdwStatus) {
  if (pdwStatus == nullptr) return E_POINTER;
  // The browser wants its site before anything else, activates when visible and is resized by its host.
  *pdwStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
               OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
  return S_OK;
}

HRESULT Browser::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT Browser::GetWindow(HWND* phwnd) {
  if (phwnd == nullptr) return E_POINTER;
  *phwnd = m_view.Get();
  return m_view ? S_OK : E_FAIL;
}

HRESULT Browser::ContextSensitiveHelp(WINBOOL) { return E_NOTIMPL; }

HRESULT Browser::InPlaceDeactivate() {
  if (!m_view) return S_OK;
  Log(L"InPlaceDeactivate");
  UIDeactivate();
  SetWindowLongPtrW(m_view.Get(), GWLP_USERDATA, 0);
  m_view.Reset();
  m_links.clear();
  if (m_inPlaceSite) {
    ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
    site->OnInPlaceDeactivate();
  }
  return S_OK;
}

HRESULT Browser::UIDeactivate() {
  if (!m_uiActive) return S_OK;
  m_uiActive = false;
  if (m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT Browser::SetObjectRects(LPCRECT lprcPosRect, LPCRECT) {
  if (lprcPosRect == nullptr) return E_POINTER;
  m_position = *lprcPosRect;
  if (m_view) {
    MoveWindow(m_view.Get(), m_position.left, m_position.top, m_position.right - m_position.left,
               m_position.bottom - m_position.top, TRUE);
  }
  return S_OK;
}

HRESULT Browser::ReactivateAndUndo() { return E_NOTIMPL; }

HRESULT Browser::TranslateAccelerator(LPMSG message) {
  // Logged so that a host's routing of keys can be checked; no key is taken.
  if (message != nullptr) Log(L"TranslateAccelerator " + std::to_wstring(message->message));
  return S_FALSE;
}

HRESULT Browser::OnFrameWindowActivate(WINBOOL) { return S_OK; }

HRESULT Browser::OnDocWindowActivate(WINBOOL) { return S_OK; }

HRESULT Browser::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) { return S_OK; }

HRESULT Browser::EnableModeless(WINBOOL) { return S_OK; }

HRESULT Browser::GetControlInfo(CONTROLINFO* pCI) {
  if (pCI == nullptr) return E_POINTER;
  return E_NOTIMPL;
}

HRESULT Browser::OnMnemonic(MSG*) { return E_NOTIMPL; }

HRESULT Browser::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT Browser::FreezeEvents(WINBOOL) { return S_OK; }

// --- Persistence and view object ---

HRESULT Browser::GetClassID(CLSID* pClassID) {
  if (pClassID == nullptr) return E_POINTER;
  *pClassID = kWebBrowserClass;
  return S_OK;
}

HRESULT Browser::IsDirty() { return S_FALSE; }

HRESULT Browser::InitNew(IStorage*) { return S_OK; }

HRESULT Browser::Load(IStorage*) { return S_OK; }

HRESULT Browser::Save(IStorage*, WINBOOL) { return S_OK; }

HRESULT Browser::SaveCompleted(IStorage*) { return S_OK; }

HRESULT Browser::HandsOffStorage() { return S_OK; }

HRESULT Browser::Draw(DWORD dwDrawAspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw, LPCRECTL lprcBounds,
                      LPCRECTL, WINBOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (hdcDraw == nullptr || lprcBounds == nullptr) return E_INVALIDARG;
  const RECT bounds = {lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom};
  PaintPage(hdcDraw, bounds, nullptr);
  return S_OK;
}

HRESULT Browser::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** ppColorSet) {
  if (ppColorSet != nullptr) *ppColorSet = nullptr;
  return S_FALSE;
}

HRESULT Browser::Freeze(DWORD, LONG, void*, DWORD* pdwFreeze) {
  if (pdwFreeze != nullptr) *pdwFreeze = 0;
  return E_NOTIMPL;
}

HRESULT Browser::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT Browser::SetAdvise(DWORD, DWORD, IAdviseSink*) { return E_NOTIMPL; }

HRESULT Browser::GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) {
  if (pAspects != nullptr) *pAspects = 0;
  if (pAdvf != nullptr) *pAdvf = 0;
  if (ppAdvSink != nullptr) *ppAdvSink = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE*, LPSIZEL lpsizel) {
  return GetExtent(dwDrawAspect, lpsizel);
}

// --- Connection point ---

HRESULT Browser::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
  if (ppEnum != nullptr) *ppEnum = nullptr;
  return E_NOTIMPL;
}

HRESULT Browser::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
  if (ppCP == nullptr) return E_POINTER;
  *ppCP = nullptr;
  if (riid != DIID_DWebBrowserEvents2) {
    Log(L"FindConnectionPoint: only DWebBrowserEvents2 is offered");
    return CONNECT_E_NOCONNECTION;
  }
  *ppCP = &m_eventPoint;
  m_eventPoint.AddRef();
  return S_OK;
}

HRESULT Browser::EventPoint::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
  *out = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

ULONG Browser::EventPoint::AddRef() { return m_owner->AddRef(); }

ULONG Browser::EventPoint::Release() { return m_owner->Release(); }

HRESULT Browser::EventPoint::GetConnectionInterface(IID* pIID) {
  if (pIID == nullptr) return E_POINTER;
  *pIID = DIID_DWebBrowserEvents2;
  return S_OK;
}

HRESULT Browser::EventPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
  if (ppCPC == nullptr) return E_POINTER;
  *ppCPC = static_cast<IConnectionPointContainer*>(m_owner);
  m_owner->AddRef();
  return S_OK;
}

HRESULT Browser::EventPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
  if (pdwCookie == nullptr) return E_POINTER;
  *pdwCookie = 0;
  if (pUnkSink == nullptr) return E_POINTER;
  ComPtr<IDispatch> sink;
  if (FAILED(pUnkSink->QueryInterface(DIID_DWebBrowserEvents2, sink.ReceiveVoid())) &&
      FAILED(pUnkSink->QueryInterface(IID_IDispatch, sink.ReceiveVoid()))) {
    Log(L"Advise: the sink has no IDispatch");
    return CONNECT_E_CANNOTCONNECT;
  }
  *pdwCookie = m_owner->m_nextCookie++;
  m_owner->m_sinks.push_back(Sink{*pdwCookie, std::move(sink)});
  Log(L"Advise cookie " + std::to_wstring(*pdwCookie));
  return S_OK;
}

HRESULT Browser::EventPoint::Unadvise(DWORD dwCookie) {
  auto& sinks = m_owner->m_sinks;
  for (auto it = sinks.begin(); it != sinks.end(); ++it) {
    if (it->cookie == dwCookie) {
      sinks.erase(it);
      Log(L"Unadvise cookie " + std::to_wstring(dwCookie));
      return S_OK;
    }
  }
  Log(L"Unadvise: unknown cookie " + std::to_wstring(dwCookie));
  return CONNECT_E_NOCONNECTION;
}

HRESULT Browser::EventPoint::EnumConnections(IEnumConnections** ppEnum) {
  if (ppEnum != nullptr) *ppEnum = nullptr;
  return E_NOTIMPL;
}

// Messages of the notify window and the view both arrive here (see BrowserView.cpp for the view's).
LRESULT Browser::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kFetchDone:
      OnFetchDone(reinterpret_cast<FetchResult*>(lParam));
      return 0;
    case kDocumentCompleteDue:
      OnDocumentCompleteDue(static_cast<int>(wParam));
      return 0;
    default:
      break;
  }
  return HandleViewMessage(window, message, wParam, lParam);
}

}  // namespace browserstandin
