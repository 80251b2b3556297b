#pragma once

#include <string>

// MD5 of a byte string as 32 lowercase hexadecimal digits (leading zeros kept),
// the form used for request signatures, cache keys and result file names.
std::string ComputeMd5Hex(const std::string& bytes);
// The same digits as wide text.
std::wstring ComputeMd5HexW(const std::string& bytes);
