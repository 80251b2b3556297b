#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/skin/SkinTestFolder.h"
#include "tests/ui/skin/portable/MarkupTestTree.h"
#include "ui/skin/portable/XmlMarkup.h"

using Trellis::CXmlMarkup;

namespace {

TEST(XmlMarkupFile, LoadsFromMemoryInEveryEncoding) {
  ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
  // "<中 文=\"值\"/>" in GBK, UTF-8 and UTF-16 with its mark.
  const std::string gbk = "<\xD6\xD0 \xCE\xC4=\"\xD6\xB5\"/>";
  const std::string utf8 = "<中 文=\"值\"/>";
  const std::wstring wide = L"\xFEFF<中 文=\"值\"/>";
  struct Case {
    const char* what;
    const void* bytes;
    size_t length;
    Trellis::MarkupEncoding encoding;
  };
  const Case cases[] = {
      {"ANSI", gbk.data(), gbk.size(), Trellis::MarkupEncodingAnsi},
      {"UTF-8", utf8.data(), utf8.size(), Trellis::MarkupEncodingUtf8},
      {"UTF-16", wide.data(), wide.size() * 2, Trellis::MarkupEncodingUtf16},
  };
  for (const Case& c : cases) {
    CXmlMarkup markup;
    EXPECT_TRUE(markup.LoadFromMemory(c.bytes, c.length, c.encoding)) << c.what;
    EXPECT_EQ(DumpMarkup(markup), "中(文=值)") << c.what;
  }
  CXmlMarkup empty;
  EXPECT_TRUE(empty.LoadFromMemory("", 0, Trellis::MarkupEncodingAnsi));
  EXPECT_FALSE(empty.GetRoot().IsValid());
}

TEST(XmlMarkupFile, LoadsFromTheSkinFolderUpTo4MiB) {
  SkinTestFolder folder;
  ASSERT_TRUE(folder.Write(L"ok.xml", "\xEF\xBB\xBF<Window><Label text=\"文字\"/></Window>"));
  ASSERT_TRUE(folder.Write(L"limit.xml", DocumentOfSize(4194304)));
  ASSERT_TRUE(folder.Write(L"over.xml", DocumentOfSize(4194305)));
  ASSERT_TRUE(folder.Write(L"empty.xml", ""));
  ASSERT_TRUE(folder.Write(L"broken.xml", "<Window x='1'/>"));
  struct Case {
    const wchar_t* name;
    bool loads;
    const char* message;
  };
  const Case cases[] = {
      {L"ok.xml", true, ""},
      {L"limit.xml", true, ""},
      {L"over.xml", false, "File too large"},
      {L"empty.xml", false, "File is empty"},
      {L"missing.xml", false, "Error opening file"},
  };
  for (const Case& c : cases) {
    CXmlMarkup markup;
    EXPECT_EQ(markup.LoadFromFile(c.name), c.loads) << ToUtf8(c.name);
    EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), c.message) << ToUtf8(c.name);
    EXPECT_EQ(ToUtf8(markup.GetLastErrorLocation()), "");
  }
  CXmlMarkup markup;
  ASSERT_TRUE(markup.LoadFromFile(L"ok.xml"));
  EXPECT_EQ(DumpMarkup(markup), "Window[Label(text=文字)]");
  // A file that reads but does not parse reports the parser's error.
  EXPECT_FALSE(markup.LoadFromFile(L"broken.xml"));
  EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), "Expected attribute value");
  EXPECT_EQ(ToUtf8(markup.GetLastErrorLocation()), "'1'/>");
}

}  // namespace
