// Test cases run alone: they drive the main window's mouse, focus and pop-up menus on the one test desktop.
// The text-to-speech page of the main window under Wine, built from the real
// skin and run against a stand-in instance: messages of the workers shown by
// the UI thread, a failed copy, a stopped preview whose request is aborted,
// the preview player released when the preview is dropped, the voice and
// emotion displays from the catalogue, the hover menus outliving their
// windows, the pause menu's items, and the text import.
#include "app/MainWnd.h"
#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "core/base/UserMessage.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/NonAsciiNames.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/menu/MenuWnd.h"
#include "ui/controls/richedit/RichEditUI.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace Trellis;
using testshots::SaveWindowPng;
using testwindows::WindowDriver;

namespace {

const char kSynthesis[] = "/colud/tts/text2voice.php";

// What the page showed through ShowUserMessage, with the showing thread.
struct ShownMessage {
  std::wstring text;
  DWORD thread;
};
std::mutex g_shownLock;
std::vector<ShownMessage> g_shown;
void RecordShown(const std::wstring& text) {
  std::lock_guard<std::mutex> lock(g_shownLock);
  g_shown.push_back({text, GetCurrentThreadId()});
}

// The program's own message windows (notices, the result window), answered
// from inside their modal loops by a thread timer.
struct MessageWindowSeen {
  std::wstring text;
  bool result;  // the convert-ok window (it has "btnOpenFile")
};
std::vector<MessageWindowSeen> g_windows;
HWND g_mainWindow = nullptr;

void CALLBACK CloseMessageWindows(HWND, UINT, UINT_PTR, DWORD) {
  for (int i = 0; i < CWindowManagerUI::GetManagerCount(); ++i) {
    CWindowManagerUI* manager = CWindowManagerUI::GetManagerAt(i);
    HWND window = manager->GetPaintWindow();
    if (window == g_mainWindow || !IsWindowVisible(window)) continue;
    CControlUI* tips = manager->FindControlByName(L"titleTips");
    if (tips == nullptr || manager->FindControlByName(L"closebtn") == nullptr) continue;
    g_windows.push_back({tips->GetText().GetText(), manager->FindControlByName(L"btnOpenFile") != nullptr});
    WindowDriver(*manager).Click(L"closebtn");
    return;
  }
}

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

class TtsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(instance);
    // The page's job reads the program's endpoints; the catalogue fetches the test's state's.
    state.UseEndpoints(
        m_endpoints.Change([this](ServiceConfig& config) { config.speechBaseUrl = instance.urls().speechHttp; }));
    {
      std::lock_guard<std::mutex> lock(g_shownLock);
      g_shown.clear();
    }
    g_windows.clear();
    SetUserMessageSink(RecordShown);
    CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
    // The page opens with the catalogue's first voice, one the stand-in speaks.
    VoiceInfo voice;
    voice.anchorName = L"晓澜";
    voice.voiceType = 100510000;
    voice.emotion = L"neutral";
    voice.avatar = L"anchor_xiaolan.png";
    GetVoiceCatalog().voices = {voice};
    state.driveUrlW2V = output.path().substr(0, output.path().size() - 1);
    window = new CMainWnd(state);
    window->SetReporter([](int, HANDLE*) { return true; });
    ASSERT_NE(window->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720), nullptr);
    g_mainWindow = window->GetHandle();
    driver = std::make_unique<WindowDriver>(window->GetPaintManager());
    m_timer = SetTimer(nullptr, 0, 200, CloseMessageWindows);
    driver->PumpFor(300);
    ASSERT_TRUE(driver->Click(L"btnShowText2Voice"));
    driver->PumpFor(400);
  }
  void TearDown() override {
    if (m_timer != 0) KillTimer(nullptr, m_timer);
    if (window != nullptr && IsWindow(window->GetHandle())) DestroyWindow(window->GetHandle());
    driver.reset();
    SetUserMessageSink(nullptr);
    GetVoiceCatalog() = VoiceCatalog();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) { return testwait::WaitUntil(done, timeoutMs); }
  void TypeText(const wchar_t* text) {
    ASSERT_TRUE(driver->Click(L"editText2Vioce"));
    driver->TypeText(text);
    driver->PumpFor(100);
  }
  bool Visible(const wchar_t* name) { return driver->Find(name)->IsVisible(); }
  std::wstring Text(const wchar_t* name) { return driver->Find(name)->GetText().GetText(); }
  void SetText(const wchar_t* name, const wchar_t* text) { driver->Find(name)->SetText(text); }
  std::wstring PlayImage() {
    return static_cast<CButtonUI*>(driver->Find(L"btnPlayVoice")->GetInterface(L"Button"))->GetNormalImage();
  }
  bool Playing() { return Visible(L"btnPlayVoice") && PlayImage().find(L"pauseVoice") != std::wstring::npos; }
  std::vector<ShownMessage> Shown() {
    std::lock_guard<std::mutex> lock(g_shownLock);
    return g_shown;
  }
  std::vector<HWND> Menus() { return testprograms::WindowsOf(GetCurrentProcessId(), L"TrellisMenuWnd"); }
  std::vector<HWND> VisibleMenus() {
    std::vector<HWND> shown;
    for (HWND menu : Menus())
      if (IsWindowVisible(menu)) shown.push_back(menu);
    return shown;
  }

  standin::Instance instance;
  ScratchFolder folder{L"tts_state"};
  ScratchFolder output{L"tts_out"};
  ClientState state{folder.path()};
  CMainWnd* window = nullptr;
  std::unique_ptr<WindowDriver> driver;

 private:
  ScopedProgramEndpoints m_endpoints;
  UINT_PTR m_timer = 0;
};

