// Test cases run alone: they read pixels back from the screen, where other tests' windows may lie.
// Resources and window attributes of the window manager under Wine: fonts,
// images, default attribute lists, default colours, the skin's window
// attributes, the skin archive in memory, and layered painting read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "tests/ui/window/ManagerTestWindow.h"
#include "ui/draw/UIFontInfo.h"
#include "ui/draw/UIImageInfo.h"
#include "ui/skin/SkinFile.h"

using namespace managertest;

namespace {

LONG FontWeight(HFONT font) {
  LOGFONTW logFont = {};
  return GetObjectW(font, sizeof(logFont), &logFont) == sizeof(logFont) ? logFont.lfWeight : -1;
}

// The BGRA bytes of pixel (x, y) of a 32-bit DIB section.
const BYTE* DibPixel(HBITMAP bitmap, int x, int y) {
  DIBSECTION dib = {};
  if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBits == nullptr) return nullptr;
  const int row = dib.dsBmih.biHeight > 0 ? dib.dsBm.bmHeight - 1 - y : y;
  return static_cast<const BYTE*>(dib.dsBm.bmBits) + (static_cast<size_t>(row) * dib.dsBm.bmWidth + x) * 4;
}

}  // namespace

class ManagerResources : public ManagerFixture {};

TEST_F(ManagerResources, FontsAreBoldAt700AndReplacedById) {
  const HFONT bold = manager().AddFont(1, L"Tahoma", 14, true, false, false);
  const HFONT plain = manager().AddFont(2, L"Tahoma", 14, false, false, false);
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(FontWeight(bold), FW_BOLD) << "bold is the weight 700, not the face's weight plus 700";
  EXPECT_EQ(FontWeight(plain), FW_NORMAL);
  EXPECT_GT(manager().GetFontInfo(1)->tm.tmHeight, 0) << "measured with the window's DC";

  const HFONT first = manager().AddFont(130, L"Tahoma", 12, false, false, false);
  const HFONT second = manager().AddFont(130, L"Tahoma", 16, false, true, false);
  EXPECT_EQ(manager().GetFontHandle(130), second);
  EXPECT_EQ(GetObjectType(first), 0u) << "the replaced font was deleted";
  EXPECT_EQ(manager().FindFontHandle(L"Tahoma", 16, false, true, false), second);
  EXPECT_EQ(manager().FindFontHandle(L"Tahoma", 12, false, false, false), nullptr);

  const HFONT defaultFont = manager().GetDefaultFontInfo()->hFont.Get();
  EXPECT_EQ(manager().GetFontHandle(-1), defaultFont);
  EXPECT_EQ(manager().GetFontHandle(999), defaultFont) << "an unknown id gives the default font";
  EXPECT_EQ(manager().GetFontInfoByHandle(defaultFont), manager().GetDefaultFontInfo());
  EXPECT_EQ(manager().GetFontInfoByHandle(bold)->iSize, 14);

  // A shared font is seen by every window; a window's own font only by it.
  CWindowManagerUI other;
  const HFONT shared = manager().AddFont(77, L"Tahoma", 20, true, false, false, true);
  EXPECT_EQ(other.GetFontHandle(77), shared);
  EXPECT_EQ(other.GetFontHandle(1), other.GetDefaultFontInfo()->hFont.Get());
}

TEST_F(ManagerResources, AnImageAddedTwiceKeepsItsFirstRecord) {
  UIImageInfo* first = manager().AddImage(L"FF20A040", L"*COLOR*");
  ASSERT_NE(first, nullptr);
  UIImageInfo* again = manager().AddImage(L"FF20A040", L"*COLOR*");
  EXPECT_EQ(again, first) << "cached pointers to the record stay valid";
  EXPECT_EQ(manager().GetImage(L"FF20A040"), first);
  EXPECT_EQ(manager().GetOrAddImage(L"FF20A040", L"*COLOR*"), first);
  EXPECT_EQ(first->nX, 1);
  EXPECT_EQ(manager().AddImage(L"", L"*COLOR*"), nullptr);
  EXPECT_EQ(manager().AddImage(L"no-such-image.png"), nullptr);
  EXPECT_EQ(manager().GetImage(L"no-such-image.png"), nullptr);
}

