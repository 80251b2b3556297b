// Markup text measured and drawn with fonts of a window manager: nested
// styles, escapes, raw text, ellipsis, links that wrap, link capacity, and
// hostile markup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/ScratchFolder.h"
#include "tests/ui/draw/DrawCanvas.h"
#include "tests/ui/draw/TestBmpFile.h"
#include "ui/skin/SkinFile.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

constexpr int kFont = 7;

class MarkupTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(nullptr, m_manager.AddFont(kFont, L"Tahoma", 14, false, false, false));
    m_manager.SetDefaultLinkFontColor(0xFF0000FF);
  }

  // The measured rectangle of the markup in a width x height area.
  CUIRect Measure(const wchar_t* text, int width, UINT style = 0, int height = 400) {
    CUIRect rc(0, 0, width, height);
    int none = 0;
    CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, text, 0xFF000000, nullptr, nullptr, none, kFont,
                                style | DT_CALCRECT);
    return rc;
  }
  // The width of plain text in the plain or bold test font.
  int PlainWidth(const wchar_t* text, bool bold = false) {
    HFONT font = bold ? m_manager.AddFont(kFont + 1, L"Tahoma", 14, true, false, false) : m_manager.GetFontHandle(kFont);
    SelectObjectScope select(m_canvas.dc(), font);
    SIZE size = {};
    ::GetTextExtentPoint32W(m_canvas.dc(), text, static_cast<int>(wcslen(text)), &size);
    return size.cx;
  }

  CWindowManagerUI m_manager;
  DrawCanvas m_canvas{400, 200, 0xFFFFFFFF};
};

}  // namespace

TEST_F(MarkupTextTest, ClosingTagsRemoveTheTopFont) {
  ASSERT_GT(PlainWidth(L"yyyyyyyyyy", true), PlainWidth(L"yyyyyyyyyy")) << "the test font must be wider in bold";
  const int boldX = PlainWidth(L"x", true);
  const int plainY = PlainWidth(L"yyyyyyyyyy");
  const struct {
    const wchar_t* markup;
    int width;
  } cases[] = {
      // The inner b pushes nothing (bold is in force); its closing still
      // removes the top entry, the outer bold.
      {L"<b><b>x</b>yyyyyyyyyy</b>", boldX + plainY},
      // Any closing font tag removes the top entry, whichever tag pushed it.
      {L"<b>x</u>yyyyyyyyyy</b>", boldX + plainY},
      {L"<b>x</f>yyyyyyyyyy</b>", boldX + plainY},
      // With nothing on the stack a closing tag changes nothing.
      {L"</b></i></u></a></f>yyyyyyyyyy", plainY},
      // {b} and </b> pair up like <b> and </b>.
      {L"{b}yyyyyyyyyy{/b}yyyyyyyyyy", PlainWidth(L"yyyyyyyyyy", true) + plainY},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.width, Measure(c.markup, 400, DT_SINGLELINE).right) << c.markup;
  }
}

TEST_F(MarkupTextTest, EscapesAndRawText) {
  EXPECT_EQ(PlainWidth(L"a{b"), Measure(L"a<{>b", 400, DT_SINGLELINE).right);
  EXPECT_EQ(PlainWidth(L"a<b"), Measure(L"a{<}b", 400, DT_SINGLELINE).right);
  EXPECT_EQ(PlainWidth(L"<b>x</b>"), Measure(L"<r><b>x</b></r>", 400, DT_SINGLELINE).right);
  EXPECT_EQ(PlainWidth(L"ab"), Measure(L"a<q unknown>b", 400, DT_SINGLELINE).right);
}

