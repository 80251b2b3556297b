#include "pagemint/portable/DocumentBuilder.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/pagemint/portable/DocumentReadback.h"

TEST(DocumentBuilder, FormatFollowsTheLastExtension) {
  struct Case {
    const wchar_t* path;
    DocumentFormat format;
  } cases[] = {
      {L"C:\\out\\talk_20260305_1.docx", DocumentFormat::kDocx},
      {L"C:\\out\\talk.DOCX", DocumentFormat::kDocx},
      {L"C:\\out\\talk.doc", DocumentFormat::kDoc},
      {L"C:\\out\\talk.Doc", DocumentFormat::kDoc},
      {L"C:\\out.doc\\talk.txt", DocumentFormat::kUnknown},
      {L"C:\\out\\talk.docx.txt", DocumentFormat::kUnknown},
      {L"talk.docm", DocumentFormat::kUnknown},
      {L"", DocumentFormat::kUnknown},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFromOutputPath(c.path), c.format) << c.path;
}

TEST(DocumentBuilder, BuildsEachFormatFromUtf8) {
  const std::string utf8 = "\xE7\xAC\xAC\xE4\xB8\x80\r\nsecond\n";  // 第一, second
  std::string docx;
  std::string error;
  ASSERT_TRUE(BuildDocument(utf8, DocumentFormat::kDocx, ZipDosTime(), &docx, &error)) << error;
  std::map<std::string, std::string> entries;
  ASSERT_TRUE(readback::ReadZip(docx, &entries, &error)) << error;
  EXPECT_EQ(readback::DocxText(entries["word/document.xml"]), "\xE7\xAC\xAC\xE4\xB8\x80\nsecond");

  std::string rtf;
  ASSERT_TRUE(BuildDocument(utf8, DocumentFormat::kDoc, ZipDosTime(), &rtf, &error)) << error;
  EXPECT_EQ(readback::RtfText(rtf), "\xE7\xAC\xAC\xE4\xB8\x80\nsecond");
}

TEST(DocumentBuilder, FailuresSayWhyAndLeaveTheOutputAlone) {
  struct Case {
    std::string utf8;
    DocumentFormat format;
    std::string reason;
  } cases[] = {
      {"fine", DocumentFormat::kUnknown, ".docx or .doc"},
      {"ok\xC3(", DocumentFormat::kDocx, "not valid UTF-8 (byte 2)"},
      {"\xA0", DocumentFormat::kDoc, "not valid UTF-8 (byte 0)"},
  };
  for (const Case& c : cases) {
    std::string document = "previous";
    std::string error;
    EXPECT_FALSE(BuildDocument(c.utf8, c.format, ZipDosTime(), &document, &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_EQ(document, "previous");
  }
}
