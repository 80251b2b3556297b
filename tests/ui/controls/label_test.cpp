// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Labels: attribute reading, the size estimate and auto width (which must
// settle after one layout), the default colours taken at the first paint,
// and the GDI+ effects with their fall-back to plain text.
#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/controls/GdiplusSession.h"
#include "ui/controls/LabelUI.h"
#include "ui/draw/UIFontInfo.h"

using namespace Trellis;
using testcontrols::CountPixels;
using testcontrols::SkinnedTestWindow;

namespace {

// Opens the effect drawing to the tests.
class ProbeLabel : public CLabelUI {
 public:
  using CLabelUI::PaintTextWithEffects;
};

// Keeps the first raster (not TrueType) face the enumeration offers.
int CALLBACK KeepRasterFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) {
  if ((type & RASTER_FONTTYPE) == 0 || (type & TRUETYPE_FONTTYPE) != 0) return 1;
  *reinterpret_cast<std::wstring*>(data) = font->lfFaceName;
  return 0;
}

// A face of this system that is not TrueType (a raster font), or empty.
std::wstring RasterFace() {
  std::wstring found;
  LOGFONTW query = {};
  query.lfCharSet = DEFAULT_CHARSET;
  WindowDC screen(nullptr);
  EnumFontFamiliesExW(screen.Get(), &query, KeepRasterFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

std::wstring LabelSkin(const std::wstring& body, const std::wstring& fonts = L"") {
  return L"<Window size=\"420,260\"><Font id=\"0\" name=\"Tahoma\" size=\"13\" default=\"true\" />"
         L"<Font id=\"1\" name=\"Tahoma\" size=\"28\" bold=\"true\" />" +
         fonts + L"<VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\">" + body + L"</VerticalLayout></Window>";
}

TEST(LabelTest, AttributesAreReadInOrderAndOddValuesIgnored) {
  CLabelUI label;
  label.SetAttribute(L"align", L"left right");
  EXPECT_EQ(label.GetTextStyle() & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_RIGHT));
  label.SetAttribute(L"align", L"center");
  EXPECT_EQ(label.GetTextStyle() & (DT_CENTER | DT_RIGHT), static_cast<UINT>(DT_CENTER));
  label.SetAttribute(L"valign", L"bottom");
  EXPECT_EQ(label.GetTextStyle() & (DT_VCENTER | DT_BOTTOM), static_cast<UINT>(DT_BOTTOM));
  label.SetAttribute(L"multiline", L"true");
  EXPECT_TRUE(label.IsMultiLine());
  EXPECT_NE(label.GetTextStyle() & DT_WORDBREAK, 0u);

  label.SetAttribute(L"luminousfuzzy", L"2.5");
  label.SetAttribute(L"luminousfuzzy", L"0");
  EXPECT_FLOAT_EQ(label.GetLuminousFuzzy(), 2.5f);
  label.SetAttribute(L"shadowoffset", L"4,90");
  EXPECT_NEAR(label.GetShadowOffsetX(), 0.0f, 0.001f);
  EXPECT_NEAR(label.GetShadowOffsetY(), 4.0f, 0.001f);
  label.SetAttribute(L"shadowoffset", L"9,200");
  EXPECT_NEAR(label.GetShadowOffsetY(), 4.0f, 0.001f) << "an angle outside -180..180 changes nothing";

  // The second colours start as "use the first one", which FFFFFFFF writes.
  EXPECT_EQ(label.GetTextColor1(), 0xFFFFFFFFu);
  EXPECT_EQ(label.GetTextShadowColorB(), 0xFFFFFFFFu);
  EXPECT_FALSE(label.HasTextColor1());
  EXPECT_FALSE(label.HasTextShadowColorB());
  label.SetAttribute(L"textcolor1", L"#FF102030");
  label.SetAttribute(L"textshadowcolorb", L"FF405060");
  EXPECT_TRUE(label.HasTextColor1());
  EXPECT_TRUE(label.HasTextShadowColorB());
  label.SetAttribute(L"textcolor1", L"#FFFFFFFF");
  label.SetAttribute(L"textshadowcolorb", L"FFFFFFFF");
  EXPECT_FALSE(label.HasTextColor1());
  EXPECT_FALSE(label.HasTextShadowColorB());
}

// A gradient whose second colour is FFFFFFFF ends in the text colour: the
// label draws exactly as one without a second colour.
TEST(LabelTest, SecondColourFFFFFFFFUsesTheFirst) {
  const std::wstring effect =
      L"enabledeffect=\"true\" textcolor=\"#FF2040C0\" bkcolor=\"#FFFFFFFF\" font=\"1\" text=\"渐变文字\" ";
  SkinnedTestWindow w(L"<Window size=\"300,120\"><Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"24\" />"
                      L"<VerticalLayout bkcolor=\"#FFFFFFFF\">"
                      L"<Label name=\"plain\" float=\"true\" pos=\"10,10,150,50\" " + effect + L"/>"
                      L"<Label name=\"white\" float=\"true\" pos=\"10,60,150,100\" textcolor1=\"#FFFFFFFF\" " +
                      effect + L"/></VerticalLayout></Window>");
  ASSERT_TRUE(w.ok());
  const std::vector<DWORD> plain = w.Pixels(CUIRect(10, 10, 150, 50));
  const std::vector<DWORD> white = w.Pixels(CUIRect(10, 60, 150, 100));
  ASSERT_GT(testcontrols::CountPixels(plain, [](int r, int g, int b) { return b > 150 && r < 120 && g < 160; }), 20);
  EXPECT_EQ(plain, white);
  w.Screenshot(L"controls-label-gradient-second-colour.png");
}

TEST(LabelTest, AutoWidthFollowsTheTextAndSettles) {
  SkinnedTestWindow w(LabelSkin(L"<HorizontalLayout height=\"30\">"
                                L"<Label name=\"auto\" text=\"Hello there\" autocalcwidth=\"true\" "
                                L"textpadding=\"5,0,5,0\" bkcolor=\"#FFFFE080\" /><Control /></HorizontalLayout>"));
  ASSERT_TRUE(w.ok());
  CControlUI* label = w.driver().Find(L"auto");
  ASSERT_NE(label, nullptr);
  SIZE extent = {};
  {
    HDC dc = w.manager().GetPaintDC();
    SelectObjectScope font(dc, w.manager().GetFontHandle(-1));
    GetTextExtentPoint32W(dc, L"Hello there", 11, &extent);
  }
  EXPECT_EQ(label->GetFixedWidth(), extent.cx + 10);
  EXPECT_EQ(label->GetWidth(), extent.cx + 10);
  // Painting again lays nothing out again: an unchanged width asks for no layout.
  w.Screenshot(L"controls-label-autowidth.png");
  EXPECT_FALSE(w.manager().IsUpdateNeeded());
  EXPECT_FALSE(label->IsLayoutNeeded());

  label->SetText(L"Hello");
  w.driver().Pump();
  GetTextExtentPoint32W(w.manager().GetPaintDC(), L"Hello", 5, &extent);
  EXPECT_LT(label->GetWidth(), extent.cx + 20);
}

TEST(LabelTest, AutoWidthMeasuresTheWholeTextWhenLongTextsEndInAnEllipsis) {
  SkinnedTestWindow w(LabelSkin(L"<HorizontalLayout height=\"30\">"
                                L"<Label name=\"auto\" width=\"32\" text=\"Hello there\" autocalcwidth=\"true\" "
                                L"endellipsis=\"true\" maxwidth=\"180\" /><Control /></HorizontalLayout>"));
  ASSERT_TRUE(w.ok());
  CControlUI* label = w.driver().Find(L"auto");
  ASSERT_NE(label, nullptr);
  SIZE extent = {};
  {
    HDC dc = w.manager().GetPaintDC();
    SelectObjectScope font(dc, w.manager().GetFontHandle(-1));
    GetTextExtentPoint32W(dc, L"Hello there", 11, &extent);
  }
  EXPECT_EQ(label->GetWidth(), extent.cx);
}

TEST(LabelTest, EstimateSingleAndMultiLine) {
  SkinnedTestWindow w(LabelSkin(L"<Label name=\"single\" text=\"One line\" textpadding=\"0,3,0,4\" />"
                                L"<Label name=\"multi\" multiline=\"true\" "
                                L"text=\"Several words that wrap when the label is narrow\" />"));
  ASSERT_TRUE(w.ok());
  CControlUI* single = w.driver().Find(L"single");
  const int fontHeight = w.manager().GetFontInfo(-1)->tm.tmHeight;
  EXPECT_EQ(single->EstimateSize(CUISize(400, 200)).cy, fontHeight + 8 + 7);
  EXPECT_EQ(single->EstimateSize(CUISize(50, 20)).cy, fontHeight + 8 + 7);

  CControlUI* multi = w.driver().Find(L"multi");
  const int wide = multi->EstimateSize(CUISize(400, 200)).cy;
  const int narrow = multi->EstimateSize(CUISize(60, 200)).cy;
  EXPECT_GT(narrow, wide) << "a multi-line label measures again for a new width";
  EXPECT_EQ(multi->EstimateSize(CUISize(400, 200)).cy, wide);
}

// A multi-line label without room for a line (no available width, or
// padding that takes it all) estimates only its padding, not the 9999-pixel
// measuring rectangle; given room again it measures its lines.
TEST(LabelTest, MultiLineWithoutRoomEstimatesNoLines) {
  SkinnedTestWindow w(LabelSkin(
      L"<Label name=\"markup\" multiline=\"true\" showhtml=\"true\" textpadding=\"2,3,2,4\" "
      L"text=\"Some &lt;b&gt;bold&lt;/b&gt; words that wrap\" />"
      L"<Label name=\"plain\" multiline=\"true\" textpadding=\"2,3,2,4\" text=\"Plain words that wrap\" />"
      L"<Text name=\"text\" textpadding=\"2,3,2,4\" text=\"Text words that wrap\" />"
      L"<Text name=\"textmarkup\" showhtml=\"true\" textpadding=\"2,3,2,4\" text=\"&lt;a x&gt;a link&lt;/a&gt; that wraps\" />"));
  ASSERT_TRUE(w.ok());
  for (const wchar_t* name : {L"markup", L"plain", L"text", L"textmarkup"}) {
    SCOPED_TRACE(name);
    CControlUI* label = w.driver().Find(name);
    ASSERT_NE(label, nullptr);
    for (int width : {0, 4, -10}) {
      EXPECT_EQ(label->EstimateSize(CUISize(width, 200)).cy, 3 + 4) << width;
    }
    const int roomy = label->EstimateSize(CUISize(300, 200)).cy;
    EXPECT_GT(roomy, 3 + 4);
    EXPECT_LT(roomy, 200);
  }
}

TEST(LabelTest, DefaultTextColourIsTakenAtTheFirstPaintAndKept) {
  SkinnedTestWindow w(LabelSkin(L"<Label name=\"plain\" text=\"Default colour\" />"));
  ASSERT_TRUE(w.ok());
  auto* label = w.Find<CLabelUI>(L"plain", L"Label");
  const DWORD first = w.manager().GetDefaultFontColor();
  EXPECT_EQ(label->GetTextColor(), first);
  ASSERT_EQ(first & 0xFFFFFF, 0u) << "the check below takes the first default to be black";
  w.manager().SetDefaultFontColor(0xFF123456);
  EXPECT_TRUE(w.Screenshot(L"controls-label-default-colour.png"));
  EXPECT_EQ(label->GetTextColor(), first);
  // The repainted text shows the kept black, none of the new default's blue.
  const auto text = w.Pixels(label->GetPos());
  EXPECT_GT(CountPixels(text, [](int r, int g, int b) { return r < 60 && g < 60 && b < 60; }), 10);
  EXPECT_EQ(CountPixels(text, [](int r, int, int b) { return b > r + 25; }), 0);
}

TEST(LabelTest, EffectsDrawGradientShadowAndStroke) {
  ASSERT_TRUE(CGdiplusSession::Ensure());
  SkinnedTestWindow w(LabelSkin(
      L"<Label name=\"gradient\" height=\"60\" font=\"1\" text=\"Gradient\" bkcolor=\"#FF000000\" "
      L"enabledeffect=\"true\" textcolor=\"#FF0000FF\" textcolor1=\"#FFFEFEFE\" />"
      L"<Label name=\"shadow\" height=\"60\" font=\"1\" text=\"Shadow\" enabledeffect=\"true\" "
      L"textcolor=\"#FF000000\" enabledshadow=\"true\" textshadowcolora=\"#FFFF0000\" shadowoffset=\"4,45\" />"
      L"<Label name=\"stroke\" height=\"60\" font=\"1\" text=\"Stroke\" enabledeffect=\"true\" "
      L"textcolor=\"#FFFFFFFF\" enabledstroke=\"true\" strokecolor=\"#FF00C000\" "
      L"enabledluminous=\"true\" luminousfuzzy=\"3\" />"));
  ASSERT_TRUE(w.ok());
  EXPECT_TRUE(w.Screenshot(L"controls-label-effects.png"));
  const auto Area = [&w](const wchar_t* name) { return w.driver().Find(name)->GetPos(); };

  // Blue text on black: only the gradient's near-white end can make light
  // pixels (FFFFFFFF itself would mean "the text colour").
  const auto gradient = w.Pixels(Area(L"gradient"));
  EXPECT_GT(CountPixels(gradient, [](int r, int g, int b) { return r > 150 && g > 150 && b > 200; }), 10);
  EXPECT_GT(CountPixels(gradient, [](int r, int g, int b) { return b > r + 80 && b > g + 80; }), 10);

  const auto shadow = w.Pixels(Area(L"shadow"));
  EXPECT_GT(CountPixels(shadow, [](int r, int g, int b) { return r > 200 && g < 80 && b < 80; }), 10);
  EXPECT_GT(CountPixels(shadow, [](int r, int g, int b) { return r < 60 && g < 60 && b < 60; }), 10);

  const auto stroke = w.Pixels(Area(L"stroke"));
  EXPECT_GT(CountPixels(stroke, [](int r, int g, int b) { return r < 80 && g > 150 && b < 80; }), 10);
}

TEST(LabelTest, EffectsFallBackToPlainTextWhenGdiplusCannotDraw) {
  SkinnedTestWindow w(LabelSkin(L"<Label name=\"tiny\" height=\"6\" text=\"Hidden\" textpadding=\"0,4,0,4\" "
                                L"enabledeffect=\"true\" enabledluminous=\"true\" />"
                                L"<Label name=\"glow\" height=\"40\" font=\"1\" text=\"Glow\" "
                                L"enabledeffect=\"true\" enabledluminous=\"true\" luminousfuzzy=\"500\" />"));
  ASSERT_TRUE(w.ok());

  // The drawing the paint does, on a DC of our own: no GDI+ object can be
  // made for an empty or inverted text rectangle (a 0x0 glow bitmap).
  ProbeLabel probe;
  w.manager().InitControls(&probe);
  probe.SetText(L"Probe");
  probe.SetFont(1);
  probe.SetEnabledLuminous(true);
  OwnedMemoryDC dc(CreateCompatibleDC(w.manager().GetPaintDC()));
  EXPECT_FALSE(probe.PaintTextWithEffects(dc.Get(), CUIRect(0, 0, 100, 0))) << "empty rectangle";
  EXPECT_FALSE(probe.PaintTextWithEffects(dc.Get(), CUIRect(10, 10, 5, 30))) << "inverted rectangle";
  EXPECT_TRUE(probe.PaintTextWithEffects(dc.Get(), CUIRect(0, 0, 100, 30)));

  // A face GDI+ cannot use (not TrueType) falls back too, where the system has one.
  const std::wstring raster = RasterFace();
  if (!raster.empty()) {
    w.manager().AddFont(2, raster.c_str(), 14, false, false, false);
    probe.SetFont(2);
    EXPECT_FALSE(probe.PaintTextWithEffects(dc.Get(), CUIRect(0, 0, 100, 30)))
        << "not a TrueType face: " << std::string(raster.begin(), raster.end());
  }
  probe.SetManager(nullptr, nullptr, false);

  // In the window the squeezed label and the glow shrunk below one pixel paint without harm.
  EXPECT_TRUE(w.Screenshot(L"controls-label-effects-fallback.png"));
}

}  // namespace
