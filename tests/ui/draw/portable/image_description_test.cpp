// The image description grammar: what each key sets, where parsing stops,
// and hostile or cut-off texts (the host build runs these under the
// sanitizers, so any read past a text's end fails).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/draw/portable/ImageDescription.h"

using namespace Trellis;

namespace {

UIImageDescription Parse(const std::string& text, ImageKeySet keys = ImageKeySet::kDescription) {
  UIImageDescription out;
  ParseImageDescription(Widen(text).c_str(), &out, keys);
  return out;
}

std::string Rect(const CUIRect& rc) {
  return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
         std::to_string(rc.bottom);
}

// Parses a copy of the text in a buffer of exactly its length plus the NUL,
// so a sanitizer sees any read beyond it.
void ParseExact(const UIStdString& text, ImageKeySet keys) {
  std::unique_ptr<UIChar[]> buffer(new UIChar[text.size() + 1]);
  std::copy(text.begin(), text.end(), buffer.get());
  buffer[text.size()] = 0;
  UIImageDescription out;
  ParseImageDescription(buffer.get(), &out, keys);
  EXPECT_LE(out.name.GetLength(), static_cast<int>(text.size()));
}

}  // namespace

TEST(ImageDescription, KeysSetTheirFields) {
  const UIImageDescription d = Parse(
      "file='bk.png' dest='1,2,3,4' source='0,0,80,30' corner='4,4,4,4' mask='#FFFF00FF' fade='128' "
      "hole='true' xtiled='true' ytiled='false' hsl='true'");
  EXPECT_EQ("bk.png", ToUtf8(d.name.GetText()));
  EXPECT_EQ(UIImageDescription::Source::kFile, d.source);
  EXPECT_EQ("1,2,3,4", Rect(d.dest));
  EXPECT_EQ("0,0,80,30", Rect(d.sourceRect));
  EXPECT_EQ("4,4,4,4", Rect(d.corner));
  EXPECT_EQ(0xFFFF00FFu, d.mask);
  EXPECT_EQ(128, d.fade);
  EXPECT_TRUE(d.hole);
  EXPECT_TRUE(d.xtiled);
  EXPECT_FALSE(d.ytiled);
  EXPECT_TRUE(d.hsl);
  EXPECT_EQ(nullptr, d.LoadType());
}

