// Test cases run alone: they click into the real program's windows on the one test desktop, which other tests' windows would cover.
// The voice picker in the real program (its test variant, on the addresses
// the program is built with), against the stand-in services: from the main
// window's text page the picker opens with the catalogue, plays a sample,
// opens a voice's detail window, and "use" there closes both windows and
// hands the voice (with its example text) to the main window.
#include "app/ProductInfo.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "tests/support/ProgramDriver.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testprograms::ProgramControl;
using testprograms::ProgramDriver;
using testshots::SaveWindowPng;

namespace {

constexpr int kRuoxi = 100510002;  // third card of the first category
const char kRuoxiSample[] = "/colud/tts/samples/100510002.mp3";

constexpr wchar_t kPickerClass[] = L"VoiceTypeWnd";
constexpr wchar_t kDetailClass[] = L"VoiceExampleWnd";

// The index of the picker's card that shows `name` (each card holds one name
// label, one play and one detail button); -1 when no card shows it.
int CardOf(ProgramDriver& program, const std::wstring& name) {
  for (int index = 0;; ++index) {
    const ProgramControl label = program.Query(kPickerClass, L"lblAnchorName", index);
    if (!label.found) return -1;
    if (label.visible && label.text == name) return index;
  }
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

  // The catalogue as the program will see it.
  ScratchFolder folder(L"voice_program");
  ClientState state(folder.path());
  VoiceCatalog catalog;
  CatalogFetch fetch{&state, &catalog};
  FetchVoiceCategoriesThread(&fetch);
  FetchVoiceListThread(&fetch);
  for (int part = 1; part <= 2; ++part) catalog.TakeDelivered(part);
  ASSERT_EQ(catalog.voices.size(), 12u) << "the fixed stand-in did not answer";
  const VoiceInfo* ruoxi = nullptr;
  for (const VoiceInfo& voice : catalog.voices) {
    if (voice.voiceType == kRuoxi) ruoxi = &voice;
  }
  ASSERT_NE(ruoxi, nullptr);

  // The program caches samples in the temporary folder it shares with this test.
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  DeleteFileW((std::wstring(temp) + L"voiceType_" + std::to_wstring(kRuoxi) + L".mp3").c_str());

  ProgramDriver program;
  ASSERT_TRUE(program.Start());
  HWND main = program.WaitForWindow(kMainWindowClass, 30000);
  ASSERT_NE(main, nullptr) << "the main window did not appear";
  for (int i = 0; i < 100 && (services.Count("/colud/tts/voiceList.php") < 1 ||
                              services.Count("/colud/tts/voiceCategory.php") < 1);
       ++i) {
    Sleep(100);
  }
  Sleep(1000);  // the catalogue messages reach the main window

  ASSERT_TRUE(program.WaitForControl(kMainWindowClass, L"btnShowText2Voice", 10000).found);
  ASSERT_TRUE(program.Click(kMainWindowClass, L"btnShowText2Voice"));
  const ProgramControl editor = program.WaitForControl(kMainWindowClass, L"editText2Vioce", 10000);
  ASSERT_TRUE(editor.found) << "the text page did not open";
  Sleep(1000);
  const std::vector<COLORREF> editorBefore = PixelsOf(main, editor.rect);
  ASSERT_TRUE(program.Click(kMainWindowClass, L"btnChangeAnchor"));
  HWND picker = program.WaitForWindow(kPickerClass, 10000);
  ASSERT_NE(picker, nullptr) << "the picker did not open";
  Sleep(1000);
  EXPECT_TRUE(Contains(ReportedDetails(services), "18")) << "opening the picker is reported";

  // A sample: fetched from the speech service by the program.
  const int card = CardOf(program, ruoxi->anchorName);
  ASSERT_GE(card, 0) << "no card shows the voice";
  ASSERT_TRUE(program.Click(kPickerClass, L"btnPlay", card));
  for (int i = 0; i < 100 && services.Count(kRuoxiSample) < 1; ++i) Sleep(100);
  EXPECT_EQ(services.Count(kRuoxiSample), 1);
  Sleep(500);
  EXPECT_TRUE(SaveWindowPng(L"program-voice-picker.png", picker));

  ASSERT_TRUE(program.Click(kPickerClass, L"btnDetail", card));
  HWND detail = program.WaitForWindow(kDetailClass, 10000);
  ASSERT_NE(detail, nullptr) << "the detail window did not open";
  Sleep(700);
  EXPECT_EQ(program.Query(kDetailClass, L"lblAnchorName").text, ruoxi->anchorName) << "the detail window's voice";
  EXPECT_TRUE(SaveWindowPng(L"program-voice-example.png", detail));
  // Opening the text page with a loaded catalogue reports 19 too: only a further one is the detail window's.
  for (int i = 0; i < 50 && !Contains(ReportedDetails(services), "19"); ++i) Sleep(100);
  const int takenBefore = CountOf(ReportedDetails(services), "19");
  EXPECT_EQ(takenBefore, 1) << "the text page reports its first voice once";
  ASSERT_TRUE(program.Click(kDetailClass, L"btnUse"));

  for (int i = 0; i < 100 && (IsWindow(picker) || IsWindow(detail)); ++i) Sleep(100);
  EXPECT_FALSE(IsWindow(detail));
  EXPECT_FALSE(IsWindow(picker)) << "use in the detail window closes the picker too";
  EXPECT_EQ(program.program().WaitForExit(0), static_cast<DWORD>(STILL_ACTIVE)) << "the program ended";
  for (int i = 0; i < 50 && CountOf(ReportedDetails(services), "19") == takenBefore; ++i) Sleep(100);
  EXPECT_EQ(CountOf(ReportedDetails(services), "19"), takenBefore + 1)
      << "taking a voice in the detail window is reported once";

  // The main window took the voice: its editor now holds the example text.
  Sleep(1000);
  EXPECT_NE(PixelsOf(main, editor.rect), editorBefore) << "the editor does not show the example text";
  EXPECT_EQ(program.Query(kMainWindowClass, L"editText2Vioce").text, ruoxi->text);
  EXPECT_TRUE(SaveWindowPng(L"program-voice-chosen.png", main));
  program.program().Terminate();
}

}  // namespace
