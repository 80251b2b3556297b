// The stand-in browser engine's page reader: what it shows, where its links
// and frames go, and which script literals a host can read.

#include <gtest/gtest.h>

#include "tools/browser-standin/portable/Page.h"

namespace browserstandin {
namespace {

TEST(PageVariables, LiteralsAreReadAndExpressionsAreNot) {
  struct Case {
    const wchar_t* script;
    const wchar_t* name;
    PageVariable::Type type;  // kNull with found == false: not taken
    bool found;
    std::wstring text;
    double number;
  };
  const Case cases[] = {
      {L"var info = \"eyJ+/=\";", L"info", PageVariable::kString, true, L"eyJ+/=", 0},
      {L"let info='single';", L"info", PageVariable::kString, true, L"single", 0},
      {L"const info = \"a\\\"b\\\\c\\/d\\u4F60\\n\";", L"info", PageVariable::kString, true, L"a\"b\\c/d\x4F60\n", 0},
      {L"var count = 42;", L"count", PageVariable::kNumber, true, L"", 42},
      {L"var ratio = -1.5\n", L"ratio", PageVariable::kNumber, true, L"", -1.5},
      {L"var ok = true;", L"ok", PageVariable::kBool, true, L"", 0},
      {L"var info = \"first\"; var info = \"second\";", L"info", PageVariable::kString, true, L"second", 0},
      {L"var info = \"x\" + suffix;", L"info", PageVariable::kNull, false, L"", 0},
      {L"var info = compute();", L"info", PageVariable::kNull, false, L"", 0},
      {L"// var info = \"comment\";\n/* var info = 'block'; */ var s = \"var info = 1;\";", L"info",
       PageVariable::kNull, false, L"", 0},
      {L"var info = \"unterminated;\nvar other = 1;", L"info", PageVariable::kNull, false, L"", 0},
      {L"if (info == \"x\") {}", L"info", PageVariable::kNull, false, L"", 0},
      {L"var information = \"other name\";", L"info", PageVariable::kNull, false, L"", 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.script, test.script + wcslen(test.script)));
    std::vector<PageVariable> variables;
    ScanScriptVariables(test.script, &variables);
    const PageVariable* found = nullptr;
    for (const PageVariable& variable : variables) {
      if (variable.name == test.name) found = &variable;
    }
    ASSERT_EQ(found != nullptr, test.found);
    if (found == nullptr) continue;
    EXPECT_EQ(found->type, test.type);
    EXPECT_EQ(found->text, test.text);
    EXPECT_EQ(found->number, test.number);
  }
}

TEST(PageReader, ShowsTextLinksAndFramesOfALoginPage) {
  const Page page = ParsePage(
      L"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>登录 &amp; 回调</title>"
      L"<style>p { color: red }</style></head><body><h1>登录</h1><!-- <a href=\"/hidden\">no</a> -->"
      L"<p>测试账号：测试用户</p><p><a href=\"/wxlogincb?softId=130&amp;uuid=AB\">使用  测试账号\n登录</a></p>"
      L"<iframe src='/member/login/qrcode?uuid=AB' width=200>fallback text</iframe>"
      L"<script>var info = \"ZW52\";</script><p>a &lt; b &#20320;&#x597D;</p></body></html>");
  EXPECT_EQ(page.title, L"登录 & 回调");
  std::vector<std::pair<PageItem::Kind, std::wstring>> shown;
  for (const PageItem& item : page.items) {
    if (item.kind != PageItem::kBreak) shown.emplace_back(item.kind, item.kind == PageItem::kFrame ? item.href : item.text);
  }
  const std::vector<std::pair<PageItem::Kind, std::wstring>> expected = {
      {PageItem::kHeading, L"登录"},
      {PageItem::kText, L"测试账号：测试用户"},
      {PageItem::kLink, L"使用 测试账号 登录"},
      {PageItem::kFrame, L"/member/login/qrcode?uuid=AB"},
      {PageItem::kText, L"a < b 你好"},
  };
  EXPECT_EQ(shown, expected);
  ASSERT_EQ(page.frames.size(), 1u);
  for (const PageItem& item : page.items) {
    if (item.kind == PageItem::kLink) {
      EXPECT_EQ(item.href, L"/wxlogincb?softId=130&uuid=AB");
    }
  }
  ASSERT_NE(page.FindVariable(L"info"), nullptr);
  EXPECT_EQ(page.FindVariable(L"info")->text, L"ZW52");
  EXPECT_EQ(page.FindVariable(L"Info"), nullptr);  // names are case-sensitive
}

TEST(PageReader, BrokenMarkupStillShowsItsText) {
  const struct {
    const wchar_t* html;
    const wchar_t* text;
  } cases[] = {
      {L"1 < 2 and <b>bold", L"1 < 2 and bold"},
      {L"<p>open <a href=\"/x\">link never closed", nullptr},
      {L"<p title=\"unterminated>text", nullptr},
      {L"&bogus; &#; &#xZZ; &amp", L"&bogus; &#; &#xZZ; &amp"},
      {L"<script>var info = 'never closed", nullptr},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(std::string(test.html, test.html + wcslen(test.html)));
    const Page page = ParsePage(test.html);  // must not read past the end or hang
    if (test.text != nullptr) {
      ASSERT_FALSE(page.items.empty());
      EXPECT_EQ(page.items[0].text, test.text);
    }
  }
}

}  // namespace
}  // namespace browserstandin
