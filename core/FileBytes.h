#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Creates or replaces a file (exclusive access, normal attributes) with
// exactly these bytes, in one write. False when the file cannot be created or
// the write falls short; `error` then receives the system's error code.
bool WriteFileBytes(const std::wstring& path, const void* bytes, size_t size, DWORD* error = nullptr);
