#pragma once
// The stand-in web-browser control: an OLE control answering the system
// web-browser class. A host embeds it as it would the system's (client site,
// in-place activation, IWebBrowser2, DWebBrowserEvents2 through a connection
// point); it fetches pages over HTTP, shows their text and links in its window
// and fires the browser events on the thread that created it:
// BeforeNavigate2 inside Navigate/Navigate2, then, from posted messages,
// NavigateComplete2, the frames' events, and DocumentComplete (or
// NavigateError with the HTTP status or an INET_E_* code).
//
// Sections of Browser.cpp: lifetime and IUnknown; IWebBrowser2; navigation
// and events; OLE object, in-place activation and view; connection point.
// BrowserView.cpp: the window, its painting and link clicks.

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/browser-standin/Common.h"
#include "tools/browser-standin/Document.h"
#include "tools/browser-standin/Fetch.h"

namespace browserstandin {

class Browser final : public IWebBrowser2Defaults,
                public IOleObject,
                public IOleInPlaceObject,
                public IOleInPlaceActiveObject,
                public IOleControl,
                public IPersistStorage,
                public IConnectionPointContainer,
                public IViewObject2 {
 public:
  // Makes a browser and hands out the asked interface (the new object's only reference).
  static HRESULT Create(REFIID iid, void** out);

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // --- IDispatch (the browser has no scriptable properties of its own here) ---
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

  // --- IWebBrowser, IWebBrowserApp, IWebBrowser2 ---
  HRESULT STDMETHODCALLTYPE GoBack() override;
  HRESULT STDMETHODCALLTYPE GoForward() override;
  HRESULT STDMETHODCALLTYPE Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                                     VARIANT* Headers) override;
  HRESULT STDMETHODCALLTYPE Refresh() override;
  HRESULT STDMETHODCALLTYPE Refresh2(VARIANT* Level) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE get_Application(IDispatch** ppDisp) override;
  HRESULT STDMETHODCALLTYPE get_Container(IDispatch** ppDisp) override;
  HRESULT STDMETHODCALLTYPE get_Document(IDispatch** ppDisp) override;
  HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL* pBool) override;
  HRESULT STDMETHODCALLTYPE get_Type(BSTR* Type) override;
  HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* LocationName) override;
  HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* LocationURL) override;
  HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* pBool) override;
  HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* pHWND) override;
  HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* pBool) override;
  HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL Value) override;
  HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                                      VARIANT* Headers) override;
  HRESULT STDMETHODCALLTYPE QueryStatusWB(OLECMDID cmdID, OLECMDF* pcmdf) override;
  HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn,
                                   VARIANT* pvaOut) override;
  HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* plReadyState) override;
  HRESULT STDMETHODCALLTYPE get_Silent(VARIANT_BOOL* pbSilent) override;
  HRESULT STDMETHODCALLTYPE put_Silent(VARIANT_BOOL bSilent) override;

  // --- IOleObject ---
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pClientSite) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppClientSite) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD dwSaveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* pDataObject, WINBOOL fCreation, DWORD dwReserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                                   HWND hwndParent, LPCRECT lprcPosRect) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* pClsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwConnection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* pLogpal) override;

  // --- IOleWindow (shared by both in-place interfaces) ---
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL fEnterMode) override;
  // --- IOleInPlaceObject ---
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  // --- IOleInPlaceActiveObject ---
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG lpmsg) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL fActivate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL fActivate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow,
                                         WINBOOL fFrameWindow) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL fEnable) override;

  // --- IOleControl ---
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* pCI) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* pMsg) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(WINBOOL bFreeze) override;

  // --- IPersist, IPersistStorage (so OleCreate with a storage succeeds) ---
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* pStg) override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* pStg) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* pStgSave, WINBOOL fSameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* pStgNew) override;
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

  // --- IConnectionPointContainer ---
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

  // --- IViewObject, IViewObject2 (hosts that print the control's window draw the page through it) ---
  HRESULT STDMETHODCALLTYPE Draw(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                                 HDC hdcTargetDev, HDC hdcDraw, LPCRECTL lprcBounds, LPCRECTL lprcWBounds,
                                 WINBOOL(STDMETHODCALLTYPE* pfnContinue)(ULONG_PTR dwContinue),
                                 ULONG_PTR dwContinue) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DVTARGETDEVICE* ptd,
                                        HDC hicTargetDev, LOGPALETTE** ppColorSet) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD dwDrawAspect, LONG lindex, void* pvAspect, DWORD* pdwFreeze) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD dwFreeze) override;
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD dwDrawAspect, LONG lindex, DVTARGETDEVICE* ptd,
                                      LPSIZEL lpsizel) override;

 private:
  // The DWebBrowserEvents2 connection point; part of the browser and counted with it.
  class EventPoint : public IConnectionPoint {
   public:
    explicit EventPoint(Browser* owner) : m_owner(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

   private:
    Browser* m_owner;  // the browser this point is part of
  };

  struct Sink {
    DWORD cookie;
    ComPtr<IDispatch> sink;  // the host's, held until it unadvises
  };

  struct LinkArea {
    RECT area;         // in the view's client coordinates
    std::wstring url;  // absolute
  };

  // A frame of the current page.
  struct Frame {
    ComPtr<FrameBrowser> browser;  // the pDisp of the frame's events
    std::wstring errorText;        // shown when the frame failed to load
    bool done = false;
  };

  Browser();
  ~Browser();

  // --- Navigation and events (Browser.cpp) ---
  HRESULT StartNavigation(const std::wstring& url, VARIANT* flags, VARIANT* headers, bool addToHistory);
  void OnFetchDone(FetchResult* result);
  void OnPageArrived(const FetchResult& result);
  void OnFrameDone(const FetchResult& result);
  void OnDocumentCompleteDue(int navigation);
  void ShowError(const std::wstring& url, LONG code);
  // Each returns false when the host started another navigation (or stopped) inside the event.
  bool FireBeforeNavigate2(IDispatch* browser, const std::wstring& url, VARIANT* flags, const std::wstring& frame,
                           VARIANT* headers, bool* cancel);
  void FireUrlEvent(DISPID id, const wchar_t* name, IDispatch* browser, const std::wstring& url);
  void FireNavigateError(IDispatch* browser, const std::wstring& url, const std::wstring& frame, LONG code,
                         bool* cancel);
  void FireCommandState(LONG command, bool enabled);
  void FireTitle(const std::wstring& title);
  void Fire(DISPID id, const wchar_t* name, VARIANTARG* args, UINT count, const std::wstring& detail);
  std::wstring ResolveUrl(const std::wstring& base, const std::wstring& relative) const;
  IDispatch* Self() { return static_cast<IWebBrowser2*>(this); }

  // --- OLE object (Browser.cpp) ---
  HRESULT ActivateInPlace(IOleClientSite* site, LPCRECT position, bool uiActivate);

  // --- View (BrowserView.cpp) ---
  static bool RegisterViewClass();
  static LRESULT CALLBACK ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);  // Browser.cpp
  LRESULT HandleViewMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateFonts();
  // Draws page items from y down; returns the y below them.
  int PaintItems(HDC dc, const Page& page, const std::wstring& baseUrl, int left, int right, int y, bool inFrame,
                 std::vector<LinkArea>* links);
  // Draws the page into dc within bounds; records the link areas when links is not null.
  void PaintPage(HDC dc, const RECT& bounds, std::vector<LinkArea>* links);
  const LinkArea* LinkAt(POINT point) const;
  void Invalidate();

  ModuleObject m_moduleObject;
  LONG m_references = 1;
  EventPoint m_eventPoint{this};
  std::vector<Sink> m_sinks;  // advised DWebBrowserEvents2 sinks, in advise order
  DWORD m_nextCookie = 1;

  // Windows: both run ViewProcedure on the creating thread.
  OwnedWindow m_notifyWindow;  // message-only: receives downloads and posted events; lives with the object
  OwnedWindow m_view;          // the in-place window showing the page; exists while in-place active

  // Site; set by SetClientSite / in-place activation, cleared by SetClientSite(null) / deactivation.
  ComPtr<IOleClientSite> m_clientSite;
  ComPtr<IOleInPlaceSite> m_inPlaceSite;
  bool m_uiActive = false;
  RECT m_position = {0, 0, 0, 0};  // in the parent window's coordinates
  SIZEL m_extent = {0, 0};         // HIMETRIC
  bool m_visible = true;
  bool m_silent = false;

  // Current page; replaced when a navigation's page arrives.
  int m_navigation = 0;              // counts navigations; results of older ones are dropped
  std::wstring m_url;                // the shown page's URL ("" before the first page)
  std::wstring m_pendingUrl;         // the URL being loaded
  ComPtr<Document> m_document;       // null before the first page
  std::vector<Frame> m_frames;       // frames of the current page
  size_t m_framesPending = 0;        // frames whose download has not ended
  std::wstring m_errorText;          // shown in place of a page after a failed navigation
  bool m_busy = false;
  READYSTATE m_readyState = READYSTATE_UNINITIALIZED;
  std::vector<std::wstring> m_history;  // visited URLs; m_historyIndex is the current one
  int m_historyIndex = -1;

  // Drawing (created with the view).
  OwnedFont m_textFont;
  OwnedFont m_linkFont;
  OwnedFont m_headingFont;
  std::vector<LinkArea> m_links;  // link areas of the last paint of the view
};

}  // namespace browserstandin