TEST_F(ManagerResources, DefaultListsAndColoursFallBackToTheSharedSet) {
  CWindowManagerUI other;
  manager().AddDefaultAttributeList(L"Probe", L"bkcolor=\"#FF000000\"", true);
  EXPECT_STREQ(other.GetDefaultAttributeList(L"Probe"), L"bkcolor=\"#FF000000\"");
  manager().AddDefaultAttributeList(L"Probe", L"width=\"5\"");
  EXPECT_STREQ(manager().GetDefaultAttributeList(L"Probe"), L"width=\"5\"") << "the window's own list hides the shared";
  EXPECT_STREQ(other.GetDefaultAttributeList(L"Probe"), L"bkcolor=\"#FF000000\"");
  EXPECT_EQ(manager().GetDefaultAttributeList(L"Nothing"), nullptr);
  manager().RemoveAllDefaultAttributeLists(true);
  EXPECT_EQ(other.GetDefaultAttributeList(L"Probe"), nullptr);

  const uint32_t oldShared = other.GetDefaultFontColor();
  other.SetDefaultFontColor(0xFF112233);  // its own colour now
  manager().SetDefaultFontColor(0xFF333333, true);
  CWindowManagerUI later;
  EXPECT_EQ(manager().GetDefaultFontColor(), 0xFF333333u) << "still the shared default: follows";
  EXPECT_EQ(other.GetDefaultFontColor(), 0xFF112233u) << "its own colour stays";
  EXPECT_EQ(later.GetDefaultFontColor(), 0xFF333333u);
  manager().SetDefaultFontColor(oldShared, true);
}

TEST_F(ManagerResources, WindowAttributesAreReadAsTheSkinWritesThem) {
  manager().SetWindowAttribute(L"caption", L"0,0,-1,40");
  EXPECT_EQ(manager().GetCaptionRect().right, -1);
  EXPECT_EQ(manager().GetCaptionRect().bottom, 40);
  const struct {
    const wchar_t* value;
    CUIRect expected;
  } sizeBoxes[] = {{L"4,4,4,4", CUIRect(4, 4, 4, 4)}, {L"4,5", CUIRect(4, 5, 0, 0)}, {L"7", CUIRect(7, 0, 0, 0)},
                   {L"", CUIRect()}, {L"1,2,3,", CUIRect(1, 2, 3, 0)}};
  for (const auto& c : sizeBoxes) {
    manager().SetWindowAttribute(L"sizebox", c.value);
    const CUIRect box = manager().GetSizeBox();
    EXPECT_TRUE(box.left == c.expected.left && box.top == c.expected.top && box.right == c.expected.right &&
                box.bottom == c.expected.bottom)
        << "sizebox=\"" << std::string(c.value, c.value + wcslen(c.value)) << "\": missing numbers are 0";
  }
  manager().SetWindowAttribute(L"MinInfo", L"200,100");
  EXPECT_EQ(manager().GetMinInfo().cx, 200);
  manager().SetWindowAttribute(L"NoActivate", L"true");
  EXPECT_FALSE(manager().IsNoActivate()) << "\"noactivate\" is matched exactly";
  EXPECT_STREQ(manager().GetWindowCustomAttribute(L"NoActivate"), L"true");
  manager().SetWindowAttribute(L"NoActivate", L"false");
  EXPECT_STREQ(manager().GetWindowCustomAttribute(L"NoActivate"), L"true") << "the first value stays";
  manager().SetWindowAttribute(L"defaultfontcolor", L"#FF445566");
  EXPECT_EQ(manager().GetDefaultFontColor(), 0xFF445566u);

  // After the tree is attached, "size" is only stored.
  manager().SetWindowAttribute(L"size", L"414,305");
  RECT window = {};
  GetWindowRect(hwnd(), &window);
  EXPECT_EQ(window.right - window.left, kWidth);
  EXPECT_EQ(manager().GetInitialSize().cx, 414);
}