TEST_F(TtsPageTest, AFailedCopyIsReportedWithItsErrorByTheUiThreadAndNoResultIsShown) {
  window->TextToSpeech().GetJob()->outputFolder = output.path() + L"missing";  // a folder that does not exist
  TypeText(L"保存失败的时候要说清楚。");
  ASSERT_TRUE(driver->Click(L"btnConvertText2Voice"));
  EXPECT_TRUE(Visible(L"gifConvert"));
  ASSERT_TRUE(WaitUntil([&] { return !Shown().empty(); }, 30000));
  const std::vector<ShownMessage> shown = Shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, L"错误：3 文件保存失败，请重试！");
  EXPECT_EQ(shown[0].thread, GetCurrentThreadId()) << "a worker showed the message itself";
  driver->PumpFor(500);
  EXPECT_TRUE(g_windows.empty()) << "a result window opened for a file that is not there";
  EXPECT_TRUE(Visible(L"btnConvertText2Voice"));
  EXPECT_FALSE(Visible(L"gifConvert"));
  EXPECT_EQ(instance.Count(kSynthesis), 1);
  SaveWindowPng(L"tts-page-copy-failed.png", window->GetHandle());
}

TEST_F(TtsPageTest, AConversionStopsAWaitingPreviewWithinItsBoundAndConvertsWithoutItsMessages) {
  ASSERT_TRUE(instance.Script(kSynthesis, R"({"delay_ms":20000})"));
  TypeText(L"一个很慢的试听。");
  ASSERT_TRUE(driver->Click(L"btnPlayVoice"));
  EXPECT_TRUE(Visible(L"playVoiceGif"));
  driver->PumpFor(1500);  // the request waits at the service

  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(driver->Click(L"btnConvertText2Voice"));  // stops the preview's worker first
  EXPECT_LT(GetTickCount64() - start, 8000u) << "the stop waited for the slow reply";
  ASSERT_TRUE(WaitUntil([&] { return !g_windows.empty(); }, 30000)) << "no result window";
  EXPECT_TRUE(g_windows[0].result);
  EXPECT_EQ(g_windows[0].text, L"恭喜您，转换成功！");
  EXPECT_EQ(testfiles::ListFiles(output.path()).size(), 1u);
  driver->PumpFor(1000);
  EXPECT_TRUE(Shown().empty()) << "the stopped preview reported its aborted request";
  // The aborted listen test gives its button back: it can be clicked again.
  EXPECT_TRUE(Visible(L"btnPlayVoice")) << "the listen button stayed hidden";
  EXPECT_FALSE(Visible(L"playVoiceGif")) << "the listen animation kept spinning";
  EXPECT_NE(PlayImage().find(L"ListenTestBtn"), std::wstring::npos);
  SaveWindowPng(L"tts-page-preview-stopped-by-conversion.png", window->GetHandle());
}

