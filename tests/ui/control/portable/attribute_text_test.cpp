// The shared readers of skin attribute values: numbers, lists, colours,
// booleans and attribute lists, including hostile and truncated texts (the
// host build runs these under AddressSanitizer, so a read past a NUL fails).
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/control/portable/AttributeText.h"

using namespace Trellis;

namespace {

UIStdString Wide(const std::string& ascii) { return UIStdString(ascii.begin(), ascii.end()); }

// A heap copy holding exactly the text and its NUL, so AddressSanitizer
// catches any read past the terminator.
std::unique_ptr<UIChar[]> Exact(const UIStdString& text) {
  std::unique_ptr<UIChar[]> copy(new UIChar[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), (text.size() + 1) * sizeof(UIChar));
  return copy;
}

TEST(AttributeTextTest, IntegersAsTheRuntimeReadsThem) {
  struct Case {
    const char* text;
    int32_t value;
    int consumed;
  } cases[] = {
      {"42", 42, 2},          {"  -17x", -17, 5},     {"+8", 8, 2},   {"", 0, 0},
      {"abc", 0, 0},          {"-", 0, 0},            {" ", 0, 0},    {"\t12", 12, 3},
      {"99999999999", INT32_MAX, 11}, {"-99999999999", INT32_MIN, 12}, {"2147483647", INT32_MAX, 10},
      {"-2147483648", INT32_MIN, 11}, {"12.5", 12, 2},
  };
  for (const Case& c : cases) {
    auto text = Exact(Wide(c.text));
    const UIChar* end = nullptr;
    EXPECT_EQ(ParseAttributeInt(text.get(), &end), c.value) << c.text;
    EXPECT_EQ(end - text.get(), c.consumed) << c.text;
  }
  EXPECT_EQ(ParseAttributeInt(nullptr), 0);
}

TEST(AttributeTextTest, ListsTakeOneSeparatorAndMissingNumbersAreZero) {
  struct Case {
    const char* text;
    int32_t v[4];
    int read;
  } cases[] = {
      {"10,20,110,70", {10, 20, 110, 70}, 4},
      {"1;2 3x4", {1, 2, 3, 4}, 4},
      {"1, 2,3,4", {1, 2, 3, 4}, 4},  // blanks after the separator are skipped by the number
      {"1,,3,4", {1, 0, 3, 4}, 4},    // an empty field reads 0; the next number starts after its separator
      {"5", {5, 0, 0, 0}, 1},
      {"5,", {5, 0, 0, 0}, 2},
      {"5,6", {5, 6, 0, 0}, 2},
      {"", {0, 0, 0, 0}, 1},
      {",", {0, 0, 0, 0}, 2},
      {"-1,-2,-3,-4,-5", {-1, -2, -3, -4}, 4},
  };
  for (const Case& c : cases) {
    auto text = Exact(Wide(c.text));
    int32_t v[4] = {7, 7, 7, 7};
    EXPECT_EQ(ParseAttributeIntList(text.get(), v, 4), c.read) << c.text;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i], c.v[i]) << c.text << " #" << i;
  }
  const CUIRect rect = ParseAttributeRect(nullptr);
  EXPECT_EQ(rect.left + rect.top + rect.right + rect.bottom, 0);
  const CUISize size = ParseAttributeSize(Exact(Wide("414,305")).get());
  EXPECT_EQ(size.cx, 414);
  EXPECT_EQ(size.cy, 305);
}

TEST(AttributeTextTest, EveryTruncationOfAListStaysInsideTheText) {
  // Each prefix of valid lists is read from an exact-size buffer: the reader
  // must stop at the NUL and leave the unread numbers 0.
  for (const std::string full : {"10,20,110,70", "-3, 4 ,+5,x", "0.5,0,0.5,1"}) {
    for (size_t n = 0; n <= full.size(); ++n) {
      auto text = Exact(Wide(full.substr(0, n)));
      int32_t v[4];
      ParseAttributeIntList(text.get(), v, 4);
      double d[4];
      ParseAttributeDoubleList(text.get(), d, 4);
      ParseAttributeColor(text.get());
      CAttributeListReader reader(text.get());
      CUIString name, value;
      while (reader.Next(name, value)) {
      }
    }
  }
  auto five = Exact(Wide("10,20"));
  int32_t v[4];
  ParseAttributeIntList(five.get(), v, 4);
  EXPECT_EQ(v[0], 10);
  EXPECT_EQ(v[1], 20);
  EXPECT_EQ(v[2], 0);
  EXPECT_EQ(v[3], 0);
}

