#include "core/portable/Base64.h"
#include "core/portable/Md5Hex.h"
#include "core/portable/RequestSign.h"

#include <gtest/gtest.h>

#include <string>

TEST(Md5Hex, KnownDigests) {
  EXPECT_EQ(ComputeMd5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(ComputeMd5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(ComputeMd5Hex("168"), "006f52e9102a8d3be2fe5614f42ba989");  // leading zero digits kept
  EXPECT_EQ(ComputeMd5HexW("168"), L"006f52e9102a8d3be2fe5614f42ba989");
}

// The signed text of a synthesis request is the escaped Base64 of the ANSI
// (code page 936) SSML; the Chinese case is given here as its GBK bytes.
TEST(RequestSign, SignsTheEscapedBase64OfTheText) {
  struct Case {
    std::string ansiText;
    std::string escaped;
    std::string sign;
  } cases[] = {
      {"<speak>hello</speak>", "PHNwZWFrPmhlbGxvPC9zcGVhaz4%3D", "561bb0ae79cc910527cba623d76e5a04"},
      {"<speak>\xc4\xe3\xba\xc3\xa3\xac\xca\xc0\xbd\xe7</speak>", "PHNwZWFrPsTjusOjrMrAvec8L3NwZWFrPg%3D%3D",
       "12e3b6897499f35e4697f2083704a94f"},
      {"\xfb\xff\xbf", "%2B%2F%2B%2F", "3c5b3f77f316ac3196250321c7c3fc78"},
  };
  for (const Case& c : cases) {
    const std::string escaped = EscapeBase64(Base64Encode(c.ansiText));
    EXPECT_EQ(escaped, c.escaped);
    EXPECT_EQ(SignRequestText(escaped), c.sign) << c.escaped;
  }
}

TEST(RequestSign, SignsAnUploadTimestamp) {
  EXPECT_STREQ(RequestSignSalt, "4185062");
  EXPECT_EQ(SignRequestText("1700000000000"), "7403bcf67cf17028c63fd87a6a86d809");
}
