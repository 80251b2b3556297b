#include "core/base/LocalClock.h"

#include <windows.h>

#include <ctime>
#include <mutex>

namespace {

// mktime of the local fields with the daylight-saving flag 0.
std::time_t LocalFieldsToSeconds(const SYSTEMTIME& now, int minute, int second) {
  std::tm fields{};
  fields.tm_year = now.wYear - 1900;
  fields.tm_mon = now.wMonth - 1;
  fields.tm_mday = now.wDay;
  fields.tm_hour = now.wHour;
  fields.tm_min = minute;
  fields.tm_sec = second;
  fields.tm_isdst = 0;
  return std::mktime(&fields);
}

}  // namespace

uint64_t GetLocalTimeMs() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  // mktime reads the time zone on every call (a millisecond under Wine, on
  // the way of every conversion). With the daylight-saving flag 0 its result
  // moves with the minutes and seconds alone within one hour of local time,
  // so the hour's start is converted once and the rest added.
  struct HourStart {
    WORD year = 0, month = 0, day = 0, hour = 0;
    std::time_t seconds = -1;
  };
  static std::mutex lock;
  static HourStart cached;
  std::time_t hourStart = -1;
  {
    std::lock_guard<std::mutex> hold(lock);
    if (cached.seconds != -1 && cached.year == now.wYear && cached.month == now.wMonth && cached.day == now.wDay &&
        cached.hour == now.wHour) {
      hourStart = cached.seconds;
    }
  }
  if (hourStart == -1) {
    hourStart = LocalFieldsToSeconds(now, 0, 0);
    if (hourStart == static_cast<std::time_t>(-1)) {
      // Outside the C library's range (at its edge the hour's start may be while the moment is not).
      const std::time_t seconds = LocalFieldsToSeconds(now, now.wMinute, now.wSecond);
      if (seconds == static_cast<std::time_t>(-1)) return now.wMilliseconds;
      return static_cast<uint64_t>(seconds) * 1000 + now.wMilliseconds;
    }
    std::lock_guard<std::mutex> hold(lock);
    cached = HourStart{now.wYear, now.wMonth, now.wDay, now.wHour, hourStart};
  }
  const uint64_t seconds = static_cast<uint64_t>(hourStart) + now.wMinute * 60u + now.wSecond;
  return seconds * 1000 + now.wMilliseconds;
}

int64_t GetTodayDateNumber() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return static_cast<int64_t>(now.wYear) * 10000 + now.wMonth * 100 + now.wDay;
}