TEST(ManagerWindowAttributes, SizeBeforeTheTreeResizesTheWindow) {
  CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
  ManagerWindow window;
  ASSERT_NE(window.CreateWithSize(nullptr, L"size", WS_POPUP, 0, 0, 0, 100, 100), nullptr);
  window.manager.SetWindowAttribute(L"size", L"414,305");
  RECT rect = {};
  GetWindowRect(window.GetHandle(), &rect);
  EXPECT_EQ(rect.right - rect.left, 414);
  EXPECT_EQ(rect.bottom - rect.top, 305);
  window.manager.SetWindowAttribute(L"OPACITY", L"128");
  EXPECT_EQ(window.manager.GetOpacity(), 128);
  // The window itself becomes a constant-alpha layered window of that alpha.
  EXPECT_NE(GetWindowLongW(window.GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window.GetHandle(), &key, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags & (LWA_ALPHA | LWA_COLORKEY), static_cast<DWORD>(LWA_ALPHA));
  DestroyWindow(window.GetHandle());
}

TEST(ManagerSkinSource, TheFirstMemoryArchiveStaysUntilAnotherSourceIsChosen) {
  auto archiveWith = [](const std::string& text) {
    TestZipBuilder zip;
    TestZipEntry entry;
    entry.name = "skin.xml";
    entry.data = text;
    zip.Add(entry);
    return zip.Build();
  };
  const std::string first = archiveWith("<Window first=\"1\"/>");
  auto readSkin = []() {
    UIByteBuffer bytes;
    if (ReadSkinFile(L"skin.xml", 1 << 20, bytes) != nullptr) return std::string("(unreadable)");
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };

  CWindowManagerUI::SetResourceZipMemory(first.data(), static_cast<unsigned>(first.size()));
  EXPECT_EQ(readSkin(), "<Window first=\"1\"/>");
  ZipHandle* held = CWindowManagerUI::GetResourceZipHandle();
  {
    // A caller hands a second buffer and frees it: the held archive never
    // pointed at it.
    std::string second = archiveWith("<Window second=\"2\"/>");
    CWindowManagerUI::SetResourceZipMemory(second.data(), static_cast<unsigned>(second.size()));
    std::fill(second.begin(), second.end(), '\xEE');
  }
  EXPECT_STREQ(CWindowManagerUI::GetResourceZipName().GetText(), L"membuffer");
  EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), held);
  EXPECT_EQ(readSkin(), "<Window first=\"1\"/>") << "the first archive is kept";

  // Choosing another source first lets a new memory archive in.
  CWindowManagerUI::SetResourceZipFile(L"", true);
  EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), nullptr);
  const std::string third = archiveWith("<Window third=\"3\"/>");
  CWindowManagerUI::SetResourceZipMemory(third.data(), static_cast<unsigned>(third.size()));
  EXPECT_EQ(readSkin(), "<Window third=\"3\"/>");

  CWindowManagerUI::SetResourceZipFile(L"", true);  // back to plain files for the other tests
  EXPECT_EQ(CWindowManagerUI::GetResourceZipHandle(), nullptr);
}

TEST(ManagerMultiLanguage, TooltipTokensUseTheProcessTable) {
  CWindowManagerUI::AddMultiLanguageString(12, L"abc");
  CUIString text(L"%{12}x%{4040}");
  CWindowManagerUI::ProcessMultiLanguageTokens(text);
  EXPECT_STREQ(text.GetText(), L"abcx%{4040}");
  CWindowManagerUI::AddMultiLanguageString(12, L"%{12}!");  // a text holding its own token
  text.AssignText(L"%{12}");
  CWindowManagerUI::ProcessMultiLanguageTokens(text);
  EXPECT_STREQ(text.GetText(), L"%{12}!");
}

class ManagerLayered : public ManagerFixture {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    OpenWindow(WS_EX_TOOLWINDOW);
  }
};

