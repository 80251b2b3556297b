#pragma once

// A test window whose control tree is built by the skin builder from skin XML
// given in the test, with a recorder of every notification the window sends
// (type, sender name, and the sender's value when it is a progress bar or a
// slider, read at the moment of sending). Header only; window tests only.
#include <string>
#include <vector>

#include "core/base/ScopedHandle.h"
#include "tests/support/ManagedTestWindow.h"
#include "tests/support/WindowDriver.h"
#include "ui/controls/ProgressUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

namespace testcontrols {

struct RecordedValue {
  std::wstring type;
  std::wstring sender;
  int value = 0;  // the progress bar's value at sending; 0 for other senders
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
  // The records of one type, in order ("windowinit", "setfocus" and the like left out).
  std::vector<RecordedValue> Of(const std::wstring& type) const {
    std::vector<RecordedValue> found;
    for (const RecordedValue& record : records) {
      if (record.type == type) found.push_back(record);
    }
    return found;
  }
  std::vector<RecordedValue> records;
};

// The window: `skin` is a whole skin document ("<Window ...>...</Window>").
class SkinnedTestWindow {
 public:
  SkinnedTestWindow(const std::wstring& skin, int width, int height,
                    Trellis::IDialogBuilderCallback* callback = nullptr)
      : m_window(width, height), m_driver(manager()) {
    Trellis::CSkinBuilder builder;
    m_root = builder.CreateFromSource(skin.c_str(), nullptr, callback, &manager());
    if (m_root != nullptr) m_attached = manager().AttachRootControl(m_root);
    manager().AddNotifier(&recorder);
    m_window.Show();
    m_driver.Pump();
  }
  bool Built() const { return m_root != nullptr && m_attached; }
  Trellis::CWindowManagerUI& manager() { return m_window.manager(); }
  testwindows::WindowDriver& driver() { return m_driver; }
  HWND handle() const { return m_window.GetHandle(); }
  template <class T>
  T* Find(const wchar_t* name) {
    return static_cast<T*>(m_driver.Find(name));
  }
  // Paints the window's tree into a memory bitmap (the window prints its
  // client area) and keeps it for PixelAt.
  bool Capture() {
    RECT client = {};
    GetClientRect(handle(), &client);
    WindowDC screen(handle());
    m_dc.Reset(CreateCompatibleDC(screen.Get()));
    m_bitmap.Reset(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    if (!m_dc || !m_bitmap) return false;
    SelectObject(m_dc.Get(), m_bitmap.Get());
    SendMessageW(handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc.Get()), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    return true;
  }
  // 0xRRGGBB of a client pixel of the last Capture.
  uint32_t PixelAt(int x, int y) const {
    const COLORREF c = GetPixel(m_dc.Get(), x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }

  ValueRecorder recorder;

 private:
  testwindows::ManagedTestWindow m_window;
  testwindows::WindowDriver m_driver;
  OwnedBitmap m_bitmap;   // the last capture, selected into m_dc (which goes first)
  OwnedMemoryDC m_dc;
  Trellis::CControlUI* m_root = nullptr;  // owned by the manager once attached
  bool m_attached = false;
};

}  // namespace testcontrols
