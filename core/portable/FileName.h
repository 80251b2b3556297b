#pragma once

#include <string>

// The file name of a Windows path without its folder and its extension: the
// characters between the last "\" and the last ".". Empty when the name has
// no extension (or the last point lies in a folder name).
std::wstring GetFileBaseName(const std::wstring& path);
