#pragma once

// A fresh folder under the temporary folder for one test, removed with all it
// holds when the test ends.
#include "tests/support/TestFiles.h"

#include <windows.h>

#include <string>
#include <vector>

class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    path_ = std::wstring(temp) + L"quillora_client_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(InterlockedIncrement(&counter)) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~ScratchFolder() { RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder, with its trailing backslash.
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + name; }

  // Whole-file helpers (see tests/support/TestFiles.h).
  static bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    return testfiles::WriteFileBytes(path, bytes);
  }
  // The file's bytes; empty when it cannot be read.
  static std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    return testfiles::ReadFileBytes(path, &bytes) ? bytes : std::string();
  }
  static bool Exists(const std::wstring& path) { return testfiles::Exists(path); }

 private:
  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(folder + name + L"\\");
        } else {
          SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW((folder + name).c_str());
        }
      } while (FindNextFileW(find, &entry));
      FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
  }

  std::wstring path_;
};
