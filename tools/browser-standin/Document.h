#pragma once
// The page objects a host reaches through the browser: the document
// (IHTMLDocument2 with ICustomDoc, through which the host installs its
// IDocHostUIHandler), the document's window (whose IDispatch answers the
// variables the page's scripts set as literals), and the browser object of a
// frame inside the page (the pDisp of the frame's events).

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <mshtmhst.h>

#include <memory>
#include <string>

#include "tools/browser-standin/Common.h"
#include "tools/browser-standin/portable/Page.h"
#include "ComDefaults.h"  // generated: IWebBrowser2Defaults, IHTMLDocument2Defaults, IHTMLWindow2Defaults

namespace browserstandin {

class Window final : public IHTMLWindow2Defaults {
 public:
  static const DISPID kFirstVariable = 1000;  // DISPID of page variable i is kFirstVariable + i

  explicit Window(std::shared_ptr<const Page> page);

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch: the page's variables as properties.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;
  // IHTMLWindow2:
  HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
  HRESULT STDMETHODCALLTYPE get_closed(VARIANT_BOOL* p) override;

 private:
  ~Window() = default;

  ModuleObject m_moduleObject;
  LONG m_references = 1;
  std::shared_ptr<const Page> m_page;  // shared with the document
};

class Document final : public IHTMLDocument2Defaults, public ICustomDoc {
 public:
  Document(std::wstring url, std::shared_ptr<const Page> page);

  // The handler the host installed with SetUIHandler (borrowed; null when none).
  IDocHostUIHandler* uiHandler() const { return m_uiHandler.Get(); }
  const Page& page() const { return *m_page; }
  const std::wstring& url() const { return m_url; }

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;
  // IHTMLDocument / IHTMLDocument2:
  HRESULT STDMETHODCALLTYPE get_Script(IDispatch** p) override;
  HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** p) override;
  HRESULT STDMETHODCALLTYPE get_title(BSTR* p) override;
  HRESULT STDMETHODCALLTYPE get_URL(BSTR* p) override;
  HRESULT STDMETHODCALLTYPE get_readyState(BSTR* p) override;
  // ICustomDoc: keeps the host's handler and asks it at once for its flags.
  HRESULT STDMETHODCALLTYPE SetUIHandler(IDocHostUIHandler* handler) override;

 private:
  ~Document() = default;

  ModuleObject m_moduleObject;
  LONG m_references = 1;
  std::wstring m_url;
  std::shared_ptr<const Page> m_page;
  ComPtr<Window> m_window;                   // owned reference: made with the document
  ComPtr<IDocHostUIHandler> m_uiHandler;     // the host's, until it sets another or none
};

// The browser object of one frame of a page: what a host receives as pDisp
// in that frame's events, and can ask for the frame's URL and document.
class FrameBrowser final : public IWebBrowser2Defaults {
 public:
  FrameBrowser(std::wstring url, std::wstring name);

  void SetDocument(Document* document);  // AddRefs it; null drops the current one
  void SetUrl(std::wstring url) { m_url = std::move(url); }
  const std::wstring& url() const { return m_url; }
  const std::wstring& name() const { return m_name; }
  Document* document() const { return m_document.Get(); }  // borrowed; null until the page arrived

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;
  // IWebBrowser:
  HRESULT STDMETHODCALLTYPE get_Document(IDispatch** p) override;
  HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* p) override;
  HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* p) override;
  HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL* p) override;

 private:
  ~FrameBrowser() = default;

  ModuleObject m_moduleObject;
  LONG m_references = 1;
  std::wstring m_url;
  std::wstring m_name;
  ComPtr<Document> m_document;  // owned reference; null until the frame's page has arrived
};

// A BSTR copy for an out parameter; E_OUTOFMEMORY when none could be made.
HRESULT CopyToBstr(const std::wstring& text, BSTR* out);

}  // namespace browserstandin