TEST(AttributeTextTest, FractionsAndTheirScaling) {
  double d[4];
  EXPECT_EQ(ParseAttributeDoubleList(Exact(Wide("0.5,0,0.25,1e0")).get(), d, 4), 4);
  EXPECT_DOUBLE_EQ(d[0], 0.5);
  EXPECT_DOUBLE_EQ(d[2], 0.25);
  EXPECT_DOUBLE_EQ(d[3], 1.0);
  // Text that is no finite number reads 0.
  EXPECT_EQ(ParseAttributeDouble(Exact(Wide("nan")).get()), 0.0);
  EXPECT_EQ(ParseAttributeDouble(Exact(Wide("1e999")).get()), 0.0);
  EXPECT_EQ(ScaleByFraction(200, 0.5), 100);
  EXPECT_EQ(ScaleByFraction(-7, 0.5), -3);  // truncation toward zero
  EXPECT_EQ(ScaleByFraction(INT32_MAX, 1e300), INT32_MAX);
  EXPECT_EQ(ScaleByFraction(INT32_MAX, -1e300), INT32_MIN);
  EXPECT_EQ(ScaleByFraction(10, std::nan("")), 0);
}

// A number of any length is read whole and its end lies right after it, so a
// list reads the next number after its separator, not the rest of this one.
TEST(AttributeTextTest, LongNumbersAreReadWhole) {
  const std::string zeros(70, '0');
  struct Case {
    std::string list;
    double values[3];
  } cases[] = {
      {"0." + zeros + "5,0.25,3", {5e-71, 0.25, 3.0}},
      {"1" + zeros + ",2,3", {1e70, 2.0, 3.0}},
      {"-" + zeros + "1.5e+0" + ",-2,0", {-1.5, -2.0, 0.0}},
      {"0." + std::string(300, '3') + "e1,7,8", {10.0 / 3.0, 7.0, 8.0}},
  };
  for (const Case& c : cases) {
    double d[3] = {};
    EXPECT_EQ(ParseAttributeDoubleList(Exact(Wide(c.list)).get(), d, 3), 3) << c.list;
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(d[i], c.values[i]) << c.list << " #" << i;
  }

  // Random numbers of up to a few hundred characters: each one ends exactly
  // at its separator and reads as the runtime reads it on its own.
  uint32_t state = 424242;
  auto next = [&state]() {
    state = state * 1103515245u + 12345u;
    return state >> 16;
  };
  for (int round = 0; round < 300; ++round) {
    auto digits = [&next](size_t count) {
      std::string out;
      for (size_t i = 0; i < count; ++i) out += static_cast<char>('0' + next() % 10);
      return out;
    };
    std::string number = next() % 2 ? "-" : "";
    number += digits(next() % 150 + 1);
    if (next() % 2) number += "." + digits(next() % 150);
    if (next() % 2) number += "e" + std::to_string(static_cast<int>(next() % 40) - 20);
    auto text = Exact(Wide(number + ";"));
    const UIChar* end = nullptr;
    const double value = ParseAttributeDouble(text.get(), &end);
    const double expected = std::strtod(number.c_str(), nullptr);
    EXPECT_EQ(end - text.get(), static_cast<std::ptrdiff_t>(number.size())) << number;
    EXPECT_EQ(value, std::isfinite(expected) ? expected : 0.0) << number;
  }
}

TEST(AttributeTextTest, ColoursAndBooleans) {
  struct Case {
    const char* text;
    uint32_t colour;
  } cases[] = {
      {"#FF00FF00", 0xFF00FF00u}, {"FF00FF00", 0xFF00FF00u}, {"  #80ff0000", 0x80FF0000u},
      {"#", 0u},                  {"", 0u},                  {"xyz", 0u},
      {"#1FFFFFFFF", 0xFFFFFFFFu}, {"0xFF0000FF", 0xFF0000FFu}, {"##FF", 0u},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseAttributeColor(Exact(Wide(c.text)).get()), c.colour) << c.text;
  EXPECT_TRUE(ParseAttributeBool(Exact(Wide("true")).get()));
  for (const char* text : {"True", "TRUE", "true ", " true", "1", ""}) {
    EXPECT_FALSE(ParseAttributeBool(Exact(Wide(text)).get())) << text;
  }
  EXPECT_FALSE(ParseAttributeBool(nullptr));
}