TEST(ImageDescription, NameAndResourceType) {
  struct Case {
    const char* text;
    const char* name;
    const char* loadType;  // null: a file or archive entry
  };
  const Case cases[] = {
      {"bare.png", "bare.png", nullptr},
      {"my image.png", "my image.png", nullptr},  // no pair form: the whole text is the name
      {"res='129' restype='PNG'", "129", "PNG"},
      {"restype='PNG' res='icon'", "icon", "PNG"},
      {"res='129'", "129", nullptr},
      {"file='a.png' restype='PNG'", "a.png", nullptr},  // the type counts only with res or color
      {"color='#FF0000FF'", "#FF0000FF", "*COLOR*"},
      {"color='FF00FF00' restype='PNG'", "FF00FF00", "*COLOR*"},
      {"unknown='x'", "unknown='x'", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const UIImageDescription d = Parse(c.text);
    EXPECT_EQ(c.name, ToUtf8(d.name.GetText()));
    if (c.loadType == nullptr) {
      EXPECT_EQ(nullptr, d.LoadType());
    } else {
      ASSERT_NE(nullptr, d.LoadType());
      EXPECT_EQ(c.loadType, ToUtf8(d.LoadType()));
    }
  }
}

TEST(ImageDescription, WhereParsingStops) {
  struct Case {
    const char* text;
    const char* dest;
    const char* corner;
  };
  const Case cases[] = {
      // A second pair glued to the first closing quote is not read.
      {"dest='1,1,1,1'corner='2,2,2,2'", "1,1,1,1", "0,0,0,0"},
      // Two spaces: the second counts as a blank before the key.
      {"dest='1,1,1,1'  corner='2,2,2,2'", "1,1,1,1", "2,2,2,2"},
      {"  dest = '1,1,1,1' corner= '2,2,2,2'", "1,1,1,1", "2,2,2,2"},
      // Malformed pairs end parsing; what came before stays.
      {"dest='1,1,1,1' corner'2,2,2,2'", "1,1,1,1", "0,0,0,0"},
      {"dest='1,1,1,1' corner=2,2,2,2", "1,1,1,1", "0,0,0,0"},
      {"dest='1,1,1,1' corner='2,2,2,2", "1,1,1,1", "0,0,0,0"},
      // An empty value is skipped, the next pair is read.
      {"dest='' corner='2,2,2,2'", "0,0,0,0", "2,2,2,2"},
      // Keys are case-sensitive.
      {"Dest='1,1,1,1' scale9='3,3,3,3'", "0,0,0,0", "3,3,3,3"},
      // Short lists: missing numbers are 0.
      {"dest='5' corner='1,2'", "5,0,0,0", "1,2,0,0"},
      // An unreadable number ends where it began, so its separator is the
      // next one's start: "x" reads 0, then "," reads 0.
      {"dest='-5,+6,x,8'", "-5,6,0,0", "0,0,0,0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const UIImageDescription d = Parse(c.text);
    EXPECT_EQ(c.dest, Rect(d.dest));
    EXPECT_EQ(c.corner, Rect(d.corner));
  }
}

TEST(ImageDescription, FadeIsClampedToAByte) {
  EXPECT_EQ(255, Parse("fade='300'").fade);
  EXPECT_EQ(0, Parse("fade='-4'").fade);
  EXPECT_EQ(0, Parse("fade='abc'").fade);
}

TEST(ImageDescription, AttributeKeySetIgnoresColorScale9AndHsl) {
  const UIImageDescription d = Parse("color='FF0000FF' scale9='1,1,1,1' hsl='true'", ImageKeySet::kAttribute);
  EXPECT_EQ(UIImageDescription::Source::kName, d.source);
  EXPECT_EQ("0,0,0,0", Rect(d.corner));
  EXPECT_FALSE(d.hsl);
  EXPECT_EQ(nullptr, d.LoadType());
  EXPECT_EQ("color='FF0000FF' scale9='1,1,1,1' hsl='true'", ToUtf8(d.name.GetText()));
}

TEST(ImageDescription, NullAndEmptyText) {
  UIImageDescription d;
  EXPECT_EQ(0, ParseImageDescription(nullptr, &d));
  EXPECT_TRUE(d.name.IsEmpty());
  EXPECT_EQ(0, ParseImageDescription(Widen("").c_str(), &d));
}

TEST(ImageDescription, EveryTruncationOfValidTextsIsSafe) {
  const std::string valid[] = {
      "file='bk.png' dest='1,2,3,4' source='0,0,80,30' corner='4,4,4,4' mask='#FFFF00FF' fade='128'",
      "res='129' restype='PNG' hole='true' xtiled='true' ytiled='true' hsl='true'",
      "color='#80FF0000' scale9='10,10,10,10'",
  };
  for (const std::string& text : valid) {
    const UIStdString wide = Widen(text);
    for (size_t n = 0; n <= wide.size(); ++n) {
      ParseExact(wide.substr(0, n), ImageKeySet::kDescription);
      ParseExact(wide.substr(0, n), ImageKeySet::kAttribute);
    }
  }
}

TEST(ImageDescription, HostileTextsAreSafe) {
  std::vector<UIStdString> hostile = {
      Widen("="), Widen("'"), Widen("''''"), Widen("=''"), Widen("a="), Widen("a='"),
      Widen("dest='99999999999999999999,-99999999999999999999,1,1'"), Widen("mask='#FFFFFFFFFFFFFFFFFFFF'"),
      Widen("dest=',,,,,,,,,,,,'"), Widen("dest='1,"), Widen("corner='1,2,3,"), Widen("fade='99999999999'"),
      Widen("      "), Widen("file='a' file='b' file='c' file='d' file='e'"),
  };
  UIStdString controls;
  for (UIChar ch = 1; ch < 40; ++ch) controls += ch;
  hostile.push_back(controls);
  UIStdString surrogates = {0xD800, '=', '\'', 0xDFFF, '\'', ' ', 0xFFFF};
  hostile.push_back(surrogates);
  UIStdString longKey(5000, 'k');
  longKey += Widen("='v'");
  hostile.push_back(longKey);
  for (const UIStdString& text : hostile) {
    ParseExact(text, ImageKeySet::kDescription);
    ParseExact(text, ImageKeySet::kAttribute);
  }
  const UIImageDescription d = Parse("dest='99999999999999999999,-99999999999999999999,1,1'");
  EXPECT_EQ(2147483647, d.dest.left);
  EXPECT_EQ(-2147483647 - 1, d.dest.top);
}
