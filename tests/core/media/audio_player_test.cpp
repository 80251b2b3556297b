// The audio player against real files made by ffmpeg.exe and the test
// session's audio device (a sink that consumes samples in real time). Time
// bounds are loose on purpose: the machine is shared and runs under Wine.
#include "core/media/AudioPlayer.h"

#include "core/base/TextConversion.h"
#include "tests/support/MessageWindow.h"
#include "tests/support/NonAsciiNames.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs ffmpeg.exe (beside the test program) with the given arguments.
bool RunFfmpegTool(const std::wstring& arguments) {
  std::wstring commandLine = L"ffmpeg.exe -nostdin -loglevel error " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  DWORD exitCode = 1;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  return exitCode == 0;
}

DWORD HandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// Owns a player for one test; releases it unless the test did.
struct PlayerHolder {
  AudioPlayer* player = CreateAudioPlayer();
  ~PlayerHolder() {
    if (player != nullptr) player->Release();
  }
  AudioPlayer* operator->() const { return player; }
};

bool IsIdle(const AudioPlayerStatus& status) { return !status.playing && !status.paused; }

class AudioPlayerTest : public testing::Test {
 protected:
  // Files are made once for the whole suite in a scratch folder.
  static void SetUpTestSuite() {
    m_folder = new ScratchFolder();
    const std::wstring q = L"\"";
    auto step = [](bool ok, const char* what) {
      if (!ok && m_failedStep.empty()) m_failedStep = what;
    };
    // A tone at 24000 Hz, then the converter's own resampling pass
    // ("-ar 16000", format from the extension) into each output format.
    step(RunFfmpegTool(L"-y -f lavfi -i sine=frequency=440:sample_rate=24000:duration=1 " + q + Path(L"tone.wav") + q),
         "tone.wav");
    step(RunFfmpegTool(L"-y -f lavfi -i sine=frequency=330:sample_rate=24000:duration=5 " + q + Path(L"long.wav") + q),
         "long.wav");
    for (const wchar_t* name : {L"tone16k.mp3", L"tone16k.wav", L"tone16k.pcm"}) {
      step(RunFfmpegTool(L"-y -i " + q + Path(L"tone.wav") + q + L"  -ar 16000  " + q + Path(name) + q), "tone16k");
    }
    // Headerless 16-bit mono samples at 16000 Hz.
    step(RunFfmpegTool(L"-y -i " + q + Path(L"tone.wav") + q + L" -f s16le -ac 1 -ar 16000 " + q +
                       Path(L"raw16k.pcm") + q),
         "raw16k.pcm");
    std::string text;
    for (int i = 0; i < 200; ++i) text += "This is a text file, not audio.\r\n";
    step(ScratchFolder::WriteFileBytes(Path(L"text.mp3"), text) &&
             ScratchFolder::WriteFileBytes(Path(L"empty.mp3"), "") &&
             ScratchFolder::WriteFileBytes(Path(L"empty.pcm"), ""),
         "text and empty files");
    step(ScratchFolder::WriteFileBytes(Path(L"header-only.wav"),
                                        ScratchFolder::ReadFileBytes(Path(L"tone16k.wav")).substr(0, 44)),
         "header-only.wav");
  }

  static void TearDownTestSuite() {
    delete m_folder;
    m_folder = nullptr;
  }

  void SetUp() override { ASSERT_EQ(m_failedStep, "") << "making the test files failed"; }

  static std::wstring Path(const wchar_t* name) { return *m_folder / name; }
  static std::string AnsiPath(const wchar_t* name) { return WideToAnsi(Path(name)); }

  // Plays a file to its end; returns the seconds it played, or -1 when it
  // did not start or did not end within 20 seconds.
  static double PlayToEnd(AudioPlayer* player, const wchar_t* name) {
    if (!player->OpenFile(AnsiPath(name).c_str(), kAudioFormatDetect) || !player->Play()) return -1;
    const Clock::time_point start = Clock::now();
    if (!player->GetStatus().playing) return -1;
    while (!IsIdle(player->GetStatus())) {
      if (SecondsSince(start) > 20) return -1;
      Sleep(5);
    }
    return SecondsSince(start);
  }

