#include "ui/controls/activex/ActiveXSite.h"

#include "core/base/DebugTrace.h"
#include "ui/controls/activex/ActiveXEnumUnknown.h"
#include "ui/controls/activex/ActiveXFrame.h"
#include "ui/controls/activex/ActiveXUI.h"
#include "ui/controls/activex/ActiveXWnd.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

CActiveXSite::CActiveXSite(CActiveXUI* owner) : m_pOwner(owner) {}

CActiveXSite::~CActiveXSite() { Detach(); }

void CActiveXSite::Detach() {
  m_pViewObject.Reset();
  m_pInPlaceObject.Reset();
  m_pSiteUnknown.Reset();
  DestroyChildWindow();
  m_pOwner = nullptr;
}

void CActiveXSite::DestroyChildWindow() {
  CActiveXWnd* window = m_pWindow;
  m_pWindow = nullptr;
  if (window == nullptr) return;
  window->DetachSite();
  if (window->GetHandle() != nullptr) ::DestroyWindow(window->GetHandle());
}

void CActiveXSite::TakeViewObject() {
  m_pViewObject.Reset();
  IOleObject* object = m_pOwner != nullptr ? m_pOwner->GetOleObject() : nullptr;
  if (object == nullptr) return;
  if (FAILED(object->QueryInterface(IID_IViewObjectEx, m_pViewObject.ReceiveVoid())) &&
      FAILED(object->QueryInterface(IID_IViewObject2, m_pViewObject.ReceiveVoid()))) {
    object->QueryInterface(IID_IViewObject, m_pViewObject.ReceiveVoid());
  }
}

bool CActiveXSite::DrawView(HDC dc, const RECT& bounds) {
  if (!m_pViewObject || dc == nullptr) return false;
  RECTL frame = {bounds.left, bounds.top, bounds.right, bounds.bottom};
  return SUCCEEDED(m_pViewObject->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &frame, &frame, nullptr, 0));
}

bool CActiveXSite::EnsureWindow() {
  if (m_pWindow != nullptr) return true;
  if (m_pOwner == nullptr) return false;
  m_pWindow = CActiveXWnd::Create(this, m_pOwner->GetFrameWindow());
  return m_pWindow != nullptr;
}

// --- IUnknown ---

STDMETHODIMP CActiveXSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx ||
      iid == IID_IOleInPlaceSiteWindowless) {
    *object = static_cast<IOleInPlaceSiteWindowless*>(this);
  } else if (iid == IID_IOleClientSite) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleControlSite) {
    *object = static_cast<IOleControlSite*>(this);
  } else if (iid == IID_IOleContainer || iid == IID_IParseDisplayName) {
    *object = static_cast<IOleContainer*>(this);
  } else if (iid == IID_IObjectWithSite) {
    *object = static_cast<IObjectWithSite*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CActiveXSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }

STDMETHODIMP_(ULONG) CActiveXSite::Release() {
  const LONG refs = InterlockedDecrement(&m_refs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

// --- IOleClientSite ---

STDMETHODIMP CActiveXSite::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP CActiveXSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXSite::GetContainer(IOleContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = nullptr;
  if (m_pSiteUnknown && SUCCEEDED(m_pSiteUnknown->QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container)))) {
    return S_OK;
  }
  return QueryInterface(IID_IOleContainer, reinterpret_cast<void**>(container));
}

STDMETHODIMP CActiveXSite::ShowObject() {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND host = m_pOwner->GetNativeWindow();
  // Before the host window exists (or after it went) there is nothing to
  // draw into: a null window would give the screen's DC.
  if (host == nullptr) return E_FAIL;
  WindowDC dc(host);
  if (!dc) return E_FAIL;
  RECT bounds = *AsRECT(&m_pOwner->GetPos());
  if (m_pWindow != nullptr && !m_bWindowless) ::GetClientRect(m_pWindow->GetHandle(), &bounds);
  DrawView(dc.Get(), bounds);
  return S_OK;
}

