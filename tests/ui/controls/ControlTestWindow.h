#pragma once

// A test window whose control tree is built by the skin builder from skin
// XML, with two recorders of the notifications the window sends (every one
// with its parameters; and each with the sender's value when it is a progress
// bar or a slider, read at the moment of sending), a screenshot helper and
// pixel read-back. Used by the control tests; header only (window tests link
// the framework).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"
#include "tests/support/ManagedTestWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "ui/controls/ProgressUI.h"
#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

namespace testcontrols {

// One notification as the recorder saw it.
struct SeenNotify {
  std::wstring type;
  std::wstring sender;  // the sender's name at sending
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Writes down every notification; an optional hook runs for each one (tests
// use it to delete or rebuild the sender from inside the handler).
class NotifyRecorder : public Trellis::INotifyUI {
 public:
  std::vector<SeenNotify> seen;
  std::function<void(Trellis::UINotify&)> hook;

  void Notify(Trellis::UINotify& msg) override {
    SeenNotify record;
    record.type = msg.sType.GetText();
    if (msg.pSender != nullptr) record.sender = msg.pSender->GetName().GetText();
    record.wParam = msg.wParam;
    record.lParam = msg.lParam;
    seen.push_back(record);
    if (hook) hook(msg);
  }
  // The notifications of one type, as "sender" or "sender:wParam:lParam" texts.
  std::vector<std::wstring> Of(const wchar_t* type, bool withParams = false) const {
    std::vector<std::wstring> out;
    for (const SeenNotify& n : seen) {
      if (n.type != type) continue;
      out.push_back(withParams ? n.sender + L":" + std::to_wstring(n.wParam) + L":" + std::to_wstring(n.lParam)
                               : n.sender);
    }
    return out;
  }
  // Every notification in order as "type/sender" texts, "windowinit" and
  // focus changes left out.
  std::vector<std::wstring> Sequence() const {
    std::vector<std::wstring> out;
    for (const SeenNotify& n : seen) {
      if (n.type == L"windowinit" || n.type == L"setfocus" || n.type == L"killfocus") continue;
      out.push_back(n.type + L"/" + n.sender);
    }
    return out;
  }
};

// One notification with the sender's value.
struct RecordedValue {
  std::wstring type;
  std::wstring sender;
  int value = 0;  // the progress bar's (or slider's) value at sending; 0 for other senders
};

class ValueRecorder : public Trellis::INotifyUI {
 public:
  void Notify(Trellis::UINotify& msg) override {
    RecordedValue record;
    record.type = msg.sType.GetText();
    if (msg.pSender != nullptr) {
      record.sender = msg.pSender->GetName().GetText();
      auto* progress = static_cast<Trellis::CProgressUI*>(msg.pSender->GetInterface(L"Progress"));
      if (progress != nullptr) record.value = progress->GetValue();
    }
    records.push_back(record);
  }
  // The records of one type, in order.
  std::vector<RecordedValue> Of(const std::wstring& type) const {
    std::vector<RecordedValue> found;
    for (const RecordedValue& record : records) {
      if (record.type == type) found.push_back(record);
    }
    return found;
  }
  std::vector<RecordedValue> records;
};

// A shown window whose tree comes from skin XML (a whole <Window> document);
// `callback` makes the skin's custom controls.
class SkinnedTestWindow {
 public:
  explicit SkinnedTestWindow(const std::wstring& xml, int width = 400, int height = 300,
                             Trellis::IDialogBuilderCallback* callback = nullptr)
      : m_window(width, height), m_driver(m_window.manager()) {
    Trellis::CSkinBuilder builder;
    m_root = builder.CreateFromSource(xml.c_str(), nullptr, callback, &m_window.manager());
    m_attached = m_root != nullptr && m_window.manager().AttachRootControl(m_root);
    if (m_attached) {
      m_window.manager().AddNotifier(&recorder);
      m_window.manager().AddNotifier(&values);
      m_window.Show();
      m_driver.Pump();
    }
  }
  ~SkinnedTestWindow() {
    m_window.manager().RemoveNotifier(&recorder);
    m_window.manager().RemoveNotifier(&values);
  }

  // True when the skin was built and attached to the window.
  bool ok() const { return m_root != nullptr && m_attached; }
  Trellis::CWindowManagerUI& manager() { return m_window.manager(); }
  testwindows::WindowDriver& driver() { return m_driver; }
  HWND hwnd() const { return m_driver.window(); }
  // The named control as T (through its class's interface name), or null.
  template <class T>
  T* Find(const wchar_t* name, const wchar_t* interfaceName) {
    Trellis::CControlUI* control = m_driver.Find(name);
    return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
  }
  // The named control cast to T (the caller knows its class), or null.
  template <class T>
  T* Find(const wchar_t* name) {
    return static_cast<T*>(m_driver.Find(name));
  }
  // Repaints now (layout included) and saves the client area as a PNG.
  bool Screenshot(const wchar_t* fileName) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
    m_driver.Pump();
    return testshots::SaveWindowPng(fileName, hwnd());
  }
  // The colour (0xRRGGBB) of every client pixel in rc after a fresh paint,
  // read back from what the window prints.
  std::vector<DWORD> Pixels(const Trellis::CUIRect& rc) {
    InvalidateRect(hwnd(), nullptr, FALSE);
    UpdateWindow(hwnd());
    m_driver.Pump();
    std::vector<DWORD> out;
    WindowDC screen(hwnd());
    OwnedMemoryDC memory(CreateCompatibleDC(screen.Get()));
    RECT client;
    GetClientRect(hwnd(), &client);
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    if (!memory || !bitmap) return out;
    SelectObjectScope select(memory.Get(), bitmap.Get());
    SendMessageW(hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
    for (LONG y = rc.top; y < rc.bottom; ++y) {
      for (LONG x = rc.left; x < rc.right; ++x) {
        const COLORREF c = GetPixel(memory.Get(), x, y);
        out.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      }
    }
    return out;
  }

  // Paints the window's tree into a memory bitmap (the window prints its
  // client area) and keeps it for PixelAt.
  bool Capture() {
    RECT client = {};
    GetClientRect(hwnd(), &client);
    WindowDC screen(hwnd());
    m_dc.Reset(CreateCompatibleDC(screen.Get()));
    m_bitmap.Reset(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    if (!m_dc || !m_bitmap) return false;
    SelectObject(m_dc.Get(), m_bitmap.Get());
    SendMessageW(hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    return true;
  }
  // 0xRRGGBB of a client pixel of the last Capture.
  uint32_t PixelAt(int x, int y) const {
    const COLORREF c = GetPixel(m_dc.Get(), x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }

  NotifyRecorder recorder;  // every notification with its parameters
  ValueRecorder values;     // every notification with the sender's value

 private:
  testwindows::ManagedTestWindow m_window;
  testwindows::WindowDriver m_driver;
  OwnedBitmap m_bitmap;  // the last capture, selected into m_dc (which goes first)
  OwnedMemoryDC m_dc;
  Trellis::CControlUI* m_root = nullptr;  // owned by the manager once attached
  bool m_attached = false;
};

// Counts the pixels for which the test holds.
template <class Test>
int CountPixels(const std::vector<DWORD>& pixels, Test test) {
  int count = 0;
  for (DWORD p : pixels) count += test((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) ? 1 : 0;
  return count;
}

}  // namespace testcontrols