TEST_F(TtsPageTest, ListenTestPlaysPausesResumesAndADroppedPreviewReleasesItsPlayer) {
  TypeText(L"这是一段试听的文字，它要足够长，才能在播放的时候暂停和继续。我们再多说几句，让它播放得久一点。");
  ASSERT_TRUE(driver->Click(L"btnPlayVoice"));
  ASSERT_TRUE(WaitUntil([&] { return Playing(); }, 30000)) << "the preview did not play";
  EXPECT_EQ(instance.Count(kSynthesis), 1);
  EXPECT_FALSE(Visible(L"playVoiceGif"));

  ASSERT_TRUE(driver->Click(L"btnPlayVoice"));
  EXPECT_NE(PlayImage().find(L"ListenTestBtn"), std::wstring::npos) << "not paused";
  ASSERT_TRUE(driver->Click(L"btnPlayVoice"));
  EXPECT_TRUE(Playing()) << "not resumed";

  // The text changes while it plays: the next click drops the preview, and
  // with it the player's feeding thread and the thread waiting for its end.
  const int threadsPlaying = ThreadCount();
  TypeText(L"改");
  ASSERT_TRUE(driver->Click(L"btnPlayVoice"));
  EXPECT_NE(PlayImage().find(L"ListenTestBtn"), std::wstring::npos);
  ASSERT_TRUE(WaitUntil([&] { return ThreadCount() <= threadsPlaying - 2; }, 5000))
      << "the dropped preview still holds its player";
  driver->PumpFor(500);
  EXPECT_TRUE(Visible(L"btnPlayVoice"));
  EXPECT_EQ(instance.Count(kSynthesis), 1);
  EXPECT_TRUE(Shown().empty());
}

TEST_F(TtsPageTest, TheVoiceShownAfterTheCatalogueLoadsNeverLiesBeyondTheList) {
  const struct {
    size_t voices;
    const wchar_t* shown;
  } cases[] = {{0, nullptr}, {1, L"voice 0"}, {10, L"voice 0"}, {11, L"voice 10"}, {12, L"voice 10"}};
  for (const auto& c : cases) {
    VoiceCatalog& catalog = GetVoiceCatalog();
    catalog.voices.clear();
    for (size_t i = 0; i < c.voices; ++i) {
      VoiceInfo voice;
      voice.anchorName = L"voice " + std::to_wstring(i);
      voice.voiceType = 100520000 + static_cast<int>(i);
      voice.emotion = L"neutral";
      voice.isEmotion = i == 10;
      voice.avatar = L"anchor_mia.png";
      catalog.voices.push_back(voice);
    }
    SetText(L"lblAnchorName", L"before");
    PostMessageW(window->GetHandle(), WM_APP_CATALOG_LOADED, 2, 0);
    driver->PumpFor(100);
    EXPECT_EQ(Text(L"lblAnchorName"), c.shown != nullptr ? c.shown : L"before") << c.voices;
    if (c.shown != nullptr) {
      EXPECT_EQ(window->TextToSpeech().GetCurrentVoice().anchorName, c.shown);
      EXPECT_EQ(window->TextToSpeech().GetJob()->voiceType, window->TextToSpeech().GetCurrentVoice().voiceType);
      EXPECT_EQ(Visible(L"hLayoutEmotion"), window->TextToSpeech().GetCurrentVoice().isEmotion) << c.voices;
    }
  }
}