TEST_F(ManagerLayered, LayeredPaintingKeepsPerPixelAlphaAndOpaqueNativeChildren) {
  m_root->SetBkColor(0);  // the window itself is see-through
  AddProbe(L"red", L"10,10,110,90")->SetBkColor(0xFFFF0000);
  AddProbe(L"half", L"130,10,230,90")->SetBkColor(0x800000FF);
  // A native child showing black text on white: every pixel of it is opaque.
  const HWND child = CreateWindowExW(0, L"STATIC", L"Black text", WS_CHILD | WS_VISIBLE, 20, 120, 160, 40, hwnd(),
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(child, nullptr);
  ProbeControl* host = AddProbe(L"host", L"20,120,180,160");
  ASSERT_TRUE(manager().AddNativeWindow(host, child));
  EXPECT_FALSE(manager().AddNativeWindow(host, child)) << "a window is registered once";

  manager().SetLayered(true);
  ASSERT_TRUE(manager().IsLayered());
  EXPECT_NE(GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  driver().PumpFor(150);  // the 10 ms timer paints the dirty area

  const HBITMAP offscreen = manager().GetOffscreenBitmap();
  ASSERT_NE(offscreen, nullptr);
  const BYTE* red = DibPixel(offscreen, 50, 50);
  const BYTE* half = DibPixel(offscreen, 180, 50);
  const BYTE* empty = DibPixel(offscreen, 280, 50);
  ASSERT_TRUE(red != nullptr && half != nullptr && empty != nullptr);
  EXPECT_EQ(red[2], 255);
  EXPECT_EQ(red[3], 255);
  EXPECT_EQ(half[3], 0x80) << "per-pixel alpha survives";
  EXPECT_EQ(half[0], 0x80) << "premultiplied blue";
  EXPECT_EQ(empty[3], 0) << "nothing painted: transparent";
  int holes = 0;
  for (int y = 121; y < 159; ++y) {
    for (int x = 21; x < 179; ++x) holes += DibPixel(offscreen, x, y)[3] != 0xFF ? 1 : 0;
  }
  EXPECT_EQ(holes, 0) << "black text of a native child is not a hole";
  testshots::SaveBitmapPng(L"window-manager-layered-offscreen.png", offscreen, true);
  Screenshot(L"window-manager-layered.png");

  // Half constant alpha over the per-pixel alpha: the opaque red shows at
  // half strength over what lies under it (a display without compositing,
  // as under Xvfb, blends it over black).
  manager().SetLayeredOpacity(128);
  driver().PumpFor(150);
  POINT redAt = {50, 50};
  POINT emptyAt = {280, 50};
  ClientToScreen(hwnd(), &redAt);
  ClientToScreen(hwnd(), &emptyAt);
  HDC screen = GetDC(nullptr);
  const COLORREF under = GetPixel(screen, emptyAt.x, emptyAt.y);
  const COLORREF shown = GetPixel(screen, redAt.x, redAt.y);
  ReleaseDC(nullptr, screen);
  EXPECT_GE(GetRValue(shown), 125);
  EXPECT_LE(GetRValue(shown), (255 + GetRValue(under)) / 2 + 3);
  EXPECT_LE(GetGValue(shown), GetGValue(under) / 2 + 3);
  EXPECT_LE(GetBValue(shown), GetBValue(under) / 2 + 3);
  Screenshot(L"window-manager-layered-half.png");

  manager().SetLayered(false);
  EXPECT_EQ(GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  manager().RemoveNativeWindow(child);
  DestroyWindow(child);
}

TEST_F(ManagerLayered, TheLayeredImageShapesTheWindowAndOpacityTurnsLayeringOff) {
  m_root->SetBkColor(0xFF00FF00);  // opaque green everywhere
  manager().SetWindowAttribute(L"LayeredImage", L"color='#80000000'");  // exact case only: a custom attribute
  EXPECT_FALSE(manager().IsLayered());
  // Half-transparent over the left half, nothing over the right half.
  manager().SetWindowAttribute(L"layeredimage", L"color='#80000000' dest='0,0,160,200'");
  ASSERT_TRUE(manager().IsLayered());
  EXPECT_STREQ(manager().GetLayeredImage(), L"color='#80000000' dest='0,0,160,200'");
  driver().PumpFor(150);

  const HBITMAP offscreen = manager().GetOffscreenBitmap();
  ASSERT_NE(offscreen, nullptr);
  const BYTE* left = DibPixel(offscreen, 40, 100);
  const BYTE* right = DibPixel(offscreen, 280, 100);
  ASSERT_TRUE(left != nullptr && right != nullptr);
  EXPECT_EQ(left[3], 0x80) << "the image's alpha becomes the window's";
  EXPECT_NEAR(left[1], 0x80, 1) << "green premultiplied by it";
  EXPECT_EQ(right[3], 0) << "no image there: transparent";
  EXPECT_EQ(right[1], 0);
  testshots::SaveBitmapPng(L"window-manager-layered-image-offscreen.png", offscreen, true);

  // A constant opacity replaces per-pixel layering: the whole window at 128.
  manager().SetOpacity(128);
  EXPECT_FALSE(manager().IsLayered());
  EXPECT_NE(GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(hwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_NE(flags & LWA_ALPHA, 0u);
  Settle();
  Screenshot(L"window-manager-opacity-half.png");
}
