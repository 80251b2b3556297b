// Test cases run alone: they check which window has the keyboard focus, which other tests' windows take.
// The main window under Wine, built from the real skin folder and driven
// through its own message path by the skin's control names: opening and the
// control lookup, the quit confirmation, the sliders and their resets, the
// editor's 5000-character limit, dropped files, the reset refused while work
// runs, and speech-to-text status messages finding their row by its job.
#include "app/MainWnd.h"
#include "core/base/AppMessages.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UserMessageRecorder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TabLayoutUI.h"
#include "ui/controls/richedit/RichEditUI.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Trellis;
using testshots::SaveWindowPng;
using testwindows::WindowDriver;

namespace {


// The main window with what the tests watch: reports, dropped files, row
// status calls, the deepest nesting of "textchanged" handling, and how many
// of its own message and notification handlers were still running when it
// was deleted (each of them goes on using the freed window when it returns).
class WatchedMainWnd : public CMainWnd {
 public:
  WatchedMainWnd(ClientState& state, bool* deleted, int* framesWhenDeleted)
      : CMainWnd(state), m_deleted(deleted), m_framesWhenDeleted(framesWhenDeleted) {
    SetReporter([this](int detail, HANDLE*) {
      reports.push_back(detail);
      reportedWhileHidden.push_back(IsWindow(GetHandle()) && !IsWindowVisible(GetHandle()));
      return true;
    });
  }
  ~WatchedMainWnd() override {
    *m_deleted = true;
    *m_framesWhenDeleted = m_liveFrames;
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    ++m_liveFrames;
    const LRESULT result = CMainWnd::HandleMessage(message, wParam, lParam);
    --m_liveFrames;
    return result;
  }
  void Notify(UINotify& msg) override {
    ++m_liveFrames;
    const bool text = msg.sType.EqualsText(L"textchanged");
    if (text && ++textDepth > maxTextDepth) maxTextDepth = textDepth;
    CMainWnd::Notify(msg);
    if (text) --textDepth;
    --m_liveFrames;
  }
  void AddRows(const std::vector<std::wstring>& paths) override { dropped.push_back(paths); }
  void ShowRowStatus(CControlUI* row, Voice2TextJob& job, int status) override {
    statusCalls.push_back({row, &job, status});
  }

  // Adds a speech-to-text row the way the page does: the job in the row
  // list, its address as the list item's tag.
  CControlUI* AddTestRow(int rowNumber) {
    m_v2tRows.push_back(std::make_unique<Voice2TextJob>());
    Voice2TextJob* job = m_v2tRows.back().get();
    job->rowNumber = rowNumber;
    auto* item = new CContainerUI;
    item->SetTag(reinterpret_cast<uintptr_t>(job));
    static_cast<CContainerUI*>(m_listVoice->GetInterface(L"Container"))->AddItem(item);
    return item;
  }
  // Removes the first row (its item and its job), as "btnMoveFile" will.
  void RemoveFirstRow() {
    static_cast<CContainerUI*>(m_listVoice->GetInterface(L"Container"))->RemoveItemAt(0);
    m_v2tRows.erase(m_v2tRows.begin());
  }
  Voice2TextJob* RowJob(size_t i) { return m_v2tRows[i].get(); }
  size_t RowCount() const { return m_v2tRows.size(); }
  void SetRunningRows(int running) { m_v2tRunning = running; }

  struct StatusCall {
    CControlUI* row;
    Voice2TextJob* job;
    int status;
  };
  std::vector<int> reports;
  std::vector<bool> reportedWhileHidden;
  std::vector<std::vector<std::wstring>> dropped;
  std::vector<StatusCall> statusCalls;
  int textDepth = 0;
  int maxTextDepth = 0;

