#include "pagemint/portable/DocxWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "tests/pagemint/portable/DocumentReadback.h"

namespace {

DocumentText Text(std::vector<std::u32string> paragraphs) {
  DocumentText text;
  text.paragraphs = std::move(paragraphs);
  return text;
}

std::map<std::string, std::string> Unzip(const std::string& package) {
  std::map<std::string, std::string> entries;
  std::string error;
  EXPECT_TRUE(readback::ReadZip(package, &entries, &error)) << error;
  return entries;
}

const std::u32string kChinese = U"\u4F60\u597D\uFF0C\u4E16\u754C\u3002";  // 你好，世界。

}  // namespace

TEST(DocxWriter, PackageHoldsThePartsAReaderNeeds) {
  std::string package;
  ASSERT_TRUE(BuildDocx(Text({U"x"}), ZipDosTime(), &package));
  std::map<std::string, std::string> entries = Unzip(package);
  for (const char* part :
       {"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/_rels/document.xml.rels", "word/styles.xml"}) {
    EXPECT_EQ(entries.count(part), 1u) << part;
  }
  EXPECT_NE(entries["[Content_Types].xml"].find("/word/document.xml"), std::string::npos);
  EXPECT_NE(entries["_rels/.rels"].find("Target=\"word/document.xml\""), std::string::npos);
  EXPECT_NE(entries["word/_rels/document.xml.rels"].find("Target=\"styles.xml\""), std::string::npos);
  // The first entry names the content types, as package readers expect.
  EXPECT_EQ(package.compare(30, 19, "[Content_Types].xml"), 0);
}

TEST(DocxWriter, BodyCarriesEveryParagraphAsWritten) {
  struct Case {
    std::vector<std::u32string> paragraphs;
    std::string text;  // paragraphs joined by "\n", UTF-8
  } cases[] = {
      {{U""}, ""},
      {{kChinese, U"", U"second"}, "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C\xE3\x80\x82\n\nsecond"},
      {{U"a < b && c > d"}, "a < b && c > d"},
      {{U"  two spaces\tthen tab\t"}, "  two spaces\tthen tab\t"},
      {{U"\U0001F600 beyond the BMP"}, "\xF0\x9F\x98\x80 beyond the BMP"},
  };
  for (const Case& c : cases) {
    std::string package;
    ASSERT_TRUE(BuildDocx(Text(c.paragraphs), ZipDosTime(), &package));
    const std::string xml = Unzip(package)["word/document.xml"];
    EXPECT_EQ(readback::DocxText(xml), c.text);
    EXPECT_EQ(xml.find("&&"), std::string::npos);
  }
}

TEST(DocxWriter, LargeTextDeflatesAndRoundTrips) {
  std::u32string line;
  for (int i = 0; i < 200; ++i) line += kChinese + U" words ";
  std::vector<std::u32string> paragraphs(500, line);
  std::string package;
  ASSERT_TRUE(BuildDocx(Text(paragraphs), ZipDosTime(), &package));
  const std::string xml = Unzip(package)["word/document.xml"];
  EXPECT_LT(package.size(), xml.size() / 10);  // repetitive text: deflate really ran
  EXPECT_EQ(std::count(xml.begin(), xml.end(), '\0'), 0);
  EXPECT_EQ(readback::DocxText(xml).size(), 500 * (200 * (18 + 7)) + 499);
}

TEST(DocxWriter, EntriesCarryTheGivenTimeStamp) {
  const ZipDosTime stamp = MakeZipDosTime(2026, 3, 5, 14, 7, 31);
  EXPECT_EQ(stamp.date, ((2026 - 1980) << 9) | (3 << 5) | 5);
  EXPECT_EQ(stamp.time, (14 << 11) | (7 << 5) | 15);
  std::string package;
  ASSERT_TRUE(BuildDocx(Text({U"x"}), stamp, &package));
  EXPECT_EQ(readback::Get16(package, 10), stamp.time);
  EXPECT_EQ(readback::Get16(package, 12), stamp.date);
  // Years the form cannot hold fall back to 1980-01-01 00:00.
  EXPECT_EQ(MakeZipDosTime(1970, 1, 1, 0, 0, 0).date, (1 << 5) | 1);
}

#ifndef _WIN32
// Independent readers: Python's zipfile (CRCs and XML well-formedness) and
// unzip's own test mode. The Windows build cannot start Linux programs.
TEST(DocxWriter, ExternalReadersAcceptThePackage) {
  std::string package;
  ASSERT_TRUE(BuildDocx(Text({kChinese, U"a & b", U"", U"\tend"}), MakeZipDosTime(2026, 1, 2, 3, 4, 5),
                        &package));
  const std::string path = testing::TempDir() + "pagemint_external.docx";
  std::ofstream(path, std::ios::binary) << package;
  const std::string script =
      "import sys, zipfile, xml.dom.minidom\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "for n in z.namelist(): xml.dom.minidom.parseString(z.read(n))\n"
      "d = xml.dom.minidom.parseString(z.read('word/document.xml'))\n"
      "ps = d.getElementsByTagName('w:p')\n"
      "t = [''.join(x.firstChild.data for x in p.getElementsByTagName('w:t')) for p in ps]\n"
      "assert t == ['\\u4f60\\u597d\\uff0c\\u4e16\\u754c\\u3002', 'a & b', '', 'end'], t\n";
  const std::string scriptPath = testing::TempDir() + "pagemint_check.py";
  std::ofstream(scriptPath) << script;
  EXPECT_EQ(std::system(("python3 " + scriptPath + " " + path).c_str()), 0);
  EXPECT_EQ(std::system(("unzip -tq " + path + " >/dev/null").c_str()), 0);
  std::remove(path.c_str());
  std::remove(scriptPath.c_str());
}
#endif