TEST_F(MarkupTextTest, EndEllipsisCutsTwoMoreCharacters) {
  const wchar_t* text = L"abcdefghijklmnopqrstuvwxyz";
  const int width = PlainWidth(L"abcdefghij");
  int fits = 0;
  {
    SelectObjectScope select(m_canvas.dc(), m_manager.GetFontHandle(kFont));
    SIZE size = {};
    ::GetTextExtentExPointW(m_canvas.dc(), text, 26, width, &fits, nullptr, &size);
  }
  ASSERT_GE(fits, 3);
  // Two characters fewer than fit, and fewer still while the dots would pass
  // the right edge.
  size_t keep = static_cast<size_t>(fits - 2);
  while (keep > 0 && PlainWidth(std::wstring(text, keep).c_str()) + PlainWidth(L"...") > width) --keep;
  const int expected = PlainWidth(std::wstring(text, keep).c_str()) + PlainWidth(L"...");
  EXPECT_LE(expected, width);
  EXPECT_EQ(expected, Measure(text, width, DT_SINGLELINE | DT_END_ELLIPSIS).right);

  // Drawn: the ellipsis is there and nothing lies right of it.
  CUIRect rc(0, 0, width, 30);
  int none = 0;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, text, 0xFF000000, nullptr, nullptr, none, kFont,
                              DT_SINGLELINE | DT_END_ELLIPSIS);
  bool inkRightOfEllipsis = false;
  for (int y = 0; y < 30; ++y) {
    for (int x = expected + 1; x < width; ++x) inkRightOfEllipsis |= (m_canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
  }
  EXPECT_FALSE(inkRightOfEllipsis);
}

TEST_F(MarkupTextTest, EndEllipsisEndsTheLineNotTheText) {
  const int width = PlainWidth(L"abcdefghij");
  const int line = Measure(L"abc", 400).bottom;
  ASSERT_GT(line, 0);
  const wchar_t* text = L"abcdefghijklmnopqrstuvwxyz<n>abc<n>abcdefghijklmnopqrstuvwxyz";
  // Every line is laid out; the overflowing ones end with "...".
  const CUIRect measured = Measure(text, width, DT_END_ELLIPSIS);
  EXPECT_EQ(3 * line, measured.bottom);
  EXPECT_LE(measured.right, width);

  m_canvas.Fill(0xFFFFFFFF);
  CUIRect rc(0, 0, width, 3 * line);
  int none = 0;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, text, 0xFF000000, nullptr, nullptr, none, kFont,
                              DT_END_ELLIPSIS);
  EXPECT_TRUE(m_canvas.Save(L"ui-markup-ellipsis-lines.png"));
  for (int row = 0; row < 3; ++row) {
    bool ink = false;
    for (int y = row * line; y < (row + 1) * line; ++y) {
      for (int x = 0; x < width; ++x) ink |= (m_canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
    }
    EXPECT_TRUE(ink) << "line " << row;
  }
}

TEST_F(MarkupTextTest, WrappedLinkGetsTwoRectanglesWithTheSameText) {
  const int width = PlainWidth(L"aaaa bbbb ");
  CUIRect links[4];
  CUIString texts[4];
  int count = 4;
  CUIRect rc(10, 10, 10 + width, 200);
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"aaaa <a go>bbbb cccc</a> dd", 0xFF000000, links, texts,
                              count, kFont, DT_WORDBREAK);
  ASSERT_EQ(2, count);
  EXPECT_EQ("go", std::string(texts[0].GetText(), texts[0].GetText() + 2));
  EXPECT_EQ(0, texts[1].Compare(L"go"));
  EXPECT_EQ(10 + PlainWidth(L"aaaa "), links[0].left);
  EXPECT_EQ(10, links[1].left);  // the rest starts the next line
  EXPECT_EQ(links[0].bottom, links[1].top);
  EXPECT_GT(links[0].bottom, links[0].top);
  EXPECT_GT(links[1].right, links[1].left);
  EXPECT_EQ(0, links[2].GetWidth());
  EXPECT_TRUE(m_canvas.Save(L"ui-markup-wrapped-link.png"));

  // A link that opens at the end of a full line starts on the next one: one
  // rectangle, no empty piece before it.
  count = 4;
  rc = CUIRect(0, 0, PlainWidth(L"aaaa ") + 2, 200);
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"aaaa <a go>bbbb</a>", 0xFF000000, links, texts, count,
                              kFont, DT_WORDBREAK);
  ASSERT_EQ(1, count);
  EXPECT_EQ(0, links[0].left);
  EXPECT_GT(links[0].top, 0);
}

