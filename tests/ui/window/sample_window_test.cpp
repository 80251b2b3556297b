// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The sample window: a skinned window built from a skin archive made here
// (layouts, colour and picture backgrounds, markup text with a link, a long
// list with a scroll bar, a drop shadow), opened, clicked and scrolled through
// its own message path, and photographed with its shadow.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/SampleSkins.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "tests/ui/skin/portable/TestZipBuilder.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ScrollBarUI.h"
#include "ui/window/Shadow.h"
#include "ui/window/WindowImplBase.h"

using namespace Trellis;

namespace {

// The sample window: its skin is "sample.xml" in the archive "sample.zip" of the skin folder.
class SampleWindow : public WindowImplBase {
 public:
  const UIChar* GetWindowClassName() const override { return L"QuilloraSampleWindow"; }
  CUIString GetSkinFolder() override { return CUIString(L""); }
  CUIString GetSkinFile() override { return CUIString(L"sample.xml"); }
  int GetSkinSourceKind() override { return kUISkinArchiveFile; }
  CUIString GetSkinZipName() override { return CUIString(L"sample.zip"); }
  CControlUI* CreateControl(const UIChar* name) override { return m_callback.CreateControl(name); }
  void Notify(UINotify& msg) override {
    if (msg.sType.EqualsText(L"link")) linkNotifications += 1;
    if (msg.sType.EqualsText(L"windowinit")) windowInit += 1;
    WindowImplBase::Notify(msg);
  }
  int linkNotifications = 0;
  int windowInit = 0;

 private:
  testskins::SampleCallback m_callback;
};

std::string Zip(const std::string& xml) {
  TestZipBuilder zip;
  TestZipEntry entries[3];
  entries[0].name = "sample.xml";
  entries[0].data = xml;
  entries[1].name = "frame.bmp";
  entries[1].data = testskins::FramePicture();
  entries[2].name = "tile.bmp";
  entries[2].data = testskins::TilePicture();
  for (const TestZipEntry& entry : entries) zip.Add(entry);
  return zip.Build();
}

std::string Utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

TEST(SampleWindowTest, OpensFromAnArchiveSkinAndIsClickedAndScrolled) {
  ScratchFolder folder;
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"sample.zip", Zip(Utf8(testskins::SampleWindowSkin()))));
  CWindowManagerUI::SetResourcePath(folder.path().c_str());

  SampleWindow window;
  ASSERT_NE(window.CreateWithSize(nullptr, L"Sample", WS_POPUP | WS_VISIBLE, 0, 120, 100, 640, 420), nullptr);
  CWindowManagerUI& manager = window.GetPaintManager();
  testwindows::WindowDriver driver(manager);
  UpdateWindow(window.GetHandle());
  driver.PumpFor(200);
  EXPECT_EQ(window.windowInit, 1);
  EXPECT_TRUE(manager.GetShadow()->IsShadowEnabled());

  // Click the link of the help text.
  auto* help = static_cast<testskins::MarkupTextControl*>(driver.Find(L"help"));
  ASSERT_NE(help, nullptr);
  // One link; wrapped over two lines it has a rectangle on each.
  ASSERT_GE(help->GetLinkCount(), 1) << "the help text was not painted with its link";
  const CUIRect link = help->GetLinkRect(0);
  driver.ClickAt(POINT{(link.left + link.right) / 2, (link.top + link.bottom) / 2});
  EXPECT_EQ(window.linkNotifications, 1);
  EXPECT_TRUE(help->GetClickedLink().EqualsText(L"quillora://help"));

  // Scroll the long list down by three notches.
  auto* list = static_cast<CContainerUI*>(driver.Find(L"list"));
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->GetVerticalScrollBar(), nullptr);
  EXPECT_TRUE(list->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(list->GetScrollPos().cy, 0);
  ASSERT_TRUE(driver.Scroll(L"list", -3));
  driver.PumpFor(100);
  EXPECT_GT(list->GetScrollPos().cy, 0);

  // The picture: the window with the shadow around it.
  RECT area{};
  GetWindowRect(window.GetHandle(), &area);
  InflateRect(&area, 16, 16);
  EXPECT_TRUE(testshots::SaveScreenAreaPng(L"ui-sample-window.png", area));
  EXPECT_TRUE(testshots::SaveWindowPng(L"ui-sample-window-client.png", window.GetHandle()));

  // Escape closes it with 1.
  PostMessageW(window.GetHandle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(window.RunModalLoop(), 1u);
}

}  // namespace
