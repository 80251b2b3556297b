#include "core/media/AudioPlayer.h"

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/media/AudioDecoder.h"
#include "core/media/WaveOutput.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace {

// The player behind AudioPlayer. The owning thread opens the file and the
// device; a feeding worker of the player's own decodes into the device's
// buffers until the end, a stop, or a device error, closes the device and,
// at an end by itself, posts the end message. Pause and Resume only flip the
// atomic state and wake the feeding thread, which applies them to the device;
// GetStatus reads that state.
class WaveOutPlayer final : public AudioPlayer {
 public:
  WaveOutPlayer() : m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~WaveOutPlayer() override {
    JoinFeeder();
  }

  // AudioPlayer:
  bool OpenFile(const char* ansiPath, int formatCode) override;
  bool Play() override;
  bool Pause() override { return Switch(kPlaying, kPaused); }
  bool Resume() override { return Switch(kPaused, kPlaying); }
  bool Stop() override;
  AudioPlayerStatus GetStatus() const override;
  void SetEndMessage(HWND window, UINT message, WPARAM wParam) override {
    m_endWindow = window;
    m_endMessage = message;
    m_endWParam = wParam;
  }
  void Release() override;

 private:
  enum State : int { kStopped, kPlaying, kPaused };

  bool Switch(State from, State to);
  void Feed(const StopToken& stop);
  // Writes decoded samples into every idle device buffer; false on a device
  // error.
  bool FillBuffers(bool* decoderEnded);
  // Ends the feeding thread (if any) and waits for it: it uses this object,
  // so it is never let go.
  void JoinFeeder();

  OwnedHandle m_wake;  // set by Pause, Resume and by the device for every buffer handed back
  std::atomic<int> m_state{kStopped};
  WorkerThread m_feeder;                     // the feeding thread; stopped by JoinFeeder
  HWND m_endWindow = nullptr;                // see SetEndMessage; set before the feeder starts
  UINT m_endMessage = 0;
  WPARAM m_endWParam = 0;
  std::string m_path;                        // UTF-8 path of the open file; empty when none
  std::unique_ptr<AudioDecoder> m_decoder;   // used by the feeding thread while it runs
  bool m_decoderUsed = false;                // played from: Play must open the file afresh
  WaveOutput m_output;                       // opened by Play, closed by the feeding thread
};

bool WaveOutPlayer::OpenFile(const char* ansiPath, int formatCode) {
  Stop();
  m_decoder.reset();
  m_path.clear();
  if (formatCode != kAudioFormatDetect) {
    DebugTraceA("audio player: format code %d is not supported", formatCode);
    return false;
  }
  if (ansiPath == nullptr || *ansiPath == '\0') {
    DebugTraceA("audio player: no file name");
    return false;
  }
  // The decoder's file functions take UTF-8.
  std::string utf8Path = WideToUtf8(AnsiToWidePath(ansiPath));
  auto decoder = std::make_unique<AudioDecoder>();
  if (!decoder->Open(utf8Path)) return false;
  m_decoder = std::move(decoder);
  m_path = std::move(utf8Path);
  m_decoderUsed = false;
  return true;
}

bool WaveOutPlayer::Play() {
  const int state = m_state.load();
  if (state == kPlaying) return true;
  if (state == kPaused) return Resume();
  JoinFeeder();  // one that finished by itself
  if (m_path.empty()) {
    DebugTraceA("audio player: play without an open file");
    return false;
  }
  if (m_decoderUsed) {
    auto decoder = std::make_unique<AudioDecoder>();
    if (!decoder->Open(m_path)) return false;
    m_decoder = std::move(decoder);
    m_decoderUsed = false;
  }
  if (!m_wake || !m_output.Open(m_decoder->sampleRate(), m_decoder->channels(), m_wake.Get())) {
    return false;
  }
  m_decoderUsed = true;
  m_state.store(kPlaying);
  if (!m_feeder.Start([this](const StopToken& stop) { Feed(stop); })) {
    DebugTraceA("audio player: no feeding thread");
    m_state.store(kStopped);
    m_output.Close();
    return false;
  }
  return true;
}

bool WaveOutPlayer::Switch(State from, State to) {
  int expected = from;
  if (!m_state.compare_exchange_strong(expected, to)) return false;
  SetEvent(m_wake.Get());
  return true;
}

bool WaveOutPlayer::Stop() {
  m_state.store(kStopped);
  JoinFeeder();
  return true;
}

AudioPlayerStatus WaveOutPlayer::GetStatus() const {
  const int state = m_state.load();
  AudioPlayerStatus status;
  status.playing = state == kPlaying;
  status.paused = state == kPaused;
  return status;
}

void WaveOutPlayer::Release() {
  Stop();
  delete this;
}

void WaveOutPlayer::JoinFeeder() {
  // The feeder wakes on its token at once; its loop holds no long wait.
  m_feeder.Stop(INFINITE);
}

void WaveOutPlayer::Feed(const StopToken& stop) {
  // Wakes at least this often even if a device signal were lost.
  constexpr DWORD kWakeMs = 200;
  bool devicePaused = false;
  bool decoderEnded = false;
  bool ended = false;  // the audio is over (or the device failed)
  const HANDLE wakes[] = {m_wake.Get(), stop.Event()};
  const DWORD wakeCount = stop.Event() != nullptr ? 2 : 1;
  while (!stop.StopRequested()) {
    const int state = m_state.load();
    if (state == kPaused && !devicePaused) {
      m_output.Pause();
      devicePaused = true;
    } else if (state == kPlaying && devicePaused) {
      m_output.Restart();
      devicePaused = false;
    }
    if (!FillBuffers(&decoderEnded)) {
      ended = true;
      break;
    }
    // The end reached while paused holds the pause until a resume or a stop.
    if (decoderEnded && m_output.AllIdle() && !devicePaused) {
      ended = true;
      break;
    }
    WaitForMultipleObjects(wakeCount, wakes, FALSE, kWakeMs);
  }
  m_output.Close();
  if (!ended) return;
  // A pause that raced with the end would otherwise leave the status paused
  // with nothing left to resume.
  m_state.store(kStopped);
  if (m_endWindow != nullptr) PostMessageW(m_endWindow, m_endMessage, m_endWParam, 0);
}

bool WaveOutPlayer::FillBuffers(bool* decoderEnded) {
  while (!*decoderEnded) {
    const int index = m_output.IdleBuffer();
    if (index < 0) return true;
    const int frames = m_decoder->Read(m_output.BufferData(index), m_output.BufferFrames());
    if (frames == 0) {
      *decoderEnded = true;
      return true;
    }
    if (!m_output.Queue(index, frames)) return false;
  }
  return true;
}

}  // namespace

AudioPlayer* CreateAudioPlayer() { return new WaveOutPlayer(); }

bool WaitWhilePlaying(const AudioPlayer* player, const std::function<bool()>& keepWaiting) {
  if (player == nullptr) return true;
  for (;;) {
    const AudioPlayerStatus status = player->GetStatus();
    if (!status.playing && !status.paused) return true;
    if (keepWaiting && !keepWaiting()) return false;
    Sleep(kAudioStatusPollMs);
  }
}
