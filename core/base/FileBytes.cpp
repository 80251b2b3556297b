#include "core/base/FileBytes.h"

#include "core/base/ScopedHandle.h"

bool WriteAllBytes(HANDLE file, const void* bytes, size_t size, DWORD* error) {
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    const DWORD piece = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD done = 0;
    if (!WriteFile(file, at, piece, &done, nullptr)) {
      if (error != nullptr) *error = GetLastError();
      return false;
    }
    if (done == 0) {
      // A write that moves nothing and reports no error would loop forever;
      // there is no system code to give for it.
      if (error != nullptr) *error = 0;
      return false;
    }
    at += done;
    size -= done;
  }
  if (error != nullptr) *error = 0;
  return true;
}

FileReadResult ReadWholeFile(const std::wstring& path, size_t maxBytes, ByteBuffer& bytes, DWORD* error) {
  bytes = ByteBuffer();
  if (error != nullptr) *error = 0;
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (error != nullptr) *error = GetLastError();
    return FileReadResult::kCannotOpen;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) {
    if (error != nullptr) *error = GetLastError();
    return FileReadResult::kCannotRead;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return FileReadResult::kTooLarge;
  if (!bytes.Allocate(static_cast<size_t>(size.QuadPart))) {
    if (error != nullptr) *error = ERROR_NOT_ENOUGH_MEMORY;
    return FileReadResult::kCannotRead;
  }
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t left = bytes.size() - pos;
    const DWORD piece = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD done = 0;
    if (!ReadFile(file.Get(), bytes.data() + pos, piece, &done, nullptr) || done == 0) {
      // A file that shrank while being read ends early: also a failed read.
      if (error != nullptr) *error = done == 0 && GetLastError() == NO_ERROR ? ERROR_HANDLE_EOF : GetLastError();
      bytes = ByteBuffer();
      return FileReadResult::kCannotRead;
    }
    pos += done;
  }
  return FileReadResult::kOk;
}

bool WriteFileBytes(const std::wstring& path, const void* bytes, size_t size, DWORD* error) {
  // An existing file is written over and then cut at the end of the new
  // bytes, not emptied first: emptying a file that is then written again
  // makes the file system flush it at its close (most of a millisecond).
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    if (error != nullptr) *error = GetLastError();
    return false;
  }
  const bool written = WriteAllBytes(file.Get(), bytes, size, error);
  // Also after a failed write: what is left is only what this write wrote.
  if (!SetEndOfFile(file.Get())) {
    if (written && error != nullptr) *error = GetLastError();
    return false;
  }
  return written;
}

bool WriteFileReplacing(const std::wstring& path, const void* bytes, size_t size, const std::wstring& temporarySuffix,
                        DWORD* error) {
  const std::wstring temporary = path + temporarySuffix;
  bool ok = false;
  DWORD code = 0;
  {
    OwnedHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      if (error != nullptr) *error = GetLastError();
      return false;
    }
    ok = WriteAllBytes(file.Get(), bytes, size, &code);
    if (ok && !FlushFileBuffers(file.Get())) ok = false, code = GetLastError();
    // The handle must be closed before the rename; a failed close loses the write.
    if (ok && !CloseHandle(file.Release())) ok = false, code = GetLastError();
  }
  if (ok && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    code = GetLastError();
  }
  if (!ok) {
    DeleteFileW(temporary.c_str());
    if (error != nullptr) *error = code;
    SetLastError(code);
  }
  return ok;
}
