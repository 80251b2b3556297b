#include "core/media/portable/DurationText.h"

#include <cwchar>

std::wstring FormatMediaDuration(int64_t micros) {
  const int64_t s = (micros + 5000) / 1000000;
  wchar_t text[100];
  std::swprintf(text, 100, L"%02d:%02d:%02d", static_cast<int>(s / 3600), static_cast<int>(s / 60 - (s / 3600) * 60),
                static_cast<int>(s % 60));
  return text;
}
