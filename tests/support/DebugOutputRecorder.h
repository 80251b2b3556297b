#pragma once

// Records what the code under test writes to the debugger output
// (OutputDebugStringA/W) while the recorder lives, in the ANSI code page's
// narrow text, so a test can check a diagnostic line. One recorder at a time.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

class DebugOutputRecorder {
 public:
  DebugOutputRecorder() {
    Instance() = this;
    m_handler = AddVectoredExceptionHandler(1, Capture);
  }
  ~DebugOutputRecorder() {
    RemoveVectoredExceptionHandler(m_handler);
    Instance() = nullptr;
  }
  DebugOutputRecorder(const DebugOutputRecorder&) = delete;
  DebugOutputRecorder& operator=(const DebugOutputRecorder&) = delete;

  std::string text() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_text;
  }
  // The text of each OutputDebugString call, in order, without the
  // terminating zero the system passes along.
  std::vector<std::string> calls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
  }

 private:
  // OutputDebugString raises this exception with the narrow text.
  static constexpr DWORD kDebugPrintException = 0x40010006;

  static DebugOutputRecorder*& Instance() {
    static DebugOutputRecorder* instance = nullptr;
    return instance;
  }

  static LONG CALLBACK Capture(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    DebugOutputRecorder* self = Instance();
    if (self != nullptr && record->ExceptionCode == kDebugPrintException && record->NumberParameters >= 2) {
      const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
      const size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
      if (text != nullptr && length > 0) {
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_text.append(text, length);
        std::string call(text, length);
        while (!call.empty() && call.back() == '\0') call.pop_back();
        self->m_calls.push_back(call);
      }
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }

  PVOID m_handler = nullptr;
  mutable std::mutex m_mutex;
  std::string m_text;
  std::vector<std::string> m_calls;
};
