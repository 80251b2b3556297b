#include "ui/controls/activex/ActiveXUI.h"

#include <ocidl.h>

#include "core/base/DebugTrace.h"
#include "ui/base/UIGeometryWin.h"
#include "ui/controls/activex/ActiveXSite.h"
#include "ui/controls/activex/ActiveXWnd.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

namespace {

constexpr size_t kMaxClassText = 99;  // longer "clsid" texts are cut
using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// A drive path ("C:\...") or a network path ("\\server\..."): nothing the loader would search for.
bool IsAbsolutePath(const UIChar* path) {
  if (path == nullptr) return false;
  const bool drive = ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                     path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  const bool network = path[0] == L'\\' && path[1] == L'\\' && path[2] != 0;
  return drive || network;
}

}  // namespace

CActiveXUI::CActiveXUI() : m_clsid(CLSID_NULL) {
  m_bComInitialized = SUCCEEDED(::CoInitialize(nullptr));
}

CActiveXUI::~CActiveXUI() {
  CActiveXUI::ReleaseControl();
  if (m_bComInitialized) ::CoUninitialize();
}

const UIChar* CActiveXUI::GetClassName() const { return UI_TEXT("ActiveX"); }

void* CActiveXUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("ActiveX")) == 0) return static_cast<CActiveXUI*>(this);
  return CControlUI::GetInterface(name);
}

UINT CActiveXUI::GetControlFlags() const { return 1; }

HWND CActiveXUI::GetNativeWindow() const { return m_hwndHost; }

HWND CActiveXUI::GetFrameWindow() const { return m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr; }

RECT CActiveXUI::ObjectRect() const {
  RECT area = *AsRECT(&m_rcItem);
  if (m_pSite && !m_pSite->IsWindowless()) ::OffsetRect(&area, -area.left, -area.top);
  return area;
}

void CActiveXUI::SetPos(CUIRect rc, bool invalidate) {
  CControlUI::SetPos(rc, invalidate);
  if (!m_bCreated && !IsEqualGUID(m_clsid, CLSID_NULL)) DoCreateControl();
  UpdateObjectPlacement();
}

void CActiveXUI::UpdateObjectPlacement() {
  if (!m_pOleObject || !m_pSite) return;
  WindowDC screen(nullptr);
  if (screen) {
    SIZEL extent = {::MulDiv(2540, m_rcItem.GetWidth(), ::GetDeviceCaps(screen.Get(), LOGPIXELSX)),
                    ::MulDiv(2540, m_rcItem.GetHeight(), ::GetDeviceCaps(screen.Get(), LOGPIXELSY))};
    m_pOleObject->SetExtent(DVASPECT_CONTENT, &extent);
  }
  if (m_pSite->GetInPlaceObject() != nullptr) {
    const RECT area = ObjectRect();
    m_pSite->GetInPlaceObject()->SetObjectRects(&area, &area);
  }
  if (!m_pSite->IsWindowless() && m_pSite->GetWindow() != nullptr) {
    ::MoveWindow(m_pSite->GetWindow()->GetHandle(), m_rcItem.left, m_rcItem.top, m_rcItem.GetWidth(),
                 m_rcItem.GetHeight(), TRUE);
  }
}

void CActiveXUI::Move(CUISize offset, bool invalidate) {
  CControlUI::Move(offset, invalidate);
  if (m_pSite && !m_pSite->IsWindowless() && m_pSite->GetWindow() != nullptr) {
    ::MoveWindow(m_pSite->GetWindow()->GetHandle(), m_rcItem.left, m_rcItem.top, m_rcItem.GetWidth(),
                 m_rcItem.GetHeight(), TRUE);
  }
}

void CActiveXUI::UpdateChildVisibility() {
  if (!m_pSite || m_pSite->IsWindowless() || m_pSite->GetWindow() == nullptr) return;
  ::ShowWindow(m_pSite->GetWindow()->GetHandle(), IsVisible() ? SW_SHOW : SW_HIDE);
}

void CActiveXUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  UpdateChildVisibility();
}

void CActiveXUI::SetInheritedVisible(bool visible) {
  CControlUI::SetInheritedVisible(visible);
  UpdateChildVisibility();
}

bool CActiveXUI::PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) {
  if (!CControlUI::PaintContent(hDC, rcPaint, pStopControl)) return false;
  if (m_pSite && m_pSite->IsWindowless()) m_pSite->DrawView(hDC, *AsRECT(&m_rcItem));
  return true;
}

