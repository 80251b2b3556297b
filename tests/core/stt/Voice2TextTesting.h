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

#include "core/base/AppMessages.h"
#include "core/base/TempFolder.h"
#include "core/base/UserMessage.h"
#include "core/media/MediaTools.h"
#include "core/media/ProcessRunner.h"
#include "core/stt/Voice2TextJob.h"
#include "tests/support/MessageWindow.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestFiles.h"
#include "tests/support/UserMessageRecorder.h"

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

using MessageRecorder = ::UserMessageRecorder;

// --- Status posts ---

// A hidden window on the test's thread that records every WM_APP_V2T_STATUS:
// the job, lParam and the job's progress when it arrives.
class StatusWindow : public MessageWindow {
 public:
  struct Post {
    const Voice2TextJob* job;
    LPARAM state;
    int progress;
  };

  // The progress values posted for one job, in order.
  std::vector<int> ProgressOf(const Voice2TextJob& job) const {
    std::vector<int> values;
    for (const Post& post : m_posts) {
      if (post.job == &job && post.state == kV2tConverting) values.push_back(post.progress);
    }
    return values;
  }

 private:
  void OnArrival(const Message& arrived) override {
    if (arrived.message != WM_APP_V2T_STATUS) return;
    const auto* job = reinterpret_cast<const Voice2TextJob*>(arrived.wParam);
    m_posts.push_back({job, arrived.lParam, job->progress.load()});
  }

  std::vector<Post> m_posts;
};

}  // namespace v2ttest
