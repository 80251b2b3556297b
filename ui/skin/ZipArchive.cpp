#include "ui/skin/ZipArchive.h"

#include <memory>
#include <new>
#include <string>
#include <utility>

#include "core/base/ScopedHandle.h"
#include "ui/skin/portable/ZipPath.h"
#include "ui/skin/portable/ZipReader.h"

namespace Trellis {

// --- Sources, names, times ---

namespace {

ZipResult lastResult = kZipOk;  // the program-wide last result (UI thread only)

ZipResult Report(ZipResult result) {
  lastResult = result;
  return result;
}

// An archive in a disk file, from the file position it had when opened. Owns
// the file handle, so it cannot be copied (a copy would close it twice).
class ZipFileSource : public ZipSource {
 public:
  ZipFileSource(OwnedHandle file, uint64_t start, uint64_t size)
      : m_file(std::move(file)), m_start(start), m_size(size) {}
  uint64_t GetSize() const override { return m_size; }
  bool ReadAt(uint64_t offset, void* buffer, size_t length) override {
    if (offset > m_size || length > m_size - offset) return false;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(m_start + offset);
    if (!SetFilePointerEx(m_file.Get(), position, nullptr, FILE_BEGIN)) return false;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (length > 0) {
      const DWORD chunk = length > 0x10000000u ? 0x10000000u : static_cast<DWORD>(length);
      DWORD read = 0;
      if (!ReadFile(m_file.Get(), out, chunk, &read, nullptr) || read != chunk) return false;
      out += read;
      length -= read;
    }
    return true;
  }

 private:
  OwnedHandle m_file;
  uint64_t m_start;
  uint64_t m_size;
};

// Archive names are narrow text in the ANSI code page.
class ZipAnsiNameCodec : public ZipNameCodec {
 public:
  void ToArchiveName(const UIChar* name, char* out, size_t size) const override {
    const int written = WideCharToMultiByte(CP_ACP, 0, name, -1, out, static_cast<int>(size), nullptr, nullptr);
    if (written == 0) {
      // Too long for the buffer: keep the characters that fit whole.
      out[0] = 0;
      std::wstring cut(name);
      while (!cut.empty() && WideCharToMultiByte(CP_ACP, 0, cut.c_str(), -1, out, static_cast<int>(size), nullptr,
                                                 nullptr) == 0) {
        cut.pop_back();
      }
    }
  }
  void FromArchiveName(const char* name, UIChar* out, size_t size) const override {
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, out, static_cast<int>(size)) == 0) out[size - 1] = 0;
  }
};

const ZipAnsiNameCodec ansiCodec;

FILETIME UnixTimeToFileTime(int32_t seconds) {
  // 100-ns steps since 1601-01-01 UTC.
  const ULONGLONG ticks = static_cast<ULONGLONG>(static_cast<LONGLONG>(seconds) + 11644473600LL) * 10000000ULL;
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(ticks);
  time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return time;
}

void ToZipEntry(const ZipEntryInfo& info, ZipEntry* entry) {
  entry->index = info.index;
  static_assert(sizeof(entry->name) == sizeof(info.name), "same name field");
  memcpy(entry->name, info.name, sizeof(entry->name));
  entry->attributes = info.attributes;
  FILETIME dos = {};
  DosDateTimeToFileTime(info.dosDate, info.dosTime, &dos);
  entry->modificationTime = (info.unixTimeFlags & 1) ? UnixTimeToFileTime(info.unixModified) : dos;
  entry->accessTime = (info.unixTimeFlags & 2) ? UnixTimeToFileTime(info.unixAccessed) : dos;
  entry->creationTime = (info.unixTimeFlags & 4) ? UnixTimeToFileTime(info.unixCreated) : dos;
  entry->compressedSize = info.compressedSize;
  entry->unpackedSize = info.unpackedSize;
}

// Writes an extracted entry to a file handle.
class ZipHandleSink : public ZipSink {
 public:
  explicit ZipHandleSink(HANDLE file) : m_file(file) {}
  bool Write(const void* data, size_t length) override {
    DWORD written = 0;
    return WriteFile(m_file, data, static_cast<DWORD>(length), &written, nullptr) && written == length;
  }

