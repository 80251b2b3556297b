#pragma once
// Shared pieces of the stand-in browser engine: the module's object count (so
// the DLL is not unloaded under a live object or a running download), its log
// file, and the scoped types for the handles only this engine uses.

#include <windows.h>
#include <oleauto.h>
#include <wininet.h>

#include <string>

#include "core/base/ScopedHandle.h"

namespace browserstandin {

// The DLL's own instance (set in DllMain).
extern HINSTANCE g_module;

// Live objects and download threads; DllCanUnloadNow answers S_OK only at 0.
void AddModuleReference();
void ReleaseModuleReference();
LONG ModuleReferences();

// Appends one line to the log file named by the environment variable
// QUILLORA_BROWSER_LOG (UTF-8, one line per call, safe across threads and
// processes) and to the debugger output. Nothing is written to a file when the
// variable is not set.
void Log(const std::wstring& line);

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring HexHresult(HRESULT hr);  // "0x800C0005"

struct InternetTraits {
  using Handle = HINTERNET;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::InternetCloseHandle(h); }
};
using OwnedInternet = UniqueHandle<InternetTraits>;

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyWindow(h); }
};
using OwnedWindow = UniqueHandle<WindowTraits>;

struct BstrTraits {
  using Handle = BSTR;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::SysFreeString(h); }
};
using OwnedBstr = UniqueHandle<BstrTraits>;

// A VARIANT cleared at the end of its scope.
class ScopedVariant {
 public:
  ScopedVariant() noexcept { VariantInit(&m_value); }
  ~ScopedVariant() { VariantClear(&m_value); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* Get() noexcept { return &m_value; }

 private:
  VARIANT m_value;
};

// Counts one object of the module for its lifetime.
class ModuleObject {
 public:
  ModuleObject() { AddModuleReference(); }
  ~ModuleObject() { ReleaseModuleReference(); }
  ModuleObject(const ModuleObject&) = delete;
  ModuleObject& operator=(const ModuleObject&) = delete;
};

}  // namespace browserstandin
