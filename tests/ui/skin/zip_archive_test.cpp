#include "ui/skin/ZipArchive.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/skin/SkinTestFolder.h"
#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "tests/ui/base/portable/UITestText.h"
#include "tests/ui/skin/portable/fixtures/ZipToolFixtures.h"

using namespace Trellis;

namespace {

std::string ReadFileBytes(const std::wstring& path) { return ScratchFolder::ReadFileBytes(path); }
bool Exists(const std::wstring& path) { return ScratchFolder::Exists(path); }

// The current folder of the test moves into a fresh folder: extraction
// targets are resolved against the folder current at open time.
class ZipArchiveTest : public testing::Test {
 protected:
  void SetUp() override {
    GetCurrentDirectoryW(MAX_PATH, m_saved);
    SetCurrentDirectoryW(m_folder.path().c_str());
  }
  void TearDown() override {
    SetCurrentDirectoryW(m_saved);
  }
  std::wstring In(const std::wstring& name) const { return m_folder.path() + name; }
  SkinTestFolder m_folder;
  wchar_t m_saved[MAX_PATH] = {};
};

TEST_F(ZipArchiveTest, OpensFromMemoryAFileAndAFileHandleInsideALargerFile) {
  const std::string archive = Bytes(kPythonZip);
  ASSERT_TRUE(m_folder.Write(L"skin.zip", archive));
  ASSERT_TRUE(m_folder.Write(L"inside.bin", std::string(100, 'j') + archive + "trailing"));

  ZipHandle* fromMemory = ZipOpenArchive(archive.data(), static_cast<DWORD>(archive.size()), ZipKindMemory);
  ZipHandle* fromFile = ZipOpenArchive(In(L"skin.zip").c_str(), 0, ZipKindFile);
  // A handle positioned where the archive starts inside a larger file.
  HANDLE file = CreateFileW(In(L"inside.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFilePointer(file, 100, nullptr, FILE_BEGIN);
  ZipHandle* fromHandle = ZipOpenArchive(file, 0, ZipKindHandle);
  CloseHandle(file);  // the archive keeps its own duplicate
  for (ZipHandle* handle : {fromMemory, fromFile, fromHandle}) {
    ASSERT_NE(handle, nullptr);
    ZipEntry entry;
    ASSERT_EQ(ZipGetEntry(handle, -1, &entry), kZipOk);
    EXPECT_EQ(entry.index, 3);
    int index;
    ASSERT_EQ(ZipFindEntry(handle, L"MainWnd.xml", false, &index, &entry), kZipOk);
    std::string data(static_cast<size_t>(entry.unpackedSize), '\0');
    EXPECT_EQ(ZipExtractEntry(handle, index, &data[0], static_cast<DWORD>(data.size()), ZipKindMemory), kZipMoreData);
    EXPECT_EQ(ZipGetLastResult(), kZipMoreData);
    EXPECT_EQ(ZipExtractEntry(handle, index, &data[0], static_cast<DWORD>(data.size()), ZipKindMemory), kZipOk);
    EXPECT_EQ(data, Bytes(kFixtureMainWnd));
    EXPECT_EQ(ZipCloseArchive(handle), kZipOk);
  }
}

TEST_F(ZipArchiveTest, OpenAndCloseFailures) {
  HANDLE readEnd, writeEnd;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
  const std::string garbage(3000, 'g');
  struct Case {
    const char* what;
    const void* source;
    DWORD length;
    int kind;
    ZipResult result;
  };
  const Case cases[] = {
      {"pipe handle", readEnd, 0, ZipKindHandle, kZipNotDiskFile},
      {"invalid handle", nullptr, 0, ZipKindHandle, kZipCannotDuplicate},
      {"missing file", L"no such archive.zip", 0, ZipKindFile, kZipCannotOpenFile},
      {"unknown kind", garbage.data(), 10, 4, kZipBadArgument},
      {"null memory", nullptr, 10, ZipKindMemory, kZipBadArgument},
      {"garbage", garbage.data(), static_cast<DWORD>(garbage.size()), ZipKindMemory, kZipIoError},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZipOpenArchive(c.source, c.length, c.kind), nullptr) << c.what;
    EXPECT_EQ(ZipGetLastResult(), c.result) << c.what;
  }
  CloseHandle(readEnd);
  CloseHandle(writeEnd);
  EXPECT_EQ(ZipCloseArchive(nullptr), kZipBadArgument);
  EXPECT_EQ(ZipGetLastResult(), kZipBadArgument);
  ZipHandle notOurs = {2, nullptr};
  EXPECT_EQ(ZipCloseArchive(&notOurs), kZipNotZipHandle);
  ZipEntry entry;
  int index;
  EXPECT_EQ(ZipFindEntry(&notOurs, L"x", true, &index, &entry), kZipNotZipHandle);
  EXPECT_EQ(ZipExtractEntry(nullptr, 0, nullptr, 0, ZipKindMemory), kZipBadArgument);
}

// Names are ANSI in the archive; the backslash is folded before the
// conversion, so a double-byte character whose second byte is 0x5C survives.
TEST_F(ZipArchiveTest, FindsAnsiNamesWithBackslashesAndMixedCase) {
  ASSERT_EQ(GetACP(), 936u);
  TestZipBuilder builder;
  TestZipEntry entry;
  entry.name = "\xC6\xA4\xB7\xF4/\x81\x5C.xml";  // 皮肤/乗.xml in GBK
  entry.data = "<Window/>";
  builder.Add(entry);
  entry.name = "img/Logo.PNG";
  builder.Add(entry);
  const std::string archive = builder.Build();
  ZipHandle* handle = ZipOpenArchive(archive.data(), static_cast<DWORD>(archive.size()), ZipKindMemory);
  ASSERT_NE(handle, nullptr);
  struct Case {
    const wchar_t* name;
    bool ignoreCase;
    ZipResult result;
  };
  const Case cases[] = {
      {L"皮肤\\乗.xml", false, kZipOk},
      {L"皮肤/乗.XML", true, kZipOk},
      {L"IMG\\logo.png", true, kZipOk},
      {L"IMG\\logo.png", false, kZipNotFound},
      {L"img/Logo.PNG", false, kZipOk},
  };
  for (const Case& c : cases) {
    int index = 5;
    ZipEntry found;
    EXPECT_EQ(ZipFindEntry(handle, c.name, c.ignoreCase, &index, &found), c.result) << ToUtf8(c.name);
    EXPECT_EQ(index == -1, c.result != kZipOk);
    if (c.result == kZipOk) {
      EXPECT_EQ(ToUtf8(found.name), index == 0 ? "皮肤/乗.xml" : "img/Logo.PNG");
    }
  }
  EXPECT_EQ(ZipCloseArchive(handle), kZipOk);
}

TEST_F(ZipArchiveTest, ExtractsToFilesInsideTheBaseFolderOnly) {
  const std::string archive = Bytes(kInfoZip);
  ZipHandle* handle = ZipOpenArchive(archive.data(), static_cast<DWORD>(archive.size()), ZipKindMemory);
  ASSERT_NE(handle, nullptr);
  int index;
  ZipEntry entry;
  ASSERT_EQ(ZipFindEntry(handle, L"MainWnd.xml", false, &index, &entry), kZipOk);
  EXPECT_EQ(ZipExtractEntry(handle, index, L"out\\sub/MainWnd.xml", 0, ZipKindFile), kZipOk);
  EXPECT_EQ(ReadFileBytes(In(L"out\\sub\\MainWnd.xml")), Bytes(kFixtureMainWnd));
  // The file carries the entry's time (the extended timestamp, UTC).
  HANDLE file = CreateFileW(In(L"out\\sub\\MainWnd.xml").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  FILETIME written;
  ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
  CloseHandle(file);
  EXPECT_EQ(CompareFileTime(&written, &entry.modificationTime), 0);
  SYSTEMTIME utc;
  FileTimeToSystemTime(&entry.modificationTime, &utc);
  EXPECT_EQ(utc.wYear * 10000 + utc.wMonth * 100 + utc.wDay, 20240506);
  EXPECT_EQ(utc.wHour * 10000 + utc.wMinute * 100 + utc.wSecond, 70810);

  const wchar_t* refused[] = {L"..\\escaped.xml", L"out/../../escaped.xml", L"C:\\escaped.xml", L"\\escaped.xml",
                              L"escaped.xml:stream"};
  for (const wchar_t* target : refused) {
    EXPECT_EQ(ZipExtractEntry(handle, index, target, 0, ZipKindFile), kZipCannotOpenFile) << ToUtf8(target);
  }
  EXPECT_FALSE(Exists(In(L"..\\escaped.xml")));
  EXPECT_FALSE(Exists(L"C:\\escaped.xml"));
  // A folder entry makes its own folder; to a handle it writes nothing.
  ASSERT_EQ(ZipFindEntry(handle, L"img/", false, &index, &entry), kZipOk);
  EXPECT_EQ(ZipExtractEntry(handle, index, L"ignored.txt", 0, ZipKindFile), kZipOk);
  EXPECT_TRUE(GetFileAttributesW(In(L"img").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(Exists(In(L"ignored.txt")));
  EXPECT_EQ(ZipExtractEntry(handle, 99, L"x", 0, ZipKindFile), kZipBadArgument);
  EXPECT_EQ(ZipCloseArchive(handle), kZipOk);

  // A folder entry that climbs out of the base folder is refused.
  TestZipBuilder builder;
  TestZipEntry climbing;
  climbing.name = "../climbed/";
  climbing.method = 0;
  climbing.externalAttributes = 0x10;
  climbing.versionMadeBy = 0x0014;
  builder.Add(climbing);
  const std::string hostile = builder.Build();
  handle = ZipOpenArchive(hostile.data(), static_cast<DWORD>(hostile.size()), ZipKindMemory);
  EXPECT_EQ(ZipExtractEntry(handle, 0, L"x", 0, ZipKindFile), kZipCannotOpenFile);
  EXPECT_FALSE(Exists(In(L"..\\climbed")));
  ZipCloseArchive(handle);
}

TEST_F(ZipArchiveTest, ExtractsToAHandleAndReportsDamage) {
  TestZipBuilder builder;
  TestZipEntry good;
  good.name = "good.txt";
  good.data = std::string(40000, 'g');
  builder.Add(good);
  TestZipEntry damaged = good;
  damaged.name = "damaged.txt";
  damaged.wrongCrc = true;
  builder.Add(damaged);
  const std::string archive = builder.Build();
  ZipHandle* handle = ZipOpenArchive(archive.data(), static_cast<DWORD>(archive.size()), ZipKindMemory);
  ASSERT_NE(handle, nullptr);
  HANDLE file = CreateFileW(In(L"target.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr);
  EXPECT_EQ(ZipExtractEntry(handle, 0, file, 0, ZipKindHandle), kZipOk);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "!", 1, &written, nullptr));  // the handle stays open
  CloseHandle(file);
  EXPECT_EQ(ReadFileBytes(In(L"target.bin")), good.data + "!");

  EXPECT_EQ(ZipExtractEntry(handle, 1, L"damaged.txt", 0, ZipKindFile), kZipWriteFailed);
  std::string buffer(good.data.size(), '\0');
  EXPECT_EQ(ZipExtractEntry(handle, 1, &buffer[0], static_cast<DWORD>(buffer.size()), ZipKindMemory),
            kZipMemoryReadFailed);
  EXPECT_EQ(ZipGetLastResult(), kZipMemoryReadFailed);
  EXPECT_EQ(ZipCloseArchive(handle), kZipOk);
}

}  // namespace