 private:
  HANDLE m_file;  // borrowed
};

}  // namespace

// --- Archive state ---

class ZipArchiveState {
 public:
  ZipArchiveState(std::unique_ptr<ZipReader> reader, const std::wstring& baseFolder)
      : reader(std::move(reader)), baseFolder(baseFolder) {}
  std::unique_ptr<ZipReader> reader;
  std::wstring baseFolder;  // the current folder at open time, with "\" appended
};

namespace {

ZipResult Resolve(ZipHandle* handle, ZipArchiveState** state) {
  if (handle == nullptr) return kZipBadArgument;
  if (handle->tag != 1 || handle->state == nullptr) return kZipNotZipHandle;
  *state = handle->state;
  return kZipOk;
}

// Makes every folder of a contained relative path under the base folder, up to
// its last separator.
void CreateFolders(const std::wstring& baseFolder, const std::wstring& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == L'/' || path[i] == L'\\') CreateDirectoryW((baseFolder + path.substr(0, i)).c_str(), nullptr);
  }
}

ZipResult ExtractToFile(ZipArchiveState& state, int index, const wchar_t* target) {
  ZipEntryInfo info;
  const ZipResult described = state.reader->GetEntry(index, &info);
  if (described != kZipOk) return described;
  ZipEntry entry;
  ToZipEntry(info, &entry);
  if (info.attributes & 0x10) {
    // A folder entry makes the folder its own name gives, inside the base folder.
    if (!IsContainedRelativePath(info.name)) return kZipCannotOpenFile;
    std::wstring folder(info.name);
    if (folder.back() != L'/' && folder.back() != L'\\') folder += L'\\';
    CreateFolders(state.baseFolder, folder);
    return kZipOk;
  }
  if (!IsContainedRelativePath(target)) return kZipCannotOpenFile;
  CreateFolders(state.baseFolder, target);
  const std::wstring path = state.baseFolder + target;
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, info.attributes, nullptr));
  if (!file) return kZipCannotOpenFile;
  ZipHandleSink sink(file.Get());
  const ZipResult result = state.reader->ExtractToSink(index, sink);
  if (result == kZipOk) SetFileTime(file.Get(), &entry.creationTime, &entry.accessTime, &entry.modificationTime);
  return result;
}

}  // namespace

// --- API ---

ZipHandle* ZipOpenArchive(const void* source, DWORD length, int kind) {
  std::unique_ptr<ZipSource> bytes;
  if (kind == ZipKindHandle) {
    OwnedHandle duplicate;
    if (!DuplicateHandle(GetCurrentProcess(), const_cast<HANDLE>(source), GetCurrentProcess(), duplicate.Receive(), 0,
                         FALSE, DUPLICATE_SAME_ACCESS)) {
      Report(kZipCannotDuplicate);
      return nullptr;
    }
    LARGE_INTEGER start = {}, size = {}, zero = {};
    if (GetFileType(duplicate.Get()) != FILE_TYPE_DISK || !SetFilePointerEx(duplicate.Get(), zero, &start, FILE_CURRENT) ||
        !GetFileSizeEx(duplicate.Get(), &size)) {
      Report(kZipNotDiskFile);
      return nullptr;
    }
    const uint64_t available = size.QuadPart > start.QuadPart ? static_cast<uint64_t>(size.QuadPart - start.QuadPart) : 0;
    bytes.reset(new (std::nothrow) ZipFileSource(std::move(duplicate), static_cast<uint64_t>(start.QuadPart), available));
  } else if (kind == ZipKindFile) {
    if (source == nullptr) {
      Report(kZipBadArgument);
      return nullptr;
    }
    OwnedHandle file(CreateFileW(static_cast<const wchar_t*>(source), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.Get(), &size)) {
      Report(kZipCannotOpenFile);
      return nullptr;
    }
    bytes.reset(new (std::nothrow) ZipFileSource(std::move(file), 0, static_cast<uint64_t>(size.QuadPart)));
  } else if (kind == ZipKindMemory && source != nullptr) {
    bytes.reset(new (std::nothrow) ZipMemorySource(source, length));
  } else {
    Report(kZipBadArgument);
    return nullptr;
  }
  if (!bytes) {
    Report(kZipBadArgument);
    return nullptr;
  }
  ZipResult opened = kZipOk;
  std::unique_ptr<ZipReader> reader = ZipReader::Open(std::move(bytes), &ansiCodec, &opened);
  if (!reader) {
    Report(opened);
    return nullptr;
  }
  wchar_t current[MAX_PATH] = {};
  const DWORD currentLength = GetCurrentDirectoryW(MAX_PATH - 1, current);
  std::wstring baseFolder = currentLength > 0 && currentLength < MAX_PATH - 1 ? current : L"";
  if (!baseFolder.empty() && baseFolder.back() != L'\\') baseFolder += L'\\';
  ZipArchiveState* state = new (std::nothrow) ZipArchiveState(std::move(reader), baseFolder);
  ZipHandle* handle = state != nullptr ? new (std::nothrow) ZipHandle{1, state} : nullptr;
  if (handle == nullptr) {
    delete state;
    Report(kZipBadArgument);
    return nullptr;
  }
  Report(kZipOk);
  return handle;
}

