#pragma once

// A hidden window of the test thread that records the application messages
// posted to it, standing in for the main window.
#include <windows.h>

#include <vector>

class MessageWindow {
 public:
  struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  MessageWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuilloraTestMessageWindow";
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_handle = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(m_handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  virtual ~MessageWindow() { DestroyWindow(m_handle); }
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND handle() const { return m_handle; }

  // Pumps this thread's messages until `count` application messages have
  // arrived or the time is up; returns what arrived, in order.
  const std::vector<Message>& WaitFor(size_t count, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (m_received.size() < count && GetTickCount() - start < timeoutMs) {
      Pump();
      if (m_received.size() < count) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return m_received;
  }
  // Forgets what has arrived so far.
  void Clear() { m_received.clear(); }
  // Pumps what is queued now.
  const std::vector<Message>& Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return m_received;
  }
  // Pumps until `done` is signalled, then what is left.
  void PumpUntil(HANDLE done) {
    for (;;) {
      const DWORD woke = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
      Pump();
      if (woke == WAIT_OBJECT_0) break;
    }
    Pump();
  }

 protected:
  // Called as each application message arrives, before it is recorded, for
  // windows that must read something at that moment.
  virtual void OnArrival(const Message&) {}

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message >= WM_USER) {
      const Message arrived{message, wParam, lParam};
      self->OnArrival(arrived);
      self->m_received.push_back(arrived);
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND m_handle = nullptr;
  std::vector<Message> m_received;
};
