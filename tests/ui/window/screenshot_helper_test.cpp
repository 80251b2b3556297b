// The screenshot helper: the saved PNG holds what the window shows, for a
// plain window and for a per-pixel-alpha layered window alike.
#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <string>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ControlUI.h"

using namespace Trellis;

namespace {

TEST(ScreenshotHelperTest, SavesWhatPlainAndLayeredWindowsShow) {
  for (const bool layered : {false, true}) {
    SCOPED_TRACE(layered ? "layered" : "plain");
    testwindows::ManagedTestWindow window(200, 120, WS_POPUP, layered ? WS_EX_LAYERED : 0);
    CWindowManagerUI& manager = window.manager();
    auto* root = new CControlUI;
    root->SetAttribute(L"bkcolor", L"#FFE5484D");
    ASSERT_TRUE(manager.AttachRootControl(root));
    if (layered) manager.SetLayered(true);
    window.Show();
    testwindows::WindowDriver(manager).PumpFor(150);

    const std::wstring name = layered ? L"screenshot-layered.png" : L"screenshot-plain.png";
    ASSERT_TRUE(testshots::SaveWindowPng(name, window.GetHandle()));
    std::string png;
    ASSERT_TRUE(testfiles::ReadFileBytes(testshots::ScreenshotPath(name), &png));
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                                                  static_cast<int>(png.size()), &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 120);
    const unsigned char* centre = pixels + (60 * 200 + 100) * 4;
    EXPECT_EQ(centre[0], 0xE5);
    EXPECT_EQ(centre[1], 0x48);
    EXPECT_EQ(centre[2], 0x4D);
    EXPECT_EQ(centre[3], 0xFF);
    stbi_image_free(pixels);
  }
}

}  // namespace
