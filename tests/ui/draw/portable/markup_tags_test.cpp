// The markup tag grammar: what stands at a bracket, the parameters of the
// image, font, colour and alignment tags, and hostile or cut-off markup (the
// host build runs these under the sanitizers).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/draw/portable/MarkupTags.h"

using namespace Trellis;

namespace {

struct Read {
  MarkupToken::Kind kind;
  char letter;
  std::string param;
  size_t consumed;
};

Read ReadAt(const std::string& text) {
  const UIStdString wide = Widen(text);
  const MarkupToken token = ReadMarkupToken(wide.c_str());
  Read out{token.kind, static_cast<char>(token.letter), "", static_cast<size_t>(token.next - wide.c_str())};
  if (token.param != nullptr) out.param = ToUtf8(token.param, static_cast<size_t>(token.paramLength));
  return out;
}

}  // namespace

TEST(MarkupTags, WhatStandsAtABracket) {
  struct Case {
    const char* text;
    MarkupToken::Kind kind;
    char letter;
    const char* param;
    size_t consumed;
  };
  const Case cases[] = {
      {"<b>x", MarkupToken::kOpen, 'b', "", 3},
      {"{b}x", MarkupToken::kOpen, 'b', "", 3},
      {"<b}x", MarkupToken::kOpen, 'b', "", 3},
      {"<a http://x>y", MarkupToken::kOpen, 'a', "http://x", 12},
      {"{c #FF0000}", MarkupToken::kOpen, 'c', "#FF0000", 11},
      {"</b>x", MarkupToken::kClose, 'b', "", 4},
      {"{/a junk}x", MarkupToken::kClose, 'a', "", 9},
      {"<{>x", MarkupToken::kEscape, '{', "", 3},
      {"<}>x", MarkupToken::kEscape, '}', "", 3},
      {"{<}x", MarkupToken::kEscape, '<', "", 3},
      {"{>}x", MarkupToken::kEscape, '>', "", 3},
      {"<B>", MarkupToken::kText, 0, "", 1},    // upper case is no tag
      {"<bb>", MarkupToken::kText, 0, "", 1},   // one letter only
      {"{12}", MarkupToken::kText, 0, "", 1},
      {"< b>", MarkupToken::kText, 0, "", 1},
      {"<", MarkupToken::kText, 0, "", 1},
      {"<a never closed", MarkupToken::kOpen, 'a', "never closed", 15},  // runs to the end
      {"</b", MarkupToken::kClose, 'b', "", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Read r = ReadAt(c.text);
    EXPECT_EQ(c.kind, r.kind);
    EXPECT_EQ(c.letter, r.letter);
    EXPECT_EQ(c.param, r.param);
    EXPECT_EQ(c.consumed, r.consumed);
  }
  EXPECT_TRUE(IsMarkupRawEnd(Widen("</r>").c_str()));
  EXPECT_TRUE(IsMarkupRawEnd(Widen("{/r>").c_str()));
  EXPECT_FALSE(IsMarkupRawEnd(Widen("</r").c_str()));
  EXPECT_FALSE(IsMarkupRawEnd(Widen("</b>").c_str()));
}

TEST(MarkupTags, TagParameters) {
  MarkupImageParam image = ParseMarkupImageParam(Widen("strip.png 3 2").c_str());
  EXPECT_EQ("strip.png", ToUtf8(image.name.GetText()));
  EXPECT_EQ(3, image.frames);
  EXPECT_EQ(2, image.frame);
  image = ParseMarkupImageParam(Widen("strip.png 3 3").c_str());
  EXPECT_EQ(0, image.frame);  // out of range
  image = ParseMarkupImageParam(Widen("strip.png -4 -1").c_str());
  EXPECT_EQ(1, image.frames);
  EXPECT_EQ(0, image.frame);
  image = ParseMarkupImageParam(Widen("res='129' restype='PNG'").c_str());
  EXPECT_EQ("129", ToUtf8(image.name.GetText()));
  EXPECT_EQ("PNG", ToUtf8(image.resType.GetText()));
  image = ParseMarkupImageParam(Widen("file='a.png' restype='PNG'").c_str());
  EXPECT_EQ("a.png", ToUtf8(image.name.GetText()));
  EXPECT_TRUE(image.resType.IsEmpty());

  MarkupFontParam font = ParseMarkupFontParam(Widen("12").c_str());
  EXPECT_TRUE(font.byId);
  EXPECT_EQ(12, font.id);
  font = ParseMarkupFontParam(Widen("Tahoma 16 BOLD italic").c_str());
  EXPECT_FALSE(font.byId);
  EXPECT_EQ("Tahoma", ToUtf8(font.face.GetText()));
  EXPECT_EQ(16, font.size);
  EXPECT_TRUE(font.bold);
  EXPECT_TRUE(font.italic);
  EXPECT_FALSE(font.underline);
  font = ParseMarkupFontParam(Widen("Arial underline").c_str());
  EXPECT_EQ(10, font.size);
  EXPECT_TRUE(font.underline);

  // Colours read as signed 32-bit numbers: negative ones keep their bits,
  // the range's ends saturate.
  const struct {
    const char* param;
    uint32_t colour;
  } colours[] = {
      {"#FF0000", 0xFF0000u},      {"FFFF0000", 0x7FFFFFFFu},   {"zz", 0u},
      {"-1", 0xFFFFFFFFu},         {"#-FF0100", 0xFF00FF00u},   {"-0x10", 0xFFFFFFF0u},
      {"-80000000", 0x80000000u},  {"-80000001", 0x80000000u},  {"-FFFFFFFFFF", 0x80000000u},
      {"7FFFFFFF", 0x7FFFFFFFu},   {" +FF", 0xFFu},
  };
  for (const auto& c : colours) EXPECT_EQ(ParseMarkupColor(Widen(c.param).c_str()), c.colour) << c.param;
  EXPECT_EQ(1, ParseMarkupVAlign(Widen("Center").c_str()));
  EXPECT_EQ(2, ParseMarkupVAlign(Widen("TOP").c_str()));
  EXPECT_EQ(0, ParseMarkupVAlign(Widen("middle").c_str()));
}

TEST(MarkupTags, HostileAndCutOffMarkupStaysInside) {
  const std::vector<std::string> valid = {
      "<a link>text</a>{b}bold{/b}<{><i img.png 2 1><f Tahoma 12 bold>x</f><c #FF00FF>y</c>",
      "<r><b>raw</b></r><v center><p 5>z</p></v><x 3><y 20><n><s>sel</s>",
  };
  auto walk = [](const UIStdString& text) {
    std::unique_ptr<UIChar[]> exact(new UIChar[text.size() + 1]);
    std::copy(text.begin(), text.end(), exact.get());
    exact[text.size()] = 0;
    const UIChar* p = exact.get();
    const UIChar* end = p + text.size();
    while (p < end) {
      if (!IsMarkupOpenBracket(*p)) {
        ++p;
        continue;
      }
      IsMarkupRawEnd(p);
      const MarkupToken token = ReadMarkupToken(p);
      ASSERT_GT(token.next, p);
      ASSERT_LE(token.next, end);
      if (token.param != nullptr) {
        const CUIString param(token.param, token.paramLength);
        ParseMarkupImageParam(param.GetText());
        ParseMarkupFontParam(param.GetText());
        ParseMarkupColor(param.GetText());
        ParseMarkupVAlign(param.GetText());
      }
      p = token.next;
    }
  };
  for (const std::string& text : valid) {
    const UIStdString wide = Widen(text);
    for (size_t n = 0; n <= wide.size(); ++n) walk(wide.substr(0, n));
  }
  const std::vector<std::string> hostile = {"<", "{", "</", "{/", "<a", "<a ", "<{", "{<", "<}", "<<<<", "{{{{",
                                            "<i file='", "<i res='x", "<f 99999999999999>", "<f  >",
                                            "<c #FFFFFFFFFFFFFFFFFFFF>", "<i x 99999999999 -99999999999>"};
  for (const std::string& text : hostile) walk(Widen(text));
}
