#pragma once

// The SMBIOS system UUIDs of this machine ("%08x" x 4), at most `capacity`:
// the raw SMBIOS table from the firmware-table query, or from WMI's
// "MSSMBios_RawSMBiosTables" where that query is missing or fails. False (and
// no UUIDs) when no table can be read.

#include <cstddef>
#include <string>
#include <vector>

bool GetSmbiosSystemUuids(std::vector<std::string>& uuids, size_t capacity);
