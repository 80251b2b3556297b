#pragma once

// A media duration in microseconds as "HH:MM:SS". Only the last 5 ms round
// up: 59.995 s shows as 00:01:00, 59.994 s as 00:00:59.

#include <cstdint>
#include <string>

std::wstring FormatMediaDuration(int64_t micros);