void CActiveXUI::SetAttribute(const UIChar* name, const UIChar* value) {
  const auto is = [name](const UIChar* candidate) { return UITextCompare(name, candidate) == 0; };
  if (is(UI_TEXT("clsid"))) {
    SetCLSID(value);
  } else if (is(UI_TEXT("modulename"))) {
    SetModuleName(value);
  } else if (is(UI_TEXT("delaycreate"))) {
    SetDelayCreate(value != nullptr && UITextCompare(value, UI_TEXT("true")) == 0);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

bool CActiveXUI::SetCLSID(const UIChar* text) {
  if (text == nullptr) return false;
  wchar_t copy[kMaxClassText + 1] = {};
  for (size_t i = 0; i < kMaxClassText && text[i] != 0; ++i) copy[i] = text[i];
  CLSID clsid = CLSID_NULL;
  const HRESULT hr = copy[0] == L'{' ? ::CLSIDFromString(copy, &clsid) : ::CLSIDFromProgID(copy, &clsid);
  if (FAILED(hr)) DebugTrace(L"CActiveXUI: reading the class failed: 0x%08X", static_cast<unsigned>(hr));
  return SUCCEEDED(hr) && SetCLSIDValue(clsid);
}

bool CActiveXUI::SetCLSIDValue(REFCLSID clsid) {
  if (IsEqualGUID(clsid, CLSID_NULL)) return false;
  m_clsid = clsid;
  m_bCreated = false;
  if (!m_bDelayCreate) DoCreateControl();
  return true;
}

bool CActiveXUI::SetModuleName(const UIChar* path) {
  if (path == nullptr || path[0] == 0) {
    m_sModuleName = CUIString();
    return true;
  }
  if (!IsAbsolutePath(path)) {
    DebugTrace(L"CActiveXUI: \"modulename\" must be an absolute path; ignored");
    m_sModuleName = CUIString();
    return false;
  }
  m_sModuleName = CUIString(path);
  return true;
}

void CActiveXUI::SetDelayCreate(bool delay) {
  if (m_bDelayCreate == delay) return;
  m_bDelayCreate = delay;
  if (!delay && !m_bCreated && !IsEqualGUID(m_clsid, CLSID_NULL)) DoCreateControl();
}

HRESULT CActiveXUI::GetControl(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!m_pOleObject) return E_PENDING;
  return m_pOleObject->QueryInterface(iid, object);
}

void CActiveXUI::ReleaseControl() {
  m_hwndHost = nullptr;
  if (m_pOleObject) {
    ComPtr<IObjectWithSite> withSite;
    if (SUCCEEDED(m_pOleObject->QueryInterface(IID_IObjectWithSite, withSite.ReceiveVoid()))) {
      withSite->SetSite(nullptr);
    }
    withSite.Reset();
    m_pOleObject->Close(OLECLOSE_NOSAVE);
    m_pOleObject->SetClientSite(nullptr);
    m_pOleObject.Reset();
  }
  if (m_pSite) {
    m_pSite->Detach();
    m_pSite.Reset();
  }
  if (m_pManager != nullptr) m_pManager->RemoveMessageFilter(this);
  // The module goes last: nothing of it may be referenced any more.
  m_module.Reset();
}

bool CActiveXUI::CreateFromModule(IUnknown** object) {
  *object = nullptr;
  if (m_sModuleName.IsEmpty()) return false;
  m_module.Reset(::LoadLibraryW(m_sModuleName.GetText()));
  if (!m_module) {
    DebugTrace(L"CActiveXUI: cannot load the module: error %lu", ::GetLastError());
    return false;
  }
  auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
      reinterpret_cast<void*>(::GetProcAddress(m_module.Get(), "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject != nullptr ? getClassObject(m_clsid, IID_IClassFactory, factory.ReceiveVoid()) : E_FAIL;
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(object));
  factory.Reset();
  if (FAILED(hr)) {
    DebugTrace(L"CActiveXUI: creating from the module failed: 0x%08X", static_cast<unsigned>(hr));
    *object = nullptr;
    m_module.Reset();
    return false;
  }
  return true;
}

bool CActiveXUI::DoCreateControl() {
  ReleaseControl();
  if (GetFrameWindow() == nullptr) return false;  // not in a window yet: the first layout creates it
  m_bCreated = true;

  ComPtr<IUnknown> unknown;
  if (!CreateFromModule(unknown.Receive())) {
    const HRESULT hr = ::CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                                          IID_IOleControl, unknown.ReceiveVoid());
    if (FAILED(hr)) {
      DebugTrace(L"CActiveXUI: CoCreateInstance failed: 0x%08X", static_cast<unsigned>(hr));
      return false;
    }
  }
  HRESULT hr = unknown->QueryInterface(IID_IOleObject, m_pOleObject.ReceiveVoid());
  unknown.Reset();
  if (FAILED(hr)) {
    DebugTrace(L"CActiveXUI: QueryInterface(IOleObject) failed: 0x%08X", static_cast<unsigned>(hr));
    ReleaseControl();
    return false;
  }
  m_pSite.Reset(new CActiveXSite(this));
  IOleClientSite* clientSite = static_cast<IOleClientSite*>(m_pSite.Get());

  DWORD status = 0;
  m_pOleObject->GetMiscStatus(DVASPECT_CONTENT, &status);
  bool siteGiven = false;
  if (status & OLEMISC_SETCLIENTSITEFIRST) {
    m_pOleObject->SetClientSite(clientSite);
    siteGiven = true;
  }
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(m_pOleObject->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()))) {
    hr = persist->InitNew();
    if (FAILED(hr)) {
      DebugTrace(L"CActiveXUI: InitNew failed: 0x%08X", static_cast<unsigned>(hr));
      persist.Reset();
      ReleaseControl();
      m_bCreated = true;
      return false;
    }
  }
  persist.Reset();
  if (!siteGiven) m_pOleObject->SetClientSite(clientSite);
  m_pSite->TakeViewObject();

  m_pOleObject->SetHostNames(L"ActiveXHost", nullptr);
  if (m_pManager != nullptr) m_pManager->SendNotify(this, UI_TEXT("showactivex"), 0, 0);

  // The activation decides the result; handing the site over afterwards is
  // optional (many objects have no IObjectWithSite).
  bool activated = true;
  if (!(status & OLEMISC_INVISIBLEATRUNTIME)) {
    RECT area = *AsRECT(&m_rcItem);
    hr = m_pOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, -5, GetFrameWindow(), &area);
    activated = SUCCEEDED(hr);
    if (!activated)
      DebugTrace(L"CActiveXUI: DoVerb(OLEIVERB_INPLACEACTIVATE) failed: 0x%08X", static_cast<unsigned>(hr));
  }
  ComPtr<IObjectWithSite> withSite;
  if (SUCCEEDED(m_pOleObject->QueryInterface(IID_IObjectWithSite, withSite.ReceiveVoid()))) {
    withSite->SetSite(static_cast<IOleClientSite*>(m_pSite.Get()));
  }
  if (activated) {
    UpdateObjectPlacement();
    UpdateChildVisibility();
  }
  return activated;
}

