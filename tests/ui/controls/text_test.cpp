// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Text with links, built from skin XML and clicked through the window: the
// index sent with "link" is the index of the rectangle clicked, also when a
// link wraps and when the text is centred.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/TextUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

using Names = std::vector<std::wstring>;

std::wstring TextSkin(const std::wstring& width, const std::wstring& text, const std::wstring& extra = L"") {
  return L"<Window size=\"400,200\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<VerticalLayout bkcolor=\"#FFFFFFFF\"><Text name=\"text\" showhtml=\"true\" float=\"true\" "
         L"pos=\"10,10," +
         width + L",190\" " + extra + L" text=\"" + text + L"\" /></VerticalLayout></Window>";
}

POINT CentreOf(const CUIRect& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

TEST(TextTest, LinksReportTheirIndexInTextOrder) {
  SkinnedTestWindow w(TextSkin(L"390", L"See &lt;a one&gt;first&lt;/a&gt; and &lt;a two&gt;second&lt;/a&gt; "
                                       L"then &lt;a three&gt;third&lt;/a&gt;."));
  ASSERT_TRUE(w.ok());
  auto* text = w.Find<CTextUI>(L"text", L"Text");
  ASSERT_NE(text, nullptr);
  ASSERT_EQ(text->GetLinkRectCount(), 3);
  EXPECT_NE(text->GetControlFlags() & kUIFlagSetCursor, 0u);
  EXPECT_TRUE(w.Screenshot(L"controls-text-links.png"));
  for (int i = 2; i >= 0; --i) w.driver().ClickAt(CentreOf(text->GetLinkRect(i)));
  EXPECT_EQ(w.recorder.Of(L"link", true), (Names{L"text:2:0", L"text:1:0", L"text:0:0"}));

  // A click beside the links sends nothing; a cleared text leaves no links.
  w.driver().ClickAt(POINT{380, 150});
  EXPECT_EQ(w.recorder.Of(L"link").size(), 3u);
  text->SetText(L"");
  w.driver().Pump();
  EXPECT_EQ(text->GetLinkRectCount(), 0);
  EXPECT_EQ(text->GetControlFlags(), 0u);
}

// A link that wraps has a rectangle per line, and each rectangle reports
// its own index, left-aligned or centred alike.
TEST(TextTest, EachRectangleOfAWrappedLinkReportsItsOwnIndex) {
  for (const wchar_t* align : {L"", L"align=\"center\""}) {
    SCOPED_TRACE(align);
    SkinnedTestWindow w(TextSkin(L"130", L"Go &lt;a wrap&gt;to the place that wraps&lt;/a&gt; or &lt;a next&gt;next&lt;/a&gt;",
                                 align));
    ASSERT_TRUE(w.ok());
    auto* text = w.Find<CTextUI>(L"text", L"Text");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(w.Screenshot(*align != 0 ? L"controls-text-wrapped-link-centred.png" : L"controls-text-wrapped-link.png"));
    // Every line of a link has its rectangle ("wrap" two, "next" one; a link
    // that opens at a line's end may also leave an empty one there).
    int wrapRects = 0;
    Names expected;
    for (int i = 0; i < text->GetLinkRectCount(); ++i) {
      const CUIRect rc = text->GetLinkRect(i);
      if (rc.GetWidth() <= 0) continue;
      if (text->GetLinkContent(i).EqualsText(L"wrap")) ++wrapRects;
      w.driver().ClickAt(CentreOf(rc));
      expected.push_back(L"text:" + std::to_wstring(i) + L":0");
    }
    EXPECT_EQ(wrapRects, 2);
    EXPECT_EQ(expected.size(), 3u);
    EXPECT_EQ(w.recorder.Of(L"link", true), expected);
  }
}

TEST(TextTest, DisabledTextSendsNoLink) {
  SkinnedTestWindow w(TextSkin(L"390", L"&lt;a one&gt;first&lt;/a&gt;"));
  ASSERT_TRUE(w.ok());
  auto* text = w.Find<CTextUI>(L"text", L"Text");
  ASSERT_EQ(text->GetLinkRectCount(), 1);
  const POINT at = CentreOf(text->GetLinkRect(0));
  text->SetEnabled(false);
  w.driver().ClickAt(at);
  EXPECT_TRUE(w.recorder.Of(L"link").empty());
}

}  // namespace