 private:
  bool* m_deleted;
  int* m_framesWhenDeleted;
  int m_liveFrames = 0;  // handlers of this window now on the stack
};

// Answers the next message window (the quit question or a notice) from inside
// its modal loop: a thread timer finds the window's manager and clicks.
struct MessageBoxAnswer {
  const wchar_t* button = nullptr;  // "btn_ok" or "btn_cancel"
  bool seen = false;
  std::wstring text;  // the box's "titleTips"
  HWND mainWindow = nullptr;
};
MessageBoxAnswer g_answer;

void CALLBACK AnswerMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
  for (int i = 0; i < CWindowManagerUI::GetManagerCount(); ++i) {
    CWindowManagerUI* manager = CWindowManagerUI::GetManagerAt(i);
    HWND window = manager->GetPaintWindow();
    if (window == g_answer.mainWindow || !IsWindowVisible(window)) continue;
    if (manager->FindControlByName(g_answer.button) == nullptr) continue;
    KillTimer(nullptr, timer);
    g_answer.seen = true;
    if (CControlUI* tips = manager->FindControlByName(L"titleTips")) g_answer.text = tips->GetText().GetText();
    WindowDriver(*manager).Click(g_answer.button);
    return;
  }
}

class MainWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
    SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &shadowBefore, 0);
    window = new WatchedMainWnd(state, &deleted, &framesWhenDeleted);
    ASSERT_NE(window->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720), nullptr);
    driver = std::make_unique<WindowDriver>(window->GetPaintManager());
    driver->PumpFor(300);
  }
  void TearDown() override {
    if (!deleted) DestroyWindow(window->GetHandle());
    // Whichever way the window ended, none of its handlers was left running on it.
    EXPECT_EQ(framesWhenDeleted, 0) << "the window was deleted inside its own handlers";
    driver.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  // Runs `action` and answers the message window it opens with `button`.
  void Answer(const wchar_t* button, const std::function<void()>& action) {
    g_answer = MessageBoxAnswer{button, false, L"", window->GetHandle()};
    SetTimer(nullptr, 0, 300, AnswerMessageBox);
    action();
    driver->PumpFor(600);
  }
  bool QuitPosted() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
  }
  int TabPage(const wchar_t* name) {
    return static_cast<CTabLayoutUI*>(driver->Find(name)->GetInterface(L"TabLayout"))->GetCurSel();
  }
  std::wstring Text(const wchar_t* name) { return driver->Find(name)->GetText().GetText(); }
  void OpenTextPage() {
    ASSERT_TRUE(driver->Click(L"btnShowText2Voice"));
    driver->PumpFor(300);
  }

  ScratchFolder folder;
  ClientState state{folder.path()};
  BOOL shadowBefore = FALSE;
  bool deleted = false;
  int framesWhenDeleted = -1;
  WatchedMainWnd* window = nullptr;
  std::unique_ptr<WindowDriver> driver;
};

