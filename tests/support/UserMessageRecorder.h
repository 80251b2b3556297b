#pragma once

// Collects what the code under test shows the user (through ShowUserMessage)
// while the recorder lives, instead of showing message boxes. Worker threads
// may show messages while a test reads them, hence the lock.
#include <mutex>
#include <string>
#include <vector>

#include "core/base/UserMessage.h"

class UserMessageRecorder {
 public:
  UserMessageRecorder() {
    clear();
    SetUserMessageSink(&Record);
  }
  ~UserMessageRecorder() { SetUserMessageSink(nullptr); }
  UserMessageRecorder(const UserMessageRecorder&) = delete;
  UserMessageRecorder& operator=(const UserMessageRecorder&) = delete;

  // The messages shown so far, in order.
  std::vector<std::wstring> messages() const {
    std::lock_guard<std::mutex> lock(Mutex());
    return Messages();
  }
  // Forgets them.
  void clear() {
    std::lock_guard<std::mutex> lock(Mutex());
    Messages().clear();
  }

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::vector<std::wstring>& Messages() {
    static std::vector<std::wstring> messages;
    return messages;
  }
  static void Record(const std::wstring& text) {
    std::lock_guard<std::mutex> lock(Mutex());
    Messages().push_back(text);
  }
};
