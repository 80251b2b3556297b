#pragma once

// Media durations read by libavformat (no decoding). Paths are wide and may
// hold any character: they reach libavformat as UTF-8, which is what it
// expects on Windows.

#include <cstdint>
#include <string>

// The duration in microseconds, or -1 when the file has no readable duration.
int64_t GetMediaDurationMicros(const std::wstring& path);

// The duration in whole seconds (truncated), 0 when it cannot be read.
int32_t GetMediaDurationSeconds(const std::wstring& path);

// The duration as "HH:MM:SS", rounded up only in its last 5 ms (59.995 s shows
// as 00:01:00). False, and `text` untouched, when it cannot be read.
bool GetMediaDurationText(const std::wstring& path, std::wstring& text);
