#include "core/base/ScopedHandle.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shtypes.h>

#include <utility>

// Each guard is checked against the real object it owns: after the scope the
// system must say the object is gone, so a guard that stores nothing (or
// closes nothing) fails here.

namespace {

bool IsOpenKernelHandle(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

HANDLE NewEvent() { return CreateEventW(nullptr, TRUE, FALSE, nullptr); }

// A window of the test's own on the display, for the paint and window DC scopes.
class TestWindow {
 public:
  TestWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuilloraScopedHandleTest";
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30, nullptr,
                               nullptr, windowClass.hInstance, nullptr);
  }
  ~TestWindow() { DestroyWindow(m_window); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND get() const { return m_window; }

 private:
  HWND m_window;
};

// An IUnknown that counts its references, for the COM pointer.
class CountedObject : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_references; }
  ULONG references() const { return m_references; }

 private:
  ULONG m_references = 1;
};

}  // namespace

TEST(OwnedHandle, ClosesAtTheEndOfItsScope) {
  HANDLE event = NewEvent();
  ASSERT_NE(event, nullptr);
  {
    OwnedHandle owned(event);
    EXPECT_EQ(owned.Get(), event);
    EXPECT_TRUE(owned);
    EXPECT_TRUE(IsOpenKernelHandle(event));
  }
  EXPECT_FALSE(IsOpenKernelHandle(event));
}

TEST(OwnedHandle, MoveHandsOverAndAssignmentClosesTheOldHandle) {
  HANDLE first = NewEvent();
  HANDLE second = NewEvent();
  {
    OwnedHandle a(first);
    OwnedHandle b(second);
    OwnedHandle c(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(c.Get(), first);
    c = std::move(b);  // closes `first`, takes `second`
    EXPECT_FALSE(IsOpenKernelHandle(first));
    EXPECT_TRUE(IsOpenKernelHandle(second));
    EXPECT_EQ(c.Get(), second);
    EXPECT_FALSE(b);
  }
  EXPECT_FALSE(IsOpenKernelHandle(second));
}

TEST(OwnedHandle, ReleaseGivesUpAndResetReceiveClose) {
  HANDLE kept = NewEvent();
  {
    OwnedHandle owned(kept);
    EXPECT_EQ(owned.Release(), kept);
    EXPECT_FALSE(owned);
  }
  EXPECT_TRUE(IsOpenKernelHandle(kept));

  HANDLE replaced = NewEvent();
  OwnedHandle owned(kept);
  owned.Reset(replaced);
  EXPECT_FALSE(IsOpenKernelHandle(kept));
  // Receive closes what is held and hands out the slot for an out parameter
  // (checked before the new handle exists, which may reuse the old value).
  HANDLE* slot = owned.Receive();
  EXPECT_FALSE(IsOpenKernelHandle(replaced));
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), slot, 0, FALSE,
                              DUPLICATE_SAME_ACCESS));
  EXPECT_TRUE(IsOpenKernelHandle(owned.Get()));
  // Both "no handle" values count as empty and are never closed.
  EXPECT_FALSE(OwnedHandle(INVALID_HANDLE_VALUE));
}

TEST(OwnedGdiObjects, EachAliasDeletesItsObject) {
  LOGFONTW font{};
  font.lfHeight = 12;
  HFONT fontHandle = CreateFontIndirectW(&font);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr);
  HRGN region = CreateRectRgn(0, 0, 4, 4);
  HDC memory = CreateCompatibleDC(nullptr);
  {
    OwnedFont ownedFont(fontHandle);
    OwnedBrush ownedBrush(brush);
    OwnedPen ownedPen(pen);
    OwnedBitmap ownedBitmap(bitmap);
    OwnedRegion ownedRegion(region);
    OwnedMemoryDC ownedMemory(memory);
    EXPECT_EQ(GetObjectType(ownedFont.Get()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(ownedBrush.Get()), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetObjectType(ownedPen.Get()), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetObjectType(ownedBitmap.Get()), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(ownedRegion.Get()), static_cast<DWORD>(OBJ_REGION));
    EXPECT_EQ(GetObjectType(ownedMemory.Get()), static_cast<DWORD>(OBJ_MEMDC));
  }
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(fontHandle), static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(pen),
                         static_cast<HGDIOBJ>(bitmap), static_cast<HGDIOBJ>(region), static_cast<HGDIOBJ>(memory)}) {
    EXPECT_EQ(GetObjectType(object), 0u) << object;
  }
}

