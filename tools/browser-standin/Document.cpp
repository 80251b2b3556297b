#include "tools/browser-standin/Document.h"

#include <utility>

namespace browserstandin {

HRESULT CopyToBstr(const std::wstring& text, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

namespace {

HRESULT NoTypeInfo(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT NoNames(LPOLESTR* names, UINT count, DISPID* ids) {
  if (names == nullptr || ids == nullptr) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

// Writes a page variable into a VARIANT the way a script engine hands it out.
HRESULT VariableToVariant(const PageVariable& variable, VARIANT* result) {
  VariantInit(result);
  switch (variable.type) {
    case PageVariable::kString:
      V_VT(result) = VT_BSTR;
      return CopyToBstr(variable.text, &V_BSTR(result));
    case PageVariable::kNumber:
      if (variable.number == static_cast<double>(static_cast<LONG>(variable.number))) {
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(variable.number);
      } else {
        V_VT(result) = VT_R8;
        V_R8(result) = variable.number;
      }
      return S_OK;
    case PageVariable::kBool:
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = variable.boolean ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    case PageVariable::kNull:
      V_VT(result) = VT_NULL;
      return S_OK;
  }
  return E_UNEXPECTED;
}

}  // namespace

// --- Window ---

Window::Window(std::shared_ptr<const Page> page) : m_page(std::move(page)) {}

HRESULT Window::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLFramesCollection2) || iid == __uuidof(IHTMLWindow2)) {
    *out = static_cast<IHTMLWindow2*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG Window::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG Window::Release() {
  const LONG left = InterlockedDecrement(&m_references);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT Window::GetTypeInfoCount(UINT* count) { return NoTypeInfo(count); }

HRESULT Window::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT Window::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (iid != IID_NULL) return E_INVALIDARG;
  if (names == nullptr || ids == nullptr || count == 0) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  const std::wstring name = names[0] != nullptr ? names[0] : L"";
  for (size_t i = 0; i < m_page->variables.size(); ++i) {
    if (m_page->variables[i].name == name) {
      ids[0] = kFirstVariable + static_cast<DISPID>(i);
      Log(L"window GetIDsOfNames " + name + L" -> " + std::to_wstring(ids[0]));
      return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;  // a variable has no named arguments
    }
  }
  Log(L"window GetIDsOfNames " + name + L" -> unknown");
  return DISP_E_UNKNOWNNAME;
}

HRESULT Window::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO*, UINT*) {
  if (iid != IID_NULL) return E_INVALIDARG;
  const DISPID index = id - kFirstVariable;
  if (index < 0 || static_cast<size_t>(index) >= m_page->variables.size()) return DISP_E_MEMBERNOTFOUND;
  if ((flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;  // variables are read, not called or set
  if (params != nullptr && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
  if (result == nullptr) return S_OK;
  const PageVariable& variable = m_page->variables[static_cast<size_t>(index)];
  Log(L"window Invoke get " + variable.name);
  return VariableToVariant(variable, result);
}

HRESULT Window::get_length(LONG* p) {
  if (p == nullptr) return E_POINTER;
  *p = static_cast<LONG>(m_page->frames.size());
  return S_OK;
}

HRESULT Window::get_closed(VARIANT_BOOL* p) {
  if (p == nullptr) return E_POINTER;
  *p = VARIANT_FALSE;
  return S_OK;
}

// --- Document ---

Document::Document(std::wstring url, std::shared_ptr<const Page> page)
    : m_url(std::move(url)), m_page(std::move(page)), m_window(new Window(m_page)) {}

HRESULT Document::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IHTMLDocument) || iid == __uuidof(IHTMLDocument2)) {
    *out = static_cast<IHTMLDocument2*>(this);
  } else if (iid == __uuidof(ICustomDoc)) {
    *out = static_cast<ICustomDoc*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG Document::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG Document::Release() {
  const LONG left = InterlockedDecrement(&m_references);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT Document::GetTypeInfoCount(UINT* count) { return NoTypeInfo(count); }

HRESULT Document::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT Document::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return NoNames(names, count, ids);
}

HRESULT Document::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT Document::get_Script(IDispatch** p) {
  if (p == nullptr) return E_POINTER;
  return m_window->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(p));
}

HRESULT Document::get_parentWindow(IHTMLWindow2** p) {
  if (p == nullptr) return E_POINTER;
  Log(L"document get_parentWindow " + m_url);
  *p = m_window.Get();
  m_window->AddRef();
  return S_OK;
}

HRESULT Document::get_title(BSTR* p) { return CopyToBstr(m_page->title, p); }

HRESULT Document::get_URL(BSTR* p) { return CopyToBstr(m_url, p); }

HRESULT Document::get_readyState(BSTR* p) { return CopyToBstr(L"complete", p); }

HRESULT Document::SetUIHandler(IDocHostUIHandler* handler) {
  if (handler != nullptr) handler->AddRef();
  m_uiHandler.Reset(handler);
  if (handler == nullptr) {
    Log(L"document SetUIHandler none " + m_url);
    return S_OK;
  }
  // The document asks its new host at once how it wants to be shown, as it does when it is activated.
  DOCHOSTUIINFO info = {};
  info.cbSize = sizeof(info);
  const HRESULT hr = handler->GetHostInfo(&info);
  wchar_t flags[16];
  swprintf(flags, 16, L"0x%08lX", static_cast<unsigned long>(info.dwFlags));
  Log(L"document SetUIHandler " + m_url + L"; GetHostInfo " + HexHresult(hr) + L" size " +
      std::to_wstring(info.cbSize) + L" flags " + flags + L" dblclk " + std::to_wstring(info.dwDoubleClick));
  if (info.pchHostCss != nullptr) CoTaskMemFree(info.pchHostCss);  // the caller of GetHostInfo owns both texts
  if (info.pchHostNS != nullptr) CoTaskMemFree(info.pchHostNS);
  return S_OK;
}

// --- FrameBrowser ---

FrameBrowser::FrameBrowser(std::wstring url, std::wstring name) : m_url(std::move(url)), m_name(std::move(name)) {}

void FrameBrowser::SetDocument(Document* document) {
  if (document != nullptr) document->AddRef();
  m_document.Reset(document);
}

HRESULT FrameBrowser::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IWebBrowser) || iid == __uuidof(IWebBrowserApp) ||
      iid == __uuidof(IWebBrowser2)) {
    *out = static_cast<IWebBrowser2*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG FrameBrowser::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG FrameBrowser::Release() {
  const LONG left = InterlockedDecrement(&m_references);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT FrameBrowser::GetTypeInfoCount(UINT* count) { return NoTypeInfo(count); }

HRESULT FrameBrowser::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT FrameBrowser::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return NoNames(names, count, ids);
}

HRESULT FrameBrowser::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT FrameBrowser::get_Document(IDispatch** p) {
  if (p == nullptr) return E_POINTER;
  *p = nullptr;
  if (!m_document) return S_FALSE;
  return m_document->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(p));
}

HRESULT FrameBrowser::get_LocationURL(BSTR* p) { return CopyToBstr(m_url, p); }

HRESULT FrameBrowser::get_LocationName(BSTR* p) {
  return CopyToBstr(m_document ? m_document->page().title : std::wstring(), p);
}

HRESULT FrameBrowser::get_TopLevelContainer(VARIANT_BOOL* p) {
  if (p == nullptr) return E_POINTER;
  *p = VARIANT_FALSE;
  return S_OK;
}

}  // namespace browserstandin
