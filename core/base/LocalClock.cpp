#include "core/base/LocalClock.h"

#include <windows.h>

#include <ctime>

uint64_t GetLocalTimeMs() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::tm fields{};
  fields.tm_year = now.wYear - 1900;
  fields.tm_mon = now.wMonth - 1;
  fields.tm_mday = now.wDay;
  fields.tm_hour = now.wHour;
  fields.tm_min = now.wMinute;
  fields.tm_sec = now.wSecond;
  fields.tm_isdst = 0;
  const std::time_t seconds = std::mktime(&fields);
  if (seconds == static_cast<std::time_t>(-1)) return now.wMilliseconds;  // outside the C library's range
  return static_cast<uint64_t>(seconds) * 1000 + now.wMilliseconds;
}

int64_t GetTodayDateNumber() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return static_cast<int64_t>(now.wYear) * 10000 + now.wMonth * 100 + now.wDay;
}
