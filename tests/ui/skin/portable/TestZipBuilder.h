#pragma once

// Builds ZIP archives byte by byte for tests, with zlib for deflated entries,
// so a test can place every field (and break any of them) itself.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

struct TestZipEntry {
  std::string name;
  std::string data;
  uint16_t method = 8;                 // 0 stored, 8 deflated
  uint16_t versionMadeBy = 0x031E;     // Unix host
  uint32_t externalAttributes = 0100644u << 16;
  uint16_t dosTime = (7 << 11) | (8 << 5) | 5;
  uint16_t dosDate = ((2024 - 1980) << 9) | (5 << 5) | 6;
  std::string localExtra;
  uint16_t flags = 0;
  // Damage applied while building:
  bool wrongCrc = false;               // central and local CRC both off by one
  long compressedCut = 0;              // bytes dropped from the end of the compressed data (sizes follow)
  bool localMethodMismatch = false;
  std::string rawCompressed;           // used as the compressed data when not empty
};

// The bytes of a fixture array as a string.
template <size_t N>
std::string Bytes(const unsigned char (&data)[N]) {
  return std::string(reinterpret_cast<const char*>(data), N);
}

inline std::string RawDeflate(const std::string& data) {
  z_stream z = {};
  deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(&out[0]);
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

class TestZipBuilder {
 public:
  void Add(const TestZipEntry& entry) { m_entries.push_back(entry); }
  // The archive after `prefix`; with absoluteOffsets the stored offsets count
  // from the start of the prefix (as a tool that appends to a file writes
  // them), else from the archive's own start.
  std::string Build(const std::string& prefix = "", bool absoluteOffsets = false) const {
    std::string local, central;
    const uint32_t base = absoluteOffsets ? static_cast<uint32_t>(prefix.size()) : 0;
    for (const TestZipEntry& e : m_entries) {
      std::string compressed = !e.rawCompressed.empty() ? e.rawCompressed : e.method == 8 ? RawDeflate(e.data) : e.data;
      if (e.compressedCut > 0) compressed.resize(compressed.size() - static_cast<size_t>(e.compressedCut));
      uint32_t crc = static_cast<uint32_t>(
          crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
      if (e.wrongCrc) crc += 1;
      const uint32_t offset = base + static_cast<uint32_t>(local.size());
      Put32(local, 0x04034b50);
      Put16(local, 20);
      Put16(local, e.flags);
      Put16(local, e.localMethodMismatch ? static_cast<uint16_t>(8 - e.method) : e.method);
      Put16(local, e.dosTime);
      Put16(local, e.dosDate);
      Put32(local, crc);
      Put32(local, static_cast<uint32_t>(compressed.size()));
      Put32(local, static_cast<uint32_t>(e.data.size()));
      Put16(local, static_cast<uint16_t>(e.name.size()));
      Put16(local, static_cast<uint16_t>(e.localExtra.size()));
      local += e.name + e.localExtra + compressed;

      Put32(central, 0x02014b50);
      Put16(central, e.versionMadeBy);
      Put16(central, 20);
      Put16(central, e.flags);
      Put16(central, e.method);
      Put16(central, e.dosTime);
      Put16(central, e.dosDate);
      Put32(central, crc);
      Put32(central, static_cast<uint32_t>(compressed.size()));
      Put32(central, static_cast<uint32_t>(e.data.size()));
      Put16(central, static_cast<uint16_t>(e.name.size()));
      Put16(central, 0);
      Put16(central, 0);
      Put16(central, 0);
      Put16(central, 0);
      Put32(central, e.externalAttributes);
      Put32(central, offset);
      central += e.name;
    }
    std::string end;
    Put32(end, 0x06054b50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, static_cast<uint16_t>(m_entries.size()));
    Put16(end, static_cast<uint16_t>(m_entries.size()));
    Put32(end, static_cast<uint32_t>(central.size()));
    Put32(end, base + static_cast<uint32_t>(local.size()));
    Put16(end, 0);
    return prefix + local + central + end;
  }

  static void Put16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
  }
  static void Put32(std::string& out, uint32_t value) {
    Put16(out, static_cast<uint16_t>(value & 0xFFFF));
    Put16(out, static_cast<uint16_t>(value >> 16));
  }

 private:
  std::vector<TestZipEntry> m_entries;
};