TEST_F(MarkupTextTest, CapacityBoundsLinksAndStaleSlotsAreCleared) {
  // Capacity 0: drawn in the link colour, no link reported or written.
  CUIRect rc(0, 0, 200, 40);
  int count = 0;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"<a x>LINK</a>", 0xFF000000, nullptr, nullptr, count,
                              kFont, DT_SINGLELINE);
  EXPECT_EQ(0, count);
  bool blue = false;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) {
      const uint32_t p = m_canvas.At(x, y);
      blue |= DrawCanvas::B(p) > 200 && DrawCanvas::R(p) < 80;
    }
  }
  EXPECT_TRUE(blue);

  // More links than slots: only the capacity is written.
  CUIRect links[3];
  CUIString texts[3];
  links[2] = CUIRect(1, 1, 500, 500);  // a rectangle left from an older paint
  count = 2;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"<a 1>a</a><a 2>b</a><a 3>c</a><a 4>d</a>", 0xFF000000,
                              links, texts, count, kFont, DT_SINGLELINE);
  EXPECT_EQ(2, count);
  EXPECT_EQ(500, links[2].right);  // beyond the capacity: untouched
  count = 3;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"<a 1>a</a>", 0xFF000000, links, texts, count, kFont,
                              DT_SINGLELINE);
  EXPECT_EQ(1, count);
  EXPECT_EQ(0, links[2].GetWidth());  // within the capacity but past the count: emptied
}

TEST_F(MarkupTextTest, LinesParagraphsAndAlignment) {
  const CUIRect one = Measure(L"abc", 400);
  const CUIRect two = Measure(L"abc<n>def", 400);
  EXPECT_EQ(2 * one.bottom, two.bottom);
  EXPECT_EQ(one.bottom * 2, Measure(L"abc\ndef", 400).bottom);
  EXPECT_EQ(one.bottom, Measure(L"abc<n>def", 400, DT_SINGLELINE).bottom);
  EXPECT_EQ(one.bottom + 10, Measure(L"<p 10>abc</p>", 400).bottom);
  EXPECT_EQ(40, Measure(L"<y 40>abc", 400).bottom);

  // Right-aligned single line: the text ends at the right edge.
  CUIRect rc(0, 0, 300, 30);
  int none = 0;
  m_canvas.Fill(0xFFFFFFFF);
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"<c #FF0000>WWW</c>", 0xFF000000, nullptr, nullptr,
                              none, kFont, DT_SINGLELINE | DT_RIGHT);
  bool leftInk = false, rightInk = false;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 300; ++x) {
      const bool ink = (m_canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
      (x < 200 ? leftInk : rightInk) |= ink;
    }
  }
  EXPECT_FALSE(leftInk);
  EXPECT_TRUE(rightInk);
}

