#pragma once

// Decodes the first audio stream of a file into interleaved signed 16-bit
// samples, mono or stereo, at the stream's own rate (the wave output takes
// that form directly). Built on libavformat, libavcodec and libswresample.
// Used by one thread at a time; not copyable. Owns its decoding contexts,
// which Close and the destructor free.

#include <cstdint>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

class AudioDecoder {
 public:
  AudioDecoder();
  ~AudioDecoder();
  AudioDecoder(const AudioDecoder&) = delete;
  AudioDecoder& operator=(const AudioDecoder&) = delete;

  // Opens the file (UTF-8 path) and decodes up to its first samples, so that
  // a file without decodable audio fails here rather than during playback.
  // A file named *.pcm whose content names no format is read as headerless
  // 16-bit little-endian mono at 16000 Hz, the form of the converter's raw
  // output. Writes one debugger line on failure.
  bool Open(const std::string& utf8Path);

  int sampleRate() const { return m_outRate; }
  int channels() const { return m_outChannels; }

  // Copies up to maxFrames frames (one sample per channel) into out and
  // returns how many; 0 once the stream is over. A damaged packet in the
  // middle is skipped rather than ending the stream.
  int Read(int16_t* out, int maxFrames);

 private:
  bool OpenContainer(const std::string& utf8Path);
  bool OpenCodec();
  // Decodes until new samples are pending; false at the end of the stream or
  // after packetBudget packets without a sample (0: no limit).
  bool DecodeMore(int packetBudget);
  bool ConvertFrame(const AVFrame* frame);
  bool ConfigureResampler(const AVFrame* frame);
  void Close();

  AVFormatContext* m_format = nullptr;  // owned
  AVCodecContext* m_codec = nullptr;    // owned
  SwrContext* m_resampler = nullptr;    // owned; set up from the first frame
  AVPacket* m_packet = nullptr;         // owned
  AVFrame* m_frame = nullptr;           // owned
  int m_stream = -1;
  int m_outRate = 0;
  int m_outChannels = 0;
  // Input form the resampler was set up for; a change mid-stream rebuilds it.
  int m_inRate = 0;
  int m_inFormat = -1;
  int m_inChannels = 0;
  bool m_inputEnded = false;    // demuxer exhausted, decoder being drained
  bool m_decoderEnded = false;  // decoder drained, resampler flushed
  std::vector<int16_t> m_pending;  // converted samples not yet read
  size_t m_pendingPos = 0;
};