// --- Windowless message routing ---

LRESULT CActiveXUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (!m_pSite || !m_pSite->IsInPlaceActive() || !m_pSite->IsWindowless()) return 0;
  auto* windowless = static_cast<IOleInPlaceObjectWindowless*>(m_pSite->GetInPlaceObject());
  if (windowless == nullptr) return 0;
  const bool mouse = message >= WM_MOUSEFIRST && message <= 0x20D;
  const bool keyboard = message >= WM_KEYFIRST && message <= 0x108;
  if (mouse && !IsMouseEnabled()) return 0;
  bool markHandled = true;
  if (mouse || message == WM_SETCURSOR) {
    bool hit = m_pSite->IsCaptured();
    if (!hit) {
      ComPtr<IViewObjectEx> viewEx;
      IViewObject* view = m_pSite->GetViewObject();
      POINT point;
      if (message == WM_SETCURSOR) {
        ::GetCursorPos(&point);
        ::ScreenToClient(GetFrameWindow(), &point);
      } else {
        point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        // The wheel's point is in screen coordinates, the others' in the window's.
        if (message == WM_MOUSEWHEEL) ::ScreenToClient(GetFrameWindow(), &point);
      }
      DWORD result = 0;
      if (view != nullptr && SUCCEEDED(view->QueryInterface(IID_IViewObjectEx, viewEx.ReceiveVoid()))) {
        const RECT area = *AsRECT(&m_rcItem);
        viewEx->QueryHitPoint(DVASPECT_CONTENT, &area, point, 0, &result);
      }
      hit = result == HITRESULT_HIT;
    }
    if (!hit) return 0;
    if (message == WM_SETCURSOR) markHandled = false;
  } else if (keyboard) {
    if (!IsFocused()) return 0;
  } else if (message == WM_HELP || message == WM_CONTEXTMENU) {
    markHandled = false;
  } else {
    return 0;
  }
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDOWN) {
    if (::GetFocus() != GetFrameWindow()) ::SetFocus(GetFrameWindow());
    SetFocus();
  }
  LRESULT result = 0;
  if (windowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK && markHandled) handled = true;
  return result;
}

}  // namespace Trellis
