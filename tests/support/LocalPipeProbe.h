#pragma once

// A local named pipe that records whether anything opened it: the probe for
// "was a local path opened?" that an ordinary file cannot answer (reading a
// file leaves no trace). Its "file:" URL names the pipe; whoever opens it
// reads a few bytes and then the end of the stream. Windows build only.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class LocalPipeProbe {
 public:
  LocalPipeProbe() {
    static LONG counter = 0;
    m_name = L"quillora-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&counter));
    m_pipe = CreateNamedPipeW(Path().c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                             nullptr);
    if (m_pipe == INVALID_HANDLE_VALUE) return;
    m_listener = std::thread([this] {
      const bool connected = ConnectNamedPipe(m_pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
      if (connected && !m_finishing) {
        m_opened = true;
        DWORD written = 0;
        WriteFile(m_pipe, "local secret", 12, &written, nullptr);
        FlushFileBuffers(m_pipe);
      }
      DisconnectNamedPipe(m_pipe);
    });
  }
  ~LocalPipeProbe() { Finish(); }
  LocalPipeProbe(const LocalPipeProbe&) = delete;
  LocalPipeProbe& operator=(const LocalPipeProbe&) = delete;

  bool ok() const { return m_pipe != INVALID_HANDLE_VALUE; }
  // The pipe's path, "\\.\pipe\NAME".
  std::wstring Path() const { return L"\\\\.\\pipe\\" + m_name; }
  // A "file:" URL that a transfer library maps to the pipe's path (the dot
  // escaped so that no dot-segment rule removes it).
  std::string FileUrl() const { return "file:////%2E/pipe/" + std::string(m_name.begin(), m_name.end()); }

  // Whether anything opened the pipe before this call; stops the listener.
  bool Finish() {
    if (m_pipe == INVALID_HANDLE_VALUE) return m_opened;
    m_finishing = true;
    // Our own connection releases a listener that is still waiting.
    HANDLE self = CreateFileW(Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (self != INVALID_HANDLE_VALUE) CloseHandle(self);
    if (m_listener.joinable()) m_listener.join();
    CloseHandle(m_pipe);
    m_pipe = INVALID_HANDLE_VALUE;
    return m_opened;
  }

 private:
  std::wstring m_name;
  HANDLE m_pipe = INVALID_HANDLE_VALUE;  // owned: the server end
  std::thread m_listener;
  std::atomic<bool> m_finishing{false};
  std::atomic<bool> m_opened{false};
};