TEST(OwnedIcon, DestroysItsIcon) {
  const BYTE andMask[32 * 4] = {};
  const BYTE xorMask[32 * 4] = {};
  HICON icon = CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask, xorMask);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  {
    OwnedIcon owned(icon);
    ASSERT_TRUE(GetIconInfo(owned.Get(), &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
  }
  EXPECT_FALSE(GetIconInfo(icon, &info));
}

TEST(OwnedRegistryKey, ClosesItsKey) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  DWORD subKeys = 0;
  {
    OwnedRegistryKey owned(key);
    EXPECT_EQ(RegQueryInfoKeyW(owned.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

TEST(OwnedFindHandle, HoldsTheSearchItWasGiven) {
  WIN32_FIND_DATAW found{};
  wchar_t folder[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryW(folder, MAX_PATH), 0u);
  OwnedFindHandle search(FindFirstFileW((std::wstring(folder) + L"\\*").c_str(), &found));
  ASSERT_TRUE(search);
  EXPECT_TRUE(FindNextFileW(search.Get(), &found));
  // The empty search is INVALID_HANDLE_VALUE, which is never closed.
  EXPECT_FALSE(OwnedFindHandle());
  EXPECT_EQ(OwnedFindHandle().Get(), INVALID_HANDLE_VALUE);
}

TEST(SelectObjectScope, PutsThePreviousObjectBack) {
  OwnedMemoryDC dc(CreateCompatibleDC(nullptr));
  OwnedBrush brush(CreateSolidBrush(RGB(9, 8, 7)));
  const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
  {
    SelectObjectScope selected(dc.Get(), brush.Get());
    EXPECT_EQ(selected.previous(), before);
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), brush.Get());
  }
  EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), before);
  // The scope does not own what it selected.
  EXPECT_EQ(GetObjectType(brush.Get()), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(PaintScope, PaintsTheUpdateRegionAndValidatesIt) {
  TestWindow window;
  ASSERT_NE(window.get(), nullptr);
  // Let the display's own first paint requests arrive before ours.
  for (int i = 0; i < 5; ++i) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(10);
  }
  ValidateRect(window.get(), nullptr);
  const RECT dirty{2, 3, 12, 13};
  InvalidateRect(window.get(), &dirty, FALSE);
  {
    PaintScope paint(window.get());
    ASSERT_NE(paint.dc(), nullptr);
    EXPECT_EQ(WindowFromDC(paint.dc()), window.get());
    RECT covered{};
    UnionRect(&covered, &paint.paint().rcPaint, &dirty);
    EXPECT_TRUE(EqualRect(&covered, &paint.paint().rcPaint)) << "the paint covers what was invalidated";
  }
  RECT left{};
  EXPECT_FALSE(GetUpdateRect(window.get(), &left, FALSE));
}

TEST(WindowDC, HoldsTheWindowsDcUntilReset) {
  TestWindow window;
  WindowDC first(window.get());
  ASSERT_TRUE(first);
  EXPECT_EQ(WindowFromDC(first.Get()), window.get());
  const HDC dc = first.Get();
  WindowDC second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.Get(), dc);
  second.Reset();
  EXPECT_FALSE(second);
  EXPECT_EQ(second.Get(), nullptr);
}

TEST(ComPtr, ReleasesItsOneReference) {
  CountedObject object;
  object.AddRef();  // the reference the pointer adopts
  {
    ComPtr<CountedObject> pointer(&object);
    EXPECT_EQ(pointer.Get(), &object);
    ComPtr<CountedObject> moved(std::move(pointer));
    EXPECT_FALSE(pointer);
    EXPECT_EQ(object.references(), 2u);
  }
  EXPECT_EQ(object.references(), 1u);

  object.AddRef();
  ComPtr<CountedObject> released(&object);
  EXPECT_EQ(released.Release(), &object);
  EXPECT_FALSE(released);
  EXPECT_EQ(object.references(), 2u);
  object.Release();
}

TEST(OwnedBstr, HoldsItsString) {
  OwnedBstr text(SysAllocString(L"ROOT"));
  ASSERT_TRUE(text);
  EXPECT_EQ(SysStringLen(text.Get()), 4u);
  BSTR given = text.Release();
  EXPECT_FALSE(text);
  SysFreeString(given);
}

namespace {

// Watches the task allocator's frees for one block.
class FreeWatch : public IMallocSpy {
 public:
  void* watched = nullptr;
  int freed = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *out = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override { return actual; }
  void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
    if (request != nullptr && request == watched) ++freed;
    return request;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
    *newRequest = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

}  // namespace

// A shell item list handed to the caller goes back to the task allocator
// once, when its owner goes out of scope; a released block is the caller's.
TEST(OwnedCoTaskMemory, FreesItsBlockOnce) {
  FreeWatch watch;
  ASSERT_EQ(CoRegisterMallocSpy(&watch), S_OK);
  {
    OwnedCoTaskMemory<ITEMIDLIST> list(static_cast<ITEMIDLIST*>(CoTaskMemAlloc(16)));
    ASSERT_TRUE(list);
    watch.watched = list.Get();
    OwnedCoTaskMemory<ITEMIDLIST> moved(std::move(list));
    EXPECT_FALSE(list);
    EXPECT_EQ(watch.freed, 0);
  }
  EXPECT_EQ(watch.freed, 1);

  OwnedCoTaskMemory<ITEMIDLIST> kept(static_cast<ITEMIDLIST*>(CoTaskMemAlloc(16)));
  watch.watched = kept.Get();
  watch.freed = 0;
  ITEMIDLIST* given = kept.Release();
  kept.Reset();
  EXPECT_EQ(watch.freed, 0);
  CoTaskMemFree(given);
  EXPECT_EQ(watch.freed, 1);
  EXPECT_EQ(CoRevokeMallocSpy(), S_OK);
}