STDMETHODIMP CActiveXSite::OnShowWindow(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CActiveXSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// --- IOleWindow ---

STDMETHODIMP CActiveXSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND host = m_pOwner->GetNativeWindow();
  if (host == nullptr && EnsureWindow()) host = m_pWindow->GetHandle();
  *window = host;
  return host != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXSite::ContextSensitiveHelp(BOOL) { return S_OK; }

// --- IOleInPlaceSite ---

STDMETHODIMP CActiveXSite::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CActiveXSite::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

STDMETHODIMP CActiveXSite::OnUIActivate() {
  m_bUIActive = true;
  return S_OK;
}

STDMETHODIMP CActiveXSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                            LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
  if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || frameInfo == nullptr) {
    return E_POINTER;
  }
  *frame = nullptr;
  *document = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  // A windowless object draws in the framework window at the control's
  // rectangle; a windowed one fills its child window.
  RECT area = *AsRECT(&m_pOwner->GetPos());
  if (!m_bWindowless && m_pWindow != nullptr && m_pWindow->GetHandle() != nullptr) {
    ::GetClientRect(m_pWindow->GetHandle(), &area);
  }
  *position = area;
  *clip = area;
  *frame = new CActiveXFrame(m_pOwner->GetFrameWindow());
  // The record's size is the caller's structure; there are no accelerators to offer.
  frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
  frameInfo->fMDIApp = FALSE;
  frameInfo->hwndFrame = m_pOwner->GetFrameWindow();
  frameInfo->haccel = nullptr;
  frameInfo->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP CActiveXSite::Scroll(SIZE) { return E_NOTIMPL; }

STDMETHODIMP CActiveXSite::OnUIDeactivate(BOOL) {
  m_bUIActive = false;
  return S_OK;
}

STDMETHODIMP CActiveXSite::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }
STDMETHODIMP CActiveXSite::DiscardUndoState() { return E_NOTIMPL; }
STDMETHODIMP CActiveXSite::DeactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP CActiveXSite::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// --- IOleInPlaceSiteEx ---

STDMETHODIMP CActiveXSite::OnInPlaceActivateEx(BOOL*, DWORD flags) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  IOleObject* object = m_pOwner->GetOleObject();
  if (object == nullptr) return E_UNEXPECTED;
  ::OleLockRunning(object, TRUE, FALSE);
  HRESULT hr = E_FAIL;
  m_pInPlaceObject.Reset();
  if (flags & ACTIVATE_WINDOWLESS) {
    m_bWindowless = true;
    hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless, m_pInPlaceObject.ReceiveVoid());
    if (SUCCEEDED(hr)) {
      m_pOwner->SetHostWindow(m_pOwner->GetFrameWindow());
      if (m_pOwner->GetManager() != nullptr) m_pOwner->GetManager()->AddMessageFilter(m_pOwner);
    }
  }
  if (FAILED(hr)) {
    m_bWindowless = false;
    hr = EnsureWindow() ? S_OK : E_FAIL;
    if (SUCCEEDED(hr)) {
      // The child covers the control from the start, so the object's window
      // context already has its size.
      const CUIRect& place = m_pOwner->GetPos();
      ::MoveWindow(m_pWindow->GetHandle(), place.left, place.top, place.GetWidth(), place.GetHeight(), FALSE);
      m_pOwner->SetHostWindow(m_pWindow->GetHandle());
      hr = object->QueryInterface(IID_IOleInPlaceObject, m_pInPlaceObject.ReceiveVoid());
    }
  }
  if (m_pInPlaceObject) {
    RECT area = *AsRECT(&m_pOwner->GetPos());
    if (!m_bWindowless) ::OffsetRect(&area, -area.left, -area.top);
    m_pInPlaceObject->SetObjectRects(&area, &area);
  }
  m_bInPlaceActive = SUCCEEDED(hr);
  if (FAILED(hr)) DebugTrace(L"CActiveXSite: in-place activation failed");
  return hr;
}

STDMETHODIMP CActiveXSite::OnInPlaceDeactivateEx(BOOL) {
  m_pInPlaceObject.Reset();
  m_bInPlaceActive = false;
  if (m_pOwner != nullptr && m_pWindow != nullptr) m_pOwner->SetHostWindow(nullptr);
  DestroyChildWindow();
  return S_OK;
}

STDMETHODIMP CActiveXSite::RequestUIActivate() { return S_OK; }

// --- IOleInPlaceSiteWindowless ---

STDMETHODIMP CActiveXSite::CanWindowlessActivate() { return S_OK; }