// A voice list fetched while the text page opens: the page opens with the
// published list, which neither the fetch nor its end changes; the new list
// (whose eleventh voice becomes current) arrives with its message.
TEST_F(TtsPageTest, ACatalogueLoadLandingWhileThePageOpensChangesItOnlyWithItsMessage) {
  ASSERT_TRUE(instance.Script("/colud/tts/voiceList.php", R"({"delay_ms":1500})"));
  CatalogFetch fetch{&state, &GetVoiceCatalog()};
  HANDLE thread = CreateThread(nullptr, 0, FetchVoiceListThread, &fetch, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  driver->PumpFor(500);  // the request waits at the service
  ASSERT_TRUE(driver->Click(L"btnReturn"));
  driver->PumpFor(200);
  SetText(L"lblAnchorName", L"before");
  ASSERT_TRUE(driver->Click(L"btnShowText2Voice"));
  driver->PumpFor(200);
  EXPECT_EQ(Text(L"lblAnchorName"), L"晓澜") << "the page opened without the published voice";
  EXPECT_EQ(window->TextToSpeech().GetJob()->voiceType, 100510000);

  // The reply lands; until its message is handled the page's list stays.
  ASSERT_EQ(WaitForSingleObject(thread, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(thread);
  const VoiceCatalog& catalog = GetVoiceCatalog();
  ASSERT_EQ(catalog.voices.size(), 1u) << "the list changed before its message";
  EXPECT_EQ(catalog.voices.front().anchorName, L"晓澜");

  driver->PumpFor(300);
  ASSERT_EQ(catalog.voices.size(), 12u) << "the loaded list was not published";
  EXPECT_EQ(Text(L"lblAnchorName"), catalog.voices[10].anchorName);
  EXPECT_EQ(Text(L"lblAnchorDes"), catalog.voices[10].voiceDesc);
  EXPECT_FALSE(catalog.voices[10].voiceDesc.empty()) << "not the served record";
  EXPECT_EQ(window->TextToSpeech().GetJob()->voiceType, catalog.voices[10].voiceType);
  SaveWindowPng(L"tts-page-catalogue-loaded.png", window->GetHandle());
}

// What the timer below saw and did inside the voice picker's modal loop.
struct PickerVisit {
  int step = 0;
  size_t voicesWhileOpen = 0;
  std::wstring firstWhileOpen;
  bool used = false;
};
PickerVisit g_pickerVisit;

// Inside the picker: a voice list is delivered and announced, then (a tick
// later) the catalogue is looked at and the first card's voice used.
void CALLBACK LoadWhileThePickerIsOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  for (int i = 0; i < CWindowManagerUI::GetManagerCount(); ++i) {
    CWindowManagerUI* manager = CWindowManagerUI::GetManagerAt(i);
    wchar_t name[64] = {};
    GetClassNameW(manager->GetPaintWindow(), name, 64);
    if (std::wstring(name) != L"VoiceTypeWnd" || !IsWindowVisible(manager->GetPaintWindow())) continue;
    VoiceCatalog& catalog = GetVoiceCatalog();
    if (g_pickerVisit.step++ == 0) {
      std::vector<VoiceInfo> loaded(12);
      for (size_t v = 0; v < loaded.size(); ++v) {
        loaded[v].anchorName = L"new " + std::to_wstring(v);
        loaded[v].voiceType = 100530000 + static_cast<int>(v);
        loaded[v].categoryId = 1;
      }
      catalog.deliveredVoices.Deliver(std::move(loaded));
      PostMessageW(g_mainWindow, WM_APP_CATALOG_LOADED, 2, 0);
      return;
    }
    KillTimer(nullptr, timer);
    g_pickerVisit.voicesWhileOpen = catalog.voices.size();
    if (!catalog.voices.empty()) g_pickerVisit.firstWhileOpen = catalog.voices.front().anchorName;
    g_pickerVisit.used = WindowDriver(*manager).PostClick(L"btnUse");
    return;
  }
}

// The picker's cards point into the catalogue's voice list: a list that loads
// while it is open waits until it has closed, so the voice used in it arrives
// intact, and the new list follows.
TEST_F(TtsPageTest, AVoiceListLoadedWhileThePickerIsOpenWaitsUntilItCloses) {
  VoiceCatalog& catalog = GetVoiceCatalog();
  catalog.categories = {{1, L"通用", 1}};
  catalog.voices.front().categoryId = 1;
  catalog.voices.front().anchorName = L"若汐";
  catalog.voices.front().voiceType = 100520001;
  g_pickerVisit = PickerVisit();
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, LoadWhileThePickerIsOpen);
  ASSERT_TRUE(driver->Click(L"btnChangeAnchor"));
  const bool closed = WaitUntil(
      [&] { return g_pickerVisit.used && testprograms::WindowsOf(GetCurrentProcessId(), L"VoiceTypeWnd").empty(); },
      10000);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(g_pickerVisit.used) << "the picker showed no card";
  ASSERT_TRUE(closed) << "the picker did not close";
  EXPECT_EQ(g_pickerVisit.voicesWhileOpen, 1u) << "the list changed under the open picker";
  EXPECT_EQ(g_pickerVisit.firstWhileOpen, L"若汐");

  // The voice used arrives first, then the held list.
  ASSERT_TRUE(WaitUntil([&] { return catalog.voices.size() == 12u; }, 3000)) << "the held list never came";
  driver->PumpFor(200);
  EXPECT_EQ(Text(L"lblAnchorName"), L"new 10");
  EXPECT_EQ(window->TextToSpeech().GetJob()->voiceType, 100530010);
}

TEST_F(TtsPageTest, EmotionTilesAreRebuiltFromTheCatalogueAndSetTheJobsEmotion) {
  VoiceCatalog& catalog = GetVoiceCatalog();
  catalog.emotions = {{L"原声", L"neutral"}, {L"开心", L"happy"}, {L"悲伤", L"sad"}};
  VoiceInfo voice;
  voice.anchorName = L"晓澜";
  voice.voiceType = 100510000;
  voice.emotion = L"neutral";
  voice.isEmotion = true;
  catalog.voices.assign(11, voice);
  PostMessageW(window->GetHandle(), WM_APP_CATALOG_LOADED, 3, 0);
  PostMessageW(window->GetHandle(), WM_APP_CATALOG_LOADED, 3, 0);  // a second load replaces the tiles
  PostMessageW(window->GetHandle(), WM_APP_CATALOG_LOADED, 2, 0);
  driver->PumpFor(400);
  auto* tile = static_cast<CContainerUI*>(driver->Find(L"tileEmotion")->GetInterface(L"Container"));
  ASSERT_EQ(tile->GetCount(), 2);
  ASSERT_TRUE(Visible(L"hLayoutEmotion"));
  SaveWindowPng(L"tts-page-emotions.png", window->GetHandle());

  CControlUI* happy = window->GetPaintManager().FindSubControlByName(tile->GetItemAt(0), L"OptionEmotion2");
  ASSERT_NE(happy, nullptr);
  EXPECT_EQ(std::wstring(happy->GetText().GetText()), L"开心");
  const CUIRect pos = happy->GetPos();
  ASSERT_GT(pos.right, pos.left) << "the tile has no place";
  driver->ClickAt(POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2});
  EXPECT_EQ(window->TextToSpeech().GetJob()->emotion, L"happy");
}

