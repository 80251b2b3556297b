#include "ui/skin/SkinFile.h"

#include <windows.h>

#include <cstdlib>

#include "ui/skin/ZipArchive.h"

namespace Trellis {

UISkinSource& GetSkinSource() {
  static UISkinSource source;
  return source;
}

UIByteBuffer::~UIByteBuffer() { std::free(m_data); }

bool UIByteBuffer::Allocate(size_t size) {
  std::free(m_data);
  m_size = 0;
  m_data = static_cast<unsigned char*>(std::malloc(size == 0 ? 1 : size));
  if (m_data == nullptr) return false;
  m_size = size;
  return true;
}

const wchar_t* ReadWholeFile(const wchar_t* path, size_t maxBytes, UIByteBuffer& bytes) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return L"Error opening file";
  const wchar_t* error = nullptr;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  DWORD read = 0;
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    error = L"Could not read file";
  } else if (size == 0 && high == 0) {
    error = L"File is empty";
  } else if (high != 0 || size > maxBytes) {
    error = L"File too large";
  } else if (!bytes.Allocate(size)) {
    error = L"Could not read file";
  } else if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) {
    error = L"Could not read file";
  }
  CloseHandle(file);
  return error;
}

const wchar_t* ReadSkinFile(const wchar_t* name, size_t maxBytes, UIByteBuffer& bytes) {
  const UISkinSource& source = GetSkinSource();
  if (source.zipName.IsEmpty()) {
    const CUIString path = source.resourcePath.ConcatText(name);
    return ReadWholeFile(path.GetText(), maxBytes, bytes);
  }
  // The archive kept open by the window manager, or the archive file opened
  // for this read only.
  ZipHandle* archive = source.zipCached ? source.zipHandle : nullptr;
  const bool openedHere = archive == nullptr;
  if (openedHere) {
    const CUIString path = source.resourcePath.ConcatText(source.zipName.GetText());
    archive = ZipOpenArchive(path.GetText(), 0, ZipKindFile);
    if (archive == nullptr) return L"Error opening zip file";
  }
  const wchar_t* error = nullptr;
  int index = -1;
  ZipEntry entry;
  if (ZipFindEntry(archive, name, true, &index, &entry) != kZipOk) {
    error = L"Could not find ziped file";
  } else if (entry.unpackedSize == 0) {
    error = L"File is empty";
  } else if (entry.unpackedSize < 0 || static_cast<unsigned long>(entry.unpackedSize) > maxBytes) {
    error = L"File too large";
  } else if (!bytes.Allocate(static_cast<size_t>(entry.unpackedSize))) {
    error = L"Could not unzip file";
  } else {
    const ZipResult result =
        ZipExtractEntry(archive, index, bytes.data(), static_cast<DWORD>(bytes.size()), ZipKindMemory);
    if (result != kZipOk && result != kZipMoreData) error = L"Could not unzip file";
  }
  if (openedHere) ZipCloseArchive(archive);
  return error;
}

}  // namespace Trellis
