#include "core/client/portable/SmbiosTable.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Builds a raw table the way the firmware-table query returns it.
class TableBuilder {
 public:
  TableBuilder() : m_bytes(8, 0) {}

  // A structure with `length` formatted bytes (type and length included) and strings.
  TableBuilder& Add(uint8_t type, uint8_t length, const std::vector<std::string>& strings = {}) {
    const size_t start = m_bytes.size();
    m_bytes.resize(start + length, 0);
    m_bytes[start] = type;
    if (length > 1) m_bytes[start + 1] = length;
    for (size_t i = 8; i < length && i < 24; ++i) m_bytes[start + i] = static_cast<uint8_t>(i - 8 + m_next);
    m_next += 0x10;
    for (const std::string& s : strings) m_bytes.insert(m_bytes.end(), s.c_str(), s.c_str() + s.size() + 1);
    if (strings.empty()) m_bytes.push_back(0);
    m_bytes.push_back(0);
    return *this;
  }
  TableBuilder& Raw(const std::vector<uint8_t>& raw) {
    m_bytes.insert(m_bytes.end(), raw.begin(), raw.end());
    return *this;
  }
  std::vector<uint8_t> Build(int lengthAdjust = 0) const {
    std::vector<uint8_t> table = m_bytes;
    const uint32_t length = static_cast<uint32_t>(table.size() - 8 + lengthAdjust);
    std::memcpy(&table[4], &length, 4);
    return table;
  }

 private:
  std::vector<uint8_t> m_bytes;
  uint8_t m_next = 0;
};

std::vector<std::string> Parse(const std::vector<uint8_t>& table, size_t capacity = 6) {
  return ParseSmbiosSystemUuids(table.data(), table.size(), capacity);
}

}  // namespace

TEST(SmbiosTable, ReadsTheSystemUuidAsFourLittleEndianWords) {
  // Structure 0 (firmware, with strings), structure 1 (system), end of table.
  std::vector<uint8_t> table =
      TableBuilder().Add(0, 0x18, {"Vendor", "1.0"}).Add(1, 0x1B, {"Maker", "Model"}).Add(127, 4).Build();
  // The second structure's UUID bytes are 0x10..0x1F.
  EXPECT_EQ(Parse(table), std::vector<std::string>{"13121110171615141b1a19181f1e1d1c"});
}

TEST(SmbiosTable, StopsAtTheCapacityAndSkipsShortSystemStructures) {
  std::vector<uint8_t> table = TableBuilder().Add(1, 8).Add(1, 0x19).Add(1, 0x19).Add(1, 0x19).Build();
  EXPECT_EQ(Parse(table).size(), 3u) << "an SMBIOS 2.0 structure holds no UUID";
  EXPECT_EQ(Parse(table, 2).size(), 2u);
}

TEST(SmbiosTable, MalformedTablesEndTheWalkWithinTheData) {
  const std::vector<uint8_t> good = TableBuilder().Add(1, 0x19, {"a"}).Build();
  struct Case {
    const char* what;
    std::vector<uint8_t> table;
    size_t uuids;
  } cases[] = {
      {"empty", {}, 0},
      {"header only", TableBuilder().Build(), 0},
      {"structure longer than the table", TableBuilder().Raw({1, 0x40, 0, 0, 0, 0, 0, 0}).Build(), 0},
      {"length below the structure header", TableBuilder().Raw({1, 2, 0, 0, 0, 0}).Build(), 0},
      {"string set without its double zero", TableBuilder().Add(1, 0x19, {"a"}).Raw({0, 4, 0, 0, 'x', 0, 'y'}).Build(), 1},
      {"header length beyond the buffer", TableBuilder().Add(1, 0x19).Build(4096), 1},
      {"header length shorter than the data", TableBuilder().Add(1, 0x19).Add(1, 0x19).Build(-20), 1},
      {"cut inside the UUID", std::vector<uint8_t>(good.begin(), good.begin() + 20), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSmbiosSystemUuids(c.table.data(), c.table.size(), 6).size(), c.uuids) << c.what;
  }
  EXPECT_TRUE(ParseSmbiosSystemUuids(nullptr, 100, 6).empty());
}
