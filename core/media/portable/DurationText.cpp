#include "core/media/portable/DurationText.h"

#include <cwchar>

std::wstring FormatMediaDuration(int64_t micros) {
  // Rounds at the last 5 ms without adding to `micros` itself, which would
  // overflow for durations near the largest 64-bit value.
  const int64_t s = micros >= 0 ? micros / 1000000 + (micros % 1000000 + 5000) / 1000000 : (micros + 5000) / 1000000;
  // Such durations have more hours than an int holds.
  const long long hours = static_cast<long long>(s / 3600);
  wchar_t text[100];
  std::swprintf(text, 100, L"%02lld:%02d:%02d", hours, static_cast<int>(s / 60 - (s / 3600) * 60),
                static_cast<int>(s % 60));
  return text;
}
