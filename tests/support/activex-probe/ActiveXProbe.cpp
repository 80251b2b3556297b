// The ActiveX test object: an OLE control that records the calls its host
// makes (see tests/support/ActiveXProbe.h for the log lines and options).
// Loaded by absolute path through DllGetClassObject, without registration.

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>

#include "core/base/ScopedHandle.h"
#include "tests/support/ActiveXProbe.h"

namespace activexprobe {
namespace {

HINSTANCE g_module = nullptr;
LONG g_objects = 0;
LONG g_locks = 0;

// One line to the log file; opened per line in append mode, so the line
// survives a host that crashes right after the call.
void Log(const std::wstring& line) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(kLogVariable, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring text = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
  OwnedHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file) WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring Hex(unsigned long value) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", value);
  return text;
}

std::wstring RectText(const RECT& rect) {
  return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," + std::to_wstring(rect.right) + L"," +
         std::to_wstring(rect.bottom);
}

bool HasOption(const wchar_t* name) {
  wchar_t options[256];
  const DWORD length = GetEnvironmentVariableW(kOptionsVariable, options, 256);
  if (length == 0 || length >= 256) return false;
  const std::wstring list = L"," + std::wstring(options) + L",";
  return list.find(L"," + std::wstring(name) + L",") != std::wstring::npos;
}

void Paint(HDC dc, const RECT& area) {
  OwnedBrush fill(CreateSolidBrush(RGB(0x2E, 0x7D, 0x32)));
  FillRect(dc, &area, fill.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
  RECT text = area;
  DrawTextW(dc, L"ActiveX probe", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintScope paint(window);
    RECT client;
    GetClientRect(window, &client);
    Paint(paint.dc(), client);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyWindow(h); }
};

class Probe final : public IOleObject,
                    public IOleInPlaceObjectWindowless,
                    public IObjectWithSite,
                    public IOleControl,
                    public IPersistStreamInit,
                    public IViewObjectEx {
 public:
  Probe()
      : m_withSite(!HasOption(L"nowithsite")),
        m_windowless(HasOption(L"windowless")),
        m_siteFirst(HasOption(L"setclientsitefirst")),
        m_persist(HasOption(L"persist") || HasOption(L"failinitnew")),
        m_failInitNew(HasOption(L"failinitnew")) {
    InterlockedIncrement(&g_objects);
    Log(L"create");
  }

  // IUnknown:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject) {
      *out = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject ||
               (iid == IID_IOleInPlaceObjectWindowless && m_windowless)) {
      *out = static_cast<IOleInPlaceObjectWindowless*>(this);
    } else if (iid == IID_IObjectWithSite && m_withSite) {
      *out = static_cast<IObjectWithSite*>(this);
    } else if (iid == IID_IOleControl) {
      *out = static_cast<IOleControl*>(this);
    } else if ((iid == IID_IPersistStreamInit || iid == IID_IPersist) && m_persist) {
      *out = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IViewObject || iid == IID_IViewObject2 || iid == IID_IViewObjectEx) {
      *out = static_cast<IViewObjectEx*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
      Log(L"release");
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // IOleObject:
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    Log(site != nullptr ? L"SetClientSite" : L"SetClientSite none");
    if (site != nullptr) site->AddRef();
    m_clientSite.Reset(site);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
    if (site == nullptr) return E_POINTER;
    *site = m_clientSite.Get();
    if (*site != nullptr) (*site)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR) override {
    Log(L"SetHostNames " + std::wstring(app != nullptr ? app : L"(none)"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override {
    Log(L"Close");
    InPlaceDeactivate();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, WINBOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override {
    if (data != nullptr) *data = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND,
                                   LPCRECT position) override {
    Log(L"DoVerb " + std::to_wstring(verb) + (position != nullptr ? L" at " + RectText(*position) : L""));
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE && verb != OLEIVERB_SHOW &&
        verb != OLEIVERB_PRIMARY) {
      return verb == OLEIVERB_HIDE ? S_OK : OLEOBJ_S_INVALIDVERB;
    }
    if (m_active) return S_OK;
    IOleClientSite* site = activeSite != nullptr ? activeSite : m_clientSite.Get();
    if (site == nullptr) return E_UNEXPECTED;
    return Activate(site, position);
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override {
    if (verbs != nullptr) *verbs = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override {
    if (clsid == nullptr) return E_POINTER;
    *clsid = kClass;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR* type) override {
    if (type != nullptr) *type = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL* size) override {
    if (size == nullptr) return E_POINTER;
    Log(L"SetExtent " + std::to_wstring(size->cx) + L"," + std::to_wstring(size->cy));
    m_extent = *size;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* size) override {
    if (size == nullptr) return E_POINTER;
    *size = m_extent;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD* connection) override {
    if (connection != nullptr) *connection = 0;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override {
    if (advise != nullptr) *advise = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
    if (status == nullptr) return E_POINTER;
    Log(L"GetMiscStatus");
    *status = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
              (m_siteFirst ? OLEMISC_SETCLIENTSITEFIRST : 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow:
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = m_window.Get();
    return m_window ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
  // IOleInPlaceObject:
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
    if (!m_active) return S_OK;
    Log(L"InPlaceDeactivate");
    m_active = false;
    m_window.Reset();
    if (m_inPlaceSite) {
      ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
      site->OnInPlaceDeactivate();
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT) override {
    if (position == nullptr) return E_POINTER;
    Log(L"SetObjectRects " + RectText(*position));
    m_position = *position;
    if (m_window) {
      MoveWindow(m_window.Get(), position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  // IOleInPlaceObjectWindowless:
  HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT message, WPARAM, LPARAM, LRESULT* result) override {
    Log(L"OnWindowMessage " + Hex(message));
    if (result != nullptr) *result = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget** target) override {
    if (target != nullptr) *target = nullptr;
    return E_NOTIMPL;
  }

  // IObjectWithSite:
  HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override {
    Log(site != nullptr ? L"SetSite" : L"SetSite none");
    if (site != nullptr) site->AddRef();
    m_site.Reset(site);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return m_site ? m_site->QueryInterface(iid, out) : E_FAIL;
  }

  // IOleControl:
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FreezeEvents(WINBOOL) override { return S_OK; }

  // IPersist, IPersistStreamInit:
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override { return GetUserClassID(clsid); }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM, WINBOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override {
    if (size != nullptr) size->QuadPart = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InitNew() override {
    Log(L"InitNew");
    return m_failInitNew ? E_FAIL : S_OK;
  }

  // IViewObject, IViewObject2:
  HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                                 WINBOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override {
    if (dc == nullptr || bounds == nullptr) return E_INVALIDARG;
    const RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
    Log(L"Draw " + RectText(area));
    Paint(dc, area);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) override {
    if (colors != nullptr) *colors = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD* freeze) override {
    if (freeze != nullptr) *freeze = 0;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override {
    if (aspects != nullptr) *aspects = 0;
    if (flags != nullptr) *flags = 0;
    if (sink != nullptr) *sink = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
    return GetExtent(aspect, size);
  }

  // IViewObjectEx: the object answers to the left half of its bounds only.
  HRESULT STDMETHODCALLTYPE GetRect(DWORD, LPRECTL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetViewStatus(DWORD* status) override {
    if (status != nullptr) *status = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryHitPoint(DWORD, LPCRECT bounds, POINT point, LONG, DWORD* result) override {
    if (bounds == nullptr || result == nullptr) return E_POINTER;
    const LONG middle = (bounds->left + bounds->right) / 2;
    const bool hit = point.x >= bounds->left && point.x < middle && point.y >= bounds->top && point.y < bounds->bottom;
    *result = hit ? HITRESULT_HIT : HITRESULT_OUTSIDE;
    Log(L"QueryHitPoint " + std::to_wstring(point.x) + L"," + std::to_wstring(point.y) + (hit ? L" hit" : L" outside"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryHitRect(DWORD, LPCRECT, LPCRECT, LONG, DWORD* result) override {
    if (result != nullptr) *result = HITRESULT_OUTSIDE;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetNaturalExtent(DWORD, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO*, LPSIZEL) override {
    return E_NOTIMPL;
  }

 private:
  ~Probe() { InterlockedDecrement(&g_objects); }

  HRESULT Activate(IOleClientSite* site, LPCRECT position) {
    ComPtr<IOleInPlaceSite> inPlaceSite;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, inPlaceSite.ReceiveVoid()))) {
      Log(L"activate: no IOleInPlaceSite");
      return E_NOINTERFACE;
    }
    HRESULT hr = inPlaceSite->CanInPlaceActivate();
    Log(L"CanInPlaceActivate " + Hex(static_cast<unsigned long>(hr)));
    if (hr != S_OK) return E_FAIL;
    bool windowless = false;
    if (m_windowless) {
      ComPtr<IOleInPlaceSiteWindowless> windowlessSite;
      if (SUCCEEDED(inPlaceSite->QueryInterface(IID_IOleInPlaceSiteWindowless, windowlessSite.ReceiveVoid())) &&
          windowlessSite->CanWindowlessActivate() == S_OK) {
        BOOL noRedraw = FALSE;
        hr = windowlessSite->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS);
        windowless = true;
      }
    }
    if (!windowless) hr = inPlaceSite->OnInPlaceActivate();
    Log(std::wstring(L"OnInPlaceActivate ") + (windowless ? L"windowless " : L"windowed ") +
        Hex(static_cast<unsigned long>(hr)));
    if (FAILED(hr)) return hr;
    HWND parent = nullptr;
    hr = inPlaceSite->GetWindow(&parent);
    Log(L"GetWindow " + Hex(static_cast<unsigned long>(hr)) + L" " + Hex(reinterpret_cast<ULONG_PTR>(parent)));
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT pos = {0, 0, 0, 0};
    RECT clip = {0, 0, 0, 0};
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    hr = inPlaceSite->GetWindowContext(frame.Receive(), document.Receive(), &pos, &clip, &info);
    Log(L"GetWindowContext " + Hex(static_cast<unsigned long>(hr)) + L" pos " + RectText(pos) + L" clip " +
        RectText(clip) + L" frameinfo " + std::to_wstring(info.cb) + L" accel " + std::to_wstring(info.cAccelEntries));
    m_position = position != nullptr ? *position : pos;
    if (!windowless && parent != nullptr) {
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = WindowProcedure;
      windowClass.hInstance = g_module;
      windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      windowClass.lpszClassName = kWindowClass;
      RegisterClassW(&windowClass);  // fails harmlessly when already registered
      m_window.Reset(CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, m_position.left, m_position.top,
                                     m_position.right - m_position.left, m_position.bottom - m_position.top, parent,
                                     nullptr, g_module, nullptr));
    }
    m_inPlaceSite = std::move(inPlaceSite);
    m_active = true;
    return S_OK;
  }

  LONG m_references = 1;
  const bool m_withSite;
  const bool m_windowless;
  const bool m_siteFirst;
  const bool m_persist;
  const bool m_failInitNew;
  ComPtr<IOleClientSite> m_clientSite;     // from SetClientSite
  ComPtr<IOleInPlaceSite> m_inPlaceSite;   // while in-place active
  ComPtr<IUnknown> m_site;                 // from IObjectWithSite::SetSite
  UniqueHandle<WindowTraits> m_window;     // windowed activation only
  bool m_active = false;
  RECT m_position = {0, 0, 0, 0};
  SIZEL m_extent = {0, 0};
};

class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_locks)) + 1; }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_locks)) + 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Probe* probe = new Probe();
    const HRESULT hr = probe->QueryInterface(iid, out);
    probe->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&g_locks);
    } else {
      InterlockedDecrement(&g_locks);
    }
    return S_OK;
  }
};

Factory g_factory;

}  // namespace
}  // namespace activexprobe

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    activexprobe::g_module = instance;
    DisableThreadLibraryCalls(instance);
    activexprobe::Log(L"attach");
  } else if (reason == DLL_PROCESS_DETACH) {
    // Lets a test see that its host freed the module when it let go of the object.
    activexprobe::Log(L"detach");
    // Only when freed by the host: at process end the window system may already be gone.
    if (reserved == nullptr) UnregisterClassW(activexprobe::kWindowClass, instance);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (clsid != activexprobe::kClass) return CLASS_E_CLASSNOTAVAILABLE;
  return activexprobe::g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return activexprobe::g_objects == 0 && activexprobe::g_locks == 0 ? S_OK : S_FALSE;
}
