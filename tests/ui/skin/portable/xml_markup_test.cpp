#include "ui/skin/portable/XmlMarkup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/skin/portable/MarkupTestTree.h"
#include "tests/ui/base/portable/UITestText.h"

using Trellis::CXmlMarkup;
using Trellis::CXmlMarkupNode;
using Trellis::MarkupEncodingUtf16;
using Trellis::MarkupEncodingUtf8;
using Trellis::UIChar;

namespace {

std::string Parse(const std::string& document) {
  CXmlMarkup markup;
  markup.Load(FromUtf8(document).c_str());
  return DumpMarkup(markup);
}

TEST(XmlMarkup, ParsesDocumentsIntoTrees) {
  struct Case {
    const char* document;
    const char* tree;
  };
  const Case cases[] = {
      {R"(<Window size="10,20"><Label text="a &amp; b" /></Window>)", "Window(size=10,20)[Label(text=a & b)]"},
      {R"(<a v="&lt;&gt;&quot;&apos;&amp;" w="&copy; &amp" x="&#65;"/>)", "a(v=<>\"'&,w=&copy; &amp,x=&#65;)"},
      {R"(<?xml version="1.0" encoding="utf-8"?><!-- c --><r />)", "r"},
      {R"(<Control/>)", "Control"},  // no blank before the slash: still an empty element
      {R"(<r><Control/><Next a="1"/></r>)", "r[Control Next(a=1)]"},
      {R"(<b><a>text)", "b[a]"},       // text running to the end inside the root
      {R"(<r>text before<c/></r>)", "r[c]"},
      {R"(<r><a></a ></r>)", "r[a]"},
      {R"(<one/><two/>)", "one two"},  // several top-level elements are siblings
      {"<r>\n  <a  x = \"1\"\ty=\" sp \" />\n</r>", "r[a(x=1,y= sp )]"},
      {R"(<r:x a_b="1"/>)", "r:x(a_b=1)"},
      {R"(<r><!-- <skipped x="1"/> --><k/></r>)", "r[k]"},
      {R"(<r></r></extra>)", "r"},  // an end tag at the top level ends the document
      {"<中文 名=\"值\"/>", "中文(名=值)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.document), c.tree) << c.document;
}

TEST(XmlMarkup, ReportsEachErrorWithItsLocation) {
  struct Case {
    const char* document;
    const char* message;
    const char* location;
  };
  const Case cases[] = {
      {R"(<r><a /> tail</r>)", "Expected start tag", "tail</r>"},
      {"plain text", "Expected start tag", "plain text"},
      {"<r></r>trailing", "Expected start tag", "trailing"},
      {"<r><a><b/>", "Expected start tag", ""},
      {"<abc", "Error parsing element name", ""},
      {R"(<a x="1" / >)", "Expected start-tag closing", "/ >"},
      {"<r><a><b>x", "Expected end-tag start", ""},
      {"<b><a></b>", "Unmatched closing tag", "b>"},
      {"<a></ab>", "Unmatched closing tag", "b>"},
      {"<a></a", "Unmatched closing tag", ""},
      {R"(<a x "1">)", "Error while parsing attributes", "\"1\">"},
      {"<a x='1' />", "Expected attribute value", "'1' />"},
      {R"(<a x="1 />)", "Error while parsing attribute string", ""},
  };
  for (const Case& c : cases) {
    CXmlMarkup markup;
    EXPECT_FALSE(markup.Load(Widen(c.document).c_str())) << c.document;
    EXPECT_FALSE(markup.IsValid());
    EXPECT_FALSE(markup.GetRoot().IsValid());
    EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), c.message) << c.document;
    EXPECT_EQ(ToUtf8(markup.GetLastErrorLocation()), c.location) << c.document;
  }
  // The location is cut to 49 characters.
  CXmlMarkup markup;
  EXPECT_FALSE(markup.Load(Widen("<r/>" + std::string(100, 'z')).c_str()));
  EXPECT_EQ(ToUtf8(markup.GetLastErrorLocation()), std::string(49, 'z'));
}

// The same document as UTF-8 with and without a mark, UTF-16 little- and
// big-endian gives the same tree; the big-endian input is left as it was.
TEST(XmlMarkup, EncodingsGiveTheSameTree) {
  const std::string utf8 = "<Window 标题=\"转换 &amp; 😀\">\n<Label text=\"x\"/></Window>";
  const std::string expected = "Window(标题=转换 & 😀)[Label(text=x)]";
  std::vector<unsigned char> plain(utf8.begin(), utf8.end());
  const std::string withMark = "\xEF\xBB\xBF" + utf8;
  std::vector<unsigned char> marked(withMark.begin(), withMark.end());
  std::vector<unsigned char> little = {0xFF, 0xFE};
  std::vector<unsigned char> big = {0xFE, 0xFF};
  std::vector<unsigned char> unmarked;
  for (UIChar unit : FromUtf8(utf8)) {
    const unsigned char low = static_cast<unsigned char>(unit & 0xFF), high = static_cast<unsigned char>(unit >> 8);
    little.insert(little.end(), {low, high});
    big.insert(big.end(), {high, low});
    unmarked.insert(unmarked.end(), {low, high});
  }
  const std::vector<unsigned char> bigBefore = big;
  struct Case {
    const char* what;
    const std::vector<unsigned char>& bytes;
    Trellis::MarkupEncoding encoding;
  };
  const Case cases[] = {
      {"UTF-8", plain, MarkupEncodingUtf8},
      {"UTF-8 with mark", marked, MarkupEncodingUtf8},
      {"UTF-16 LE", little, MarkupEncodingUtf16},
      {"UTF-16 BE", big, MarkupEncodingUtf16},
      {"UTF-16 without mark", unmarked, MarkupEncodingUtf16},
  };
  for (const Case& c : cases) {
    CXmlMarkup markup;
    EXPECT_TRUE(markup.LoadFromUnicodeMemory(c.bytes.data(), c.bytes.size(), c.encoding)) << c.what;
    EXPECT_EQ(DumpMarkup(markup), expected) << c.what;
  }
  EXPECT_EQ(big, bigBefore);

  // Too short for a mark, or a mark and nothing else: an empty document.
  for (size_t length : {0u, 1u, 2u, 3u}) {
    CXmlMarkup markup;
    EXPECT_TRUE(markup.LoadFromUnicodeMemory(little.data(), length, MarkupEncodingUtf16)) << length;
    EXPECT_FALSE(markup.GetRoot().IsValid());
  }
  // Ill-formed UTF-8 becomes U+FFFD, as the platform's conversion does.
  const std::string broken = "<a v=\"\xC3\x28\xE2\x82\xFF\xF0\x9F\x98\"/>";
  CXmlMarkup markup;
  EXPECT_TRUE(markup.LoadFromUnicodeMemory(broken.data(), broken.size(), MarkupEncodingUtf8));
  EXPECT_EQ(DumpMarkup(markup), "a(v=\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD)");
  EXPECT_FALSE(markup.LoadFromUnicodeMemory(utf8.data(), utf8.size(), Trellis::MarkupEncodingAnsi));
}

// Entities wherever they stand in a value or a text, and name characters
// inside and outside ASCII, read the same through every loader (each counts
// the text its own way before the parse).
TEST(XmlMarkup, EntitiesAndNamesReadAlikeThroughEveryLoader) {
  struct Case {
    const char* document;
    const char* tree;
  };
  const Case cases[] = {
      {R"(<a x="&amp;" y="&lt;b" z="c&gt;" w="d&quot;e"/>)", "a(x=&,y=<b,z=c>,w=d\"e)"},
      {R"(<a x="&amp;&lt;" y="2" z="&apos;&apos;x&apos;"/>)", "a(x=&<,y=2,z=''x')"},
      {R"(<a x="&" y="&am" z="&&amp;" w="&amp&amp;" v="&;"/>)", "a(x=&,y=&am,z=&&,w=&amp&,v=&;)"},
      {R"(<a x="1 &amp; 2 &amp; 3" y="no entity here"/>)", "a(x=1 & 2 & 3,y=no entity here)"},
      {R"(<r>a &amp; b &lt;c&gt;<c k="&quot;"/></r>)", "r[c(k=\")]"},
      {R"(<r>&amp;</r>)", "r"},
      {R"(<a_b:c9 x1="1" _y:z="2"/>)", "a_b:c9(x1=1,_y:z=2)"},
      {"<\xC3\x89lan \xC3\xBC=\"\xE4\xB8\xAD &amp; \xE6\x96\x87\"/>",
       "\xC3\x89lan(\xC3\xBC=\xE4\xB8\xAD & \xE6\x96\x87)"},
      {"<r><a/><b/><!-- <c/> --><d><e/></d></r>", "r[a b d[e]]"},
      // A character outside the name classes ends the name, and what follows
      // is no attribute.
      {"<a\xC2\xB7" "b/>", "error: Error while parsing attributes"},
      {R"(<a x="&amp;)", "error: Error while parsing attribute string"},
      // Text of '<' alone counts many starts and holds no element.
      {"<<<<", "error: Error while parsing attributes"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse(c.document), c.tree) << c.document;
    const std::string utf8 = c.document;
    CXmlMarkup fromUtf8;
    fromUtf8.LoadFromUnicodeMemory(utf8.data(), utf8.size(), MarkupEncodingUtf8);
    EXPECT_EQ(DumpMarkup(fromUtf8), c.tree) << "UTF-8: " << c.document;
    std::vector<unsigned char> utf16;
    for (UIChar unit : FromUtf8(utf8)) {
      utf16.push_back(static_cast<unsigned char>(unit & 0xFF));
      utf16.push_back(static_cast<unsigned char>(unit >> 8));
    }
    CXmlMarkup fromUtf16;
    fromUtf16.LoadFromUnicodeMemory(utf16.data(), utf16.size(), MarkupEncodingUtf16);
    EXPECT_EQ(DumpMarkup(fromUtf16), c.tree) << "UTF-16: " << c.document;
  }
  const std::string starts(1 << 20, '<');
  CXmlMarkup many;
  EXPECT_FALSE(many.LoadFromUnicodeMemory(starts.data(), starts.size(), MarkupEncodingUtf8));
  EXPECT_EQ(ToUtf8(many.GetLastErrorMessage()), "Error while parsing attributes");
}

TEST(XmlMarkup, ListsAtMost64AttributesAndStopsAtTheElementEnd) {
  std::string document = "<e";
  for (int i = 1; i <= 70; ++i) document += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  document += "/>";
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(Widen(document).c_str()));
  CXmlMarkupNode root = markup.GetRoot();
  EXPECT_EQ(root.GetAttributeCount(), 64);
  EXPECT_EQ(ToUtf8(root.GetAttributeValue(63)), "64");
  EXPECT_EQ(ToUtf8(root.GetAttributeName(64)), "");
  EXPECT_EQ(ToUtf8(root.GetAttributeValue(-1)), "");
  UIChar buffer[8] = {};
  EXPECT_TRUE(root.GetAttributeValue(UI_TEXT("a64"), buffer, 7));
  EXPECT_FALSE(root.GetAttributeValue(UI_TEXT("a65"), buffer, 7));

  // Text after the element's end that looks like an attribute is not one.
  struct Case {
    const char* document;
    const char* tree;
  };
  const Case cases[] = {
      {R"(<a x="1">  z "oops" </a>)", "a(x=1)"},
      {R"(<e>  "v" w="2"</e>)", "e"},
      {R"(<r><a/><b c="1"/></r>)", "r[a b(c=1)]"},
      {R"(<a x="&amp;&amp;"> "q"</a>)", "a(x=&&)"},
      // An attribute without a name is listed as such; those after it still are.
      {R"(<a ="1" b="2"/>)", "a(=1,b=2)"},
      {R"(<a b="2" = "3">t</a>)", "a(b=2,=3)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.document), c.tree) << c.document;
}

TEST(XmlMarkup, ValueLookupByNameIsBoundedAndTerminated) {
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(UI_TEXT(R"(<e v="abcd" V="upper" empty=""/>)")));
  CXmlMarkupNode root = markup.GetRoot();
  struct Case {
    const UIChar* name;
    int maximum;
    bool found;
    const char* value;
  };
  const Case cases[] = {
      {UI_TEXT("v"), 3, true, "abc"},  // as long as the maximum: still terminated
      {UI_TEXT("v"), 4, true, "abcd"},
      {UI_TEXT("v"), 10, true, "abcd"},
      {UI_TEXT("V"), 10, true, "upper"},  // names are case-sensitive
      {UI_TEXT("empty"), 10, true, ""},
      {UI_TEXT("missing"), 10, false, "########"},
      {UI_TEXT("v"), 0, true, ""},
  };
  for (const Case& c : cases) {
    UIChar buffer[16];
    for (UIChar& ch : buffer) ch = '#';
    buffer[8] = 0;
    EXPECT_EQ(root.GetAttributeValue(c.name, buffer, c.maximum), c.found) << c.value;
    EXPECT_EQ(ToUtf8(buffer), c.value);
  }
  EXPECT_FALSE(CXmlMarkupNode().GetAttributeValue(UI_TEXT("v"), nullptr, 3));
  EXPECT_EQ(CXmlMarkupNode().GetName(), nullptr);
  EXPECT_EQ(CXmlMarkupNode().GetAttributeCount(), 0);
  EXPECT_EQ(CXmlMarkupNode().GetAttributeName(0), nullptr);
  EXPECT_FALSE(CXmlMarkupNode().HasAttributes());
  // A document of comments only has no root; asking that node is safe.
  ASSERT_TRUE(markup.Load(UI_TEXT("<!-- nothing -->")));
  EXPECT_FALSE(markup.GetRoot().HasAttributes());
}

TEST(XmlMarkup, ReloadingDiscardsThePreviousDocument) {
  CXmlMarkup markup(UI_TEXT("<first a=\"1\"><c/></first>"));
  EXPECT_EQ(DumpMarkup(markup), "first(a=1)[c]");
  EXPECT_TRUE(markup.Load(UI_TEXT("<second/>")));
  EXPECT_EQ(DumpMarkup(markup), "second");
  EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), "");
  EXPECT_FALSE(markup.Load(UI_TEXT("<broken")));
  EXPECT_FALSE(markup.IsValid());
  EXPECT_TRUE(markup.Load(UI_TEXT("<third/>")));
  EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), "");  // cleared by the next parse
  markup.Release();
  EXPECT_FALSE(markup.IsValid());
  EXPECT_FALSE(markup.GetRoot().IsValid());
}

