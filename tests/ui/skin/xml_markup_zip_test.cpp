#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/skin/SkinTestFolder.h"
#include "tests/ui/skin/portable/MarkupTestTree.h"
#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "ui/skin/ZipArchive.h"
#include "ui/skin/portable/XmlMarkup.h"

using namespace Trellis;

namespace {

std::string SkinArchive() {
  TestZipBuilder builder;
  auto add = [&](const std::string& name, const std::string& data, bool wrongCrc = false) {
    TestZipEntry entry;
    entry.name = name;
    entry.data = data;
    entry.wrongCrc = wrongCrc;
    builder.Add(entry);
  };
  add("MainWnd.xml", "\xEF\xBB\xBF<Window size=\"900,640\"><Label text=\"转换\"/></Window>");
  add("skins/Menu.xml", "<Menu/>");
  add("empty.xml", "");
  add("limit.xml", DocumentOfSize(4194304));
  add("over.xml", DocumentOfSize(4194305));
  add("damaged.xml", "<Window/>", true);
  return builder.Build();
}

// Skin files read from an archive: a file beside the skins opened per load,
// and an archive in memory kept open, with the loader's error texts.
TEST(XmlMarkupZip, LoadsEntriesFromTheSkinArchive) {
  SkinTestFolder folder;
  const std::string archive = SkinArchive();
  ASSERT_TRUE(folder.Write(L"skin.zip", archive));
  UISkinSource& source = GetSkinSource();
  ZipHandle* memory = ZipOpenArchive(archive.data(), static_cast<DWORD>(archive.size()), ZipKindMemory);
  ASSERT_NE(memory, nullptr);
  struct Setting {
    const wchar_t* zipName;
    bool cached;
    ZipHandle* handle;
  };
  const Setting settings[] = {{L"skin.zip", false, nullptr}, {L"membuffer", true, memory}};
  struct Case {
    const wchar_t* name;
    const char* result;
  };
  const Case cases[] = {
      {L"mainwnd.XML", "Window(size=900,640)[Label(text=转换)]"},
      {L"skins\\menu.xml", "Menu"},
      {L"limit.xml", nullptr},  // exactly 4 MiB: loads (its tree is one long attribute)
      {L"over.xml", "error: File too large"},
      {L"empty.xml", "error: File is empty"},
      {L"missing.xml", "error: Could not find ziped file"},
      {L"damaged.xml", "error: Could not unzip file"},
  };
  for (const Setting& setting : settings) {
    source.zipName.AssignText(setting.zipName);
    source.zipCached = setting.cached;
    source.zipHandle = setting.handle;
    for (const Case& c : cases) {
      CXmlMarkup markup;
      const bool loaded = markup.LoadFromFile(c.name);
      if (c.result == nullptr) {
        EXPECT_TRUE(loaded) << ToUtf8(setting.zipName);
        continue;
      }
      EXPECT_EQ(DumpMarkup(markup), c.result) << ToUtf8(setting.zipName) << " " << ToUtf8(c.name);
    }
  }
  // Without an archive to open the loader says so.
  source.zipName.AssignText(L"absent.zip");
  source.zipCached = false;
  CXmlMarkup markup;
  EXPECT_FALSE(markup.LoadFromFile(L"MainWnd.xml"));
  EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), "Error opening zip file");
  // A memory archive needs the kept-open handle: otherwise "membuffer" is
  // looked for as a file in the skin folder.
  source.zipName.AssignText(L"membuffer");
  EXPECT_FALSE(markup.LoadFromFile(L"MainWnd.xml"));
  EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), "Error opening zip file");
  source.zipCached = true;
  source.zipHandle = nullptr;
  source.zipName.Clear();
  EXPECT_EQ(ZipCloseArchive(memory), kZipOk);
}

}  // namespace
