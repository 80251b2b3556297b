#include "core/media/AudioDecoder.h"

#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

// Packets read without one decoded sample before Open gives the file up as
// not audio; a real file yields samples within its first few packets.
constexpr int kOpenPacketBudget = 500;

// The converter's raw output: 16-bit little-endian mono at 16000 Hz.
constexpr const char* kRawPcmFormat = "s16le";
constexpr const char* kRawPcmRate = "16000";
constexpr const char* kRawPcmLayout = "mono";

void TraceFailure(const char* what, const std::string& utf8Path, int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = "";
  if (error < 0) av_strerror(error, text, sizeof(text));
  DebugTrace(L"audio decoder: %hs failed for %ls: %hs", what, Utf8ToWide(utf8Path).c_str(), text);
}

bool HasPcmExtension(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return tail == ".pcm";
}

// True when the content itself names a format with some confidence. The file
// name takes no part: a .pcm name alone draws a weak guess from demuxers that
// list that extension, which would misread headerless samples.
bool ContentNamesFormat(const std::string& utf8Path) {
  AVIOContext* io = nullptr;
  if (avio_open(&io, utf8Path.c_str(), AVIO_FLAG_READ) < 0) return false;
  const AVInputFormat* format = nullptr;
  int score = av_probe_input_buffer2(io, &format, "", nullptr, 0, 0);
  avio_closep(&io);
  return format != nullptr && score > AVPROBE_SCORE_RETRY;
}

}  // namespace

AudioDecoder::AudioDecoder() = default;

AudioDecoder::~AudioDecoder() { Close(); }

void AudioDecoder::Close() {
  swr_free(&m_resampler);
  avcodec_free_context(&m_codec);
  avformat_close_input(&m_format);
  av_packet_free(&m_packet);
  av_frame_free(&m_frame);
  m_stream = -1;
  m_outRate = m_outChannels = 0;
  m_inRate = m_inChannels = 0;
  m_inFormat = -1;
  m_inputEnded = m_decoderEnded = false;
  m_pending.clear();
  m_pendingPos = 0;
}

bool AudioDecoder::Open(const std::string& utf8Path) {
  Close();
  if (!OpenContainer(utf8Path) || !OpenCodec()) {
    Close();
    return false;
  }
  if (!DecodeMore(kOpenPacketBudget)) {
    TraceFailure("finding audio samples", utf8Path, 0);
    Close();
    return false;
  }
  return true;
}

bool AudioDecoder::OpenContainer(const std::string& utf8Path) {
  const AVInputFormat* forced = nullptr;
  AVDictionary* options = nullptr;
  if (HasPcmExtension(utf8Path) && !ContentNamesFormat(utf8Path)) {
    forced = av_find_input_format(kRawPcmFormat);
    av_dict_set(&options, "sample_rate", kRawPcmRate, 0);
    av_dict_set(&options, "ch_layout", kRawPcmLayout, 0);
  }
  int rc = avformat_open_input(&m_format, utf8Path.c_str(), forced, &options);
  av_dict_free(&options);
  if (rc < 0) {
    TraceFailure("opening", utf8Path, rc);
    return false;
  }
  rc = avformat_find_stream_info(m_format, nullptr);
  if (rc < 0) {
    TraceFailure("reading the stream information", utf8Path, rc);
    return false;
  }
  m_stream = av_find_best_stream(m_format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (m_stream < 0) {
    TraceFailure("finding an audio stream", utf8Path, m_stream);
    return false;
  }
  return true;
}

bool AudioDecoder::OpenCodec() {
  const AVCodecParameters* parameters = m_format->streams[m_stream]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (codec == nullptr) {
    DebugTraceA("audio decoder: no decoder for codec %d", static_cast<int>(parameters->codec_id));
    return false;
  }
  m_codec = avcodec_alloc_context3(codec);
  m_packet = av_packet_alloc();
  m_frame = av_frame_alloc();
  if (m_codec == nullptr || m_packet == nullptr || m_frame == nullptr) return false;
  int rc = avcodec_parameters_to_context(m_codec, parameters);
  if (rc >= 0) rc = avcodec_open2(m_codec, codec, nullptr);
  if (rc < 0) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(rc, text, sizeof(text));
    DebugTraceA("audio decoder: opening the %s decoder failed: %s", codec->name, text);
    return false;
  }
  return true;
}

