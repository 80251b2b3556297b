#include "core/media/WaveOutput.h"

#include "core/base/DebugTrace.h"

namespace {

// Six buffers of 60 ms: enough queued audio that a busy machine does not
// starve the device, little enough that nothing large sits in memory.
constexpr int kBufferCount = 6;
constexpr int kBufferMs = 60;

// The wave functions of winmm.dll, loaded at the first device opened rather
// than with the program: a start-up plays nothing, and under Wine the library
// brings the audio compression manager with it.
struct WaveFunctions {
  decltype(&waveOutOpen) open = nullptr;
  decltype(&waveOutGetErrorTextW) errorText = nullptr;
  decltype(&waveOutPrepareHeader) prepare = nullptr;
  decltype(&waveOutUnprepareHeader) unprepare = nullptr;
  decltype(&waveOutWrite) write = nullptr;
  decltype(&waveOutReset) reset = nullptr;
  decltype(&waveOutPause) pause = nullptr;
  decltype(&waveOutRestart) restart = nullptr;
  decltype(&waveOutClose) close = nullptr;
  bool loaded = false;  // every function was found
};

template <class Function>
bool Find(HMODULE library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *function != nullptr;
}

// Loaded once for the process (the library stays); any thread may ask.
const WaveFunctions& Wave() {
  static const WaveFunctions functions = [] {
    WaveFunctions found;
    HMODULE library = LoadLibraryW(L"winmm.dll");
    found.loaded = library != nullptr && Find(library, "waveOutOpen", &found.open) &&
                   Find(library, "waveOutGetErrorTextW", &found.errorText) &&
                   Find(library, "waveOutPrepareHeader", &found.prepare) &&
                   Find(library, "waveOutUnprepareHeader", &found.unprepare) &&
                   Find(library, "waveOutWrite", &found.write) && Find(library, "waveOutReset", &found.reset) &&
                   Find(library, "waveOutPause", &found.pause) && Find(library, "waveOutRestart", &found.restart) &&
                   Find(library, "waveOutClose", &found.close);
    if (!found.loaded) DebugTrace(L"wave output: winmm.dll cannot be used (error %lu)", GetLastError());
    return found;
  }();
  return functions;
}

}  // namespace

bool WaveOutput::Open(int sampleRate, int channels, HANDLE bufferDoneEvent) {
  Close();
  if (sampleRate <= 0 || channels < 1 || channels > 2 || bufferDoneEvent == nullptr) {
    DebugTraceA("wave output: unusable format %d Hz, %d channels", sampleRate, channels);
    return false;
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(sampleRate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(channels * 2);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  const WaveFunctions& wave = Wave();
  if (!wave.loaded) return false;
  HWAVEOUT device = nullptr;
  MMRESULT result = wave.open(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDoneEvent), 0,
                                CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    wchar_t text[MAXERRORLENGTH] = L"";
    wave.errorText(result, text, MAXERRORLENGTH);
    DebugTrace(L"wave output: waveOutOpen (%d Hz, %d channels) failed: %u %ls", sampleRate, channels, result, text);
    return false;
  }
  m_device = device;
  m_channels = channels;
  m_bufferFrames = sampleRate * kBufferMs / 1000;
  if (m_bufferFrames < 1) m_bufferFrames = 1;
  m_buffers.resize(kBufferCount);
  for (Buffer& buffer : m_buffers) {
    buffer.samples.assign(static_cast<size_t>(m_bufferFrames) * static_cast<size_t>(channels), 0);
    buffer.header = WAVEHDR{};
    buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
    buffer.header.dwBufferLength = static_cast<DWORD>(buffer.samples.size() * sizeof(int16_t));
    buffer.queued = false;
    result = wave.prepare(m_device, &buffer.header, sizeof(WAVEHDR));
    if (result != MMSYSERR_NOERROR) {
      DebugTraceA("wave output: waveOutPrepareHeader failed: %u", result);
      Close();
      return false;
    }
  }
  return true;
}

void WaveOutput::Close() {
  if (m_device == nullptr) {
    m_buffers.clear();
    return;
  }
  // Reset hands every queued buffer back at once, so none is still held by
  // the device when it is unprepared.
  // An open device means the functions were loaded.
  const WaveFunctions& wave = Wave();
  wave.reset(m_device);
  for (Buffer& buffer : m_buffers) {
    if (buffer.header.dwFlags & WHDR_PREPARED) {
      wave.unprepare(m_device, &buffer.header, sizeof(WAVEHDR));
    }
  }
  wave.close(m_device);
  m_device = nullptr;
  m_buffers.clear();
}

bool WaveOutput::IsIdle(const Buffer& buffer) {
  // The device sets WHDR_DONE from its own thread.
  const volatile DWORD& flags = buffer.header.dwFlags;
  return !buffer.queued || (flags & WHDR_DONE) != 0;
}

int WaveOutput::IdleBuffer() const {
  for (size_t i = 0; i < m_buffers.size(); ++i) {
    if (IsIdle(m_buffers[i])) return static_cast<int>(i);
  }
  return -1;
}

bool WaveOutput::AllIdle() const {
  for (const Buffer& buffer : m_buffers) {
    if (!IsIdle(buffer)) return false;
  }
  return true;
}

bool WaveOutput::Queue(int index, int frames) {
  Buffer& buffer = m_buffers[static_cast<size_t>(index)];
  if (frames > m_bufferFrames) frames = m_bufferFrames;
  buffer.header.dwBufferLength = static_cast<DWORD>(frames * m_channels * static_cast<int>(sizeof(int16_t)));
  MMRESULT result = Wave().write(m_device, &buffer.header, sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) {
    DebugTraceA("wave output: waveOutWrite failed: %u", result);
    return false;
  }
  buffer.queued = true;
  return true;
}

void WaveOutput::Pause() {
  if (m_device != nullptr) Wave().pause(m_device);
}

void WaveOutput::Restart() {
  if (m_device != nullptr) Wave().restart(m_device);
}
