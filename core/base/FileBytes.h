#pragma once

// Whole-file reading and writing, shared by the core, the skin reader and
// Pagemint.exe (this unit needs nothing but the system).

#include <windows.h>

#include <cstddef>
#include <string>

#include "core/base/portable/ByteBuffer.h"

enum class FileReadResult {
  kOk,
  kCannotOpen,  // missing, a folder, or locked against reading
  kTooLarge,    // larger than the caller's limit; nothing read
  kCannotRead,  // the size or the bytes could not be read
};

// Reads a whole file (others may read it meanwhile) into `bytes`. A file
// larger than `maxBytes` is not read. On failure `bytes` is left empty and
// `error` (when given) receives the system's error code, or 0 for kTooLarge.
FileReadResult ReadWholeFile(const std::wstring& path, size_t maxBytes, ByteBuffer& bytes, DWORD* error = nullptr);

// Writes every byte at the file's position, in as many writes as it takes.
// On failure `error` receives the system's error code, or 0 when the system
// reported none (a write that moved nothing), never a stale one.
bool WriteAllBytes(HANDLE file, const void* bytes, size_t size, DWORD* error);

// Creates a file, or writes over an existing one, so that it holds exactly
// these bytes (exclusive access while writing). False when the file cannot be
// created or written; `error` then receives the system's error code, or 0
// when there is none.
bool WriteFileBytes(const std::wstring& path, const void* bytes, size_t size, DWORD* error = nullptr);

// Writes the bytes to `path` + `temporarySuffix` first, flushes them, and
// renames that file over `path`, so a reader never sees half a file and a
// failed write leaves the previous file as it was (the temporary file is then
// removed). `error` receives the system's error code on failure.
bool WriteFileReplacing(const std::wstring& path, const void* bytes, size_t size,
                        const std::wstring& temporarySuffix = L".tmp", DWORD* error = nullptr);
