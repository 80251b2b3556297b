#pragma once

// Clock helpers that name result files and time-stamp uploads.

#include <cstdint>

// The local wall-clock time as milliseconds since 1970: the local date and
// time converted by the C library's local-time rules (mktime), taken as
// standard time (no daylight-saving shift).
uint64_t GetLocalTimeMs();

// Today's local date as the decimal number YYYYMMDD (5 March 2026: 20260305).
int64_t GetTodayDateNumber();
