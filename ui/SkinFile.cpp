#include "ui/SkinFile.h"

#include <windows.h>

#include <cstdlib>

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
  return L"Error opening zip file";
}

}  // namespace Trellis
