#pragma once

// Sample skins shared by the screenshot tests and the benchmarks: pictures
// made in code and skin XML that uses every kind of drawing the framework
// does (nested layouts, colours, gradients, nine-grid and tiled images,
// markup text with a link, a scroll bar, round borders). Also a control that
// paints markup text, standing in for the text controls that join later.
#include <string>

#include "tests/support/TestBitmaps.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/control/UIEvent.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

namespace testskins {

// A 24x24 frame picture: a dark 6-pixel border (so nine-grid corners show)
// around a light centre.
inline std::string FramePicture() {
  return testbitmaps::MakeBmp(24, 24, [](int x, int y) {
    const bool border = x < 6 || y < 6 || x >= 18 || y >= 18;
    return border ? 0x1A3F8Au : 0xDDE8FFu;
  });
}

// A 16x16 checker tile (two 8x8 squares a row), so tiling shows as a pattern.
inline std::string TilePicture() {
  return testbitmaps::MakeBmp(16, 16, [](int x, int y) { return ((x / 8) + (y / 8)) % 2 == 0 ? 0xF2A93Bu : 0xFFF3D6u; });
}

// A control that paints its text as markup text (bold, colour, links).
class MarkupTextControl : public Trellis::CControlUI {
 public:
  const Trellis::UIChar* GetClassName() const override { return L"MarkupText"; }
  void PaintText(HDC dc) override {
    Trellis::CUIRect rc = GetPos();
    const Trellis::CUIRect padding = GetPadding();
    rc.left += padding.left;
    rc.top += padding.top;
    rc.right -= padding.right;
    rc.bottom -= padding.bottom;
    int links = kMaxLinks;
    const Trellis::CUIString text = GetText();
    Trellis::CDrawEngine::DrawMarkupText(dc, GetManager(), rc, text.GetText(), 0xFF1E2533, m_links, m_linkTexts,
                                         links, -1, DT_WORDBREAK);
    m_linkCount = links;
  }
  int GetLinkCount() const { return m_linkCount; }
  // A release over a link sends "link" with the link's index as wParam.
  void HandleEvent(Trellis::UIEvent& event) override {
    if (event.Type == Trellis::kUIEventButtonUp && GetManager() != nullptr) {
      for (int i = 0; i < m_linkCount; ++i) {
        const Trellis::CUIRect& link = m_links[i];
        const Trellis::CUIPoint at = event.ptMouse;
        if (at.x >= link.left && at.x < link.right && at.y >= link.top && at.y < link.bottom) {
          m_clickedLink = m_linkTexts[i];
          GetManager()->SendNotify(this, L"link", static_cast<WPARAM>(i));
          return;
        }
      }
    }
    Trellis::CControlUI::HandleEvent(event);
  }
  const Trellis::CUIRect& GetLinkRect(int index) const { return m_links[index]; }
  const Trellis::CUIString& GetClickedLink() const { return m_clickedLink; }