TEST_F(TtsPageTest, HoverMenusOpenOnTheirButtonsAndSurviveTheirWindowsClosingElsewhere) {
  TypeText(L"");
  const POINT polyphone = driver->CentreOf(L"btnPolyphone");
  driver->HoverAt(polyphone);
  driver->PumpFor(200);
  ASSERT_EQ(VisibleMenus().size(), 1u);
  RECT shown;
  GetWindowRect(window->GetHandle(), &shown);
  testshots::SaveScreenAreaPng(L"tts-page-polyphone-menu.png", shown);  // the window with its hint above
  RECT menuRect;
  GetWindowRect(VisibleMenus()[0], &menuRect);
  POINT inside = {menuRect.left + 20, menuRect.top + 20};
  ScreenToClient(window->GetHandle(), &inside);
  driver->HoverAt(inside);  // into the menu's area: it stays
  driver->PumpFor(200);
  EXPECT_EQ(VisibleMenus().size(), 1u);
  driver->HoverAt(POINT{polyphone.x, 0});  // the top edge never closes it
  driver->PumpFor(200);
  EXPECT_EQ(VisibleMenus().size(), 1u);

  // Something else closes the menu window (a click elsewhere does): the page
  // must not use the menu object that went with it.
  for (HWND menu : Menus()) DestroyWindow(menu);
  driver->PumpFor(200);
  driver->HoverAt(POINT{polyphone.x + 300, polyphone.y + 300});
  driver->HoverAt(polyphone);
  driver->PumpFor(200);
  EXPECT_EQ(VisibleMenus().size(), 1u) << "the menu did not open again";
  ASSERT_TRUE(driver->Click(L"btnPolyphone"));  // closes the hint and inserts the mark
  driver->PumpFor(300);
  EXPECT_TRUE(VisibleMenus().empty());
  EXPECT_EQ(Text(L"editText2Vioce"), L"[=]");
}

