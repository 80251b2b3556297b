#include "core/client/HardwareStrings.h"

#include "core/client/NetworkAdapters.h"
#include "core/client/RegistryText.h"
#include "core/client/SmbiosFirmware.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <string>

namespace {

const std::string kNetworkClassKey =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

// A registry key of this test, removed with its values afterwards.
class ScratchKey {
 public:
  ScratchKey(HKEY root, std::string path) : m_root(root), m_path(std::move(path)) {
    RegCreateKeyExA(m_root, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
  }
  ~ScratchKey() {
    if (m_key) RegCloseKey(m_key);
    RegDeleteTreeA(m_root, m_path.c_str());
    RegDeleteKeyA(m_root, m_path.c_str());
  }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  bool ok() const { return m_key != nullptr; }
  const std::string& path() const { return m_path; }
  // Stores exactly `bytes` (a terminator only when the bytes hold one).
  void Set(const char* name, DWORD type, const std::string& bytes) {
    RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  }

 private:
  HKEY m_root;
  std::string m_path;
  HKEY m_key = nullptr;
};

std::string Unique(const char* stem) {
  return std::string(stem) + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
}

bool IsMacText(const std::string& text) {
  if (text.size() != 17) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i % 3 == 2 ? c != '-' : !(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

}  // namespace

TEST(RegistryText, ValuesWithoutTerminatorReadAsTheirCharacters) {
  ScratchKey key(HKEY_CURRENT_USER, "Software\\QuilloraTests\\" + Unique("registry_"));
  ASSERT_TRUE(key.ok());
  key.Set("unterminated", REG_SZ, "PCI\\VEN_8086");
  key.Set("terminated", REG_SZ, std::string("PCI\\VEN\0", 8));
  key.Set("doubleNul", REG_SZ, std::string("ab\0\0", 4));
  key.Set("expand", REG_EXPAND_SZ, std::string("%SystemRoot%\0", 13));
  key.Set("empty", REG_SZ, "");
  key.Set("number", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
  struct Case {
    const char* name;
    bool ok;
    std::string text;
  } cases[] = {
      {"unterminated", true, "PCI\\VEN_8086"}, {"terminated", true, "PCI\\VEN"}, {"doubleNul", true, "ab"},
      {"expand", true, "%SystemRoot%"},         {"empty", true, ""},              {"number", false, ""},
      {"missing", false, ""},
  };
  for (const Case& c : cases) {
    std::string text = "unchanged";
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, key.path(), c.name, text), c.ok) << c.name;
    if (c.ok) {
      EXPECT_EQ(text, c.text) << c.name;
    }
  }
  std::string text;
  EXPECT_FALSE(ReadRegistryText(HKEY_CURRENT_USER, key.path() + "\\none", "x", text));
}

TEST(NetworkAdapters, OnlyPciInstanceIdsAreCountedAsPhysical) {
  struct Case {
    const char* what;
    std::string instanceId;  // stored bytes
    bool physical;
  } cases[] = {
      {"PCI card", std::string("PCI\\VEN_8086&DEV_100E\0", 22), true},
      {"PCI card, value without terminator", "PCI\\VEN_10EC", true},
      {"virtual adapter", std::string("ROOT\\NET\\0000\0", 14), false},
      {"USB adapter", std::string("USB\\VID_0B95\0", 13), false},
      {"lower case", std::string("pci\\ven_8086\0", 13), false},
      {"prefix cut short", "PCI", false},
  };
  for (const Case& c : cases) {
    const std::string adapter = "{" + Unique("QUILLORA-TEST-") + "}";
    ScratchKey key(HKEY_LOCAL_MACHINE, kNetworkClassKey + adapter + "\\Connection");
    ASSERT_TRUE(key.ok()) << c.what;
    key.Set("PnPInstanceId", REG_SZ, c.instanceId);
    EXPECT_EQ(IsPhysicalPciAdapter(adapter), c.physical) << c.what;
  }
  EXPECT_FALSE(IsPhysicalPciAdapter("{NO-SUCH-ADAPTER}"));
}

TEST(HardwareStrings, TheMachineQueriesRunAndGiveWellFormedStrings) {
  std::vector<std::string> macs{"stale"};
  GetPhysicalMacAddresses(macs, 6);
  EXPECT_LE(macs.size(), 6u);
  for (const std::string& mac : macs) EXPECT_TRUE(IsMacText(mac)) << mac;

  std::vector<std::string> uuids{"stale"};
  if (GetSmbiosSystemUuids(uuids, 6)) {
    EXPECT_LE(uuids.size(), 6u);
    for (const std::string& uuid : uuids) {
      EXPECT_EQ(uuid.size(), 32u);
      EXPECT_EQ(uuid.find_first_not_of("0123456789abcdef"), std::string::npos) << uuid;
    }
  } else {
    EXPECT_TRUE(uuids.empty());
  }

  SystemHardwareStrings machine;
  const std::string id = GenerateDeviceId(machine);
  EXPECT_EQ(id.size(), 16u);
  const HardwareStringLists lists = machine.Read();
  if (!lists.macAddresses.empty() || !lists.smbiosUuids.empty()) {
    EXPECT_TRUE(ValidateDeviceId(id, machine)) << "an identifier made here matches this machine";
  }
}
