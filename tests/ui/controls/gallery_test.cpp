// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The gallery: one window built from a skin that holds every control of the
// basic set in its states (normal, hot, pushed, selected, disabled), labels
// with effects, text with a link, a tab layout, edits, progress bars,
// sliders, rings, a GIF animation and an icon, with every picture drawn here.
// A second window shows the item and input controls: rich edit, list with a
// header, combo boxes, tree view, date-time picker, progress and slider. Their
// screenshots (gallery-basic.png, gallery-items.png) are the first place to
// look when a control changes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "tests/ui/controls/TestPictures.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/CircleProgressUI.h"
#include "ui/controls/GifAnimUI.h"
#include "ui/controls/IconUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/datetime/DateTimeUI.h"
#include "ui/controls/edit/EditUI.h"
#include "ui/controls/list/ListTextElementUI.h"
#include "ui/controls/list/ListUI.h"
#include "ui/controls/richedit/RichEditUI.h"
#include "ui/controls/tree/TreeNodeUI.h"
#include "ui/controls/tree/TreeViewUI.h"

using namespace Trellis;
using namespace testpictures;

namespace {

constexpr uint32_t kPage = 0xF4F6FA;

// Controls whose hot and pushed states the gallery shows without a mouse
// held over them (the test owns no second pointer).
class StateButton : public CButtonUI {
 public:
  void Force(UINT state) {
    m_uButtonState |= state;
    Invalidate();
  }
};
class StateSlider : public CSliderUI {
 public:
  void Force(UINT state) {
    m_uButtonState |= state;
    Invalidate();
  }
};
class GalleryCallback : public IDialogBuilderCallback {
 public:
  CControlUI* CreateControl(const UIChar* name) override {
    if (std::wstring(name) == L"StateButton") return new StateButton;
    if (std::wstring(name) == L"StateSlider") return new StateSlider;
    return nullptr;
  }
};

// A rounded-looking frame for nine-grid buttons: a 1-pixel border on a fill.
std::string Frame(uint32_t border, uint32_t fill) {
  return testbitmaps::MakeBmp(12, 12, [=](int x, int y) {
    const bool corner = (x == 0 || x == 11) && (y == 0 || y == 11);
    if (corner) return kPage;
    return (x == 0 || y == 0 || x == 11 || y == 11) ? border : fill;
  });
}

// A 16 x 16 radio mark on the page colour: a ring, and a dot when selected.
std::string Radio(bool selected) {
  return testbitmaps::MakeBmp(16, 16, [=](int x, int y) {
    const double d = std::hypot(x - 7.5, y - 7.5);
    if (d > 7.5) return kPage;
    if (d > 6.2) return selected ? 0x2D6CDFu : 0x9DA8BAu;
    if (selected && d < 3.5) return 0x2D6CDFu;
    return 0xFFFFFFu;
  });
}

// A 16 x 16 check box: an empty square, or a blue one with a white tick.
std::string Check(bool checked) {
  return testbitmaps::MakeBmp(16, 16, [=](int x, int y) {
    const bool edge = x == 0 || y == 0 || x == 15 || y == 15;
    if (!checked) return edge ? 0x9DA8BAu : 0xFFFFFFu;
    const bool tick = (x >= 3 && x <= 6 && std::abs((y - 8) - (x - 3)) <= 1) ||
                      (x >= 6 && x <= 12 && std::abs((y - 11) + (x - 6) * 7 / 6) <= 1);
    return tick ? 0xFFFFFFu : 0x2D6CDFu;
  });
}

// A band in the middle third of the height over transparent rows, for
// slider tracks and fills that stretch over the control's whole height.
std::string Band(uint32_t rgb) {
  return MakeBmp32(4, 18, [=](int, int y) { return (y >= 7 && y <= 10) ? (0xFF000000u | rgb) : 0u; });
}

std::string Thumb(uint32_t ring) {
  return MakeBmp32(14, 14, [=](int x, int y) {
    const double d = std::hypot(x - 6.5, y - 6.5);
    if (d > 6.8) return 0u;
    return d > 5.0 ? (0xFF000000u | ring) : 0xFFFFFFFFu;
  });
}

// A 16 x 16 folder mark of a tree node: pointing down while the folder is
// open, right while it is closed.
std::string Triangle(bool open) {
  return testbitmaps::MakeBmp(16, 16, [=](int x, int y) {
    const int a = open ? y - 5 : x - 5;
    const int b = open ? x : y;
    return a >= 0 && a <= 5 && b >= 3 + a && b <= 12 - a ? 0x5B6478u : 0xFFFFFFu;
  });
}

void WritePictures(ScratchFolder& folder) {
  const struct {
    const wchar_t* name;
    std::string bytes;
  } pictures[] = {
      {L"btn_normal.bmp", Frame(0x9DB4DD, 0xE4ECFA)},
      {L"btn_hot.bmp", Frame(0x2D6CDF, 0xD0E0FF)},
      {L"btn_pushed.bmp", Frame(0x1A3F8A, 0x2D6CDF)},
      {L"btn_disabled.bmp", Frame(0xCCD2DC, 0xEEF0F4)},
      {L"radio.bmp", Radio(false)},
      {L"radio_on.bmp", Radio(true)},
      {L"check.bmp", Check(false)},
      {L"check_on.bmp", Check(true)},
      {L"tab_off.bmp", testbitmaps::MakeBmp(8, 30, [](int, int y) { return y == 29 ? 0xC9D4EAu : 0xFFFFFFu; })},
      {L"tab_on.bmp", testbitmaps::MakeBmp(8, 30, [](int, int y) { return y >= 27 ? 0x2D6CDFu : 0xFFFFFFu; })},
      {L"track.bmp", Band(0xC9D4EA)},
      {L"fill.bmp", Band(0x2D6CDF)},
      {L"bar.bmp", testbitmaps::MakeBmp(4, 4, [](int, int) { return 0x2BAE66u; })},
      {L"thumb.bmp", Thumb(0x2D6CDF)},
      {L"thumb_hot.bmp", Thumb(0xF5A623)},
      {L"thumb_pushed.bmp", Thumb(0x1A3F8A)},
      {L"thumb_disabled.bmp", Thumb(0xB8C0CC)},
      {L"fill_disabled.bmp", Band(0xB8C0CC)},
      {L"knob.bmp", MakeBmp32(12, 12, [](int x, int y) {
         return std::hypot(x - 5.5, y - 5.5) <= 5.8 ? 0xFFF5A623u : 0u;
       })},
      {L"busy.gif", MakeGif(32, {{0, 0}, {1, 5}})},
      {L"app.ico", MakeIco({{16, 0x2BAE66}, {32, 0x8E6CEF}})},
      {L"fold_open.bmp", Triangle(true)},
      {L"fold_closed.bmp", Triangle(false)},
      {L"combo_arrow.bmp", Triangle(true)},
  };
  for (const auto& picture : pictures) ScratchFolder::WriteFileBytes(folder / picture.name, picture.bytes);
}

std::wstring Caption(const wchar_t* text) {
  return std::wstring(L"<Label width=\"120\" text=\"") + text + L"\" textcolor=\"#FF5B6478\" />";
}

std::wstring Button(const wchar_t* element, const wchar_t* name, const wchar_t* text, const wchar_t* extra) {
  return std::wstring(L"<") + element + L" name=\"" + name + L"\" text=\"" + text +
         L"\" width=\"96\" height=\"32\" padding=\"0,4,0,0\" "
         L"normalimage=\"file='btn_normal.bmp' corner='4,4,4,4'\" hotimage=\"file='btn_hot.bmp' corner='4,4,4,4'\" "
         L"pushedimage=\"file='btn_pushed.bmp' corner='4,4,4,4'\" "
         L"disabledimage=\"file='btn_disabled.bmp' corner='4,4,4,4'\" pushedtextcolor=\"#FFFFFFFF\" "
         L"disabledtextcolor=\"#FFA0A8B8\" " +
         extra + L" />";
}

std::wstring Option(const wchar_t* element, const wchar_t* name, const wchar_t* text, const wchar_t* off,
                    const wchar_t* on, const wchar_t* extra) {
  return std::wstring(L"<") + element + L" name=\"" + name + L"\" text=\"" + text +
         L"\" width=\"104\" align=\"left\" textpadding=\"22,0,0,0\" normalimage=\"file='" + off +
         L"' dest='0,12,16,28'\" selectedimage=\"file='" + on + L"' dest='0,12,16,28'\" " + extra + L" />";
}

std::wstring Slider(const wchar_t* element, const wchar_t* name, const wchar_t* extra,
                    const wchar_t* fill = L"fill.bmp", const wchar_t* thumb = L"thumb.bmp") {
  return std::wstring(L"<") + element + L" name=\"" + name +
         L"\" width=\"150\" height=\"18\" padding=\"0,11,0,0\" min=\"0\" max=\"100\" thumbsize=\"14,14\" "
         L"bkimage=\"track.bmp\" foreimage=\"" + fill + L"\" thumbimage=\"" + thumb +
         L"\" thumbhotimage=\"thumb_hot.bmp\" thumbpushedimage=\"thumb_pushed.bmp\" " + extra + L" />";
}

std::wstring Row(const std::wstring& caption, const std::wstring& content, int height = 40) {
  return L"<HorizontalLayout height=\"" + std::to_wstring(height) + L"\" childpadding=\"12\">" + Caption(caption.c_str()) +
         content + L"</HorizontalLayout>";
}

std::wstring GallerySkin() {
  std::wstring skin =
      L"<Window size=\"860,590\">"
      L"<Font id=\"0\" name=\"WenQuanYi Micro Hei\" size=\"14\" default=\"true\" />"
      L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"22\" bold=\"true\" />"
      L"<VerticalLayout bkcolor=\"#FFF4F6FA\" inset=\"20,16,20,16\" childpadding=\"10\">"
      L"<Label text=\"控件一览\" font=\"1\" height=\"36\" textcolor=\"#FF1E2533\" />";
  skin += Row(L"标签",
              L"<Label name=\"lblPlain\" text=\"普通标签\" width=\"100\" />"
              L"<Label name=\"lblEffect\" text=\"渐变描边阴影\" font=\"1\" width=\"170\" enabledeffect=\"true\" "
              L"textcolor=\"#FF2D6CDF\" textcolor1=\"#FF8E6CEF\" enabledstroke=\"true\" strokecolor=\"#FFFFFFFF\" "
              L"enabledshadow=\"true\" textshadowcolora=\"#80000000\" shadowoffset=\"2,45\" />"
              L"<Label name=\"lblGlow\" text=\"发光文字\" font=\"1\" width=\"130\" enabledeffect=\"true\" "
              L"enabledluminous=\"true\" luminousfuzzy=\"3\" textcolor=\"#FFE5484D\" />"
              L"<Label name=\"lblDisabled\" text=\"禁用标签\" width=\"100\" enabled=\"false\" "
              L"disabledtextcolor=\"#FFA0A8B8\" />");
  skin += Row(L"链接文字",
              L"<Text name=\"txtLink\" width=\"420\" showhtml=\"true\" valign=\"vcenter\" "
              L"text=\"转换前请先阅读{a quillora://help}使用帮助{/a}，有问题可{a quillora://contact}联系我们{/a}\" />");
  skin += Row(L"按钮", Button(L"Button", L"btnNormal", L"普通", L"") + Button(L"StateButton", L"btnHot", L"悬停", L"") +
                           Button(L"StateButton", L"btnPushed", L"按下", L"") +
                           Button(L"Button", L"btnDisabled", L"禁用", L"enabled=\"false\""));
  skin += Row(L"单选与复选",
              Option(L"Option", L"optFirst", L"选项一", L"radio.bmp", L"radio_on.bmp", L"group=\"g\" selected=\"true\"") +
                  Option(L"Option", L"optSecond", L"选项二", L"radio.bmp", L"radio_on.bmp", L"group=\"g\"") +
                  Option(L"Option", L"optDisabled", L"禁用选项", L"radio.bmp", L"radio_on.bmp",
                         L"group=\"g\" enabled=\"false\" disabledtextcolor=\"#FFA0A8B8\"") +
                  Option(L"CheckBox", L"chkOn", L"已勾选", L"check.bmp", L"check_on.bmp", L"selected=\"true\"") +
                  Option(L"CheckBox", L"chkOff", L"未勾选", L"check.bmp", L"check_on.bmp", L"") +
                  Option(L"CheckBox", L"chkDisabled", L"禁用勾选", L"check.bmp", L"check_on.bmp",
                         L"selected=\"true\" enabled=\"false\" disabledtextcolor=\"#FFA0A8B8\""));
  skin += Row(L"标签页",
              L"<VerticalLayout width=\"320\">"
              L"<HorizontalLayout height=\"30\">"
              L"<Option name=\"tabFirst\" text=\"第一页\" width=\"90\" group=\"tabs\" "
              L"normalimage=\"file='tab_off.bmp'\" selectedimage=\"file='tab_on.bmp'\" />"
              L"<Option name=\"tabSecond\" text=\"第二页\" width=\"90\" group=\"tabs\" selected=\"true\" "
              L"normalimage=\"file='tab_off.bmp'\" selectedimage=\"file='tab_on.bmp'\" />"
              L"<Control bkimage=\"tab_off.bmp\" />"
              L"</HorizontalLayout>"
              L"<TabLayout name=\"tabs\" selectedid=\"1\" bkcolor=\"#FFFFFFFF\">"
              L"<Label text=\"第一页的内容\" textpadding=\"10,0,0,0\" />"
              L"<Label text=\"第二页的内容：选中的页才显示\" textpadding=\"10,0,0,0\" />"
              L"</TabLayout></VerticalLayout>",
              64);
  skin += Row(L"编辑框",
              L"<Edit name=\"edtNormal\" text=\"可以输入文字\" width=\"200\" height=\"28\" padding=\"0,6,0,0\" "
              L"bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF9DB4DD\" textpadding=\"6,0,6,0\" />"
              L"<Edit name=\"edtDisabled\" text=\"禁用的编辑框\" width=\"200\" height=\"28\" padding=\"0,6,0,0\" "
              L"enabled=\"false\" bkcolor=\"#FFEEF0F4\" bordersize=\"1\" bordercolor=\"#FFCCD2DC\" "
              L"textpadding=\"6,0,6,0\" disabledtextcolor=\"#FFA0A8B8\" />");
  skin += Row(L"进度条",
              L"<Progress name=\"prgHalf\" width=\"200\" height=\"12\" padding=\"0,14,0,0\" min=\"0\" max=\"100\" "
              L"value=\"60\" bkcolor=\"#FFDDE3EE\" foreimage=\"bar.bmp\" />"
              L"<Label text=\"60%\" width=\"50\" />"
              L"<Progress name=\"prgText\" width=\"200\" height=\"20\" padding=\"0,10,0,0\" min=\"0\" max=\"100\" "
              L"value=\"30\" bkcolor=\"#FFDDE3EE\" foreimage=\"bar.bmp\" text=\"转换中 30%\" />");
  skin += Row(L"滑块", Slider(L"Slider", L"sldNormal", L"value=\"30\"") +
                           Slider(L"StateSlider", L"sldHot", L"value=\"50\"") +
                           Slider(L"StateSlider", L"sldPushed", L"value=\"70\"") +
                           Slider(L"Slider", L"sldDisabled", L"value=\"40\" enabled=\"false\"",
                                  L"fill_disabled.bmp", L"thumb_disabled.bmp"));
  skin += Row(L"环形、动画、图标",
              L"<CircleProgress name=\"ringHalf\" width=\"72\" height=\"72\" valign=\"vcenter\" circular=\"true\" circlewidth=\"8\" "
              L"bgcolor=\"#FFDDE3EE\" fgcolor=\"#FF2D6CDF\" min=\"0\" max=\"100\" value=\"50\" text=\"50%\" />"
              L"<CircleProgress name=\"ringGradient\" width=\"72\" height=\"72\" valign=\"vcenter\" circular=\"true\" circlewidth=\"8\" "
              L"bgcolor=\"#FFDDE3EE\" enablecircleeffect=\"true\" gradientcolor1=\"#FF2BAE66\" "
              L"gradientcolor2=\"#FF2D6CDF\" indicator=\"knob.bmp\" min=\"0\" max=\"100\" value=\"75\" text=\"75%\" />"
              L"<Control width=\"10\" />"
              L"<GifAnim name=\"gifBusy\" width=\"32\" height=\"32\" padding=\"0,20,0,0\" bkimage=\"busy.gif\" />"
              L"<Label text=\"动画\" width=\"40\" />"
              L"<Icon name=\"iconApp\" width=\"32\" height=\"32\" padding=\"0,20,0,0\" icon=\"app.ico\" />"
              L"<Label text=\"图标\" width=\"40\" />",
              72);
  skin += L"</VerticalLayout></Window>";
  return skin;
}

TEST(GalleryTest, EveryBasicControlInItsStates) {
  ScratchFolder folder;
  WritePictures(folder);
  CWindowManagerUI::SetResourcePath(folder.path().c_str());
  GalleryCallback callback;
  testcontrols::SkinnedTestWindow window(GallerySkin(), 860, 590, &callback);
  ASSERT_TRUE(window.ok());

  // Every element was made by the builder as its own class.
  const struct {
    const wchar_t* name;
    const wchar_t* interfaceName;
  } made[] = {
      {L"lblPlain", L"Label"},         {L"txtLink", L"Text"},           {L"btnNormal", L"Button"},
      {L"optFirst", L"Option"},        {L"chkOn", L"CheckBox"},         {L"tabs", L"TabLayout"},
      {L"edtNormal", L"Edit"},         {L"prgHalf", L"Progress"},       {L"sldNormal", L"Slider"},
      {L"ringHalf", L"CircleProgress"}, {L"gifBusy", L"GifAnim"},       {L"iconApp", L"Icon"},
  };
  for (const auto& m : made) {
    CControlUI* control = window.driver().Find(m.name);
    ASSERT_NE(control, nullptr) << m.name;
    EXPECT_NE(control->GetInterface(m.interfaceName), nullptr) << m.name << " is not a " << m.interfaceName;
  }

  // States the pointer cannot hold at once are set directly.
  window.Find<StateButton>(L"btnHot")->Force(kUIStateHot);
  window.Find<StateButton>(L"btnPushed")->Force(kUIStatePushed);
  window.Find<StateSlider>(L"sldHot")->Force(kUIStateHot);
  window.Find<StateSlider>(L"sldPushed")->Force(kUIStateCaptured);
  window.driver().MoveTo(POINT{850, 580});  // park the pointer over nothing
  window.driver().PumpFor(400);             // button fades, the GIF and the layout settle
  window.manager().KillControlTimer(window.driver().Find(L"gifBusy"), CGifAnimUI::kFrameTimerId);

  ASSERT_TRUE(window.Capture());
  EXPECT_TRUE(testshots::SaveWindowPng(L"gallery-basic.png", window.hwnd()));

  // The ring at 50 % is drawn: its right side carries the value colour, its left the background.
  const CUIRect ring = window.driver().Find(L"ringHalf")->GetPos();
  const int cx = (ring.left + ring.right) / 2, cy = (ring.top + ring.bottom) / 2;
  const int radius = (ring.right - ring.left) / 2 - 5;
  EXPECT_EQ(window.PixelAt(cx + radius, cy), 0x2D6CDFu);
  EXPECT_EQ(window.PixelAt(cx - radius, cy), 0xDDE3EEu);
  // Only the selected tab page is shown.
  EXPECT_EQ(window.Find<CTabLayoutUI>(L"tabs")->GetCurSel(), 1);
  // The pushed button's fill differs from the normal one's.
  const CUIRect normal = window.driver().Find(L"btnNormal")->GetPos();
  const CUIRect pushed = window.driver().Find(L"btnPushed")->GetPos();
  EXPECT_NE(window.PixelAt(normal.left + 6, normal.top + 6), window.PixelAt(pushed.left + 6, pushed.top + 6));
}

// --- The item and input controls ---

std::wstring TreeNode(const wchar_t* name, const wchar_t* text, const std::wstring& children = L"") {
  return std::wstring(L"<TreeNode name=\"") + name + L"\" text=\"" + text +
         L"\" height=\"24\" folderattr=\"width=&quot;16&quot; normalimage=&quot;file='fold_open.bmp' dest='0,4,16,20'&quot; "
         L"selectedimage=&quot;file='fold_closed.bmp' dest='0,4,16,20'&quot;\" "
         L"itemattr=\"textpadding=&quot;4,0,0,0&quot;\">" +
         children + L"</TreeNode>";
}

std::wstring ItemsSkin() {
  const std::wstring column = L"<VerticalLayout width=\"400\" childpadding=\"10\">";
  auto caption = [](const wchar_t* text) {
    return std::wstring(L"<Label height=\"20\" text=\"") + text + L"\" textcolor=\"#FF5B6478\" />";
  };
  std::wstring skin =
      L"<Window size=\"860,480\">"
      L"<Font id=\"0\" name=\"WenQuanYi Micro Hei\" size=\"14\" default=\"true\" />"
      L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"22\" bold=\"true\" />"
      L"<VerticalLayout bkcolor=\"#FFF4F6FA\" inset=\"20,16,20,16\" childpadding=\"8\">"
      L"<Label text=\"列表与输入控件\" font=\"1\" height=\"36\" textcolor=\"#FF1E2533\" />"
      L"<HorizontalLayout childpadding=\"20\">" +
      column + caption(L"富文本编辑框") +
      L"<RichEdit name=\"rich\" height=\"84\" multiline=\"true\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" "
      L"bordercolor=\"#FF9DB4DD\" textpadding=\"6,4,6,4\" textcolor=\"#FF1E2533\" "
      L"text=\"欢迎使用文字语音转换器。这里可以输入要转换的文字，文字较长时自动换行，可以编辑多行内容。\" />" +
      caption(L"带表头的列表") +
      L"<List name=\"list\" height=\"132\" itemheight=\"24\" itemaltbk=\"true\" itembkcolor=\"#FFF4F7FC\" "
      L"itemselectedbkcolor=\"#FFDDE6FB\" itemtextpadding=\"8,0,0,0\" "
      L"itemtextcolor=\"#FF1E2533\" itemhlinesize=\"1\" itemhlinecolor=\"#FFE3E8F0\" bkcolor=\"#FFFFFFFF\" "
      L"bordersize=\"1\" bordercolor=\"#FF9DB4DD\">"
      L"<ListHeader height=\"26\" bkcolor=\"#FFE8ECF2\">"
      L"<ListHeaderItem text=\"文件名\" width=\"180\" sepcolor=\"#FFB8C0CC\" textcolor=\"#FF1E2533\" />"
      L"<ListHeaderItem text=\"时长\" width=\"90\" sepcolor=\"#FFB8C0CC\" textcolor=\"#FF1E2533\" />"
      L"<ListHeaderItem text=\"状态\" width=\"128\" sepcolor=\"#FFB8C0CC\" textcolor=\"#FF1E2533\" />"
      L"</ListHeader>"
      L"<ListTextElement name=\"row0\" /><ListTextElement name=\"row1\" />"
      L"<ListTextElement name=\"row2\" /><ListTextElement name=\"row3\" />"
      L"</List>" +
      caption(L"下拉框（普通、禁用）") +
      L"<HorizontalLayout height=\"30\" childpadding=\"12\">"
      L"<Combo name=\"combo\" width=\"180\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF9DB4DD\" "
      L"textpadding=\"8,0,24,0\" itemheight=\"26\" itemtextpadding=\"8,0,0,0\" "
      L"normalimage=\"file='combo_arrow.bmp' dest='156,7,172,23'\">"
      L"<ListLabelElement text=\"标准女声\" /><ListLabelElement text=\"标准男声\" selected=\"true\" />"
      L"<ListLabelElement text=\"情感女声\" /></Combo>"
      L"<Combo name=\"comboOff\" width=\"180\" enabled=\"false\" bkcolor=\"#FFEEF0F4\" bordersize=\"1\" "
      L"bordercolor=\"#FFCCD2DC\" textpadding=\"8,0,24,0\" itemdisabledtextcolor=\"#FFA0A8B8\">"
      L"<ListLabelElement text=\"不可选择\" selected=\"true\" /></Combo>"
      L"</HorizontalLayout>"
      L"</VerticalLayout>" +
      column + caption(L"树形视图（“笔记”已折叠）") +
      L"<TreeView name=\"tree\" height=\"186\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF9DB4DD\" "
      L"itemtextcolor=\"#FF1E2533\" itemselectedbkcolor=\"#FFDDE6FB\" inset=\"4,4,4,4\">" +
      TreeNode(L"tDocs", L"文档",
               TreeNode(L"tGuide", L"使用指南", TreeNode(L"tIntro", L"简介") + TreeNode(L"tUsage", L"操作步骤")) +
                   TreeNode(L"tNotes", L"笔记", TreeNode(L"tTodo", L"待办"))) +
      TreeNode(L"tMusic", L"音乐", TreeNode(L"tSongs", L"歌曲")) +
      L"</TreeView>" + caption(L"日期选择（普通、禁用）") +
      L"<HorizontalLayout height=\"30\" childpadding=\"12\">"
      L"<DateTime name=\"date\" width=\"180\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" bordercolor=\"#FF9DB4DD\" "
      L"textpadding=\"8,0,8,0\" />"
      L"<DateTime name=\"dateOff\" width=\"180\" enabled=\"false\" bkcolor=\"#FFEEF0F4\" bordersize=\"1\" "
      L"bordercolor=\"#FFCCD2DC\" textpadding=\"8,0,8,0\" disabledtextcolor=\"#FFA0A8B8\" />"
      L"</HorizontalLayout>" +
      caption(L"进度条与滑块") +
      L"<HorizontalLayout height=\"24\" childpadding=\"12\">"
      L"<Progress name=\"prg\" width=\"180\" height=\"12\" padding=\"0,6,0,0\" min=\"0\" max=\"100\" "
      L"value=\"45\" bkcolor=\"#FFDDE3EE\" foreimage=\"bar.bmp\" />"
      L"<Progress name=\"prgV\" width=\"180\" height=\"20\" padding=\"0,2,0,0\" min=\"0\" max=\"100\" "
      L"value=\"80\" bkcolor=\"#FFDDE3EE\" foreimage=\"bar.bmp\" text=\"已完成 80%\" />"
      L"</HorizontalLayout>"
      L"<HorizontalLayout height=\"24\" childpadding=\"12\">" +
      Slider(L"Slider", L"sld", L"value=\"65\"") +
      Slider(L"Slider", L"sldOff", L"value=\"25\" enabled=\"false\"", L"fill_disabled.bmp", L"thumb_disabled.bmp") +
      L"</HorizontalLayout>"
      L"</VerticalLayout>"
      L"</HorizontalLayout></VerticalLayout></Window>";
  return skin;
}

TEST(GalleryTest, ItemAndInputControlsInTheirStates) {
  ScratchFolder folder;
  WritePictures(folder);
  CWindowManagerUI::SetResourcePath(folder.path().c_str());
  GalleryCallback callback;
  testcontrols::SkinnedTestWindow window(ItemsSkin(), 860, 480, &callback);
  ASSERT_TRUE(window.ok());

  const struct {
    const wchar_t* name;
    const wchar_t* interfaceName;
  } made[] = {
      {L"rich", L"RichEdit"}, {L"list", L"List"},     {L"combo", L"Combo"},   {L"tree", L"TreeView"},
      {L"tDocs", L"TreeNode"}, {L"date", L"DateTime"}, {L"prg", L"Progress"}, {L"sld", L"Slider"},
  };
  for (const auto& m : made) {
    CControlUI* control = window.driver().Find(m.name);
    ASSERT_NE(control, nullptr) << m.name;
    EXPECT_NE(control->GetInterface(m.interfaceName), nullptr) << m.name << " is not a " << m.interfaceName;
  }

  // List rows: three columns each, the second row selected.
  const wchar_t* rows[][3] = {{L"春天的故事.mp3", L"03:12", L"已转换"},
                              {L"会议记录.wav", L"45:08", L"转换中 60%"},
                              {L"课堂笔记.m4a", L"12:40", L"等待中"},
                              {L"访谈.mp3", L"28:05", L"失败，可重试"}};
  for (int r = 0; r < 4; ++r) {
    auto* row = window.Find<CListTextElementUI>((L"row" + std::to_wstring(r)).c_str());
    ASSERT_NE(row, nullptr);
    for (int c = 0; c < 3; ++c) row->SetText(c, rows[r][c]);
  }
  auto* list = window.Find<CListUI>(L"list");
  ASSERT_TRUE(list->SelectItem(1, false, false));

  // The tree: "笔记" collapsed by its folder button, "使用指南" selected.
  auto* notes = static_cast<CTreeNodeUI*>(window.driver().Find(L"tNotes")->GetInterface(L"TreeNode"));
  notes->GetFolderButton()->SetSelected(true, true);
  window.driver().Pump();
  EXPECT_FALSE(window.driver().Find(L"tTodo")->IsVisible());
  auto* guide = static_cast<CTreeNodeUI*>(window.driver().Find(L"tGuide")->GetInterface(L"TreeNode"));
  guide->Select(true, false);

  // A fixed date, so the picture does not change from day to day.
  SYSTEMTIME day = {};
  day.wYear = 2026;
  day.wMonth = 12;
  day.wDay = 10;
  static_cast<CDateTimeUI*>(window.driver().Find(L"date")->GetInterface(L"DateTime"))->SetTime(day);
  static_cast<CDateTimeUI*>(window.driver().Find(L"dateOff")->GetInterface(L"DateTime"))->SetTime(day);

  window.driver().MoveTo(POINT{850, 470});
  window.driver().PumpFor(300);
  ASSERT_TRUE(window.Capture());
  EXPECT_TRUE(testshots::SaveWindowPng(L"gallery-items.png", window.hwnd()));

  // The selected list row and tree node carry the selection colour.
  const CUIRect row1 = window.driver().Find(L"row1")->GetPos();
  EXPECT_EQ(window.PixelAt(row1.right - 4, row1.top + 4), 0xDDE6FBu);
  const CUIRect guideRow = guide->GetPos();
  EXPECT_EQ(window.PixelAt(guideRow.right - 4, guideRow.top + 4), 0xDDE6FBu);
  // The combo shows its selected item's text.
  EXPECT_STREQ(window.Find<CComboUI>(L"combo")->GetText().GetText(), L"标准男声");
}

}  // namespace
