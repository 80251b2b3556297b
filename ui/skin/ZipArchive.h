#pragma once

// The skin archive reader's handle API: open an archive from a file handle, a
// file or memory, find entries, describe them and extract them to a file
// handle, a file or memory. Every call returns a result code (ZipResult.h)
// and stores it as the program-wide last result. UI thread only.
#include <windows.h>

#include "ui/skin/portable/ZipResult.h"

namespace Trellis {

class ZipArchiveState;

// A handle: tag 1 and the reader. A record with another tag is not a handle.
struct ZipHandle {
  uint32_t tag;
  ZipArchiveState* state;  // owned: freed by ZipCloseArchive
};

// Kinds of source and target.
enum ZipKind {
  ZipKindHandle = 1,  // a file handle (a source must be a disk file; it is duplicated)
  ZipKindFile = 2,    // a file name
  ZipKindMemory = 3,  // a memory block of the given length (a source is not copied)
};

// One entry as the API describes it.
struct ZipEntry {
  int index;
  wchar_t name[260];  // the archive's name through the ANSI code page
  DWORD attributes;
  FILETIME accessTime;
  FILETIME creationTime;
  FILETIME modificationTime;
  long compressedSize;
  long unpackedSize;
};

// Null on failure (the last result says why).
ZipHandle* ZipOpenArchive(const void* source, DWORD length, int kind);
ZipResult ZipCloseArchive(ZipHandle* handle);
// The first entry named `name` ('\' matches '/'; ASCII letter case ignored
// when ignoreCase): kZipOk with its index and record, or kZipNotFound with
// index -1 and the record untouched.
ZipResult ZipFindEntry(ZipHandle* handle, const wchar_t* name, bool ignoreCase, int* index, ZipEntry* entry);
// The entry's record; index -1 gives the number of entries in entry->index.
ZipResult ZipGetEntry(ZipHandle* handle, int index, ZipEntry* entry);
// Kind 1: the whole entry to the file handle (left open). Kind 2: to the file
// at that path under the folder that was current when the archive was opened
// (folders on the way are made; absolute paths and ".." are refused);
// a folder entry makes its own folder. Kind 3: one read of up to `length`
// bytes into memory, kZipMoreData while data came (call again with the same
// index for more), kZipOk at the end.
ZipResult ZipExtractEntry(ZipHandle* handle, int index, const void* target, DWORD length, int kind);
// The result of the last call.
ZipResult ZipGetLastResult();

}  // namespace Trellis
