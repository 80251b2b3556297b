#pragma once

// What the speech-to-text job tests share: a scratch folder of their own, tones
// made by the real ffmpeg.exe, the user messages the job shows, and a hidden
// window that records the job's status posts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "core/AppMessages.h"
#include "core/MediaTools.h"
#include "core/ProcessRunner.h"
#include "core/TempFolder.h"
#include "core/UserMessage.h"
#include "core/Voice2TextJob.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestFiles.h"

namespace v2ttest {

// --- Files ---

using testfiles::Exists;
using testfiles::ListFiles;
using testfiles::ReadFileBytes;
using testfiles::WriteFileBytes;

using ::ScratchFolder;

// Writes a sine tone of `seconds` (ffmpeg's lavfi source) to `path`; the
// extension picks the format.
inline bool MakeTone(const std::wstring& path, int seconds, int frequency = 440) {
  std::string output;
  uint32_t exitCode = 1;
  RunFfmpeg(L"-hide_banner -y -f lavfi -i sine=frequency=" + std::to_wstring(frequency) +
                L":duration=" + std::to_wstring(seconds) + L" \"" + path + L"\"",
            exitCode, output);
  if (exitCode != 0) std::printf("%s\n", output.c_str());
  return exitCode == 0;
}

inline double DurationSeconds(const std::wstring& path) {
  return static_cast<double>(GetMediaDurationMicros(path)) / 1e6;
}

// --- User messages ---

// Collects what the job shows the user while it lives.
class MessageRecorder {
 public:
  MessageRecorder() {
    Clear();
    SetUserMessageSink(&Record);
  }
  ~MessageRecorder() { SetUserMessageSink(nullptr); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<std::wstring> messages() const {
    std::lock_guard<std::mutex> lock(Mutex());
    return Messages();
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
  static void Clear() {
    std::lock_guard<std::mutex> lock(Mutex());
    Messages().clear();
  }
  static void Record(const std::wstring& text) {
    std::lock_guard<std::mutex> lock(Mutex());
    Messages().push_back(text);
  }
};

// --- Status posts ---

// A hidden message-only window on the test's thread that records every
// WM_APP_V2T_STATUS: the job, lParam and the job's progress when it arrives.
class StatusWindow {
 public:
  struct Post {
    const Voice2TextJob* job;
    LPARAM state;
    int progress;
  };

  StatusWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuilloraV2tTestWindow";
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~StatusWindow() { DestroyWindow(window_); }
  StatusWindow(const StatusWindow&) = delete;
  StatusWindow& operator=(const StatusWindow&) = delete;

  HWND handle() const { return window_; }

  // Dispatches this thread's messages until `done` is signalled, then the rest.
  void PumpUntil(HANDLE done) {
    for (;;) {
      const DWORD woke = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
      Drain();
      if (woke == WAIT_OBJECT_0) break;
    }
    Drain();
  }
  void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }

  // The progress values posted for one job, in order.
  std::vector<int> ProgressOf(const Voice2TextJob& job) const {
    std::vector<int> values;
    for (const Post& post : posts_) {
      if (post.job == &job && post.state == kV2tConverting) values.push_back(post.progress);
    }
    return values;
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP_V2T_STATUS) {
      auto* self = reinterpret_cast<StatusWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
      const auto* job = reinterpret_cast<const Voice2TextJob*>(wParam);
      if (self != nullptr) self->posts_.push_back({job, lParam, job->progress.load()});
      return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  std::vector<Post> posts_;
};

}  // namespace v2ttest
