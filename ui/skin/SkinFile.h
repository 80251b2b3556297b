#pragma once
// The skin source of the process (folder or archive) and the readers that
// load one skin file or one disk file into a byte block the caller owns.

#include <cstddef>

#include "core/base/portable/ByteBuffer.h"
#include "ui/base/portable/UIString.h"

namespace Trellis {

struct ZipHandle;

// The process-wide skin source: where skin files and images are read from.
// The window manager's skin settings (skin folder, skin archive name, the
// archive it keeps open) are stored here, set once at start-up and by the
// first skinned window, read by every loader on the UI thread.
struct UISkinSource {
  CUIString resourcePath;          // skin folder, ending in a backslash unless empty
  CUIString zipName;               // empty: plain files; "membuffer": an archive in memory
  bool zipCached = true;           // the archive is kept open in zipHandle
  ZipHandle* zipHandle = nullptr;  // the archive kept open; opened and closed by the window manager
};
UISkinSource& GetSkinSource();

// The skin readers' byte block: the program's one byte buffer (malloc'ed,
// 0-terminated, frees itself).
using UIByteBuffer = ::ByteBuffer;

// Reads the whole skin file `name`: from the skin folder when no archive is
// set, else the entry of that name (letter case ignored) from the skin
// archive. Returns null on success, else the reason: "Error opening file",
// "File is empty", "File too large" (above maxBytes), "Could not read file",
// "Error opening zip file", "Could not find ziped file", "Could not unzip file".
const wchar_t* ReadSkinFile(const wchar_t* name, size_t maxBytes, UIByteBuffer& bytes);

// Reads a whole file by its path, with the same reasons as ReadSkinFile.
const wchar_t* ReadWholeFile(const wchar_t* path, size_t maxBytes, UIByteBuffer& bytes);

}  // namespace Trellis
