#pragma once

// Reads a REG_SZ or REG_EXPAND_SZ value as narrow text (not expanded). A value
// stored without its terminating NUL, or with trailing NULs, reads as the
// characters it holds. False when the key or value is missing or of another type.

#include <windows.h>

#include <string>

bool ReadRegistryText(HKEY root, const std::string& subKey, const std::string& valueName, std::string& text);
