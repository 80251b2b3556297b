// The DLL's entry points: the class object of the system web-browser class
// and the unload check. Registration is done from outside (see
// tools/register-browser-standin.sh), never by the program.

#include <windows.h>
#include <exdisp.h>

#include <cstdio>

#include "tools/browser-standin/Browser.h"
#include "tools/browser-standin/Common.h"

namespace browserstandin {

HINSTANCE g_module = nullptr;

namespace {

LONG g_references = 0;
LONG g_locks = 0;
CRITICAL_SECTION g_logLock;

// {8856F961-340A-11D0-A96B-00C04FD705A2}: the class a host asks for.
const CLSID kWebBrowserClass = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

class ClassFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // The factory is a static object; its count only keeps the module loaded.
  ULONG STDMETHODCALLTYPE AddRef() override {
    AddModuleReference();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    ReleaseModuleReference();
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return Browser::Create(iid, out);
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

ClassFactory g_factory;

}  // namespace

void AddModuleReference() { InterlockedIncrement(&g_references); }
void ReleaseModuleReference() { InterlockedDecrement(&g_references); }
LONG ModuleReferences() { return g_references + g_locks; }

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
  return wide;
}

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0], size, nullptr, nullptr);
  return narrow;
}

std::wstring HexHresult(HRESULT hr) {
  wchar_t text[16];
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

void Log(const std::wstring& line) {
  const std::wstring text = L"[browser-standin] " + line + L"\r\n";
  OutputDebugStringW(text.c_str());
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"QUILLORA_BROWSER_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::string bytes = WideToUtf8(line + L"\n");
  EnterCriticalSection(&g_logLock);
  // Appending opens with FILE_APPEND_DATA only, so lines of several processes never overwrite each other.
  OwnedHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) {
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }
  LeaveCriticalSection(&g_logLock);
}

}  // namespace browserstandin

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    browserstandin::g_module = instance;
    InitializeCriticalSection(&browserstandin::g_logLock);
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    DeleteCriticalSection(&browserstandin::g_logLock);
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (clsid != browserstandin::kWebBrowserClass) return CLASS_E_CLASSNOTAVAILABLE;
  return browserstandin::g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return browserstandin::ModuleReferences() == 0 ? S_OK : S_FALSE;
}