int AudioDecoder::Read(int16_t* out, int maxFrames) {
  if (m_outChannels == 0) return 0;
  const size_t channels = static_cast<size_t>(m_outChannels);
  int done = 0;
  while (done < maxFrames) {
    if (m_pendingPos >= m_pending.size() && !DecodeMore(0)) break;
    const size_t available = (m_pending.size() - m_pendingPos) / channels;
    const size_t count = std::min(available, static_cast<size_t>(maxFrames - done));
    std::memcpy(out + static_cast<size_t>(done) * channels, m_pending.data() + m_pendingPos,
                count * channels * sizeof(int16_t));
    m_pendingPos += count * channels;
    done += static_cast<int>(count);
  }
  return done;
}

bool AudioDecoder::DecodeMore(int packetBudget) {
  int packetsRead = 0;
  while (m_pendingPos >= m_pending.size()) {
    if (m_decoderEnded) return false;
    int rc = avcodec_receive_frame(m_codec, m_frame);
    if (rc == 0) {
      const bool converted = ConvertFrame(m_frame);
      av_frame_unref(m_frame);
      if (!converted) m_decoderEnded = true;
      continue;
    }
    if (rc == AVERROR_EOF || m_inputEnded) {
      // Drained (or failing after the last packet): whatever the resampler
      // still holds is the end of the stream.
      m_decoderEnded = true;
      ConvertFrame(nullptr);
      continue;
    }
    // The decoder wants input, or rejected a damaged frame: feed the next packet.
    if (packetBudget > 0 && packetsRead >= packetBudget) return false;
    rc = av_read_frame(m_format, m_packet);
    if (rc < 0) {
      m_inputEnded = true;
      avcodec_send_packet(m_codec, nullptr);
      continue;
    }
    ++packetsRead;
    if (m_packet->stream_index == m_stream) {
      // A packet the decoder rejects is damaged data; it is dropped and
      // decoding goes on with the next one.
      avcodec_send_packet(m_codec, m_packet);
    }
    av_packet_unref(m_packet);
  }
  return true;
}

bool AudioDecoder::ConvertFrame(const AVFrame* frame) {
  // A null frame flushes what the resampler holds back.
  if (frame != nullptr && !ConfigureResampler(frame)) return false;
  if (m_resampler == nullptr) return false;
  const int inputFrames = frame != nullptr ? frame->nb_samples : 0;
  const int capacity = swr_get_out_samples(m_resampler, inputFrames);
  m_pending.clear();
  m_pendingPos = 0;
  if (capacity <= 0) return true;
  m_pending.resize(static_cast<size_t>(capacity) * static_cast<size_t>(m_outChannels));
  uint8_t* output = reinterpret_cast<uint8_t*>(m_pending.data());
  const uint8_t** input = frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr;
  const int converted = swr_convert(m_resampler, &output, capacity, input, inputFrames);
  if (converted < 0) {
    m_pending.clear();
    return false;
  }
  m_pending.resize(static_cast<size_t>(converted) * static_cast<size_t>(m_outChannels));
  return true;
}

bool AudioDecoder::ConfigureResampler(const AVFrame* frame) {
  const int channels = frame->ch_layout.nb_channels;
  if (channels <= 0 || frame->sample_rate <= 0) return false;
  if (m_resampler != nullptr && frame->sample_rate == m_inRate && frame->format == m_inFormat &&
      channels == m_inChannels) {
    return true;
  }
  if (m_outRate == 0) {
    // The first frame fixes the output; later changes are resampled to it.
    m_outRate = frame->sample_rate;
    m_outChannels = channels >= 2 ? 2 : 1;
  }
  AVChannelLayout inLayout{};
  if (frame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&inLayout, channels);
  } else if (av_channel_layout_copy(&inLayout, &frame->ch_layout) < 0) {
    return false;
  }
  AVChannelLayout outLayout{};
  av_channel_layout_default(&outLayout, m_outChannels);
  swr_free(&m_resampler);
  int rc = swr_alloc_set_opts2(&m_resampler, &outLayout, AV_SAMPLE_FMT_S16, m_outRate, &inLayout,
                               static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  av_channel_layout_uninit(&outLayout);
  if (rc >= 0) rc = swr_init(m_resampler);
  if (rc < 0) {
    DebugTraceA("audio decoder: setting up the resampler failed (%d Hz, %d channels)", frame->sample_rate, channels);
    swr_free(&m_resampler);
    return false;
  }
  m_inRate = frame->sample_rate;
  m_inFormat = frame->format;
  m_inChannels = channels;
  return true;
}
