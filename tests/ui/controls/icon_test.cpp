// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Icon controls built from skin XML with icon files made here: the entry
// that fits the drawn size is chosen, the inset is kept, an inset larger than
// the control draws nothing, names that cannot be loaded draw nothing, hostile
// icon files are refused, and the control destroys exactly the icons it owns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestBitmaps.h"
#include "tests/ui/controls/ControlTestWindow.h"
#include "tests/ui/controls/TestPictures.h"
#include "ui/controls/IconUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;
using namespace testpictures;

namespace {

constexpr uint32_t kSmall = 0x2BAE66;  // the 16 x 16 entry
constexpr uint32_t kLarge = 0xE5484D;  // the 32 x 32 entry

bool IconAlive(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return true;
}

class IconTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"app.ico", MakeIco({{16, kSmall}, {32, kLarge}})));
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"fake.ico",
                                              testbitmaps::MakeBmp(16, 16, [](int, int) { return 0x123456; })));
    CWindowManagerUI::SetResourcePath(folder.path().c_str());
  }
  ScratchFolder folder;
};

TEST_F(IconTest, SkinFileIconIsDrawnAtTheFittingSizeInsideTheInset) {
  const wchar_t skin[] =
      L"<Window><Container bkcolor=\"#FFFFFFFF\">"
      L"<Icon name=\"large\" float=\"true\" pos=\"10,10,42,42\" icon=\"app.ico\" />"
      L"<Icon name=\"small\" float=\"true\" pos=\"60,10,76,26\" icon=\"app.ico\" />"
      L"<Icon name=\"inset\" float=\"true\" pos=\"100,10,140,50\" icon=\"app.ico\" inset=\"4,4,4,4\" />"
      L"<Icon name=\"tooBig\" float=\"true\" pos=\"160,10,180,30\" icon=\"app.ico\" inset=\"15,15,15,15\" />"
      L"<Icon name=\"resource\" float=\"true\" pos=\"200,10,232,42\" icon=\"#7\" />"
      L"<Icon name=\"fake\" float=\"true\" pos=\"250,10,282,42\" icon=\"fake.ico\" />"
      L"</Container></Window>";
  SkinnedTestWindow window(skin, 300, 60);
  ASSERT_TRUE(window.ok());
  ASSERT_TRUE(window.Capture());
  EXPECT_TRUE(testshots::SaveWindowPng(L"controls-icon.png", window.hwnd()));

  EXPECT_EQ(window.PixelAt(26, 26), kLarge);
  EXPECT_EQ(window.PixelAt(68, 18), kSmall);
  EXPECT_EQ(window.PixelAt(101, 11), 0xFFFFFFu) << "inside the inset";
  EXPECT_EQ(window.PixelAt(120, 30), kLarge);
  EXPECT_EQ(window.PixelAt(170, 20), 0xFFFFFFu) << "an inset larger than the control draws nothing";
  EXPECT_EQ(window.Find<CIconUI>(L"tooBig")->GetIcon(), nullptr) << "not even loaded";
  EXPECT_EQ(window.Find<CIconUI>(L"resource")->GetIcon(), nullptr);
  EXPECT_EQ(window.Find<CIconUI>(L"fake")->GetIcon(), nullptr);
  EXPECT_EQ(window.PixelAt(266, 26), 0xFFFFFFu);
  // The attributes also reach the control base's custom list.
  EXPECT_STREQ(window.Find<CIconUI>(L"large")->GetCustomAttribute(L"icon"), L"app.ico");
}

TEST_F(IconTest, ControlDestroysTheIconsItOwnsAndNoOthers) {
  auto* icon = new CIconUI;
  icon->SetIconName(L"app.ico");
  ASSERT_TRUE(icon->EnsureIcon(32, 32));
  const HICON loaded = icon->GetIcon();
  EXPECT_TRUE(IconAlive(loaded));
  EXPECT_TRUE(icon->EnsureIcon(32, 32));
  EXPECT_EQ(icon->GetIcon(), loaded) << "loaded once";

  // A new name destroys the loaded icon.
  icon->SetIconName(L"other.ico");
  EXPECT_FALSE(IconAlive(loaded));
  EXPECT_FALSE(icon->EnsureIcon(32, 32));

  // An icon handed over is owned: replaced or deleted with the control, it goes.
  HICON given = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  ASSERT_NE(given, nullptr);
  icon->SetIcon(OwnedIcon(given));
  EXPECT_EQ(icon->GetIcon(), given);
  HICON second = CopyIcon(given);
  icon->SetIcon(OwnedIcon(second));
  EXPECT_FALSE(IconAlive(given));
  icon->Delete();
  EXPECT_FALSE(IconAlive(second));
  // A shared system icon the control never took stays.
  EXPECT_TRUE(IconAlive(LoadIconW(nullptr, IDI_APPLICATION)));
}

TEST_F(IconTest, HostileIconFilesAreRefused) {
  const std::string good = MakeIco({{16, kSmall}});
  std::string offsetPastEnd = good;
  offsetPastEnd[6 + 12] = static_cast<char>(0xF0);  // image offset far past the file
  std::string lengthPastEnd = good;
  lengthPastEnd[6 + 8 + 3] = 0x7F;                   // image length near 2 GB
  std::string manyEntries = good;
  manyEntries[4] = static_cast<char>(0xFF);          // 255 entries in a one-entry file
  std::string cursor = good;
  cursor[2] = 2;                                     // a cursor file, not an icon
  struct Case {
    const char* what;
    std::string bytes;
    bool expectIcon;
  } cases[] = {
      {"well formed", good, true},
      {"empty", std::string(), false},
      {"header only", good.substr(0, 6), false},
      {"entry cut off", good.substr(0, 14), false},
      {"offset past the end", offsetPastEnd, false},
      {"length past the end", lengthPastEnd, false},
      {"more entries than bytes", manyEntries, false},
      {"cursor", cursor, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    OwnedIcon icon = CIconUI::IconFromFileBytes(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                                c.bytes.size(), 16, 16);
    EXPECT_EQ(static_cast<bool>(icon), c.expectIcon);
  }
}

}  // namespace