TEST_F(TtsPageTest, ThePauseMenuInsertsItsPauseAtTheCaret) {
  TypeText(L"前");
  driver->HoverAt(driver->CentreOf(L"btnInterval"));
  driver->PumpFor(200);
  ASSERT_EQ(VisibleMenus().size(), 1u);
  auto* menu = reinterpret_cast<CMenuWnd*>(GetWindowLongPtrW(VisibleMenus()[0], GWLP_USERDATA));
  ASSERT_NE(menu, nullptr);
  WindowDriver menuDriver(menu->GetManager());
  menuDriver.PumpFor(200);
  SaveWindowPng(L"tts-page-interval-menu.png", VisibleMenus()[0]);
  menuDriver.HoverAt(menuDriver.CentreOf(L"btnInterval3"));  // the pointer goes over to the item
  ASSERT_TRUE(menuDriver.Click(L"btnInterval3"));
  driver->PumpFor(300);
  EXPECT_TRUE(VisibleMenus().empty()) << "the menu stayed open";
  TypeText(L"后");
  EXPECT_EQ(Text(L"editText2Vioce"), L"前<break time=\"1500ms\"/>后");
  EXPECT_FALSE(window->TextToSpeech().GetJob()->resultValid);
}

// Types key by key, letting the window paint after each, as it does between
// a person's keys (each key's echo repaints the editor).
void TypeKeyByKey(WindowDriver& driver, const wchar_t* text) {
  for (const wchar_t* p = text; *p != 0; ++p) {
    const wchar_t one[2] = {*p, 0};
    driver.TypeText(one);
    UpdateWindow(driver.window());
    driver.PumpFor(30);
  }
}

// Answers the open-file dialog that runs its modal loop on this thread.
std::wstring g_importPath;
void CALLBACK AnswerImportDialog(HWND, UINT, UINT_PTR, DWORD) {
  for (HWND dialog : testprograms::WindowsOf(GetCurrentProcessId(), L"#32770")) {
    if (!IsWindowVisible(dialog)) continue;
    HWND name = GetDlgItem(dialog, 0x47c);                  // the file name box (cmb13)
    if (name == nullptr) name = GetDlgItem(dialog, 0x480);  // the older dialog's edit (edt1)
    if (name == nullptr) continue;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_importPath.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
}

TEST_F(TtsPageTest, TypingStaysInTheEditorAndTheButtonsThatEditItGiveTheKeyboardBack) {
  // The page opened with the caret in the editor: every key lands there.
  TypeKeyByKey(*driver, L"abc def");
  EXPECT_EQ(Text(L"editText2Vioce"), L"abc def");
  EXPECT_EQ(window->GetPaintManager().GetFocusControl(), driver->Find(L"editText2Vioce"));

  // The open-file dialog's library comes with the first dialog, not with the window.
  EXPECT_EQ(GetModuleHandleW(L"comdlg32.dll"), nullptr);
  g_importPath = folder.path() + L"import.txt";
  ASSERT_TRUE(testfiles::WriteFileBytes(g_importPath, "\xE5\xAF\xBC\xE5\x85\xA5"));  // 导入
  const struct {
    const wchar_t* label;
    std::function<void()> press;
    std::wstring expected;  // the editor after the press and the typed "hang2"
  } cases[] = {
      {L"多音字", [&] { driver->Click(L"btnPolyphone"); }, L"abc def[=hang2]"},
      {L"清空", [&] { driver->Click(L"btnCleanText"); }, L"hang2"},
      {L"插入停顿",
       [&] {
         driver->HoverAt(driver->CentreOf(L"btnInterval"));
         driver->PumpFor(200);
         if (VisibleMenus().size() != 1) return;
         auto* menu = reinterpret_cast<CMenuWnd*>(GetWindowLongPtrW(VisibleMenus()[0], GWLP_USERDATA));
         WindowDriver menuDriver(menu->GetManager());
         menuDriver.PumpFor(200);
         menuDriver.HoverAt(menuDriver.CentreOf(L"btnInterval3"));
         menuDriver.Click(L"btnInterval3");
         driver->PumpFor(300);
       },
       L"abc def<break time=\"1500ms\"/>hang2"},
      {L"导入文本",
       [&] {
         const UINT_PTR answer = SetTimer(nullptr, 0, 300, AnswerImportDialog);
         driver->Click(L"btnImport");
         KillTimer(nullptr, answer);
       },
       L"导入\rhang2"},  // an imported text ends with a paragraph, as the import test shows
  };
  for (const auto& c : cases) {
    SetText(L"editText2Vioce", L"abc def");
    auto* editor = static_cast<CRichEditUI*>(driver->Find(L"editText2Vioce")->GetInterface(L"RichEdit"));
    ASSERT_TRUE(driver->Click(L"editText2Vioce"));
    editor->SetSel(-1, -1);
    c.press();
    driver->PumpFor(200);
    EXPECT_EQ(window->GetPaintManager().GetFocusControl(), driver->Find(L"editText2Vioce"))
        << WideToUtf8(c.label) << ": the keyboard did not come back to the editor";
    TypeKeyByKey(*driver, L"hang2");
    EXPECT_EQ(Text(L"editText2Vioce"), c.expected) << WideToUtf8(c.label);
  }
  EXPECT_NE(GetModuleHandleW(L"comdlg32.dll"), nullptr) << "the import went through the system's dialog";
  SaveWindowPng(L"tts-page-typed-after-buttons.png", window->GetHandle());
}

TEST_F(TtsPageTest, ImportReadsEveryEncodingAndWideFileNamesWithinTheLimit) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  const std::string manyCharacters = [] {
    std::string text;
    for (int i = 0; i < 6000; ++i) text += "\xE5\xAD\x97";  // 字
    return text;
  }();
  const struct {
    const wchar_t* name;
    std::string bytes;
    std::wstring editor;
  } cases[] = {
      {L"utf8_mark.txt", "\xEF\xBB\xBF第一行\r\n\r\n第二行\n", L"第一行\r第二行\r"},
      {L"utf8_plain_\u0e01\u00e9.txt", "\xE0\xB8\x81 \xC3\xA9 \xF0\x9F\x98\x80", L"\u0e01 \u00e9 \U0001F600\r"},
      {L"gbk.txt", "\xC4\xE3\xBA\xC3\r\n\xCA\xC0\xBD\xE7", L"你好\r世界\r"},
      {L"utf16le.txt", std::string("\xFF\xFE\x60\x4F\x0D\x00\x0A\x00\x7D\x59", 10), L"你\r好"},
      {L"utf16be_\u0e01.txt", std::string("\xFE\xFF\x4F\x60\x59\x7D", 6), L"你好"},
      {L"long.txt", manyCharacters, std::wstring(5000, L'字')},
  };
  for (const auto& c : cases) {
    const std::wstring path = folder.path() + c.name;
    ASSERT_TRUE(testfiles::WriteFileBytes(path, c.bytes));
    ASSERT_TRUE(window->TextToSpeech().ImportTextFile(path)) << WideToUtf8(c.name);
    // The rich edit keeps paragraphs as "\r".
    std::wstring shown = Text(L"editText2Vioce");
    std::wstring expected = c.editor;
    for (std::wstring* text : {&shown, &expected}) {
      for (size_t at = text->find(L"\r\n"); at != std::wstring::npos; at = text->find(L"\r\n")) text->erase(at + 1, 1);
    }
    EXPECT_EQ(shown, expected) << WideToUtf8(c.name);
    wchar_t count[32];
    swprintf(count, 32, L"%d/5000", static_cast<int>(shown.size()));
    EXPECT_EQ(Text(L"textCount"), count) << WideToUtf8(c.name);
  }
  // A file that cannot be read leaves the editor as it was.
  const std::wstring before = Text(L"editText2Vioce");
  EXPECT_FALSE(window->TextToSpeech().ImportTextFile(folder.path() + L"missing.txt"));
  EXPECT_EQ(Text(L"editText2Vioce"), before);
  SaveWindowPng(L"tts-page-import.png", window->GetHandle());
}

}  // namespace
