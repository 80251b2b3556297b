// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The message window under Wine, built from the real skin files: the notice,
// the quit question and the convert-ok window, driven by their skin names.
#include "app/MessageWnd.h"
#include "core/base/AppMessages.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/MessageWindow.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>

#include <string>

using namespace Trellis;
using testshots::SaveWindowPng;
using testwindows::WindowDriver;

namespace {

// Counts the deletions of the window objects it makes.
class CountedMessageWnd : public CMessageWnd {
 public:
  CountedMessageWnd(std::wstring text, bool quit, const ConvertJob* job, int* deleted)
      : CMessageWnd(std::move(text), quit, job), m_deleted(deleted) {}
  ~CountedMessageWnd() override { ++*m_deleted; }

 private:
  int* m_deleted;
};

class MessageWndTest : public ::testing::Test {
 protected:
  void SetUp() override { CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str()); }

  // Opens a box owned by the recording window; the object is the test's
  // until its last message deletes it.
  CountedMessageWnd* Open(const std::wstring& text, bool quit, const ConvertJob* job = nullptr) {
    auto* window = new CountedMessageWnd(text, quit, job, &deleted);
    if (!window->Open(owner.handle())) return nullptr;
    UpdateWindow(window->GetHandle());
    return window;
  }

  MessageWindow owner;
  int deleted = 0;
};

TEST_F(MessageWndTest, NoticeShowsItsTextWithOkOnlyAndIsDeletedWhenClosed) {
  CountedMessageWnd* box = Open(L"文件已保存到输出文件夹", false);
  ASSERT_NE(box, nullptr);
  box->HideCancel();
  WindowDriver driver(box->GetPaintManager());
  driver.PumpFor(300);
  EXPECT_STREQ(driver.Find(L"titleTips")->GetText().GetText(), L"文件已保存到输出文件夹");
  EXPECT_FALSE(driver.Find(L"btn_cancel")->IsVisible());
  EXPECT_TRUE(driver.Find(L"btn_ok")->IsVisible());
  EXPECT_TRUE(SaveWindowPng(L"message-window.png", box->GetHandle()));

  const HWND handle = box->GetHandle();
  ASSERT_TRUE(driver.Click(L"btn_ok"));
  driver.PumpFor(300);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(deleted, 1);
  EXPECT_TRUE(owner.Pump().empty());  // a notice's OK posts nothing to its owner
}

TEST_F(MessageWndTest, LabelHeightFollowsTheTextLength) {
  struct Case {
    std::wstring text;
    std::wstring shown;
    int height;
  };
  const Case cases[] = {
      {L"", L"您确定退出本软件吗？", 41},                                   // the skin's question stays
      {std::wstring(15, L'字'), std::wstring(15, L'字'), 41},              // one line still fits
      {std::wstring(16, L'字'), std::wstring(16, L'字'), 81},              // two lines
  };
  for (const Case& c : cases) {
    CountedMessageWnd* box = Open(c.text, false);
    ASSERT_NE(box, nullptr);
    WindowDriver driver(box->GetPaintManager());
    CControlUI* label = driver.Find(L"titleTips");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(std::wstring(label->GetText().GetText()), c.shown) << c.text.size();
    EXPECT_EQ(label->GetFixedHeight(), c.height) << c.text.size();
    DestroyWindow(box->GetHandle());
  }
  EXPECT_EQ(deleted, 3);
}

TEST_F(MessageWndTest, QuitQuestionPostsOnlyOnOk) {
  for (const wchar_t* button : {L"btn_cancel", L"closebtn"}) {
    CountedMessageWnd* box = Open(L"", true);
    ASSERT_NE(box, nullptr);
    const HWND handle = box->GetHandle();
    WindowDriver driver(box->GetPaintManager());
    driver.PumpFor(200);
    ASSERT_TRUE(driver.Click(button)) << button;
    driver.PumpFor(300);
    EXPECT_FALSE(IsWindow(handle)) << button;
    EXPECT_TRUE(owner.Pump().empty()) << button;
  }
  EXPECT_EQ(deleted, 2);

  CountedMessageWnd* box = Open(L"", true);
  ASSERT_NE(box, nullptr);
  WindowDriver driver(box->GetPaintManager());
  driver.PumpFor(200);
  EXPECT_TRUE(driver.Find(L"btn_cancel")->IsVisible());
  ASSERT_TRUE(driver.Click(L"btn_ok"));
  const auto& received = owner.WaitFor(1, 3000);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].message, WM_APP_QUIT_CONFIRMED);
  // The question stays alive but out of sight until the program ends.
  EXPECT_TRUE(IsWindow(box->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(box->GetHandle()));
  DestroyWindow(box->GetHandle());
  EXPECT_EQ(deleted, 3);
}

TEST_F(MessageWndTest, ConvertOkWindowOffersTheResultAndCloses) {
  ConvertJob job;
  job.outputPath = L"C:\\输出 文件夹\\1733800000_1.mp3";
  CountedMessageWnd* box = Open(L"恭喜您，转换成功！", false, &job);
  ASSERT_NE(box, nullptr);
  WindowDriver driver(box->GetPaintManager());
  driver.PumpFor(300);
  EXPECT_NE(driver.Find(L"btnOpenFile"), nullptr);
  EXPECT_NE(driver.Find(L"btnOpenPath"), nullptr);
  EXPECT_STREQ(driver.Find(L"titleTips")->GetText().GetText(), L"恭喜您，转换成功！");
  EXPECT_TRUE(SaveWindowPng(L"convert-ok-window.png", box->GetHandle()));

  const HWND handle = box->GetHandle();
  ASSERT_TRUE(driver.Click(L"closebtn"));
  driver.PumpFor(300);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(deleted, 1);
}

TEST(ExplorerSelect, PathIsQuotedAsOneArgument) {
  EXPECT_EQ(ExplorerSelectParameters(L"C:\\输出 文件夹\\a,b.mp3"), L"/select,\"C:\\输出 文件夹\\a,b.mp3\"");
}

}  // namespace
