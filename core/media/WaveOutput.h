#pragma once

// One open wave output device (winmm, loaded at the first Open) with a small
// ring of sample buffers.
// The device signals the event given to Open whenever it hands a buffer back,
// so a feeding thread can sleep on that event. Open and Close may be called
// from different threads; the other calls come from the feeding thread.

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>
#include <vector>

class WaveOutput {
 public:
  WaveOutput() = default;
  ~WaveOutput() { Close(); }
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // Opens the default device for interleaved 16-bit samples. Fails (one
  // debugger line) when no device takes that form; nothing stays open then.
  bool Open(int sampleRate, int channels, HANDLE bufferDoneEvent);
  // Hands every queued buffer back and closes the device; safe when closed.
  void Close();
  bool IsOpen() const { return m_device != nullptr; }

  // A buffer that the device does not hold, or -1 when all are queued.
  int IdleBuffer() const;
  bool AllIdle() const;
  int16_t* BufferData(int index) { return m_buffers[static_cast<size_t>(index)].samples.data(); }
  int BufferFrames() const { return m_bufferFrames; }
  // Queues the first `frames` frames of an idle buffer.
  bool Queue(int index, int frames);

  void Pause();
  void Restart();

 private:
  struct Buffer {
    std::vector<int16_t> samples;
    WAVEHDR header{};
    bool queued = false;  // written to the device and not seen back yet
  };
  static bool IsIdle(const Buffer& buffer);

  HWAVEOUT m_device = nullptr;  // owned
  int m_channels = 0;
  int m_bufferFrames = 0;
  std::vector<Buffer> m_buffers;  // headers prepared while the device is open
};