ZipResult ZipCloseArchive(ZipHandle* handle) {
  ZipArchiveState* state;
  const ZipResult resolved = Resolve(handle, &state);
  if (resolved != kZipOk) return Report(resolved);
  delete state;
  delete handle;
  return Report(kZipOk);
}

ZipResult ZipFindEntry(ZipHandle* handle, const wchar_t* name, bool ignoreCase, int* index, ZipEntry* entry) {
  ZipArchiveState* state;
  const ZipResult resolved = Resolve(handle, &state);
  if (resolved != kZipOk) return Report(resolved);
  if (index == nullptr || entry == nullptr) return Report(kZipBadArgument);
  ZipEntryInfo info;
  const ZipResult found = state->reader->FindEntry(name, ignoreCase, index, &info);
  if (found == kZipOk) ToZipEntry(info, entry);
  return Report(found);
}

ZipResult ZipGetEntry(ZipHandle* handle, int index, ZipEntry* entry) {
  ZipArchiveState* state;
  const ZipResult resolved = Resolve(handle, &state);
  if (resolved != kZipOk) return Report(resolved);
  if (entry == nullptr) return Report(kZipBadArgument);
  ZipEntryInfo info;
  const ZipResult described = state->reader->GetEntry(index, &info);
  if (described == kZipOk) ToZipEntry(info, entry);
  return Report(described);
}

ZipResult ZipExtractEntry(ZipHandle* handle, int index, const void* target, DWORD length, int kind) {
  ZipArchiveState* state;
  const ZipResult resolved = Resolve(handle, &state);
  if (resolved != kZipOk) return Report(resolved);
  if (kind == ZipKindMemory) {
    return Report(state->reader->ExtractToMemory(index, const_cast<void*>(target), target == nullptr ? 0 : length));
  }
  if (index < 0 || index >= state->reader->GetEntryCount()) return Report(kZipBadArgument);
  if (kind == ZipKindHandle) {
    ZipEntryInfo info;
    const ZipResult described = state->reader->GetEntry(index, &info);
    if (described != kZipOk) return Report(described);
    if (info.attributes & 0x10) return Report(kZipOk);  // a folder writes nothing to a handle
    ZipHandleSink sink(const_cast<HANDLE>(target));
    const ZipResult result = state->reader->ExtractToSink(index, sink);
    if (result == kZipOk && GetFileType(const_cast<HANDLE>(target)) == FILE_TYPE_DISK) {
      ZipEntry entry;
      ToZipEntry(info, &entry);
      SetFileTime(const_cast<HANDLE>(target), &entry.creationTime, &entry.accessTime, &entry.modificationTime);
    }
    return Report(result);
  }
  if (kind == ZipKindFile && target != nullptr) {
    return Report(ExtractToFile(*state, index, static_cast<const wchar_t*>(target)));
  }
  return Report(kZipBadArgument);
}

ZipResult ZipGetLastResult() { return lastResult; }

}  // namespace Trellis
