// Test cases run alone: they click into the real program's windows on the one test desktop, which other tests' windows would cover.
// The voice picker in the real Quillora.exe, against the stand-in services on
// the addresses the program is built with: from the main window's text page
// the picker opens with the catalogue, plays a sample, opens a voice's detail
// window, and "use" there closes both windows and hands the voice (with its
// example text) to the main window.
#include "app/MainWnd.h"
#include "app/ProductInfo.h"
#include "app/voice/VoiceExampleWnd.h"
#include "app/voice/VoiceTypeItem.h"
#include "app/voice/VoiceTypeWnd.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowImplBase.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Trellis;
using testprograms::Program;
using testprograms::WaitForWindow;
using testshots::SaveWindowPng;

namespace {

constexpr int kRuoxi = 100510002;  // third card of the first category
const char kRuoxiSample[] = "/colud/tts/samples/100510002.mp3";

POINT CentreOf(CControlUI* control) {
  const CUIRect pos = control->GetPos();
  return POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
}

void PumpFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWindowManagerUI::TranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(20);
  } while (GetTickCount64() < end);
}

// A click posted into another process's window at a client point.
void ClickInto(HWND window, POINT at) {
  const LPARAM point = MAKELPARAM(at.x, at.y);
  PostMessageW(window, WM_MOUSEMOVE, 0, point);
  Sleep(100);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(window, WM_LBUTTONUP, 0, point);
  Sleep(300);
}

// Where the controls are: the same skin laid out at the same size in this
// process (the program's windows are laid out alike).
struct Layout {
  SIZE mainClient{};
  POINT showTextPage{}, changeAnchor{};  // main window
  RECT editor{};                         // main window: the text editor
  SIZE pickerClient{};
  POINT cardPlay{}, cardDetail{};        // picker, the card of kRuoxi
  SIZE detailClient{};
  POINT detailUse{};                     // detail window
};

