#include "ui/skin/SkinFile.h"

#include <windows.h>

#include "core/base/BenchMemory.h"
#include "core/base/FileBytes.h"
#include "ui/skin/ZipArchive.h"
#include "ui/skin/portable/LoadProbe.h"

namespace Trellis {

UISkinSource& GetSkinSource() {
  static UISkinSource source;
  return source;
}

const wchar_t* ReadWholeFile(const wchar_t* path, size_t maxBytes, UIByteBuffer& bytes) {
  switch (::ReadWholeFile(path, maxBytes, bytes)) {
    case FileReadResult::kOk:
      return bytes.empty() ? L"File is empty" : nullptr;
    case FileReadResult::kCannotOpen:
      return L"Error opening file";
    case FileReadResult::kTooLarge:
      return L"File too large";
    case FileReadResult::kCannotRead:
      break;
  }
  return L"Could not read file";
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
    UILoadStepScope step(kUILoadArchiveOpen);
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
    BenchAddCount("skin.extracted_bytes", entry.unpackedSize);
  }
  if (openedHere) ZipCloseArchive(archive);
  return error;
}

}  // namespace Trellis
