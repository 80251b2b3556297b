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
    name_ = L"quillora-probe-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&counter));
    pipe_ = CreateNamedPipeW(Path().c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                             nullptr);
    if (pipe_ == INVALID_HANDLE_VALUE) return;
    listener_ = std::thread([this] {
      const bool connected = ConnectNamedPipe(pipe_, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
      if (connected && !finishing_) {
        opened_ = true;
        DWORD written = 0;
        WriteFile(pipe_, "local secret", 12, &written, nullptr);
        FlushFileBuffers(pipe_);
      }
      DisconnectNamedPipe(pipe_);
    });
  }
  ~LocalPipeProbe() { Finish(); }
  LocalPipeProbe(const LocalPipeProbe&) = delete;
  LocalPipeProbe& operator=(const LocalPipeProbe&) = delete;

  bool ok() const { return pipe_ != INVALID_HANDLE_VALUE; }
  // The pipe's path, "\\.\pipe\NAME".
  std::wstring Path() const { return L"\\\\.\\pipe\\" + name_; }
  // A "file:" URL that a transfer library maps to the pipe's path (the dot
  // escaped so that no dot-segment rule removes it).
  std::string FileUrl() const { return "file:////%2E/pipe/" + std::string(name_.begin(), name_.end()); }

  // Whether anything opened the pipe before this call; stops the listener.
  bool Finish() {
    if (pipe_ == INVALID_HANDLE_VALUE) return opened_;
    finishing_ = true;
    // Our own connection releases a listener that is still waiting.
    HANDLE self = CreateFileW(Path().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (self != INVALID_HANDLE_VALUE) CloseHandle(self);
    if (listener_.joinable()) listener_.join();
    CloseHandle(pipe_);
    pipe_ = INVALID_HANDLE_VALUE;
    return opened_;
  }

 private:
  std::wstring name_;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;  // owned: the server end
  std::thread listener_;
  std::atomic<bool> finishing_{false};
  std::atomic<bool> opened_{false};
};