// A load reuses the storage of the document before it, or lets it go when it
// is far too large: whatever came before (larger, smaller, broken, another
// loader), the new document reads as if the markup were new.
TEST(XmlMarkup, EachLoadReadsAsIntoANewMarkup) {
  std::string large = "<big>";
  for (int i = 0; i < 3000; ++i) large += "<i n=\"" + std::to_string(i) + "\" t=\"&lt;" + std::string(i % 60, 'x') + "\"/>";
  large += "</big>";
  const std::string small = R"(<s a="&amp;"><c/></s>)";
  const std::vector<std::string> documents = {large, small, "<broken", small, large, "<!-- none -->", large, small};
  enum Loader { kWide, kUtf8, kUtf16 };
  for (Loader first : {kWide, kUtf8, kUtf16}) {
    for (Loader second : {kWide, kUtf8, kUtf16}) {
      CXmlMarkup reused;
      for (size_t i = 0; i < documents.size(); ++i) {
        const Loader loader = i % 2 == 0 ? first : second;
        auto load = [loader](CXmlMarkup& markup, const std::string& document) {
          if (loader == kWide) return markup.Load(FromUtf8(document).c_str());
          if (loader == kUtf8) return markup.LoadFromUnicodeMemory(document.data(), document.size(), MarkupEncodingUtf8);
          std::vector<unsigned char> utf16;
          for (UIChar unit : FromUtf8(document)) {
            utf16.push_back(static_cast<unsigned char>(unit & 0xFF));
            utf16.push_back(static_cast<unsigned char>(unit >> 8));
          }
          return markup.LoadFromUnicodeMemory(utf16.data(), utf16.size(), MarkupEncodingUtf16);
        };
        CXmlMarkup fresh;
        const bool freshOk = load(fresh, documents[i]);
        EXPECT_EQ(load(reused, documents[i]), freshOk) << first << second << i;
        EXPECT_EQ(reused.IsValid(), fresh.IsValid()) << first << second << i;
        EXPECT_EQ(DumpMarkup(reused), DumpMarkup(fresh)) << first << second << i;
        EXPECT_EQ(ToUtf8(reused.GetLastErrorMessage()), ToUtf8(fresh.GetLastErrorMessage()));
      }
    }
  }
}

