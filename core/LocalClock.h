#pragma once

#include <cstdint>

// Clock helpers that name result files and time-stamp uploads.

// The local wall-clock time as milliseconds since 1970, counting the local
// date and time as if they were UTC (no daylight-saving shift).
uint64_t GetLocalTimeMs();

// Today's local date as the decimal number YYYYMMDD (5 March 2026: 20260305).
int64_t GetTodayDateNumber();