TEST_F(MainWndTest, OpensFromTheSkinWithItsControlsAndPagesAtTheirDefaults) {
  wchar_t className[64] = {};
  GetClassNameW(window->GetHandle(), className, 64);
  EXPECT_STREQ(className, L"_QuilloraMainWnd_");
  EXPECT_EQ(GetWindowLongPtrW(window->GetHandle(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_EQ(state.mainWindow.load(), window->GetHandle());

  for (const wchar_t* name : {L"tabMain", L"tabConvert", L"btnShowVoice2Text", L"btnShowText2Voice", L"versionNumber",
                              L"sliderVolume", L"sliderSpeed", L"sliderBgmVolume", L"textCount", L"btnReturn",
                              L"closeBtn", L"savePathVoice", L"savePathEdit"})
    EXPECT_NE(driver->Find(name), nullptr) << "missing control " << std::string(name, name + wcslen(name)).c_str();
  EXPECT_EQ(TabPage(L"tabMain"), 0);
  EXPECT_EQ(TabPage(L"tabConvert"), 0);
  EXPECT_EQ(Text(L"versionNumber"), L" V 1.0.0.8");
  EXPECT_EQ(Text(L"textCount"), L"0/5000");

  ConvertJob* job = window->GetJob();
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(job->voiceType, 100510000);
  EXPECT_EQ(job->volume, 4);
  EXPECT_EQ(job->speed, 4);
  EXPECT_EQ(job->codec, L"mp3");
  EXPECT_FALSE(job->outputFolder.empty());
  EXPECT_EQ(Text(L"savePathVoice"), job->outputFolder);

  // The window leaves the user's system-wide drop-shadow setting alone.
  BOOL shadowAfter = FALSE;
  SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &shadowAfter, 0);
  EXPECT_EQ(shadowAfter, shadowBefore);
}

TEST_F(MainWndTest, PagesShowAndTheTextPageFocusesTheEditor) {
  OpenTextPage();
  EXPECT_EQ(TabPage(L"tabMain"), 1);
  EXPECT_EQ(TabPage(L"tabConvert"), 1);
  // The editor gets the caret directly: no synthesised key presses.
  CControlUI* editor = driver->Find(L"editText2Vioce");
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(window->GetPaintManager().GetFocusControl(), editor);
  EXPECT_TRUE(SaveWindowPng(L"main-window-text.png", window->GetHandle()));

  ASSERT_TRUE(driver->Click(L"btnVoice2TextShow"));
  driver->PumpFor(300);
  EXPECT_EQ(TabPage(L"tabConvert"), 0);
  EXPECT_TRUE(SaveWindowPng(L"main-window-audio.png", window->GetHandle()));

  ASSERT_TRUE(driver->Click(L"btnReturn"));
  driver->PumpFor(300);
  EXPECT_EQ(TabPage(L"tabMain"), 0);
  EXPECT_EQ(window->reports, (std::vector<int>{kReportOpenTextToSpeech, kReportOpenSpeechToText, kReportReturnHome}));
}

TEST_F(MainWndTest, ClosingAsksFirstAndOnlyOkQuitsAfterTheReport) {
  // Cancel, from the system close and from the skin's close button: nothing happens.
  Answer(L"btn_cancel", [&] { PostMessageW(window->GetHandle(), WM_CLOSE, 0, 0); });
  EXPECT_TRUE(g_answer.seen);
  Answer(L"btn_cancel", [&] { driver->Click(L"closeBtn"); });
  EXPECT_TRUE(g_answer.seen);
  EXPECT_FALSE(deleted);
  EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
  EXPECT_TRUE(window->reports.empty());
  EXPECT_FALSE(QuitPosted());

  // OK: hidden, the quit report (detail 8) sent, then the message loops end.
  // The question's modal loop runs inside the close button's click, so the
  // window must still be whole when that loop and the click return; it is
  // destroyed only after the main loop, as the program does.
  std::vector<int> reports;
  std::vector<bool> hidden;
  window->SetReporter([&](int detail, HANDLE*) {
    reports.push_back(detail);
    hidden.push_back(!IsWindowVisible(window->GetHandle()));
    return true;
  });
  const HWND handle = window->GetHandle();
  Answer(L"btn_ok", [&] { driver->Click(L"closeBtn"); });
  EXPECT_TRUE(g_answer.seen);
  EXPECT_EQ(reports, std::vector<int>{kReportQuitConfirmed});
  EXPECT_EQ(hidden, std::vector<bool>{true});
  EXPECT_TRUE(QuitPosted());
  EXPECT_FALSE(deleted) << "the window was freed while its click and the quit question still ran";
  EXPECT_TRUE(IsWindow(handle));
  EXPECT_FALSE(IsWindowVisible(handle));

  DestroyWindow(handle);  // what the program does once its message loop has ended
  EXPECT_TRUE(deleted);
  EXPECT_EQ(framesWhenDeleted, 0);
}

TEST_F(MainWndTest, SlidersSetTheJobAndTheirResetsShowTheMiddleButSendZero) {
  OpenTextPage();
  ConvertJob& job = *window->GetJob();
  struct Case {
    const wchar_t* slider;
    const wchar_t* label;
    const wchar_t* reset;
    const wchar_t* resetShown;
    int32_t ConvertJob::*field;
    int offset;  // job value = slider value + offset
  } cases[] = {
      {L"sliderVolume", L"volumeLabel", L"btnSliderVolumeReset", L"4", &ConvertJob::volume, 0},
      {L"sliderSpeed", L"speedLabel", L"btnSliderSpeedReset", L"4", &ConvertJob::speed, 0},
      {L"sliderBgmVolume", L"volumeBgmLabel", L"btnSliderBgmVolumeReset", L"10", &ConvertJob::bgmVolumeDb, -20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.slider, c.slider + wcslen(c.slider)));
    auto* slider = static_cast<CSliderUI*>(driver->Find(c.slider)->GetInterface(L"Slider"));
    ASSERT_NE(slider, nullptr);
    // A click near the right end moves the thumb there.
    const CUIRect pos = slider->GetPos();
    driver->ClickAt(POINT{pos.right - 3, (pos.top + pos.bottom) / 2});
    driver->PumpFor(200);
    const int value = slider->GetValue();
    EXPECT_GT(value, 4);
    EXPECT_EQ(Text(c.label), std::to_wstring(value));
    EXPECT_EQ(job.*c.field, value + c.offset);

    job.resultValid = true;
    ASSERT_TRUE(driver->Click(c.reset));
    driver->PumpFor(200);
    EXPECT_EQ(std::to_wstring(slider->GetValue()), c.resetShown);
    EXPECT_EQ(Text(c.label), c.resetShown);
    EXPECT_EQ(job.*c.field, 0);
    EXPECT_FALSE(job.resultValid);  // the next conversion sends a new request
  }
}

TEST(MainWndTextLimit, CutsOnlyTextsLongerThanTheLimit) {
  const struct {
    size_t length;
    size_t kept;
    bool cut;
  } cases[] = {{0, 0, false}, {4999, 4999, false}, {5000, 5000, false}, {5001, 5000, true}, {6000, 5000, true}};
  for (const auto& c : cases) {
    std::wstring text(c.length, L'字');
    EXPECT_EQ(CutTextToLimit(text, 5000), c.cut) << c.length;
    EXPECT_EQ(text.size(), c.kept) << c.length;
  }
}

// Puts the text on the clipboard as Unicode text; false when the clipboard
// cannot be had.
bool PutOnClipboard(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  bool stored = false;
  if (memory != nullptr) {
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    stored = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;  // the clipboard owns it now
    if (!stored) GlobalFree(memory);
  }
  CloseClipboard();
  return stored;
}

// The user's paste (Ctrl+V into the focused editor) is a user edit: the
// editor's "textchanged" cuts it back to 5000 characters, once.
TEST_F(MainWndTest, PastingSixThousandCharactersLeavesFiveThousandWithoutRecursion) {
  OpenTextPage();
  auto* editor = static_cast<CRichEditUI*>(driver->Find(L"editText2Vioce")->GetInterface(L"RichEdit"));
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(window->GetPaintManager().GetFocusControl(), editor);
  std::wstring pasted;
  for (int i = 0; i < 6000; ++i) pasted += static_cast<wchar_t>(L'一' + i % 100);
  ASSERT_TRUE(PutOnClipboard(window->GetHandle(), pasted));
  window->GetJob()->resultValid = true;
  driver->KeyWith(VK_CONTROL, 'V');
  driver->PumpFor(300);

  EXPECT_EQ(editor->GetTextLength(), 5000);
  EXPECT_TRUE(std::wstring(editor->GetText().GetText()) == pasted.substr(0, 5000)) << "not the first 5000 pasted";
  EXPECT_EQ(Text(L"textCount"), L"5000/5000");
  CHARRANGE caret = {};
  editor->GetSel(caret);
  EXPECT_EQ(caret.cpMin, 5000);
  EXPECT_EQ(caret.cpMax, 5000);
  EXPECT_FALSE(window->GetJob()->resultValid);  // the next conversion sends a new request
  EXPECT_EQ(window->maxTextDepth, 1);  // the cut's own change is not handled again
}

// The program's own edits of the editor (the polyphone mark at the caret,
// clearing) send "textchanged" like the user's: the limit and the counter
// follow them.
TEST_F(MainWndTest, TheProgramsOwnEditsKeepTheLimitAndTheCount) {
  OpenTextPage();
  auto* editor = static_cast<CRichEditUI*>(driver->Find(L"editText2Vioce")->GetInterface(L"RichEdit"));
  ASSERT_NE(editor, nullptr);
  const std::wstring typed(4999, L'字');
  ASSERT_TRUE(PutOnClipboard(window->GetHandle(), typed));
  driver->KeyWith(VK_CONTROL, 'V');
  driver->PumpFor(200);
  ASSERT_EQ(Text(L"textCount"), L"4999/5000");

  ASSERT_TRUE(driver->Click(L"btnPolyphone"));  // "[=]" at the caret: 5002 characters
  driver->PumpFor(200);
  EXPECT_EQ(editor->GetTextLength(), 5000);
  EXPECT_TRUE(std::wstring(editor->GetText().GetText()) == typed + L"[") << "not the first 5000 characters";
  EXPECT_EQ(Text(L"textCount"), L"5000/5000");

  ASSERT_TRUE(driver->Click(L"btnCleanText"));
  driver->PumpFor(200);
  EXPECT_EQ(editor->GetTextLength(), 0);
  EXPECT_EQ(Text(L"textCount"), L"0/5000");
}

TEST_F(MainWndTest, DroppedFilesAreIgnoredOnTheHomePageAndFoldersNeverBecomeRows) {
  const std::wstring audio = folder / L"录音 one.mp3";
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(audio, "ID3"));
  const std::wstring subfolder = folder.Subfolder(L"a folder");
  const std::wstring subfolderNoSlash = subfolder.substr(0, subfolder.size() - 1);

  PostMessageW(window->GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(apptest::MakeFileDrop({audio})), 0);
  driver->PumpFor(200);
  EXPECT_TRUE(window->dropped.empty());

  ASSERT_TRUE(driver->Click(L"btnShowVoice2Text"));
  driver->PumpFor(200);
  PostMessageW(window->GetHandle(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(apptest::MakeFileDrop({subfolderNoSlash, audio})), 0);
  driver->PumpFor(200);
  ASSERT_EQ(window->dropped.size(), 1u);
  EXPECT_EQ(window->dropped[0], std::vector<std::wstring>{audio});
}

// The busy state as the pages make it: the conversion animation shown on
// the text page (it stays shown while the user looks at the other page), or
// speech-to-text rows whose threads still run.
TEST_F(MainWndTest, ReturnIsRefusedWhileWorkRuns) {
  const struct {
    const char* what;
    const wchar_t* page;  // the page switch clicked before Return
    bool converting;
    int runningRows;
  } cases[] = {
      {"conversion, text page shown", L"btnShowText2Voice", true, 0},
      {"conversion, speech-to-text page shown", L"btnShowVoice2Text", true, 0},
      {"speech-to-text rows", L"btnShowVoice2Text", false, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(driver->Click(c.page));
    driver->PumpFor(200);
    window->reports.clear();
    driver->Find(L"gifConvert")->SetVisible(c.converting);
    window->SetRunningRows(c.runningRows);
    window->AddTestRow(1);

    Answer(L"btn_ok", [&] { driver->Click(L"btnReturn"); });
    EXPECT_TRUE(g_answer.seen);
    EXPECT_EQ(g_answer.text, L"转换中，请稍后再试！");
    EXPECT_EQ(TabPage(L"tabMain"), 1);
    EXPECT_TRUE(window->reports.empty());
    EXPECT_EQ(window->RowCount(), 1u);  // the row's job is still there for its thread

    // Once the work has ended the reset goes through.
    driver->Find(L"gifConvert")->SetVisible(false);
    window->SetRunningRows(0);
    ASSERT_TRUE(driver->Click(L"btnReturn"));
    driver->PumpFor(200);
    EXPECT_EQ(TabPage(L"tabMain"), 0);
    EXPECT_EQ(window->reports, std::vector<int>{kReportReturnHome});
    EXPECT_EQ(window->RowCount(), 0u);
  }
}

TEST_F(MainWndTest, RowStatusFindsTheRowByItsJobAfterEarlierRowsWereRemoved) {
  window->AddTestRow(1);
  CControlUI* second = window->AddTestRow(2);
  Voice2TextJob* secondJob = window->RowJob(1);
  std::unique_ptr<Voice2TextJob> gone = std::make_unique<Voice2TextJob>();
  window->RemoveFirstRow();  // the second row is now the first; its job still says row 2

  PostMessageW(window->GetHandle(), WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(secondJob), kV2tDone);
  // A job the list no longer has (its row was removed) shows nowhere.
  PostMessageW(window->GetHandle(), WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(gone.get()), kV2tFailed);
  driver->PumpFor(200);
  ASSERT_EQ(window->statusCalls.size(), 1u);
  EXPECT_EQ(window->statusCalls[0].row, second);
  EXPECT_EQ(window->statusCalls[0].job, secondJob);
  EXPECT_EQ(window->statusCalls[0].status, kV2tDone);
}

// A logout whose record cannot be written: the user hears of it, and the panel
// goes on showing the signed-in user, as the file and the next start have it.
TEST_F(MainWndTest, ALogoutThatCannotBeSavedSaysSoAndLeavesTheUserSignedIn) {
  ASSERT_TRUE(state.UpdateAccountRecord([](AccountRecord& record) {
    record.loggedIn = 1;
    SetRecordText(record.nickname, "Lin");
  }));
  SendMessageW(window->GetHandle(), WM_APP_LOGIN_CHANGED, 0, 0);
  driver->PumpFor(300);  // laid out: the button has its place
  ASSERT_TRUE(driver->Find(L"btnLogout")->IsVisible());
  // Another program (a backup, a scanner) holds the record without sharing.
  HANDLE held =
      CreateFileW((folder / L"quillora.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  UserMessageRecorder shown;
  ASSERT_TRUE(driver->Click(L"btnLogout"));
  driver->PumpFor(300);
  CloseHandle(held);
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{L"退出登录失败，请重试！"});
  EXPECT_EQ(state.CopyAccountRecord().loggedIn, 1);
  ASSERT_TRUE(driver->Find(L"btnLogout")->IsVisible());  // else the next click lands on the login button
  EXPECT_TRUE(driver->Find(L"loginSucessLayout")->IsVisible());
  EXPECT_FALSE(driver->Find(L"btnLogin")->IsVisible());
  EXPECT_EQ(Text(L"showInfoBtn"), L"登录用户：Lin");
  EXPECT_TRUE(SaveWindowPng(L"main-window-logout-not-saved.png", window->GetHandle()));
  ClientState nextStart(folder.path());
  EXPECT_EQ(nextStart.account->loggedIn, 1);

  // Once the record can be written again, the logout goes through.
  ASSERT_TRUE(driver->Click(L"btnLogout"));
  driver->PumpFor(300);
  EXPECT_EQ(shown.messages().size(), 1u);
  EXPECT_EQ(state.CopyAccountRecord().loggedIn, 0);
  EXPECT_TRUE(driver->Find(L"btnLogin")->IsVisible());
  EXPECT_FALSE(driver->Find(L"loginSucessLayout")->IsVisible());
}

TEST_F(MainWndTest, ActivateInstanceRestoresAMinimisedWindow) {
  ShowWindow(window->GetHandle(), SW_MINIMIZE);
  driver->PumpFor(100);
  PostMessageW(window->GetHandle(), WM_APP_ACTIVATE_INSTANCE, 0, 0);
  driver->PumpFor(200);
  EXPECT_FALSE(IsIconic(window->GetHandle()));
  EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
  EXPECT_FALSE(GetWindowLongPtrW(window->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace
