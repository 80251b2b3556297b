#pragma once

// The system UUIDs of the type-1 structures of a raw SMBIOS table as the
// firmware-table query returns it: an 8-byte header (whose last 4 bytes give
// the data length) followed by the structures. Each UUID is printed as its 16
// bytes read as four little-endian words of 8 lower-case hex digits. Every
// structure length and string set is checked against the data size; a table
// that runs out stops the walk with what was found so far.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

std::vector<std::string> ParseSmbiosSystemUuids(const uint8_t* table, size_t size, size_t capacity);