  static ScratchFolder* m_folder;  // owned; made for the whole suite
  static std::string m_failedStep;  // the first fixture file that could not be made
};

ScratchFolder* AudioPlayerTest::m_folder = nullptr;
std::string AudioPlayerTest::m_failedStep;

// --- Playing to the end ---

TEST_F(AudioPlayerTest, EachConverterFormatPlaysForItsWholeDuration) {
  // mp3, wav and the .pcm that the converter's pass writes, plus headerless
  // samples, each one second long.
  for (const wchar_t* name : {L"tone16k.mp3", L"tone16k.wav", L"tone16k.pcm", L"raw16k.pcm"}) {
    SCOPED_TRACE(WideToUtf8(name));
    PlayerHolder player;
    const double seconds = PlayToEnd(player.player, name);
    EXPECT_GE(seconds, 0.75);
    EXPECT_LT(seconds, 10.0);
    EXPECT_TRUE(IsIdle(player->GetStatus()));
  }
}

TEST_F(AudioPlayerTest, AChinesePathInTheAnsiCodePagePlays) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  ASSERT_TRUE(CopyFileW(Path(L"tone16k.mp3").c_str(), Path(L"试听音频.mp3").c_str(), FALSE));
  PlayerHolder player;
  EXPECT_GE(PlayToEnd(player.player, L"试听音频.mp3"), 0.75);
}

// A program that plays nothing never loads the wave library: the first device opened brings it.
TEST_F(AudioPlayerTest, TheWaveLibraryComesWithTheFirstPlayback) {
  EXPECT_EQ(GetModuleHandleW(L"winmm.dll"), nullptr);
  PlayerHolder player;
  ASSERT_GE(PlayToEnd(player.player, L"tone16k.wav"), 0.0);
  EXPECT_NE(GetModuleHandleW(L"winmm.dll"), nullptr);
}

TEST_F(AudioPlayerTest, PlayAfterTheEndStartsAgainFromTheBeginning) {
  PlayerHolder player;
  ASSERT_GE(PlayToEnd(player.player, L"tone16k.wav"), 0.75);
  ASSERT_TRUE(player->Play());
  const Clock::time_point start = Clock::now();
  EXPECT_TRUE(WaitWhilePlaying(player.player));
  EXPECT_GE(SecondsSince(start), 0.75);
}

// --- Pause, resume, stop ---

TEST_F(AudioPlayerTest, PauseHoldsThePositionUntilResumed) {
  PlayerHolder player;
  ASSERT_TRUE(player->OpenFile(AnsiPath(L"tone16k.mp3").c_str(), kAudioFormatDetect));
  ASSERT_TRUE(player->Play());
  Sleep(300);
  ASSERT_TRUE(player->Pause());
  const Clock::time_point pausedAt = Clock::now();
  while (SecondsSince(pausedAt) < 1.5) {
    const AudioPlayerStatus status = player->GetStatus();
    ASSERT_TRUE(status.paused);
    ASSERT_FALSE(status.playing);
    Sleep(50);
  }
  EXPECT_FALSE(player->Pause()) << "pausing twice";
  ASSERT_TRUE(player->Resume());
  const Clock::time_point resumedAt = Clock::now();
  EXPECT_TRUE(player->GetStatus().playing);
  EXPECT_TRUE(WaitWhilePlaying(player.player));
  // About 0.7 s were left when it was paused.
  EXPECT_GE(SecondsSince(resumedAt), 0.3);
  EXPECT_LT(SecondsSince(resumedAt), 10.0);
  EXPECT_FALSE(player->Resume()) << "resuming a finished playback";
}