 private:
  static constexpr int kMaxLinks = 8;
  Trellis::CUIRect m_links[kMaxLinks];
  Trellis::CUIString m_linkTexts[kMaxLinks];
  int m_linkCount = 0;
  Trellis::CUIString m_clickedLink;
};

// Makes the sample skins' own element ("MarkupText").
class SampleCallback : public Trellis::IDialogBuilderCallback {
 public:
  Trellis::CControlUI* CreateControl(const Trellis::UIChar* name) override {
    return std::wstring(name) == L"MarkupText" ? new MarkupTextControl : nullptr;
  }
};

// The sample tree: a 1024x720 window's worth of nested layouts. Images are
// "frame.bmp" and "tile.bmp" (FramePicture, TilePicture) in the skin source.
inline std::wstring SampleTreeSkin() {
  std::wstring rows;
  for (int i = 0; i < 24; ++i) {
    rows += L"<Control name=\"row" + std::to_wstring(i) + L"\" height=\"34\" bkcolor=\"" +
            (i % 2 == 0 ? L"#FFE4ECFA" : L"#FFF8FAFF") + L"\" bordersize=\"1\" bordercolor=\"#FFC9D4EA\" />";
  }
  std::wstring tiles;
  const wchar_t* colours[] = {L"#FF4C8DF6", L"#FF36B37E", L"#FFF5A623", L"#FFE5484D", L"#FF8E6CEF", L"#FF00A3BF"};
  for (int i = 0; i < 9; ++i) {
    tiles += L"<Control name=\"tile" + std::to_wstring(i) + L"\" bkcolor=\"" + colours[i % 6] +
             L"\" borderround=\"14,14\" bordersize=\"2\" bordercolor=\"#FF1E2533\" />";
  }
  return L"<Window size=\"1024,720\">"
         L"<Font id=\"0\" name=\"Tahoma\" size=\"15\" default=\"true\" />"
         L"<VerticalLayout name=\"root\" bkcolor=\"#FFF4F6FA\" inset=\"16,16,16,16\" childpadding=\"12\">"
         L"<HorizontalLayout name=\"header\" height=\"72\" bkcolor=\"#FF2D6CDF\" bkcolor2=\"#FF9CC3FF\" "
         L"borderround=\"16,16\" inset=\"14,12,14,12\" childpadding=\"14\">"
         L"<Control name=\"badge\" width=\"48\" bkcolor=\"#FFFFFFFF\" borderround=\"12,12\" bordersize=\"3\" "
         L"bordercolor=\"#FF1A3F8A\" />"
         L"<MarkupText name=\"title\" padding=\"0,10,0,0\" "
         L"text=\"{b}Sample tree{/b} with {c #FFFFE27A}colour{/c} and a {a quillora://help}link to the help{/a}\" />"
         L"</HorizontalLayout>"
         L"<HorizontalLayout name=\"body\" childpadding=\"12\">"
         L"<VerticalLayout name=\"pictures\" width=\"320\" childpadding=\"12\">"
         L"<Control name=\"frame\" height=\"150\" bkimage=\"file='frame.bmp' corner='6,6,6,6'\" />"
         L"<Control name=\"tiled\" height=\"150\" bkimage=\"file='tile.bmp' xtiled='true' ytiled='true'\" "
         L"bordersize=\"2\" bordercolor=\"#FF8A5A00\" />"
         L"<Control name=\"rounded\" bkcolor=\"#FFFFE0B0\" bkcolor2=\"#FFFFB347\" bordersize=\"2\" "
         L"bordercolor=\"#FFCC7700\" borderround=\"24,24\" />"
         L"</VerticalLayout>"
         L"<VerticalLayout name=\"list\" vscrollbar=\"true\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" "
         L"vscrollbarstyle=\"showbutton1=&quot;false&quot; showbutton2=&quot;false&quot; thumbcolor=&quot;#FF9AA8C0&quot; bkcolor=&quot;#FFEEF1F6&quot; width=&quot;10&quot;\" "
         L"bordercolor=\"#FF9AA8C0\" inset=\"6,6,6,6\" childpadding=\"4\">" +
         rows +
         L"</VerticalLayout>"
         L"<TileLayout name=\"tiles\" width=\"316\" itemsize=\"92,92\" childpadding=\"8\" bkcolor=\"#FFEEF1F6\" "
         L"inset=\"8,8,8,8\">" +
         tiles +
         L"</TileLayout>"
         L"</HorizontalLayout>"
         L"</VerticalLayout>"
         L"</Window>";
}

// The sample window: a skinned dialog with a title bar, a picture column, a
// long scrolling list, markup text with a link and a drop shadow. Pictures
// as for the sample tree.
inline std::wstring SampleWindowSkin() {
  std::wstring rows;
  for (int i = 0; i < 30; ++i) {
    rows += L"<Control name=\"item" + std::to_wstring(i) + L"\" height=\"30\" bkcolor=\"" +
            (i % 2 == 0 ? L"#FFEAF1FD" : L"#FFFFFFFF") + L"\" />";
  }
  return L"<Window size=\"640,420\" caption=\"0,0,0,44\" sizebox=\"4,4,4,4\" roundcorner=\"6,6\" "
         L"showshadow=\"true\" shadowsize=\"8\" shadowsharpness=\"8\" shadowdarkness=\"110\" "
         L"shadowpositon=\"0,2\" shadowcolor=\"#FF000000\">"
         L"<Font id=\"0\" name=\"Tahoma\" size=\"14\" default=\"true\" />"
         L"<Default name=\"Control\" value=\"bordercolor=&quot;#FFB8C4DA&quot;\" />"
         L"<VerticalLayout name=\"page\" bkcolor=\"#FFF7F9FC\">"
         L"<HorizontalLayout name=\"titlebar\" height=\"44\" bkcolor=\"#FF24324A\" bkcolor2=\"#FF3B5583\" "
         L"inset=\"12,8,8,8\" childpadding=\"8\">"
         L"<Control name=\"logo\" width=\"28\" bkimage=\"file='frame.bmp' corner='6,6,6,6'\" />"
         L"<MarkupText name=\"title\" padding=\"0,4,0,0\" text=\"{c #FFFFFFFF}{b}Sample window{/b}{/c}\" />"
         L"<Control name=\"closebtn\" width=\"28\" bkcolor=\"#FFE5484D\" borderround=\"8,8\" />"
         L"</HorizontalLayout>"
         L"<HorizontalLayout name=\"body\" inset=\"12,12,12,12\" childpadding=\"12\">"
         L"<VerticalLayout name=\"side\" width=\"200\" childpadding=\"10\">"
         L"<Control name=\"picture\" height=\"120\" bkimage=\"file='tile.bmp' xtiled='true' ytiled='true'\" "
         L"bordersize=\"1\" />"
         L"<MarkupText name=\"help\" height=\"80\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" borderround=\"8,8\" "
         L"padding=\"8,8,8,8\" text=\"Pictures, colours and {a quillora://help}a link{/a} in one skin.\" />"
         L"</VerticalLayout>"
         L"<VerticalLayout name=\"list\" vscrollbar=\"true\" bkcolor=\"#FFFFFFFF\" bordersize=\"1\" "
         L"vscrollbarstyle=\"showbutton1=&quot;false&quot; showbutton2=&quot;false&quot; thumbcolor=&quot;#FF9AA8C0&quot; bkcolor=&quot;#FFEEF1F6&quot; width=&quot;10&quot;\" "
         L"inset=\"1,1,1,1\">" +
         rows +
         L"</VerticalLayout>"
         L"</HorizontalLayout>"
         L"</VerticalLayout>"
         L"</Window>";
}

// A window of rows x perRow cells for the benchmarks: rows of horizontal
// layouts whose cells take turns being a colour (some with gradients and
// round borders), a nine-grid picture, a tiled picture and markup text.
// rows * (perRow + 1) + 1 controls in all. `kinds` picks the cells that take
// turns: 'g' gradient colour, 'c' plain colour, 'f' nine-grid picture, 't'
// tiled picture, 'm' markup text.
inline std::wstring GridSkin(int width, int height, int rows, int perRow, const std::wstring& kinds = L"gftm") {
  std::wstring body;
  for (int r = 0; r < rows; ++r) {
    body += L"<HorizontalLayout childpadding=\"2\" bkcolor=\"" + std::wstring(r % 2 == 0 ? L"#FFF4F6FA" : L"#FFFFFFFF") +
            L"\">";
    for (int c = 0; c < perRow; ++c) {
      switch (kinds[static_cast<size_t>(r + c) % kinds.size()]) {
        case L'g':
          body += L"<Control bkcolor=\"#FF4C8DF6\" bkcolor2=\"#FF9CC3FF\" borderround=\"6,6\" bordersize=\"1\" "
                  L"bordercolor=\"#FF1E2533\" />";
          break;
        case L'c':
          body += L"<Control bkcolor=\"#FF36B37E\" />";
          break;
        case L'f':
          body += L"<Control bkimage=\"file='frame.bmp' corner='6,6,6,6'\" />";
          break;
        case L't':
          body += L"<Control bkimage=\"file='tile.bmp' xtiled='true' ytiled='true'\" />";
          break;
        default:
          body += L"<MarkupText text=\"{b}" + std::to_wstring(r * perRow + c) + L"{/b} cell\" />";
          break;
      }
    }
    body += L"</HorizontalLayout>";
  }
  return L"<Window size=\"" + std::to_wstring(width) + L"," + std::to_wstring(height) + L"\">"
         L"<Font id=\"0\" name=\"Tahoma\" size=\"12\" default=\"true\" />"
         L"<VerticalLayout name=\"root\" childpadding=\"2\" inset=\"4,4,4,4\">" +
         body + L"</VerticalLayout></Window>";
}

}  // namespace testskins
