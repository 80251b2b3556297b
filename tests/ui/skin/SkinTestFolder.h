#pragma once

// A scratch folder set as the skin folder (plain files, no archive) for one
// test; the previous skin source comes back afterwards.
#include <string>

#include "tests/support/ScratchFolder.h"
#include "ui/skin/SkinFile.h"

class SkinTestFolder {
 public:
  SkinTestFolder() {
    Trellis::UISkinSource& source = Trellis::GetSkinSource();
    m_savedPath = source.resourcePath;
    m_savedZip = source.zipName;
    source.resourcePath.AssignText(m_folder.path().c_str());
    source.zipName.Clear();
  }
  ~SkinTestFolder() {
    Trellis::UISkinSource& source = Trellis::GetSkinSource();
    source.resourcePath = m_savedPath;
    source.zipName = m_savedZip;
  }
  const std::wstring& path() const { return m_folder.path(); }
  // Writes a file of these bytes into the folder.
  bool Write(const std::wstring& name, const std::string& bytes) const {
    return ScratchFolder::WriteFileBytes(m_folder / name, bytes);
  }

 private:
  ScratchFolder m_folder;
  Trellis::CUIString m_savedPath;
  Trellis::CUIString m_savedZip;
};
