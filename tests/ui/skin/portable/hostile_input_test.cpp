// Robustness over a corpus of mutated skins and archives, random bytes and
// deep nesting: no crash (the host build runs this under AddressSanitizer and
// UndefinedBehaviorSanitizer), no hang, every failure reported, and no
// damaged entry handed out as whole. The seed is fixed, so every run checks
// the same inputs.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "tests/ui/base/portable/UITestText.h"
#include "tests/ui/skin/portable/fixtures/ZipToolFixtures.h"
#include "ui/skin/portable/XmlMarkup.h"
#include "ui/skin/portable/ZipReader.h"

using namespace Trellis;

namespace {

// A small deterministic generator (the same numbers on every platform).
class Random {
 public:
  explicit Random(uint64_t seed) : m_state(seed) {}
  uint32_t Next() {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(m_state >> 33);
  }
  size_t Below(size_t bound) { return bound == 0 ? 0 : Next() % bound; }

 private:
  uint64_t m_state;
};

// One to three edits: bit flips, bytes the formats care about, cuts, copies
// and insertions of random bytes.
std::string Mutate(std::string data, Random& random) {
  static const char kSpecial[] = {'<', '>', '"', '&', '/', '=', '!', '?', ' ', '\0', '\xFF', 'P', 'K', '\x05', '\x06'};
  const size_t edits = 1 + random.Below(3);
  for (size_t e = 0; e < edits; ++e) {
    const size_t at = random.Below(data.size() + 1);
    switch (random.Below(6)) {
      case 0:
        if (at < data.size()) data[at] = static_cast<char>(data[at] ^ (1u << random.Below(8)));
        break;
      case 1:
        if (at < data.size()) data[at] = kSpecial[random.Below(sizeof(kSpecial))];
        break;
      case 2:
        data.resize(at);
        break;
      case 3:
        data.erase(at, random.Below(64));
        break;
      case 4:
        data.insert(at, data.substr(random.Below(data.size() + 1), random.Below(64)));
        break;
      default:
        for (size_t i = random.Below(16); i > 0; --i) data.insert(data.begin() + static_cast<long>(at), static_cast<char>(random.Next()));
        break;
    }
  }
  return data;
}

// Walks the whole tree without recursion and reads every listed attribute.
size_t WalkTree(CXmlMarkup& markup) {
  size_t characters = 0;
  std::vector<CXmlMarkupNode> pending = {markup.GetRoot()};
  while (!pending.empty()) {
    CXmlMarkupNode node = pending.back();
    pending.pop_back();
    for (; node.IsValid(); node = node.GetSibling()) {
      characters += UITextLength(node.GetName());
      for (int i = 0; i < node.GetAttributeCount(); ++i) {
        characters += UITextLength(node.GetAttributeName(i)) + UITextLength(node.GetAttributeValue(i));
      }
      if (node.GetAttributeCount() > 0) {
        UIChar buffer[8] = {};
        EXPECT_TRUE(node.GetAttributeValue(node.GetAttributeName(0), buffer, 7));
      }
      if (node.HasChildren()) pending.push_back(node.GetChild());
    }
  }
  return characters;
}

void CheckSkin(const std::string& bytes, MarkupEncoding encoding) {
  CXmlMarkup markup;
  if (markup.LoadFromUnicodeMemory(bytes.data(), bytes.size(), encoding)) {
    WalkTree(markup);
  } else {
    EXPECT_NE(markup.GetLastErrorMessage()[0], 0) << "a failure without a message";
  }
}

TEST(HostileInput, MutatedAndRandomSkins) {
  const std::vector<std::string> seeds = {
      Bytes(kFixtureMainWnd),
      "<?xml version=\"1.0\"?><!-- skin --><Window size=\"10,20\" caption=\"0,0,0,30\"><Font id=\"0\" name=\"宋体\"/>"
      "<VerticalLayout><Button name=\"btnOk\" text=\"a &amp; b &lt;c&gt; &quot;\"/><Edit/>text<Label/></VerticalLayout>"
      "</Window>",
  };
  Random random(20261210);
  for (const std::string& seed : seeds) {
    for (int i = 0; i < 4000; ++i) {
      const std::string mutated = Mutate(seed, random);
      CheckSkin(mutated, MarkupEncodingUtf8);
      if (i % 4 == 0) CheckSkin(mutated, MarkupEncodingUtf16);
    }
  }
  for (int i = 0; i < 300; ++i) {
    std::string noise(random.Below(4096), '\0');
    for (char& ch : noise) ch = static_cast<char>(random.Next());
    CheckSkin(noise, i % 2 == 0 ? MarkupEncodingUtf8 : MarkupEncodingUtf16);
  }
  // Deep nesting of every kind, closed or not.
  for (const char* unit : {"<a>", "<a x=\"1\">", "<!--", "<a", "<a/>", "</a>", "&amp;"}) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += unit;
    CheckSkin(deep, MarkupEncodingUtf8);
  }
}