TEST_F(AudioPlayerTest, StopEndsPlaybackAtOnce) {
  PlayerHolder player;
  ASSERT_TRUE(player->OpenFile(AnsiPath(L"long.wav").c_str(), kAudioFormatDetect));
  ASSERT_TRUE(player->Play());
  Sleep(300);
  const Clock::time_point stoppedAt = Clock::now();
  EXPECT_TRUE(player->Stop());
  EXPECT_LT(SecondsSince(stoppedAt), 2.0);
  EXPECT_TRUE(IsIdle(player->GetStatus()));
  EXPECT_FALSE(player->Pause());
}

TEST_F(AudioPlayerTest, WaitWhilePlayingEndsWhenTheCallerStopsWaiting) {
  std::atomic<bool> keepWaiting{true};
  PlayerHolder player;
  ASSERT_TRUE(player->OpenFile(AnsiPath(L"long.wav").c_str(), kAudioFormatDetect));
  ASSERT_TRUE(player->Play());
  std::thread clearer([&keepWaiting] {
    Sleep(200);
    keepWaiting = false;
  });
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(WaitWhilePlaying(player.player, [&keepWaiting] { return keepWaiting.load(); }));
  clearer.join();
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_TRUE(player->GetStatus().playing) << "the wait does not stop the player";
}

// --- The end message ---

