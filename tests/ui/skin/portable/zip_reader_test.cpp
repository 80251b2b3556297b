#include "ui/skin/portable/ZipReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "tests/ui/base/portable/UITestText.h"
#include "tests/ui/skin/portable/fixtures/ZipToolFixtures.h"
#include "ui/skin/portable/ZipPath.h"

using namespace Trellis;

namespace {

const ZipByteNameCodec kCodec;

std::unique_ptr<ZipReader> OpenArchive(const std::string& bytes, ZipResult* result = nullptr) {
  ZipResult ignored;
  return ZipReader::Open(std::unique_ptr<ZipSource>(new ZipMemorySource(bytes.data(), bytes.size())), &kCodec,
                         result != nullptr ? result : &ignored);
}

struct Extracted {
  ZipResult result;  // of the call that delivered the data (kZipMoreData when it did)
  ZipResult next;    // of the call after it
  std::string data;
};

// Extracts an entry into a buffer of its unpacked size, as the skin loaders do.
Extracted ExtractWhole(ZipReader& reader, int index) {
  ZipEntryInfo info;
  EXPECT_EQ(reader.GetEntry(index, &info), kZipOk);
  std::string data(static_cast<size_t>(info.unpackedSize), '\0');
  size_t delivered = 0;
  Extracted out;
  out.result = reader.ExtractToMemory(index, &data[0], data.size(), &delivered);
  data.resize(delivered);
  out.next = out.result == kZipMoreData ? reader.ExtractToMemory(index, nullptr, 0) : kZipOk;
  out.data = data;
  return out;
}

// An entry with one field changed from the builder's defaults.
template <typename Tweak>
TestZipEntry Entry(const std::string& name, const std::string& data, uint16_t method, Tweak tweak) {
  TestZipEntry entry;
  entry.name = name;
  entry.data = data;
  entry.method = method;
  tweak(entry);
  return entry;
}
TestZipEntry Entry(const std::string& name, const std::string& data, uint16_t method = 8) {
  return Entry(name, data, method, [](TestZipEntry&) {});
}

class StringSink : public ZipSink {
 public:
  bool Write(const void* data, size_t length) override {
    text.append(static_cast<const char*>(data), length);
    return !failing;
  }
  std::string text;
  bool failing = false;
};

// Archives made by real tools: entries, contents, names and times.
TEST(ZipReader, ReadsArchivesOfRealTools) {
  struct Archive {
    const char* tool;
    std::string bytes;
    int entries;
  };
  const Archive archives[] = {
      {"python zipfile", Bytes(kPythonZip), 3},
      {"python zipfile after 40 bytes", Bytes(kPythonPrefixedZip), 3},
      {"Info-ZIP zip", Bytes(kInfoZip), 4},
  };
  struct File {
    const UIChar* lookup;
    std::string content;
  };
  const File files[] = {
      {UI_TEXT("MainWnd.xml"), Bytes(kFixtureMainWnd)},
      {UI_TEXT("img/Logo.png"), Bytes(kFixtureLogo)},
      {UI_TEXT("Images/Btn.PNG"), Bytes(kFixtureButton)},
  };
  for (const Archive& archive : archives) {
    ZipResult opened;
    std::unique_ptr<ZipReader> reader = OpenArchive(archive.bytes, &opened);
    ASSERT_TRUE(reader) << archive.tool << " " << opened;
    EXPECT_EQ(reader->GetEntryCount(), archive.entries) << archive.tool;
    for (const File& file : files) {
      int index = -2;
      ZipEntryInfo info;
      ASSERT_EQ(reader->FindEntry(file.lookup, false, &index, &info), kZipOk) << archive.tool;
      EXPECT_EQ(ToUtf8(info.name), ToUtf8(file.lookup));
      EXPECT_EQ(info.unpackedSize, static_cast<int>(file.content.size()));
      EXPECT_EQ(info.attributes, 0x80u);  // mode 0644: writable, not a folder
      EXPECT_EQ(info.dosDate, kFixtureDosDate);
      EXPECT_EQ(info.dosTime, kFixtureDosTime);
      const Extracted whole = ExtractWhole(*reader, index);
      EXPECT_EQ(whole.result, kZipMoreData) << archive.tool;
      EXPECT_EQ(whole.next, kZipOk);
      EXPECT_EQ(whole.data, file.content) << archive.tool << " " << ToUtf8(file.lookup);
      StringSink sink;
      EXPECT_EQ(reader->ExtractToSink(index, sink), kZipOk);
      EXPECT_EQ(sink.text, file.content);
    }
  }
  // Info-ZIP keeps a folder entry and extended timestamps.
  std::string infoZip = Bytes(kInfoZip);
  std::unique_ptr<ZipReader> reader = OpenArchive(infoZip);
  int index;
  ZipEntryInfo info;
  ASSERT_EQ(reader->FindEntry(UI_TEXT("img/"), false, &index, &info), kZipOk);
  EXPECT_EQ(info.attributes & 0x10u, 0x10u);
  ASSERT_EQ(reader->FindEntry(UI_TEXT("MainWnd.xml"), false, &index, &info), kZipOk);
  EXPECT_EQ(info.unixTimeFlags & 3, 3);
  EXPECT_EQ(info.unixModified, kFixtureUnixTime);
}

TEST(ZipReader, NameLookupFoldsBackslashesAndAsciiCase) {
  const std::string archive = Bytes(kPythonZip);
  std::unique_ptr<ZipReader> reader = OpenArchive(archive);
  struct Case {
    const UIChar* name;
    bool ignoreCase;
    bool found;
  };
  const Case cases[] = {
      {UI_TEXT("img\\Logo.png"), false, true},
      {UI_TEXT("IMG\\logo.PNG"), true, true},
      {UI_TEXT("IMG\\logo.PNG"), false, false},
      {UI_TEXT("images/btn.png"), true, true},
      {UI_TEXT("Logo.png"), true, false},
      {UI_TEXT("img/Logo.png/"), true, false},
      {UI_TEXT(""), true, false},
  };
  for (const Case& c : cases) {
    int index = 7;
    ZipEntryInfo info;
    info.index = 99;
    const ZipResult result = reader->FindEntry(c.name, c.ignoreCase, &index, &info);
    EXPECT_EQ(result, c.found ? kZipOk : kZipNotFound) << ToUtf8(c.name);
    if (!c.found) {
      EXPECT_EQ(index, -1);
      EXPECT_EQ(info.index, 99);  // the caller's record is left as it was
    }
  }
  // A name stored with '\\' is found by either spelling.
  TestZipBuilder backslashes;
  backslashes.Add(Entry("img\\Logo.png", "logo"));
  backslashes.Add(Entry("skin\\sub/Btn.png", "button"));
  const std::string stored = backslashes.Build();
  std::unique_ptr<ZipReader> withBackslashes = OpenArchive(stored);
  const Case storedCases[] = {
      {UI_TEXT("img\\Logo.png"), false, true},   {UI_TEXT("img/Logo.png"), false, true},
      {UI_TEXT("IMG/logo.PNG"), true, true},     {UI_TEXT("IMG/logo.PNG"), false, false},
      {UI_TEXT("skin/sub\\Btn.png"), false, true}, {UI_TEXT("skin/sub/Btn.png"), false, true},
      {UI_TEXT("img"), true, false},
  };
  for (const Case& c : storedCases) {
    int index = 7;
    ZipEntryInfo info;
    EXPECT_EQ(withBackslashes->FindEntry(c.name, c.ignoreCase, &index, &info), c.found ? kZipOk : kZipNotFound)
        << ToUtf8(c.name);
    EXPECT_EQ(index >= 0, c.found) << ToUtf8(c.name);
  }
  // Names of 256 characters or more are never found, 255 are looked up.
  TestZipBuilder builder;
  builder.Add(Entry(std::string(255, 'n'), "long"));
  const std::string longNames = builder.Build();
  std::unique_ptr<ZipReader> withLong = OpenArchive(longNames);
  int index;
  ZipEntryInfo info;
  EXPECT_EQ(withLong->FindEntry(Widen(std::string(255, 'N')).c_str(), true, &index, &info), kZipOk);
  EXPECT_EQ(withLong->FindEntry(Widen(std::string(256, 'n')).c_str(), true, &index, &info), kZipNotFound);
}

TEST(ZipReader, ArchivesBuiltWithZlibStoredDeflatedAndAfterOtherData) {
  const std::string big(100000, 'x');
  TestZipBuilder builder;
  builder.Add(Entry("stored.txt", "plain stored text", 0));
  builder.Add(Entry("deflated.xml", "<Window>" + big + "</Window>", 8));
  builder.Add(Entry("empty", "", 0));
  for (bool absolute : {false, true}) {
    const std::string prefix(40, 'J');
    const std::string archive = builder.Build(prefix, absolute);
    std::unique_ptr<ZipReader> reader = OpenArchive(archive);
    ASSERT_TRUE(reader) << absolute;
    ZipEntryInfo info;
    ASSERT_EQ(reader->GetEntry(-1, &info), kZipOk);
    EXPECT_EQ(info.index, 3);
    EXPECT_EQ(ExtractWhole(*reader, 0).data, "plain stored text");
    EXPECT_EQ(ExtractWhole(*reader, 1).data, "<Window>" + big + "</Window>");
    const Extracted empty = ExtractWhole(*reader, 2);
    EXPECT_EQ(empty.result, kZipOk);
    EXPECT_EQ(empty.data, "");
  }
}

// The end record is found behind a comment of any length up to 0xFFFF bytes.
TEST(ZipReader, ArchivesWithLongCommentsOpen) {
  TestZipBuilder builder;
  builder.Add(Entry("a.txt", "commented"));
  const std::string bare = builder.Build();
  for (size_t length : {size_t{1}, size_t{65513}, size_t{65514}, size_t{65535}}) {
    std::string archive = bare;
    archive[archive.size() - 2] = static_cast<char>(length & 0xFF);
    archive[archive.size() - 1] = static_cast<char>(length >> 8);
    archive += std::string(length, 'c');
    ZipResult opened = kZipOk;
    std::unique_ptr<ZipReader> reader = OpenArchive(archive, &opened);
    ASSERT_TRUE(reader) << length << " " << opened;
    int index = -1;
    ZipEntryInfo info;
    ASSERT_EQ(reader->FindEntry(UI_TEXT("a.txt"), false, &index, &info), kZipOk) << length;
    EXPECT_EQ(ExtractWhole(*reader, index).data, "commented") << length;
  }
}

TEST(ZipReader, MemoryExtractionContinuesCallByCall) {
  const std::string hundred(100, 'h');
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>('a' + (i * 7) % 26);
  TestZipBuilder builder;
  builder.Add(Entry("hundred", hundred, 0));
  builder.Add(Entry("text", text, 8));
  const std::string archive = builder.Build();
  std::unique_ptr<ZipReader> reader = OpenArchive(archive);
  char buffer[100];
  EXPECT_EQ(reader->ExtractToMemory(0, buffer, sizeof(buffer)), kZipMoreData);
  EXPECT_EQ(std::string(buffer, 100), hundred);
  EXPECT_EQ(reader->ExtractToMemory(0, buffer, sizeof(buffer)), kZipOk);
  // Small pieces add up to the entry; switching entries restarts.
  std::string pieces;
  size_t delivered = 0;
  while (reader->ExtractToMemory(1, buffer, 7, &delivered) == kZipMoreData) pieces.append(buffer, delivered);
  EXPECT_EQ(pieces, text);
  EXPECT_EQ(reader->ExtractToMemory(1, buffer, 7), kZipMoreData);
  EXPECT_EQ(reader->ExtractToMemory(0, buffer, 10, &delivered), kZipMoreData);
  EXPECT_EQ(std::string(buffer, delivered), hundred.substr(0, 10));
  EXPECT_EQ(reader->ExtractToMemory(2, buffer, 10), kZipBadArgument);
  EXPECT_EQ(reader->ExtractToMemory(-1, buffer, 10), kZipBadArgument);
}

// Damaged data is a failure of the extraction, never data handed out as whole.
TEST(ZipReader, DamagedEntriesFailToExtract) {
  const std::string text(5000, 'd');
  std::string invalid = RawDeflate(text);
  invalid[0] = static_cast<char>(0xFF);  // a reserved block type
  struct Case {
    const char* what;
    TestZipEntry entry;
    ZipResult memory;
  };
  const Case cases[] = {
      {"stored, CRC off", Entry("e", "stored data", 0, [](TestZipEntry& e) { e.wrongCrc = true; }), kZipMemoryReadFailed},
      {"deflated, CRC off", Entry("e", text, 8, [](TestZipEntry& e) { e.wrongCrc = true; }), kZipMemoryReadFailed},
      {"deflated, cut short", Entry("e", text, 8, [](TestZipEntry& e) { e.compressedCut = 3; }), kZipMemoryReadFailed},
      {"deflated, invalid", Entry("e", text, 8, [&](TestZipEntry& e) { e.rawCompressed = invalid; }),
       kZipMemoryReadFailed},
      {"deflated, ends early", Entry("e", text + "more", 8, [&](TestZipEntry& e) { e.rawCompressed = RawDeflate(text); }),
       kZipMemoryReadFailed},
      {"stored, short", Entry("e", "stored data", 0, [](TestZipEntry& e) { e.compressedCut = 2; }), kZipMemoryReadFailed},
      {"local method differs", Entry("e", text, 8, [](TestZipEntry& e) { e.localMethodMismatch = true; }),
       kZipHeaderMismatch},
  };
  for (const Case& c : cases) {
    TestZipBuilder builder;
    builder.Add(c.entry);
    const std::string archive = builder.Build();
    std::unique_ptr<ZipReader> reader = OpenArchive(archive);
    ASSERT_TRUE(reader) << c.what;
    std::string buffer(c.entry.data.size(), '\0');
    EXPECT_EQ(reader->ExtractToMemory(0, &buffer[0], buffer.size()), c.memory) << c.what;
    StringSink sink;
    const ZipResult whole = reader->ExtractToSink(0, sink);
    EXPECT_EQ(whole, c.memory == kZipHeaderMismatch ? kZipHeaderMismatch : kZipWriteFailed) << c.what;
  }
  // A sink that fails ends the extraction.
  TestZipBuilder builder;
  builder.Add(Entry("e", text));
  const std::string archive = builder.Build();
  StringSink failing;
  failing.failing = true;
  EXPECT_EQ(OpenArchive(archive)->ExtractToSink(0, failing), kZipWriteFailed);
}

TEST(ZipReader, TruncatedAndForeignArchivesDoNotOpen) {
  const std::string archive = Bytes(kPythonZip);
  struct Case {
    const char* what;
    std::string bytes;
    ZipResult result;
  };
  std::string twoDisks = archive;
  twoDisks[archive.size() - 22 + 4] = 1;  // this disk's number
  std::string centralPastEnd = archive;
  centralPastEnd[archive.size() - 22 + 16] = static_cast<char>(0xF0);  // central offset beyond the end record
  const Case cases[] = {
      {"empty", "", kZipIoError},
      {"too short", "PK\x05\x06", kZipIoError},
      {"no end record", std::string(5000, 'x'), kZipIoError},
      {"end record cut", archive.substr(0, archive.size() - 10), kZipIoError},
      {"second disk", twoDisks, kZipBadArchive},
      {"central directory past its end", centralPastEnd, kZipBadArchive},
  };
  for (const Case& c : cases) {
    ZipResult result = kZipOk;
    EXPECT_FALSE(OpenArchive(c.bytes, &result)) << c.what;
    EXPECT_EQ(result, c.result) << c.what;
  }
  // Cut inside the data: the end record is gone, nothing opens.
  for (size_t length = 0; length < archive.size(); length += 37) {
    ZipResult result;
    EXPECT_FALSE(OpenArchive(archive.substr(0, length), &result)) << length;
  }
}

TEST(ZipReader, EntryDescriptions) {
  // Extended timestamp after an extra block longer than 255 bytes: its size
  // is 16-bit, or the walk would land inside it.
  std::string extra;
  TestZipBuilder::Put16(extra, 0xCAFE);
  TestZipBuilder::Put16(extra, 300);
  extra += std::string(300, '\x55');
  TestZipBuilder::Put16(extra, 0x5455);
  TestZipBuilder::Put16(extra, 13);
  extra += '\x07';
  TestZipBuilder::Put32(extra, 1000);
  TestZipBuilder::Put32(extra, 2000);
  TestZipBuilder::Put32(extra, 3000);
  // A timestamp block that claims more times than it holds reads only those it holds.
  std::string shortBlock;
  TestZipBuilder::Put16(shortBlock, 0x5455);
  TestZipBuilder::Put16(shortBlock, 5);
  shortBlock += '\x07';
  TestZipBuilder::Put32(shortBlock, 4000);
  struct Case {
    const char* what;
    TestZipEntry entry;
    uint32_t attributes;
    uint8_t timeFlags;
    int32_t modified;
  };
  auto unix = [](uint32_t mode) { return [mode](TestZipEntry& e) { e.externalAttributes = mode << 16; }; };
  auto host = [](uint16_t madeBy, uint32_t external) {
    return [=](TestZipEntry& e) {
      e.versionMadeBy = madeBy;
      e.externalAttributes = external;
    };
  };
  const Case cases[] = {
      {"long extra block", Entry("a", "x", 0, [&](TestZipEntry& e) { e.localExtra = extra; }), 0x80, 7, 1000},
      {"short time block", Entry("a", "x", 0, [&](TestZipEntry& e) { e.localExtra = shortBlock; }), 0x80, 1, 4000},
      {"unix read-only", Entry("a", "x", 0, unix(0100444u)), 0x81, 0, 0},
      {"unix folder", Entry("d/", "", 0, unix(040755u)), 0x90, 0, 0},
      {"dos archive bit", Entry("a", "x", 0, host(0x0014, 0x20)), 0xA0, 0, 0},
      {"dos read-only hidden system", Entry("a", "x", 0, host(0x0014, 0x07)), 0x87, 0, 0},
      {"ntfs folder", Entry("d/", "", 0, host(0x0B14, 0x10)), 0x90, 0, 0},
  };
  for (const Case& c : cases) {
    TestZipBuilder builder;
    builder.Add(c.entry);
    const std::string archive = builder.Build();
    std::unique_ptr<ZipReader> reader = OpenArchive(archive);
    ZipEntryInfo info;
    ASSERT_EQ(reader->GetEntry(0, &info), kZipOk) << c.what;
    EXPECT_EQ(info.attributes, c.attributes) << c.what;
    EXPECT_EQ(info.unixTimeFlags, c.timeFlags) << c.what;
    EXPECT_EQ(info.unixModified, c.modified) << c.what;
    if (c.timeFlags == 7) {
      EXPECT_EQ(info.unixAccessed, 2000);
      EXPECT_EQ(info.unixCreated, 3000);
    }
    EXPECT_EQ(reader->GetEntry(1, &info), kZipBadArgument);
    EXPECT_EQ(reader->GetEntry(-2, &info), kZipBadArgument);
  }
}

TEST(ZipPath, ExtractionStaysInsideTheTargetFolder) {
  struct Case {
    const UIChar* path;
    bool contained;
  };
  const Case cases[] = {
      {UI_TEXT("skin/img/a.png"), true}, {UI_TEXT("a.png"), true},          {UI_TEXT("dir\\sub\\"), true},
      {UI_TEXT("..a/b"), true},          {UI_TEXT("../a"), false},          {UI_TEXT("a\\..\\..\\b"), false},
      {UI_TEXT("a/.."), false},          {UI_TEXT("/etc/passwd"), false},   {UI_TEXT("\\\\server\\share"), false},
      {UI_TEXT("C:\\Windows\\x"), false}, {UI_TEXT("C:x"), false},          {UI_TEXT("a:stream"), false},
      {UI_TEXT(""), false},              {nullptr, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsContainedRelativePath(c.path), c.contained) << ToUtf8(c.path);
}

}  // namespace
