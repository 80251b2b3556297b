// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// The date-time picker under Wine, driven through the window's own messages:
// a click lays the platform's picker over the control; Escape closes it and
// keeps the old date, Delete empties the text, losing the focus writes the
// picked date as "YYYY-MM-DD"; a press on the control while the picker is
// open keeps the date being chosen; hiding, disabling or deleting the
// control closes its picker; screenshot with the picker open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/ui/controls/ControlTestWindow.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/UIEvent.h"
#include "ui/controls/datetime/DateTimeUI.h"

using namespace Trellis;
using testcontrols::SkinnedTestWindow;

namespace {

const wchar_t kDateSkin[] =
    L"<Window size=\"360,160\">"
    L"<Font id=\"1\" name=\"WenQuanYi Micro Hei\" size=\"16\" default=\"true\" />"
    L"<VerticalLayout name=\"page\" bkcolor=\"#FFE8EDF3\">"
    L"<DateTime name=\"date\" float=\"true\" pos=\"20,20,220,50\" bkcolor=\"#FFFFFFFF\" bordercolor=\"#FF7A8CA5\""
    L" bordersize=\"1\" textpadding=\"4,0,4,0\" />"
    L"<Button name=\"other\" float=\"true\" pos=\"20,80,140,110\" text=\"其他\" bkcolor=\"#FFCCD6E0\" />"
    L"</VerticalLayout></Window>";

SYSTEMTIME Date(WORD year, WORD month, WORD day) {
  SYSTEMTIME time = {};
  time.wYear = year;
  time.wMonth = month;
  time.wDay = day;
  time.wHour = 9;
  return time;
}

struct DateFixture {
  DateFixture() : window(kDateSkin) {
    date = window.Find<CDateTimeUI>(L"date", L"DateTime");
    if (date != nullptr) date->SetTime(Date(2024, 3, 5));
  }
  // Clicks the control; true when its picker is open afterwards.
  bool Open() {
    window.driver().Click(L"date");
    window.driver().Pump();
    return date->GetNativeWindow() != nullptr;
  }
  // What the user picks in the open picker (not yet committed).
  void Pick(const SYSTEMTIME& time) {
    SYSTEMTIME copy = time;
    SendMessageW(date->GetNativeWindow(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&copy));
  }
  SkinnedTestWindow window;
  CDateTimeUI* date = nullptr;
};

}  // namespace

TEST(DateTimeTest, ShowsTheDateAndOpensThePicker) {
  DateFixture f;
  ASSERT_TRUE(f.window.ok());
  ASSERT_NE(f.date, nullptr);
  EXPECT_STREQ(f.date->GetText().GetText(), L"2024-03-05");
  ASSERT_TRUE(f.Open());
  const HWND picker = f.date->GetNativeWindow();
  EXPECT_EQ(GetFocus(), picker);
  RECT rc = {};
  GetWindowRect(picker, &rc);
  MapWindowPoints(nullptr, f.window.hwnd(), reinterpret_cast<POINT*>(&rc), 2);
  EXPECT_EQ(rc.left, 20);
  EXPECT_EQ(rc.top, 20);
  SYSTEMTIME shown = {};
  EXPECT_EQ(SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)), GDT_VALID);
  EXPECT_EQ(shown.wYear, 2024);
  EXPECT_EQ(shown.wMonth, 3);
  EXPECT_EQ(shown.wDay, 5);
  f.Pick(Date(2025, 11, 28));
  EXPECT_TRUE(f.window.Screenshot(L"ui-controls-datetime-open.png"));
}

