#include "core/base/portable/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Base64, EncodesAndDecodesKnownTexts) {
  struct Case {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foobar", "Zm9vYmFy"},
      {std::string("\xfb\xff\xbf", 3), "+/+/"},
      {std::string("\0\x01\x02", 3), "AAEC"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.text;
    EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
  }
}

TEST(Base64, RoundTripsEveryByteValueAtEveryRemainder) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  for (size_t cut = 253; cut <= 256; ++cut) {
    const std::string part = bytes.substr(0, cut);
    const std::string text = Base64Encode(part);
    EXPECT_EQ(text.size(), Base64EncodedLength(cut));
    EXPECT_EQ(Base64Decode(text), part) << cut;
  }
}

TEST(Base64, EncodeWritesExactlyTheEncodedLength) {
  std::vector<char> out(16, '#');
  EXPECT_EQ(Base64Encode("ab", 2, out.data()), 4u);
  EXPECT_EQ(std::string(out.data(), 5), "YWI=#");
}

// Malformed input stops decoding; it never reads past the given length nor
// treats high bytes as table indexes (the sanitizers of the host build watch).
TEST(Base64, DecodeStopsAtMalformedInput) {
  struct Case {
    std::string text;
    std::string bytes;
  } cases[] = {
      {"Zm9v\x80\xff\xfe\xfd", "foo"},  // high bytes are outside the alphabet
      {"Zm9vYm", "foob"},               // a group cut short by the length
      {"Zm9vY", "foo"},                 // a lone last character makes no byte
      {"Zg==Zm8=", "f"},                // padding ends the text
      {"Z=9v", ""},                     // padding in the second position
      {"Zm9v\nZm8=", "foo"},            // a line break is not Base64
  };
  for (const Case& c : cases) EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
}

// A service's audio must decode whole: a fault part-way would otherwise pass
// on only the audio before it.
TEST(Base64, DecodeWholeRefusesAnyMalformedText) {
  struct Case {
    std::string text;
    bool whole;
    std::string bytes;
  } cases[] = {
      {"", true, ""},
      {"Zg==", true, "f"},
      {"Zm8=", true, "fo"},
      {"Zm9vYmFy", true, "foobar"},
      {"Zm9v\nYmFy", false, ""},  // a wrapped line
      {"Zm9vYmF", false, ""},      // cut short
      {"Zg==Zm8=", false, ""},     // padding before the end
      {"Zm9v====", false, ""},
      {"Z===", false, ""},
      {"Zm9v\x80\xff\xfe\xfd", false, ""},
  };
  for (const Case& c : cases) {
    std::string bytes = "kept";
    EXPECT_EQ(Base64DecodeWhole(c.text, bytes), c.whole) << c.text;
    EXPECT_EQ(bytes, c.whole ? c.bytes : "kept") << c.text;
  }
}

TEST(Base64, DecodeHonoursTheLengthOfAnUnterminatedBuffer) {
  // "Zm9vYmFy" with only the first six characters given: no byte of the rest is read.
  const char text[] = {'Z', 'm', '9', 'v', 'Y', 'm'};
  unsigned char out[Base64DecodedCapacity(sizeof(text))] = {};
  ASSERT_EQ(Base64Decode(text, sizeof(text), out), 4u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 4), "foob");
}

TEST(EscapeBase64, EscapesTheThreeFormCharacters) {
  EXPECT_EQ(EscapeBase64("a+b/c=="), "a%2Bb%2Fc%3D%3D");
  EXPECT_EQ(EscapeBase64("+/+/"), "%2B%2F%2B%2F");
  EXPECT_EQ(EscapeBase64("PHNwZWFr"), "PHNwZWFr");
  // The "%" it inserts is never taken for a character to escape again.
  const std::string escaped = EscapeBase64(Base64Encode(std::string("\xfb\xef\xbe\xff\xff", 5)));
  EXPECT_EQ(escaped.find_first_of("+/="), std::string::npos) << escaped;
}
