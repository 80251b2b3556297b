#include "core/media/WaveOutput.h"

#include "core/base/DebugTrace.h"

namespace {

// Six buffers of 60 ms: enough queued audio that a busy machine does not
// starve the device, little enough that nothing large sits in memory.
constexpr int kBufferCount = 6;
constexpr int kBufferMs = 60;

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
  HWAVEOUT device = nullptr;
  MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(bufferDoneEvent), 0,
                                CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    wchar_t text[MAXERRORLENGTH] = L"";
    waveOutGetErrorTextW(result, text, MAXERRORLENGTH);
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
    result = waveOutPrepareHeader(m_device, &buffer.header, sizeof(WAVEHDR));
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
  waveOutReset(m_device);
  for (Buffer& buffer : m_buffers) {
    if (buffer.header.dwFlags & WHDR_PREPARED) {
      waveOutUnprepareHeader(m_device, &buffer.header, sizeof(WAVEHDR));
    }
  }
  waveOutClose(m_device);
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
  MMRESULT result = waveOutWrite(m_device, &buffer.header, sizeof(WAVEHDR));
  if (result != MMSYSERR_NOERROR) {
    DebugTraceA("wave output: waveOutWrite failed: %u", result);
    return false;
  }
  buffer.queued = true;
  return true;
}

void WaveOutput::Pause() {
  if (m_device != nullptr) waveOutPause(m_device);
}

void WaveOutput::Restart() {
  if (m_device != nullptr) waveOutRestart(m_device);
}