// How the picker closes decides what happens to the text and the date.
TEST(DateTimeTest, ClosingKeysAndFocusLoss) {
  struct Case {
    const wchar_t* how;
    const wchar_t* expectText;
    WORD expectYear;
  };
  const Case cases[] = {
      {L"escape", L"2024-03-05", 2024},
      {L"delete", L"", 2024},
      {L"backspace", L"", 2024},
      {L"focus", L"2025-11-28", 2025},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    DateFixture f;
    ASSERT_NE(f.date, nullptr);
    ASSERT_TRUE(f.Open());
    f.Pick(Date(2025, 11, 28));
    const std::wstring how = c.how;
    if (how == L"escape") {
      f.window.driver().Key(VK_ESCAPE);
    } else if (how == L"delete") {
      f.window.driver().Key(VK_DELETE);
    } else if (how == L"backspace") {
      f.window.driver().Key(VK_BACK);
    } else {
      f.window.driver().Click(L"other");
    }
    f.window.driver().Pump();
    EXPECT_EQ(f.date->GetNativeWindow(), nullptr);
    EXPECT_STREQ(f.date->GetText().GetText(), c.expectText);
    EXPECT_EQ(f.date->GetTime().wYear, c.expectYear);
    // The keyboard focus is back with the framework window, not lost.
    EXPECT_EQ(GetFocus(), f.window.hwnd());
  }
}

// An emptied control opens the picker at today's date next time.
TEST(DateTimeTest, EmptiedControlReopensAtToday) {
  DateFixture f;
  ASSERT_NE(f.date, nullptr);
  ASSERT_TRUE(f.Open());
  f.window.driver().Key(VK_DELETE);
  f.window.driver().Pump();
  ASSERT_TRUE(f.date->GetText().IsEmpty());
  f.window.driver().Click(L"other");
  ASSERT_TRUE(f.Open());
  SYSTEMTIME today = {};
  GetLocalTime(&today);
  SYSTEMTIME shown = {};
  SendMessageW(f.date->GetNativeWindow(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wYear, today.wYear);
  EXPECT_EQ(shown.wMonth, today.wMonth);
  EXPECT_EQ(shown.wDay, today.wDay);
}

// A press on the control while its picker is open keeps the date the user
// is choosing (the picker is only brought back to the front); the date is
// committed when the focus leaves. Also through a real click, where the
// framework window takes the focus first.
TEST(DateTimeTest, PressOnOpenPickerKeepsTheUncommittedDate) {
  DateFixture f;
  ASSERT_NE(f.date, nullptr);
  ASSERT_TRUE(f.Open());
  const HWND picker = f.date->GetNativeWindow();
  f.Pick(Date(2023, 7, 14));
  UIEvent press;
  press.Type = kUIEventButtonDown;
  press.pSender = f.date;
  press.ptMouse = CUIPoint(f.date->GetPos().left + 5, f.date->GetPos().top + 5);
  f.date->SendEvent(press);
  f.window.driver().Pump();
  ASSERT_EQ(f.date->GetNativeWindow(), picker);
  EXPECT_EQ(GetFocus(), picker);
  SYSTEMTIME shown = {};
  SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wYear, 2023);

  f.Pick(Date(2021, 4, 9));
  f.window.driver().ClickAt(f.window.driver().CentreOf(L"date"));
  f.window.driver().Pump();
  ASSERT_NE(f.date->GetNativeWindow(), nullptr);
  SendMessageW(f.date->GetNativeWindow(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
  EXPECT_EQ(shown.wYear, 2021);
  f.window.driver().Click(L"other");
  EXPECT_STREQ(f.date->GetText().GetText(), L"2021-04-09");
}

// Hiding or disabling the control closes its picker (committing the date);
// deleting the control destroys the picker first.
TEST(DateTimeTest, HideDisableAndDeleteClosePicker) {
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(step);
    DateFixture f;
    ASSERT_NE(f.date, nullptr);
    ASSERT_TRUE(f.Open());
    const HWND picker = f.date->GetNativeWindow();
    f.Pick(Date(2022, 1, 2));
    if (step == 0) {
      f.date->SetVisible(false);
    } else if (step == 1) {
      f.date->SetEnabled(false);
    } else {
      auto* page = f.window.Find<CContainerUI>(L"page", L"Container");
      ASSERT_NE(page, nullptr);
      page->RemoveItem(f.date);
      f.window.driver().PumpFor(50);
      EXPECT_FALSE(IsWindow(picker));
      continue;
    }
    f.window.driver().Pump();
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_EQ(f.date->GetNativeWindow(), nullptr);
    EXPECT_STREQ(f.date->GetText().GetText(), L"2022-01-02");
  }
}
