// Test cases run alone: they check which window has the keyboard focus, which other tests' windows take.
// The main window under Wine, built from the real skin folder and driven
// through its own message path by the skin's control names: opening and the
// control lookup, the quit confirmation, the sliders and their resets, the
// editor's 5000-character limit, dropped files, the reset refused while work
// runs, and speech-to-text status messages finding their row by its job.
#include "app/MainWnd.h"
#include "app/stt/Voice2TextListItemUI.h"
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


// Counts the editor's "textchanged" notifications as a second notifier of
// the window's manager: a change the window makes while it handles one (the
// cut to the limit) would arrive as a second.
class TextChangeCounter : public INotifyUI {
 public:
  void Notify(UINotify& msg) override {
    if (msg.sType.EqualsText(L"textchanged")) ++count;
  }
  int count = 0;
};

// A recognition stand-in that works until the gate opens.
struct RowGate {
  RowGate() : open(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~RowGate() { CloseHandle(open); }
  RecognitionWork Work() {
    return [this](Voice2TextJob& job, const RecognitionSettings&, HWND) {
      while (!job.StopRequested() && WaitForSingleObject(open, 20) == WAIT_TIMEOUT) {
      }
      return kV2tDone;
    };
  }
  HANDLE open;
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
    window = new CMainWnd(state);
    window->SetReporter([this](int detail, HANDLE*) {
      reports.push_back(detail);
      return true;
    });
    ASSERT_NE(window->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720), nullptr);
    watch = std::make_unique<apptest::WindowProcWatch>(window->GetHandle());
    window->GetPaintManager().AddNotifier(&textChanges);
    driver = std::make_unique<WindowDriver>(window->GetPaintManager());
    driver->PumpFor(300);
  }
  void TearDown() override {
    if (!watch->destroyed()) DestroyWindow(window->GetHandle());
    // Whichever way the window ended, none of its handlers was left running on it.
    EXPECT_EQ(watch->framesWhenDestroyed(), 0) << "the window was deleted inside its own handlers";
    watch.reset();
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
  // Audio-named files in the scratch folder (their bytes do not matter here).
  std::wstring AudioFile(const wchar_t* name) {
    const std::wstring path = folder / name;
    ScratchFolder::WriteFileBytes(path, "not audio");
    return path;
  }
  SpeechToTextPage& Speech() { return window->SpeechToText(); }
  CContainerUI* RowList() { return static_cast<CContainerUI*>(driver->Find(L"listVoice")->GetInterface(L"Container")); }
  CControlUI* RowControl(CControlUI* row, const wchar_t* name) {
    return window->GetPaintManager().FindSubControlByName(row, name);
  }
  void OpenTextPage() {
    ASSERT_TRUE(driver->Click(L"btnShowText2Voice"));
    driver->PumpFor(300);
  }

  ScratchFolder folder;
  ClientState state{folder.path()};
  BOOL shadowBefore = FALSE;
  std::vector<int> reports;
  TextChangeCounter textChanges;
  CMainWnd* window = nullptr;
  std::unique_ptr<apptest::WindowProcWatch> watch;
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

  ConvertJob* job = window->TextToSpeech().GetJob();
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
  EXPECT_EQ(reports, (std::vector<int>{kReportOpenTextToSpeech, kReportOpenSpeechToText, kReportReturnHome}));
}

TEST_F(MainWndTest, ClosingAsksFirstAndOnlyOkQuitsAfterTheReport) {
  // Cancel, from the system close and from the skin's close button: nothing happens.
  Answer(L"btn_cancel", [&] { PostMessageW(window->GetHandle(), WM_CLOSE, 0, 0); });
  EXPECT_TRUE(g_answer.seen);
  Answer(L"btn_cancel", [&] { driver->Click(L"closeBtn"); });
  EXPECT_TRUE(g_answer.seen);
  EXPECT_FALSE(watch->destroyed());
  EXPECT_TRUE(IsWindowVisible(window->GetHandle()));
  EXPECT_TRUE(reports.empty());
  EXPECT_FALSE(QuitPosted());

  // OK: hidden, the quit report (detail 8) sent, then the message loops end.
  // The question's modal loop runs inside the close button's click, so the
  // window must still be whole when that loop and the click return; it is
  // destroyed only after the main loop, as the program does.
  std::vector<int> quitReports;
  std::vector<bool> hidden;
  window->SetReporter([&](int detail, HANDLE*) {
    quitReports.push_back(detail);
    hidden.push_back(!IsWindowVisible(window->GetHandle()));
    return true;
  });
  const HWND handle = window->GetHandle();
  Answer(L"btn_ok", [&] { driver->Click(L"closeBtn"); });
  EXPECT_TRUE(g_answer.seen);
  EXPECT_EQ(quitReports, std::vector<int>{kReportQuitConfirmed});
  EXPECT_EQ(hidden, std::vector<bool>{true});
  EXPECT_TRUE(QuitPosted());
  EXPECT_FALSE(watch->destroyed()) << "the window was freed while its click and the quit question still ran";
  EXPECT_TRUE(IsWindow(handle));
  EXPECT_FALSE(IsWindowVisible(handle));

  DestroyWindow(handle);  // what the program does once its message loop has ended
  EXPECT_TRUE(watch->destroyed());
  EXPECT_EQ(watch->framesWhenDestroyed(), 0);
}

TEST_F(MainWndTest, SlidersSetTheJobAndTheirResetsShowTheMiddleButSendZero) {
  OpenTextPage();
  ConvertJob& job = *window->TextToSpeech().GetJob();
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
  window->TextToSpeech().GetJob()->resultValid = true;
  textChanges.count = 0;
  driver->KeyWith(VK_CONTROL, 'V');
  driver->PumpFor(300);

  EXPECT_EQ(editor->GetTextLength(), 5000);
  EXPECT_TRUE(std::wstring(editor->GetText().GetText()) == pasted.substr(0, 5000)) << "not the first 5000 pasted";
  EXPECT_EQ(Text(L"textCount"), L"5000/5000");
  CHARRANGE caret = {};
  editor->GetSel(caret);
  EXPECT_EQ(caret.cpMin, 5000);
  EXPECT_EQ(caret.cpMax, 5000);
  EXPECT_FALSE(window->TextToSpeech().GetJob()->resultValid);  // the next conversion sends a new request
  EXPECT_EQ(textChanges.count, 1);  // the cut's own change is not handled again
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
  // Named as audio: only the drop's own check keeps it out.
  const std::wstring subfolder = folder.Subfolder(L"a folder.mp3");
  const std::wstring subfolderNoSlash = subfolder.substr(0, subfolder.size() - 1);

  PostMessageW(window->GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(apptest::MakeFileDrop({audio})), 0);
  driver->PumpFor(200);
  EXPECT_TRUE(Speech().Rows().empty());

  ASSERT_TRUE(driver->Click(L"btnShowVoice2Text"));
  driver->PumpFor(200);
  PostMessageW(window->GetHandle(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(apptest::MakeFileDrop({subfolderNoSlash, audio})), 0);
  driver->PumpFor(200);
  const std::vector<Voice2TextJob*> rows = Speech().Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]->sourcePath, audio);
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
  const std::wstring rowFile = AudioFile(L"row one.mp3");
  const std::wstring otherRowFile = AudioFile(L"row two.mp3");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(driver->Click(c.page));
    driver->PumpFor(200);
    RowGate gate;
    Speech().SetRecognitionWork(gate.Work());
    Speech().AddRows(c.runningRows > 0 ? std::vector<std::wstring>{rowFile, otherRowFile}
                                       : std::vector<std::wstring>{rowFile});
    if (c.runningRows > 0) Speech().StartAllRows();
    driver->PumpFor(200);
    ASSERT_EQ(Speech().RunningCount(), c.runningRows);
    const size_t rowCount = Speech().Rows().size();
    reports.clear();
    driver->Find(L"gifConvert")->SetVisible(c.converting);

    Answer(L"btn_ok", [&] { driver->Click(L"btnReturn"); });
    EXPECT_TRUE(g_answer.seen);
    EXPECT_EQ(g_answer.text, L"转换中，请稍后再试！");
    EXPECT_EQ(TabPage(L"tabMain"), 1);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(Speech().Rows().size(), rowCount);  // the rows' jobs are still there for their threads

    // Once the work has ended the reset goes through.
    driver->Find(L"gifConvert")->SetVisible(false);
    SetEvent(gate.open);
    for (int i = 0; i < 100 && Speech().RunningCount() > 0; ++i) driver->PumpFor(50);
    ASSERT_EQ(Speech().RunningCount(), 0);
    ASSERT_TRUE(driver->Click(L"btnReturn"));
    driver->PumpFor(200);
    EXPECT_EQ(TabPage(L"tabMain"), 0);
    EXPECT_EQ(reports, std::vector<int>{kReportReturnHome});
    EXPECT_TRUE(Speech().Rows().empty());
  }
}

TEST_F(MainWndTest, RowStatusFindsTheRowByItsJobAfterEarlierRowsWereRemoved) {
  Speech().AddRows({AudioFile(L"first.mp3"), AudioFile(L"second.mp3")});
  ASSERT_EQ(RowList()->GetCount(), 2);
  CControlUI* second = RowList()->GetItemAt(1);
  Voice2TextJob* secondJob = Speech().Rows()[1];
  ASSERT_EQ(secondJob->rowNumber, 2);
  // The first row's remove button, through the window's notification table.
  UINotify remove;
  remove.sType = L"click";
  remove.pSender = RowControl(RowList()->GetItemAt(0), L"btnMoveFile");
  ASSERT_NE(remove.pSender, nullptr);
  window->Notify(remove);
  ASSERT_EQ(RowList()->GetCount(), 1);
  ASSERT_EQ(RowList()->GetItemAt(0), second);  // the second row is now the first

  // A worker sets its job's end status, then posts.
  secondJob->status = kV2tDone;
  PostMessageW(window->GetHandle(), WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(secondJob), kV2tDone);
  // A job the list no longer has (its row was removed) shows nowhere.
  std::unique_ptr<Voice2TextJob> gone = std::make_unique<Voice2TextJob>();
  gone->rowNumber = 1;  // the number the removed row had
  gone->status = kV2tFailed;
  PostMessageW(window->GetHandle(), WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(gone.get()), kV2tFailed);
  driver->PumpFor(200);
  EXPECT_EQ(std::wstring(RowControl(second, L"voiceDeal")->GetText().GetText()), L"处理成功");
  EXPECT_TRUE(RowControl(second, L"voiceEndSucces")->IsSetVisible());
  EXPECT_FALSE(RowControl(second, L"voiceEndError")->IsSetVisible());
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