struct Original {
  std::map<std::string, std::string> files;  // name -> content
};

// Opens, describes, finds and extracts whatever a mutated archive still
// holds. Whatever is handed out as a whole entry must be that entry.
void CheckArchive(const std::string& bytes, const Original& original) {
  static const ZipByteNameCodec codec;
  ZipResult opened;
  std::unique_ptr<ZipReader> reader =
      ZipReader::Open(std::unique_ptr<ZipSource>(new ZipMemorySource(bytes.data(), bytes.size())), &codec, &opened);
  if (!reader) {
    EXPECT_TRUE(opened == kZipIoError || opened == kZipBadArchive) << opened;
    return;
  }
  const int count = reader->GetEntryCount() < 64 ? reader->GetEntryCount() : 64;
  for (int index = 0; index < count; ++index) {
    ZipEntryInfo info;
    if (reader->GetEntry(index, &info) != kZipOk) continue;
    // Memory extraction in one piece when it is small, else in bounded pieces.
    const size_t size = static_cast<uint32_t>(info.unpackedSize);
    std::string data(size <= (1u << 20) ? size : 4096, '\0');
    std::string whole;
    ZipResult result = kZipMoreData;
    int calls = 0;
    while (result == kZipMoreData && whole.size() < (2u << 20)) {
      size_t delivered = 0;
      result = reader->ExtractToMemory(index, &data[0], data.size(), &delivered);
      whole.append(data, 0, delivered);
      ASSERT_LT(++calls, 100000) << "no progress";
    }
    const std::string name = ToUtf8(info.name);
    const auto known = original.files.find(name);
    if (result == kZipOk && known != original.files.end() && size == known->second.size()) {
      EXPECT_EQ(whole, known->second) << "a damaged entry was handed out as whole: " << name;
    }
    class CountingSink : public ZipSink {
     public:
      bool Write(const void*, size_t length) override { return (bytes += length) < (4u << 20); }
      size_t bytes = 0;
    } sink;
    reader->ExtractToSink(index, sink);
  }
  int index;
  ZipEntryInfo info;
  for (const auto& file : original.files) reader->FindEntry(FromUtf8(file.first).c_str(), true, &index, &info);
}

TEST(HostileInput, MutatedTruncatedAndRandomArchives) {
  Original original;
  original.files["MainWnd.xml"] = Bytes(kFixtureMainWnd);
  original.files["img/Logo.png"] = Bytes(kFixtureLogo);
  original.files["Images/Btn.PNG"] = Bytes(kFixtureButton);
  original.files["img/"] = "";
  TestZipBuilder builder;
  for (const auto& file : original.files) {
    TestZipEntry entry;
    entry.name = file.first;
    entry.data = file.second;
    entry.method = file.first == "img/Logo.png" ? 0 : 8;
    builder.Add(entry);
  }
  const std::vector<std::string> seeds = {Bytes(kPythonZip), Bytes(kPythonPrefixedZip), Bytes(kInfoZip),
                                          builder.Build(std::string(40, 'p'))};
  Random random(8);
  for (const std::string& seed : seeds) {
    CheckArchive(seed, original);
    for (int i = 0; i < 2500; ++i) CheckArchive(Mutate(seed, random), original);
    // Every cut of the archive.
    for (size_t length = 0; length < seed.size(); length += 1 + random.Below(40)) {
      CheckArchive(seed.substr(0, length), original);
    }
  }
  for (int i = 0; i < 300; ++i) {
    std::string noise(random.Below(8192), '\0');
    for (char& ch : noise) ch = static_cast<char>(random.Next());
    if (i % 3 == 0 && noise.size() > 30) noise.replace(noise.size() - 22, 4, "PK\x05\x06");
    CheckArchive(noise, original);
  }
}

}  // namespace
