#include "core/media/MediaTools.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include "core/base/DebugTrace.h"
#include "core/base/TextConversion.h"
#include "core/media/portable/DurationText.h"

int64_t GetMediaDurationMicros(const std::wstring& path) {
  AVFormatContext* context = avformat_alloc_context();
  if (context == nullptr) return -1;
  const std::string utf8Path = WideToUtf8(path);
  if (avformat_open_input(&context, utf8Path.c_str(), nullptr, nullptr) < 0) return -1;  // frees the context
  int64_t micros = -1;
  if (avformat_find_stream_info(context, nullptr) < 0) {
    DebugTrace(L"Cannot find stream information: %ls", path.c_str());
  } else if (context->duration != AV_NOPTS_VALUE && context->duration >= 0) {
    micros = context->duration;
  }
  avformat_close_input(&context);
  return micros;
}

int32_t GetMediaDurationSeconds(const std::wstring& path) {
  const int64_t micros = GetMediaDurationMicros(path);
  return micros < 0 ? 0 : static_cast<int32_t>(micros / 1000000);
}

bool GetMediaDurationText(const std::wstring& path, std::wstring& text) {
  const int64_t micros = GetMediaDurationMicros(path);
  if (micros < 0) return false;
  text = FormatMediaDuration(micros);
  return true;
}
