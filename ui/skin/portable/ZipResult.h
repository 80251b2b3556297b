#pragma once
// The result codes of the skin archive reader, one set for every layer.

#include <cstdint>

namespace Trellis {

// Result codes of the skin archive reader. Every archive call returns one and
// stores it as the program-wide last result.
using ZipResult = int32_t;

constexpr ZipResult kZipOk = 0;
constexpr ZipResult kZipCannotDuplicate = 0x100;       // the source handle cannot be duplicated
constexpr ZipResult kZipCannotOpenFile = 0x200;        // a file cannot be opened or created
constexpr ZipResult kZipWriteFailed = 0x400;           // writing an extracted file failed
constexpr ZipResult kZipNotFound = 0x500;              // entry not found
constexpr ZipResult kZipMoreData = 0x600;              // memory extraction delivered data; call again for more
constexpr ZipResult kZipHeaderMismatch = 0x700;        // the local header does not match the central record
constexpr ZipResult kZipExtraUnreadable = 0x800;       // the local extra field cannot be read
constexpr ZipResult kZipBadArgument = 0x10000;         // null handle, index out of range, unknown kind
constexpr ZipResult kZipNotZipHandle = 0x80000;        // the handle is not a zip handle
constexpr ZipResult kZipNotDiskFile = 0x2000000;       // a source handle is not a disk file
constexpr ZipResult kZipMemoryReadFailed = 0x5000000;  // reading entry data into memory failed

// Codes of the central-directory layer.
constexpr ZipResult kZipIoError = -1;             // a read or seek failed (also: no archive end record)
constexpr ZipResult kZipEndOfList = -100;         // past the last entry, or no current entry
constexpr ZipResult kZipBadParameter = -102;
constexpr ZipResult kZipBadArchive = -103;        // signature, method, size or data mismatch
constexpr ZipResult kZipOutOfMemory = -104;
constexpr ZipResult kZipCrcMismatch = -105;

}  // namespace Trellis