// Empty when measured, else what could not be.
std::string MeasureLayout(const VoiceCatalog& catalog, ClientState& state, Layout* layout) {
  CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
  // A skin that does not load fails the window's creation instead of showing a box nobody answers.
  WindowImplBase::SetSkinLoadFailureHandler([](WindowImplBase*) {});
  auto* main = new CMainWnd(state);
  if (main->CreateWithSize(nullptr, L"layout", 0x10CF0000, 0, 0, 0, 1024, 720) == nullptr) return "main window";
  testwindows::WindowDriver driver(main->GetPaintManager());
  driver.PumpFor(300);
  RECT client;
  GetClientRect(main->GetHandle(), &client);
  layout->mainClient = SIZE{client.right, client.bottom};
  layout->showTextPage = CentreOf(driver.Find(L"btnShowText2Voice"));
  driver.Click(L"btnShowText2Voice");
  driver.PumpFor(500);
  layout->changeAnchor = CentreOf(driver.Find(L"btnChangeAnchor"));
  const CUIRect editor = driver.Find(L"editText2Vioce")->GetPos();
  layout->editor = RECT{editor.left, editor.top, editor.right, editor.bottom};
  DestroyWindow(main->GetHandle());
  // Its last message ends "the program": this test goes on.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }

  const VoiceInfo* ruoxi = nullptr;
  for (const VoiceInfo& voice : catalog.voices) {
    if (voice.voiceType == kRuoxi) ruoxi = &voice;
  }
  if (ruoxi == nullptr) return "voice";
  VoicePickerSetup setup;
  setup.catalog = &catalog;
  setup.client = &state.httpClient;
  auto* picker = new CVoiceTypeWnd(setup);
  if (!picker->Open(nullptr, L"layout")) return "picker";
  testwindows::WindowDriver pickerDriver(picker->GetPaintManager());
  pickerDriver.PumpFor(300);
  GetClientRect(picker->GetHandle(), &client);
  layout->pickerClient = SIZE{client.right, client.bottom};
  auto* tile = static_cast<CContainerUI*>(pickerDriver.Find(L"voiceTypeTileLayout0")->GetInterface(L"Container"));
  for (int i = 0; i < tile->GetCount(); ++i) {
    auto* card = static_cast<CVoiceTypeItem*>(tile->GetItemAt(i)->GetInterface(L"CVoiceTypeItemUI"));
    if (card == nullptr || card->GetVoice() != ruoxi) continue;
    layout->cardPlay = CentreOf(picker->GetPaintManager().FindSubControlByName(card, L"btnPlay"));
    layout->cardDetail = CentreOf(picker->GetPaintManager().FindSubControlByName(card, L"btnDetail"));
  }
  DestroyWindow(picker->GetHandle());

  auto* detail = new CVoiceExampleWnd(ruoxi, state.httpClient, std::wstring(), nullptr);
  if (!detail->Open(nullptr, L"layout")) return "detail window";
  testwindows::WindowDriver detailDriver(detail->GetPaintManager());
  detailDriver.PumpFor(300);
  GetClientRect(detail->GetHandle(), &client);
  layout->detailClient = SIZE{client.right, client.bottom};
  layout->detailUse = detailDriver.CentreOf(L"btnUse");
  DestroyWindow(detail->GetHandle());
  PumpFor(100);
  if (layout->cardPlay.x <= 0) return "card";
  if (layout->detailUse.x <= 0) return "detail use";
  return std::string();
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

// The usage-report details the management stand-in received, in order.
std::vector<std::string> ReportedDetails(const standin::Instance& services) {
  std::vector<std::string> details;
  for (const Json::Value& entry : services.Requests()) {
    if (entry["path"].asString() == "/client/reportlog") details.push_back(entry["params"]["detail"].asString());
  }
  return details;
}

int CountOf(const std::vector<std::string>& values, const std::string& value) {
  int count = 0;
  for (const std::string& v : values) count += v == value ? 1 : 0;
  return count;
}

bool Contains(const std::vector<std::string>& values, const std::string& value) { return CountOf(values, value) > 0; }

// The pixels of a client rectangle of a window, as the screen shows them.
std::vector<COLORREF> PixelsOf(HWND window, const RECT& area) {
  std::vector<COLORREF> pixels;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  HDC screen = GetDC(nullptr);
  for (LONG y = area.top; y < area.bottom; y += 2) {
    for (LONG x = area.left; x < area.right; x += 2) pixels.push_back(GetPixel(screen, origin.x + x, origin.y + y));
  }
  ReleaseDC(nullptr, screen);
  return pixels;
}

TEST(QuilloraVoicePicker, TheRealProgramPicksAVoiceThroughTheDetailWindow) {
  standin::Instance services(true);
  STANDIN_OR_SKIP(services);

  // The catalogue as the program will see it, and where its controls are.
  ScratchFolder folder(L"voice_program");
  ClientState state(folder.path());
  VoiceCatalog catalog;
  CatalogFetch fetch{&state, &catalog};
  FetchVoiceCategoriesThread(&fetch);
  FetchVoiceListThread(&fetch);
  for (int part = 1; part <= 2; ++part) catalog.TakeDelivered(part);
  ASSERT_EQ(catalog.voices.size(), 12u) << "the fixed stand-in did not answer";
  Layout layout;
  ASSERT_EQ(MeasureLayout(catalog, state, &layout), "");

  // The program caches samples in the temporary folder it shares with this test.
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  DeleteFileW((std::wstring(temp) + L"voiceType_" + std::to_wstring(kRuoxi) + L".mp3").c_str());

  Program program;
  ASSERT_TRUE(program.Start(L"Quillora.exe"));
  HWND main = WaitForWindow(program.pid(), kMainWindowClass, 30000);
  ASSERT_NE(main, nullptr) << "the main window did not appear";
  ASSERT_EQ(ClientSize(main).cx, layout.mainClient.cx);
  ASSERT_EQ(ClientSize(main).cy, layout.mainClient.cy);
  for (int i = 0; i < 100 && (services.Count("/colud/tts/voiceList.php") < 1 ||
                              services.Count("/colud/tts/voiceCategory.php") < 1);
       ++i) {
    Sleep(100);
  }
  Sleep(1000);  // the catalogue messages reach the main window

  ClickInto(main, layout.showTextPage);
  Sleep(1000);
  const std::vector<COLORREF> editorBefore = PixelsOf(main, layout.editor);
  ClickInto(main, layout.changeAnchor);
  HWND picker = WaitForWindow(program.pid(), L"VoiceTypeWnd", 10000);
  ASSERT_NE(picker, nullptr) << "the picker did not open";
  ASSERT_EQ(ClientSize(picker).cx, layout.pickerClient.cx);
  Sleep(1000);
  EXPECT_TRUE(Contains(ReportedDetails(services), "18")) << "opening the picker is reported";

  // A sample: fetched from the speech service by the program.
  ClickInto(picker, layout.cardPlay);
  for (int i = 0; i < 100 && services.Count(kRuoxiSample) < 1; ++i) Sleep(100);
  EXPECT_EQ(services.Count(kRuoxiSample), 1);
  Sleep(500);
  EXPECT_TRUE(SaveWindowPng(L"program-voice-picker.png", picker));

  ClickInto(picker, layout.cardDetail);
  HWND detail = WaitForWindow(program.pid(), L"VoiceExampleWnd", 10000);
  ASSERT_NE(detail, nullptr) << "the detail window did not open";
  ASSERT_EQ(ClientSize(detail).cx, layout.detailClient.cx);
  Sleep(700);
  EXPECT_TRUE(SaveWindowPng(L"program-voice-example.png", detail));
  // Opening the text page with a loaded catalogue reports 19 too: only a further one is the detail window's.
  for (int i = 0; i < 50 && !Contains(ReportedDetails(services), "19"); ++i) Sleep(100);
  const int takenBefore = CountOf(ReportedDetails(services), "19");
  EXPECT_EQ(takenBefore, 1) << "the text page reports its first voice once";
  ClickInto(detail, layout.detailUse);

  for (int i = 0; i < 100 && (IsWindow(picker) || IsWindow(detail)); ++i) Sleep(100);
  EXPECT_FALSE(IsWindow(detail));
  EXPECT_FALSE(IsWindow(picker)) << "use in the detail window closes the picker too";
  EXPECT_EQ(program.WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
  for (int i = 0; i < 50 && CountOf(ReportedDetails(services), "19") == takenBefore; ++i) Sleep(100);
  EXPECT_EQ(CountOf(ReportedDetails(services), "19"), takenBefore + 1)
      << "taking a voice in the detail window is reported once";

  // The main window took the voice: its editor now holds the example text.
  Sleep(1000);
  EXPECT_NE(PixelsOf(main, layout.editor), editorBefore) << "the editor does not show the example text";
  EXPECT_TRUE(SaveWindowPng(L"program-voice-chosen.png", main));
  program.Terminate();
}

}  // namespace