STDMETHODIMP CActiveXSite::GetCapture() {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return m_bCaptured ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXSite::SetCapture(BOOL capture) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  m_bCaptured = capture != FALSE;
  if (m_bCaptured) {
    ::SetCapture(m_pOwner->GetNativeWindow());
  } else {
    ::ReleaseCapture();
  }
  return S_OK;
}

STDMETHODIMP CActiveXSite::GetFocus() {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return m_bFocused ? S_OK : S_FALSE;
}

STDMETHODIMP CActiveXSite::SetFocus(BOOL focus) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (focus) m_pOwner->SetFocus();
  m_bFocused = focus != FALSE;
  return S_OK;
}

STDMETHODIMP CActiveXSite::GetDC(LPCRECT, DWORD flags, HDC* dc) {
  if (dc == nullptr) return E_POINTER;
  *dc = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  if (m_bWindowless) return S_FALSE;
  const HWND host = m_pOwner->GetNativeWindow();
  if (host == nullptr) return E_FAIL;  // not the screen's DC
  *dc = ::GetDC(host);
  if (*dc == nullptr) return E_FAIL;
  if (flags & OLEDC_PAINTBKGND) {
    RECT area = *AsRECT(&m_pOwner->GetPos());
    ::FillRect(*dc, &area, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return S_OK;
}

STDMETHODIMP CActiveXSite::ReleaseDC(HDC dc) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  return ::ReleaseDC(m_pOwner->GetNativeWindow(), dc) != 0 ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXSite::InvalidateRect(LPCRECT rect, BOOL erase) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND host = m_pOwner->GetNativeWindow();
  if (host == nullptr) return E_FAIL;
  return ::InvalidateRect(host, rect, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXSite::InvalidateRgn(HRGN region, BOOL erase) {
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  HWND host = m_pOwner->GetNativeWindow();
  if (host == nullptr) return E_FAIL;
  return ::InvalidateRgn(host, region, erase) ? S_OK : E_FAIL;
}

STDMETHODIMP CActiveXSite::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }
STDMETHODIMP CActiveXSite::AdjustRect(LPRECT) { return S_OK; }

STDMETHODIMP CActiveXSite::OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (result == nullptr) return E_POINTER;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  *result = ::DefWindowProcW(m_pOwner->GetNativeWindow(), message, wParam, lParam);
  return S_OK;
}

// --- IOleControlSite ---

STDMETHODIMP CActiveXSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CActiveXSite::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP CActiveXSite::GetExtendedControl(IDispatch** dispatch) {
  if (dispatch == nullptr) return E_POINTER;
  *dispatch = nullptr;
  if (m_pOwner == nullptr || m_pOwner->GetOleObject() == nullptr) return E_UNEXPECTED;
  return m_pOwner->GetOleObject()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch));
}

STDMETHODIMP CActiveXSite::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }
STDMETHODIMP CActiveXSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

STDMETHODIMP CActiveXSite::OnFocus(BOOL gotFocus) {
  m_bFocused = gotFocus != FALSE;
  return S_OK;
}

STDMETHODIMP CActiveXSite::ShowPropertyFrame() { return E_NOTIMPL; }

// --- IObjectWithSite ---

STDMETHODIMP CActiveXSite::SetSite(IUnknown* site) {
  if (site != nullptr) site->AddRef();
  m_pSiteUnknown.Reset(site);
  return S_OK;
}

STDMETHODIMP CActiveXSite::GetSite(REFIID iid, void** site) {
  if (site == nullptr) return E_POINTER;
  *site = nullptr;
  if (!m_pSiteUnknown) return E_FAIL;
  return m_pSiteUnknown->QueryInterface(iid, site);
}

// --- IOleContainer ---

STDMETHODIMP CActiveXSite::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG* eaten, IMoniker** moniker) {
  if (eaten != nullptr) *eaten = 0;
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP CActiveXSite::EnumObjects(DWORD, IEnumUnknown** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  *enumerator = nullptr;
  if (m_pOwner == nullptr) return E_UNEXPECTED;
  *enumerator = new CActiveXEnumUnknown(m_pOwner->GetOleObject());
  return S_OK;
}

STDMETHODIMP CActiveXSite::LockContainer(BOOL lock) {
  m_bLocked = lock != FALSE;
  return S_OK;
}

}  // namespace Trellis