// A text handed to Load may lie in the markup's own document, which the load
// replaces: it is read before the old document goes.
TEST(XmlMarkup, LoadsATextTakenFromItsOwnDocument) {
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(UI_TEXT(R"(<outer inner="&lt;in a=&quot;1&quot;&gt;&lt;b/&gt;&lt;/in&gt;"/>)")));
  EXPECT_TRUE(markup.Load(markup.GetRoot().GetAttributeValue(0)));
  EXPECT_EQ(DumpMarkup(markup), "in(a=1)[b]");
  // The same for bytes: the document's characters read as UTF-16 bytes.
  ASSERT_TRUE(markup.Load(UI_TEXT(R"(<u v="&lt;w/&gt;"/>)")));
  const UIChar* value = markup.GetRoot().GetAttributeValue(0);
  EXPECT_TRUE(markup.LoadFromUnicodeMemory(value, Trellis::UITextLength(value) * sizeof(UIChar), MarkupEncodingUtf16));
  EXPECT_EQ(DumpMarkup(markup), "w");
}

// Deep nesting needs no stack; many siblings grow the table.
TEST(XmlMarkup, DeepNestingAndWideDocuments) {
  const int depth = 200000;
  std::string deep;
  for (int i = 0; i < depth; ++i) deep += "<d>";
  for (int i = 0; i < depth; ++i) deep += "</d>";
  CXmlMarkup markup;
  ASSERT_TRUE(markup.Load(Widen(deep).c_str()));
  int levels = 0;
  for (CXmlMarkupNode node = markup.GetRoot(); node.IsValid(); node = node.GetChild()) ++levels;
  EXPECT_EQ(levels, depth);

  std::string unclosed;
  for (int i = 0; i < depth; ++i) unclosed += "<d>";
  EXPECT_FALSE(markup.Load(Widen(unclosed).c_str()));
  EXPECT_EQ(ToUtf8(markup.GetLastErrorMessage()), "Expected end-tag start");

  std::string wide = "<r>";
  for (int i = 0; i < 5000; ++i) wide += "<i n=\"" + std::to_string(i) + "\"/>";
  wide += "</r>";
  ASSERT_TRUE(markup.Load(Widen(wide).c_str()));
  int count = 0;
  for (CXmlMarkupNode node = markup.GetRoot().GetChild(); node.IsValid(); node = node.GetSibling()) {
    UIChar value[16] = {};
    ASSERT_TRUE(node.GetAttributeValue(UI_TEXT("n"), value, 15));
    EXPECT_EQ(ToUtf8(value), std::to_string(count));
    ++count;
  }
  EXPECT_EQ(count, 5000);
}

}  // namespace