TEST_F(MarkupTextTest, HostileMarkupIsSafe) {
  const std::vector<std::wstring> hostile = {
      L"<", L"{", L"</", L"<a", L"<a ", L"<a x", L"<b", L"</b", L"<i ", L"<i missing.png 0 99>", L"<i x 99999999 5>",
      L"<f 99999>x</f>", L"<f Tahoma 99999 bold>x", L"<c #FFFFFFFFFFFFFFFF>x", L"<p -99999>x</p>", L"<x -5000>x",
      L"<y -50>x", L"<r>never closed <b>", L"<s>x", L"<v center>x</v></v></v>", L"{a}{a}{a}{a}{a}{a}x",
      L"<a\n>", L"<{", L"{<", L"<}>" L"{>}", std::wstring(3000, L'w'), L"<n><n><n><n><n><n><n><n><n><n><n>"};
  for (const std::wstring& text : hostile) {
    SCOPED_TRACE(std::string(text.begin(), text.begin() + std::min<size_t>(text.size(), 40)));
    for (UINT style : {0u, static_cast<UINT>(DT_SINGLELINE), static_cast<UINT>(DT_WORDBREAK | DT_CENTER),
                       static_cast<UINT>(DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER)}) {
      CUIRect links[2];
      CUIString texts[2];
      int count = 2;
      CUIRect rc(0, 0, 60, 60);
      CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, text.c_str(), 0xFF000000, links, texts, count, kFont,
                                  style);
      EXPECT_GE(count, 0);
      EXPECT_LE(count, 2);
      Measure(text.c_str(), 60, style);
    }
    // Every truncation too.
    for (size_t n = 0; n < std::min<size_t>(text.size(), 40); ++n) {
      std::wstring cut = text.substr(0, n);
      Measure(cut.c_str(), 60, DT_WORDBREAK);
    }
  }
  int count = 3;
  CUIRect rc(0, 0, 50, 50);
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, nullptr, 0, nullptr, nullptr, count, kFont, 0);
  EXPECT_EQ(0, count);
}

TEST_F(MarkupTextTest, PlainAndMarkupTextTakeMultiLanguageTexts) {
  CWindowManagerUI::AddMultiLanguageString(12, L"abc");
  CUIRect rc(0, 0, 300, 40);
  CDrawEngine::DrawPlainText(m_canvas.dc(), &m_manager, rc, L"%{12}x", 0xFF000000, kFont, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(PlainWidth(L"abcx"), rc.right);
  EXPECT_EQ(PlainWidth(L"abcx"), Measure(L"%{12}x", 300, DT_SINGLELINE).right);
  // An id without a text stays as written.
  EXPECT_EQ(PlainWidth(L"%{13}x"), Measure(L"%{13}x", 300, DT_SINGLELINE).right);
  // Without text or manager nothing happens.
  CUIRect untouched(0, 0, 5, 5);
  CDrawEngine::DrawPlainText(m_canvas.dc(), nullptr, untouched, L"x", 0xFF000000, kFont, DT_CALCRECT);
  CDrawEngine::DrawPlainText(m_canvas.dc(), &m_manager, untouched, nullptr, 0xFF000000, kFont, DT_CALCRECT);
  EXPECT_EQ(5, untouched.right);
}

TEST_F(MarkupTextTest, InlineImageFramesSitOnTheLine) {
  // A strip of two 10x20 frames: red, then blue.
  ScratchFolder folder(L"markup_images");
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(
      folder / L"strip.bmp", MakeBmpFile(20, 20, 24, [](int x, int) -> uint32_t { return x < 10 ? 0xFF0000 : 0x0000FF; })));
  UISkinSource& source = GetSkinSource();
  const CUIString savedPath = source.resourcePath;
  const CUIString savedZip = source.zipName;
  source.resourcePath.Assign(folder.path().c_str());
  source.zipName.Clear();

  const CUIRect measured = Measure(L"x<i strip.bmp 2 1>y", 400, DT_SINGLELINE);
  EXPECT_EQ(PlainWidth(L"x") + 10 + PlainWidth(L"y"), measured.right);
  EXPECT_GE(measured.bottom, 20);

  m_canvas.Fill(0xFFFFFFFF);
  CUIRect rc(0, 0, 200, 40);
  int none = 0;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"x<i strip.bmp 2 1>y", 0xFF000000, nullptr, nullptr,
                              none, kFont, DT_SINGLELINE);
  const int imageX = PlainWidth(L"x") + 5;
  EXPECT_EQ(0x0000FFu, m_canvas.At(imageX, 10) & 0xFFFFFF);  // frame 1, not frame 0
  // A frame index out of range becomes 0; a missing image is skipped.
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"x<i strip.bmp 2 7><i gone.png>y", 0xFF000000, nullptr,
                              nullptr, none, kFont, DT_SINGLELINE);
  EXPECT_EQ(0xFF0000u, m_canvas.At(imageX, 10) & 0xFFFFFF);
  // The description form with file='...'.
  EXPECT_EQ(PlainWidth(L"x") + 20, Measure(L"x<i file='strip.bmp'>", 400, DT_SINGLELINE).right);

  source.resourcePath = savedPath;
  source.zipName = savedZip;
}