TEST(AttributeTextTest, RandomTextsStayInsideTheirBuffers) {
  // Texts built from the characters the readers care about (digits, signs,
  // separators, quotes, "=", "#", blanks, hexadecimal letters, characters
  // beyond ASCII), in exact-size buffers: no reader may look past the NUL.
  static const UIChar kAlphabet[] = {'0', '9', '5', '-', '+', ',', ' ', '"', '=', '#', 'x', 'X', 'f', 'F',
                                     'e', '.', '\t', 't', 'r', 'u', 0x4E2D, 0xD800, 0xFFFF, 'n', 'a', 'i'};
  uint32_t state = 12345;
  auto next = [&state]() {
    state = state * 1103515245u + 12345u;
    return state >> 16;
  };
  for (int round = 0; round < 3000; ++round) {
    UIStdString text;
    const size_t length = next() % 24;
    for (size_t i = 0; i < length; ++i) text += kAlphabet[next() % (sizeof(kAlphabet) / sizeof(kAlphabet[0]))];
    auto exact = Exact(text);
    int32_t ints[4];
    double doubles[4];
    ParseAttributeIntList(exact.get(), ints, 4);
    ParseAttributeDoubleList(exact.get(), doubles, 4);
    for (double d : doubles) EXPECT_TRUE(std::isfinite(d));
    ParseAttributeColor(exact.get());
    ParseAttributeBool(exact.get());
    ParseAttributeSize(exact.get());
    CAttributeListReader reader(exact.get());
    CUIString name, value;
    int pairs = 0;
    while (reader.Next(name, value)) ++pairs;
    EXPECT_LE(pairs, static_cast<int>(length));
  }
}

std::vector<std::pair<std::string, std::string>> ReadAll(const std::string& list) {
  auto text = Exact(Wide(list));
  CAttributeListReader reader(text.get());
  std::vector<std::pair<std::string, std::string>> pairs;
  CUIString name, value;
  while (reader.Next(name, value)) pairs.emplace_back(ToUtf8(name.GetText()), ToUtf8(value.GetText()));
  return pairs;
}

TEST(AttributeTextTest, AttributeListsSplitAtExactlyOneBlank) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ReadAll("a=\"1\" b=\"x y\""), (Pairs{{"a", "1"}, {"b", "x y"}}));
  // A second blank becomes part of the next name.
  EXPECT_EQ(ReadAll("a=\"1\"  b=\"2\""), (Pairs{{"a", "1"}, {" b", "2"}}));
  // No blank after the closing quote: the list ends after the pair.
  EXPECT_EQ(ReadAll("a=\"1\"b=\"2\""), (Pairs{{"a", "1"}}));
  // A first value without its closing quote applies nothing.
  EXPECT_EQ(ReadAll("a=\"1 b=2"), Pairs{});
  // A name without "=" (the scan stops at the NUL) and "=" without a quote.
  EXPECT_EQ(ReadAll("name"), Pairs{});
  EXPECT_EQ(ReadAll("a=1"), Pairs{});
  EXPECT_EQ(ReadAll("a=\"\""), (Pairs{{"a", ""}}));
  EXPECT_EQ(ReadAll(""), Pairs{});
  // Where the list broke is kept for the diagnostic; a list that simply ends is not malformed.
  auto broken = Exact(Wide("a=\"1\" b=2"));
  CAttributeListReader brokenReader(broken.get());
  CUIString n, v;
  EXPECT_TRUE(brokenReader.Next(n, v));
  EXPECT_FALSE(brokenReader.Next(n, v));
  EXPECT_EQ(ToUtf8(brokenReader.GetMalformedRest()), "b=2");
  auto whole = Exact(Wide("a=\"1\""));
  CAttributeListReader wholeReader(whole.get());
  while (wholeReader.Next(n, v)) {
  }
  EXPECT_EQ(wholeReader.GetMalformedRest(), nullptr);
  CAttributeListReader none(nullptr);
  CUIString name, value;
  EXPECT_FALSE(none.Next(name, value));
}

}  // namespace
