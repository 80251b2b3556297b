#include "pagemint/portable/RtfWriter.h"

#include <gtest/gtest.h>

#include "tests/pagemint/portable/DocumentReadback.h"

namespace {

DocumentText Text(std::vector<std::u32string> paragraphs) {
  DocumentText text;
  text.paragraphs = std::move(paragraphs);
  return text;
}

}  // namespace

TEST(RtfWriter, WritesEscapesForEverythingBeyondAscii) {
  const std::string rtf = BuildRtf(Text({U"\u4F60\u597D {x}\\", U"", U"\tA\U0001F600\u00E9"}));
  EXPECT_EQ(rtf.compare(0, 6, "{\\rtf1"), 0);
  EXPECT_NE(rtf.find("\\fs24 \\u20320?\\u22909? \\{x\\}\\\\\r\n\\par \r\n\\par \\tab A\\u-10179?\\u-8704?\\u233?}"),
            std::string::npos)
      << rtf;
  for (char c : rtf) EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << rtf;
}

TEST(RtfWriter, ReadsBackAsTheSameText) {
  const std::string rtf = BuildRtf(Text({U"  spaced  ", U"\u8BC6\u522B\u7ED3\u679C", U"", U"1 2\t3", U"5"}));
  EXPECT_EQ(readback::RtfText(rtf),
            "  spaced  \n\xE8\xAF\x86\xE5\x88\xAB\xE7\xBB\x93\xE6\x9E\x9C\n\n1 2\t3\n5");
}