TEST(MarkupTextHover, TheLinkUnderTheMouseTakesTheHoverColour) {
  testwindows::ManagedTestWindow window(300, 60);
  CWindowManagerUI& manager = window.manager();
  ASSERT_TRUE(manager.AttachRootControl(new CControlUI));  // the manager follows the mouse over a tree
  manager.SetDefaultLinkFontColor(0xFF0000FF);
  manager.SetDefaultLinkHoverFontColor(0xFFFF0000);
  DrawCanvas canvas(300, 60, 0xFFFFFFFF);
  CUIRect links[2];
  CUIString texts[2];
  auto paint = [&]() {
    canvas.Fill(0xFFFFFFFF);
    CUIRect rc(0, 0, 300, 60);
    int count = 2;
    CDrawEngine::DrawMarkupText(canvas.dc(), &manager, rc, L"<a one>FIRST</a> <a two>SECOND</a>", 0xFF000000, links,
                                texts, count, -1, DT_SINGLELINE);
    return count;
  };
  auto inkIn = [&](const CUIRect& rc, bool red) {
    for (int y = rc.top; y < rc.bottom; ++y) {
      for (int x = rc.left; x < rc.right; ++x) {
        const uint32_t p = canvas.At(x, y);
        if (red ? (DrawCanvas::R(p) > 200 && DrawCanvas::B(p) < 80) : (DrawCanvas::B(p) > 200 && DrawCanvas::R(p) < 80))
          return true;
      }
    }
    return false;
  };
  ASSERT_EQ(2, paint());
  EXPECT_TRUE(inkIn(links[1], false));
  // The mouse moves over the second link (a real mouse message through the manager).
  const CUIRect second = links[1];
  ::SendMessageW(window.GetHandle(), WM_MOUSEMOVE, 0,
                 MAKELPARAM((second.left + second.right) / 2, (second.top + second.bottom) / 2));
  ASSERT_EQ((second.left + second.right) / 2, manager.GetMousePos().x);
  ASSERT_EQ(2, paint());
  EXPECT_TRUE(inkIn(links[1], true));
  EXPECT_FALSE(inkIn(links[0], true));
  EXPECT_TRUE(inkIn(links[0], false));
}

TEST_F(MarkupTextTest, DrawingStaysInsideTheRectangleAndRestoresTheClip) {
  m_canvas.Fill(0xFFFFFFFF);
  RECT before = {};
  ::GetClipBox(m_canvas.dc(), &before);
  // Three lines in a rectangle of one and a half lines, a wide image step and
  // a long word: nothing lands outside it.
  const int lineHeight = Measure(L"Wg", 400).bottom;
  CUIRect rc(20, 20, 80, 20 + lineHeight * 3 / 2);
  int none = 0;
  CDrawEngine::DrawMarkupText(m_canvas.dc(), &m_manager, rc, L"WWWW<n>WWWWWWWWWWWWWWWWWWWW<n><x 500>WWWW", 0xFF000000,
                              nullptr, nullptr, none, kFont, DT_WORDBREAK);
  bool inside = false, outside = false;
  for (int y = 0; y < m_canvas.height(); ++y) {
    for (int x = 0; x < m_canvas.width(); ++x) {
      const bool ink = (m_canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFF;
      const bool in = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
      (in ? inside : outside) |= ink;
    }
  }
  EXPECT_TRUE(inside);
  EXPECT_FALSE(outside);
  RECT after = {};
  ::GetClipBox(m_canvas.dc(), &after);
  EXPECT_TRUE(::EqualRect(&before, &after));
}
