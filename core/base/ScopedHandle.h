#pragma once
// Scoped ownership of the system's handles, one traits-based template for all
// of them: an `Owned...` object closes what it holds when it goes out of scope;
// a plain handle (HFONT, HANDLE) only borrows. Copying is deleted, moving
// hands the handle over. The scope classes below pair an acquire with its
// release (paint, memory DC, window DC, selected object).

#include <windows.h>
#include <oleauto.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept : m_handle(Traits::Invalid()) {}
  explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const noexcept { return m_handle; }
  bool IsValid() const noexcept { return Traits::IsValid(m_handle); }
  explicit operator bool() const noexcept { return IsValid(); }

  // Gives up ownership without closing; the caller now owns the handle.
  Handle Release() noexcept { return std::exchange(m_handle, Traits::Invalid()); }
  // Closes the current handle (if valid) and takes `handle`.
  void Reset(Handle handle = Traits::Invalid()) noexcept {
    Handle old = std::exchange(m_handle, handle);
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  // Closes the current handle and returns the slot for an out parameter.
  Handle* Receive() noexcept {
    Reset();
    return &m_handle;
  }

 private:
  Handle m_handle;
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "none".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DeleteDC(h); }
};

struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};

struct FindFileTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::FindClose(h); }
};

// A BSTR from SysAllocString, freed with SysFreeString.
struct BstrTraits {
  using Handle = BSTR;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::SysFreeString(h); }
};

// A block the system allocated with CoTaskMemAlloc for the caller (a shell
// item list, say), freed with CoTaskMemFree.
template <typename T>
struct CoTaskMemoryTraits {
  using Handle = T*;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::CoTaskMemFree(h); }
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() noexcept { return nullptr; }
  static bool IsValid(Handle h) noexcept { return h != nullptr; }
  static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

using OwnedHandle = UniqueHandle<KernelHandleTraits>;
using OwnedFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using OwnedBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using OwnedPen = UniqueHandle<GdiObjectTraits<HPEN>>;
using OwnedBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using OwnedRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using OwnedMemoryDC = UniqueHandle<MemoryDcTraits>;  // CreateCompatibleDC / DeleteDC
using OwnedIcon = UniqueHandle<IconTraits>;
using OwnedModule = UniqueHandle<ModuleTraits>;      // LoadLibrary / FreeLibrary
using OwnedFindHandle = UniqueHandle<FindFileTraits>;
using OwnedBstr = UniqueHandle<BstrTraits>;
using OwnedRegistryKey = UniqueHandle<RegistryKeyTraits>;  // RegOpenKeyEx / RegCloseKey
template <typename T>
using OwnedCoTaskMemory = UniqueHandle<CoTaskMemoryTraits<T>>;  // CoTaskMemAlloc / CoTaskMemFree

// BeginPaint for the lifetime of the scope, EndPaint at its end.
class PaintScope {
 public:
  explicit PaintScope(HWND window) noexcept : m_window(window), m_paint{} { m_dc = ::BeginPaint(window, &m_paint); }
  ~PaintScope() {
    if (m_dc != nullptr) ::EndPaint(m_window, &m_paint);
  }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC dc() const noexcept { return m_dc; }
  const PAINTSTRUCT& paint() const noexcept { return m_paint; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint;
  HDC m_dc;
};

// GetDC for the lifetime of the scope (or of the owner), ReleaseDC at its end.
class WindowDC {
 public:
  WindowDC() noexcept = default;
  explicit WindowDC(HWND window) noexcept : m_window(window), m_dc(::GetDC(window)) {}
  ~WindowDC() { Reset(); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC(WindowDC&& other) noexcept
      : m_window(std::exchange(other.m_window, nullptr)), m_dc(std::exchange(other.m_dc, nullptr)) {}
  WindowDC& operator=(WindowDC&& other) noexcept {
    if (this != &other) {
      Reset();
      m_window = std::exchange(other.m_window, nullptr);
      m_dc = std::exchange(other.m_dc, nullptr);
    }
    return *this;
  }

  HDC Get() const noexcept { return m_dc; }
  explicit operator bool() const noexcept { return m_dc != nullptr; }
  void Reset() noexcept {
    if (m_dc != nullptr) ::ReleaseDC(m_window, m_dc);
    m_dc = nullptr;
    m_window = nullptr;
  }

 private:
  HWND m_window = nullptr;
  HDC m_dc = nullptr;
};

// Selects an object into a DC and puts the previous one back at the end of the
// scope. Does not own the selected object.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) noexcept
      : m_dc(dc), m_previous(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  ~SelectObjectScope() {
    if (m_previous != nullptr && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

  HGDIOBJ previous() const noexcept { return m_previous; }

 private:
  HDC m_dc;
  HGDIOBJ m_previous;
};

// A COM interface pointer that releases its reference at the end of its life.
// Copying is deleted like the handles above; use Get() to lend it.
template <typename T>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  explicit ComPtr(T* adopted) noexcept : m_ptr(adopted) {}  // takes over one reference
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_ptr, nullptr));
    return *this;
  }

  T* Get() const noexcept { return m_ptr; }
  T* operator->() const noexcept { return m_ptr; }
  explicit operator bool() const noexcept { return m_ptr != nullptr; }
  T* Release() noexcept { return std::exchange(m_ptr, nullptr); }
  void Reset(T* adopted = nullptr) noexcept {
    T* old = std::exchange(m_ptr, adopted);
    if (old != nullptr) old->Release();
  }
  // Releases the current pointer and returns the slot for an out parameter.
  T** Receive() noexcept {
    Reset();
    return &m_ptr;
  }
  void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }

 private:
  T* m_ptr = nullptr;
};
