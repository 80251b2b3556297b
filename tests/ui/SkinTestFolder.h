#pragma once

// A fresh folder under the temporary folder, set as the skin folder (plain
// files) for one test and removed with its files afterwards.
#include <windows.h>

#include <string>

#include "ui/SkinFile.h"

class SkinTestFolder {
 public:
  SkinTestFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + L"trellis-skin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(++Counter()) + L"\\";
    CreateDirectoryW(m_path.c_str(), nullptr);
    Trellis::UISkinSource& source = Trellis::GetSkinSource();
    m_savedPath = source.resourcePath;
    m_savedZip = source.zipName;
    source.resourcePath.AssignText(m_path.c_str());
    source.zipName.Clear();
  }
  ~SkinTestFolder() {
    Trellis::UISkinSource& source = Trellis::GetSkinSource();
    source.resourcePath = m_savedPath;
    source.zipName = m_savedZip;
    RemoveTree(m_path);
  }
  const std::wstring& path() const { return m_path; }
  // Writes a file of these bytes into the folder.
  bool Write(const std::wstring& name, const std::string& bytes) const {
    HANDLE file = CreateFileW((m_path + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
  }

 private:
  // Removes a folder with everything in it.
  static void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(folder + name + L"\\");
        } else {
          SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW((folder + name).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }
  static int& Counter() {
    static int counter = 0;
    return counter;
  }
  std::wstring m_path;
  Trellis::CUIString m_savedPath;
  Trellis::CUIString m_savedZip;
};
