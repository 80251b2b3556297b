#include "core/portable/FormEncoding.h"

#include <gtest/gtest.h>

TEST(FormEncoding, EncodesEverythingButUnreservedCharacters) {
  struct Case {
    const char* value;
    const char* encoded;
  } cases[] = {
      {"", ""},
      {"AZaz09-._~", "AZaz09-._~"},
      {"http://h:1/colud/ars/files/1.mp3?a=1&b=2+3%", "http%3A%2F%2Fh%3A1%2Fcolud%2Fars%2Ffiles%2F1.mp3%3Fa%3D1%26b%3D2%2B3%25"},
      {"a b", "a%20b"},
      {"\xE4\xBD\xA0", "%E4%BD%A0"},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncode(c.value), c.encoded) << c.value;
}