// The end message comes once for a playback that ends by itself (also one
// resumed after a pause), with the owner's wParam, and never for one that the
// owner stops or releases.
TEST_F(AudioPlayerTest, TheEndMessageComesOnceForAnEndByItselfOnly) {
  constexpr UINT kEnded = WM_APP + 77;
  enum class Ending { kByItself, kPausedThenResumed, kStopped, kReleased };
  const struct Case {
    const char* name;
    Ending ending;
    size_t messages;
  } cases[] = {
      {"played to its end", Ending::kByItself, 1},
      {"paused, resumed, then its end", Ending::kPausedThenResumed, 1},
      {"stopped", Ending::kStopped, 0},
      {"released", Ending::kReleased, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MessageWindow window;
    AudioPlayer* player = CreateAudioPlayer();
    player->SetEndMessage(window.handle(), kEnded, 42);
    ASSERT_TRUE(player->OpenFile(AnsiPath(L"tone16k.wav").c_str(), kAudioFormatDetect));
    ASSERT_TRUE(player->Play());
    switch (c.ending) {
      case Ending::kByItself: break;
      case Ending::kPausedThenResumed:
        Sleep(200);
        ASSERT_TRUE(player->Pause());
        window.WaitFor(1, 1500);
        EXPECT_TRUE(window.Pump().empty()) << "a pause is no end";
        ASSERT_TRUE(player->Resume());
        break;
      case Ending::kStopped:
        Sleep(200);
        player->Stop();
        break;
      case Ending::kReleased:
        Sleep(200);
        player->Release();
        player = nullptr;
        break;
    }
    window.WaitFor(c.messages, 10000);
    // Long enough for a second message, or for the end the file would have reached.
    const std::vector<MessageWindow::Message>& arrived = window.WaitFor(c.messages + 1, 1500);
    ASSERT_EQ(arrived.size(), c.messages);
    if (c.messages > 0) {
      EXPECT_EQ(arrived[0].message, kEnded);
      EXPECT_EQ(arrived[0].wParam, 42u);
      EXPECT_TRUE(IsIdle(player->GetStatus()));
    }
    if (player != nullptr) player->Release();
  }
}

// --- Files that cannot be played ---

TEST_F(AudioPlayerTest, FilesWithoutAudioFailToOpen) {
  for (const wchar_t* name : {L"missing.mp3", L"text.mp3", L"empty.mp3", L"empty.pcm", L"header-only.wav"}) {
    SCOPED_TRACE(WideToUtf8(name));
    PlayerHolder player;
    EXPECT_FALSE(player->OpenFile(AnsiPath(name).c_str(), kAudioFormatDetect));
    EXPECT_FALSE(player->Play());
    EXPECT_TRUE(IsIdle(player->GetStatus()));
  }
}

TEST_F(AudioPlayerTest, OpenFailsForAnUnknownFormatCodeOrNoPath) {
  PlayerHolder player;
  EXPECT_FALSE(player->OpenFile(AnsiPath(L"tone16k.mp3").c_str(), 0));
  EXPECT_FALSE(player->OpenFile(nullptr, kAudioFormatDetect));
  EXPECT_FALSE(player->OpenFile("", kAudioFormatDetect));
}

TEST_F(AudioPlayerTest, AFailedOpenClosesTheFileBefore) {
  PlayerHolder player;
  ASSERT_TRUE(player->OpenFile(AnsiPath(L"tone16k.mp3").c_str(), kAudioFormatDetect));
  EXPECT_FALSE(player->OpenFile(AnsiPath(L"text.mp3").c_str(), kAudioFormatDetect));
  EXPECT_FALSE(player->Play());
}

// --- Release and leaks ---

TEST_F(AudioPlayerTest, OpenReleaseCyclesLeaveNoHandles) {
  const wchar_t* names[] = {L"tone16k.mp3", L"tone16k.wav", L"tone16k.pcm", L"raw16k.pcm",
                            L"missing.mp3", L"text.mp3",    L"empty.mp3"};
  auto cycle = [&](int i) {
    AudioPlayer* player = CreateAudioPlayer();
    player->OpenFile(AnsiPath(names[i % 7]).c_str(), kAudioFormatDetect);
    player->Release();
  };
  for (int i = 0; i < 7; ++i) cycle(i);  // first use loads what stays loaded
  const DWORD before = HandleCount();
  for (int i = 0; i < 100; ++i) cycle(i);
  EXPECT_EQ(HandleCount(), before);
}

TEST_F(AudioPlayerTest, PlayReleaseCyclesLeaveNoHandlesOrThreads) {
  auto cycle = [&] {
    AudioPlayer* player = CreateAudioPlayer();
    EXPECT_TRUE(player->OpenFile(AnsiPath(L"long.wav").c_str(), kAudioFormatDetect));
    EXPECT_TRUE(player->Play());
    Sleep(30);
    player->Release();
  };
  cycle();
  Sleep(200);
  const DWORD handles = HandleCount();
  const int threads = ThreadCount();
  for (int i = 0; i < 20; ++i) cycle();
  Sleep(200);
  EXPECT_EQ(HandleCount(), handles);
  EXPECT_EQ(ThreadCount(), threads);
}

TEST_F(AudioPlayerTest, ReleaseWhilePlayingFromAnotherThread) {
  // Warm up the device so that what the system keeps loaded is not counted.
  {
    PlayerHolder warm;
    ASSERT_GE(PlayToEnd(warm.player, L"tone16k.wav"), 0.0);
  }
  Sleep(200);
  const DWORD handles = HandleCount();
  const int threads = ThreadCount();
  AudioPlayer* player = CreateAudioPlayer();
  ASSERT_TRUE(player->OpenFile(AnsiPath(L"long.wav").c_str(), kAudioFormatDetect));
  ASSERT_TRUE(player->Play());
  Sleep(300);
  ASSERT_TRUE(player->GetStatus().playing);
  Clock::time_point start = Clock::now();
  std::thread releaser([player] { player->Release(); });
  releaser.join();
  EXPECT_LT(SecondsSince(start), 2.0);
  Sleep(200);
  EXPECT_EQ(HandleCount(), handles);
  EXPECT_EQ(ThreadCount(), threads);
}

TEST_F(AudioPlayerTest, ReleaseWhilePausedOrNeverOpened) {
  AudioPlayer* never = CreateAudioPlayer();
  never->Release();
  AudioPlayer* paused = CreateAudioPlayer();
  ASSERT_TRUE(paused->OpenFile(AnsiPath(L"long.wav").c_str(), kAudioFormatDetect));
  ASSERT_TRUE(paused->Play());
  ASSERT_TRUE(paused->Pause());
  const Clock::time_point start = Clock::now();
  paused->Release();
  EXPECT_LT(SecondsSince(start), 2.0);
}

}  // namespace
