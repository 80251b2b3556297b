// Test cases run alone: they drive the real program's windows, focus and mouse on the one test desktop.
// The text-to-speech page of the real Quillora.exe against a stand-in
// instance, driven only through its windows: a conversion with marks, voice,
// volume, speed, format, background music and lead; the listen test; the
// long-text task, its failure after a success and its time limit; and server
// faults during a conversion. The program is pointed at the instance and the
// output folder through its settings file, as an installation would be.
#include "app/ProductInfo.h"
#include "core/base/TextConversion.h"
#include "core/media/MediaTools.h"
#include "core/media/ProcessRunner.h"
#include "core/tts/ConvertJob.h"
#include "tests/support/ProgramDriver.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"
#include "tests/support/Waiting.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <vector>

using testprograms::BinFolder;
using testprograms::ProgramDriver;
using testshots::SaveWindowPng;
using testwait::WaitUntil;

namespace {

constexpr wchar_t kMessageBoxClass[] = L"#32770";
constexpr wchar_t kMessageWindowClass[] = L"MessageWnd";
constexpr wchar_t kMenuClass[] = L"TrellisMenuWnd";
constexpr int kFileNameCombo = 0x47c;  // the open dialog's file name box (cmb13)
const char kSynthesis[] = "/colud/tts/text2voice.php";
const char kTask[] = "/colud/tts/text2voiceTask.php";

std::string Narrow(const std::wstring& text) { return WideToUtf8(text); }

// A scratch folder's path without its trailing backslash, as a user picks a folder.
std::wstring Folder(const ScratchFolder& folder) {
  std::wstring path = folder.path();
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

// The text of a message box (its static text control that holds words).
struct MessageBoxText {
  std::wstring text;
};
BOOL CALLBACK ReadStaticText(HWND child, LPARAM parameter) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  if (_wcsicmp(name, L"Static") == 0 && text[0] != 0) reinterpret_cast<MessageBoxText*>(parameter)->text = text;
  return TRUE;
}
std::wstring MessageBoxTextOf(HWND box) {
  MessageBoxText found;
  EnumChildWindows(box, ReadStaticText, reinterpret_cast<LPARAM>(&found));
  return found.text;
}

// Pixels of a screen area, for telling a control's looks apart.
std::vector<uint32_t> ScreenPixels(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  memcpy(pixels.data(), bits, pixels.size() * 4);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The settings file beside the program, written for one test and put back after it.
class ProgramSettings {
 public:
  ProgramSettings() : m_path(BinFolder() + L"quillora.ini") { m_hadFile = testfiles::ReadFileBytes(m_path, &m_saved); }
  ~ProgramSettings() {
    if (m_hadFile) {
      testfiles::WriteFileBytes(m_path, m_saved);
    } else {
      DeleteFileW(m_path.c_str());
    }
  }
  void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), m_path.c_str());
  }

 private:
  std::wstring m_path;
  std::string m_saved;
  bool m_hadFile = false;
};

class TextToSpeechProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(instance);
    settings.Set(L"service", L"speech", Utf8ToWide(instance.urls().speechHttp));
    settings.Set(L"service", L"management", Utf8ToWide(instance.urls().managementHttp));
    settings.Set(L"service", L"login", Utf8ToWide(instance.urls().login));
    settings.Set(L"soft", L"DriveUrlW2V", Folder(output));
  }

  // Starts the program and opens the text-to-speech page.
  void StartProgram() {
    // The test variant, without service variables: it takes the settings file's addresses.
    ASSERT_TRUE(program.Start());
    main = program.WaitForWindow(kMainWindowClass, 30000);
    ASSERT_NE(main, nullptr) << "the main window did not appear";
    // The page shows the catalogue: wait until the program has fetched it.
    ASSERT_TRUE(WaitUntil([&] { return instance.Count("/colud/tts/voiceEmotion.php") >= 1 &&
                                        instance.Count("/colud/tts/voiceList.php") >= 1; }, 20000));
    testwait::PumpFor(1000);
    SetForegroundWindow(main);
    ASSERT_TRUE(program.WaitForControl(kMainWindowClass, L"btnShowText2Voice", 10000).found);
    ASSERT_TRUE(Click(L"btnShowText2Voice"));
    ASSERT_TRUE(program.WaitForControl(kMainWindowClass, L"editText2Vioce", 10000).found);
    testwait::PumpFor(800);
  }

  // Clicks a shown control of the main window.
  bool Click(const wchar_t* name) { return program.Click(kMainWindowClass, name); }
  void Key(UINT virtualKey) { program.Key(main, virtualKey); }

  // Clicks the editor's end and types.
  void TypeText(const wchar_t* text) {
    ASSERT_TRUE(Click(L"editText2Vioce"));
    Key(VK_END);
    program.TypeText(main, text);
    testwait::PumpFor(300);
  }

  // Moves the pointer where it is over nothing that reacts.
  void MoveAway() {
    program.HoverAt(main, POINT{5, 300});
    testwait::PumpFor(200);
  }

  std::vector<uint32_t> LooksOf(const wchar_t* name) {
    return ScreenPixels(program.Query(kMainWindowClass, name).ScreenRect());
  }

  // Waits for a message box, returns its text and closes it with OK.
  std::wstring AnswerMessageBox(DWORD timeoutMs, const wchar_t* shot = nullptr) {
    HWND box = testprograms::WaitForWindow(program.pid(), kMessageBoxClass, timeoutMs);
    if (box == nullptr) return std::wstring();
    testwait::PumpFor(300);
    const std::wstring text = MessageBoxTextOf(box);
    if (shot != nullptr) {
      RECT area;
      GetWindowRect(box, &area);
      testshots::SaveScreenAreaPng(shot, area);
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
    return text;
  }

  // Waits for the program's own message window (the result window or a
  // notice), saves it and closes it by its close button.
  bool CloseMessageWindow(DWORD timeoutMs, const wchar_t* shot) {
    HWND window = testprograms::WaitForWindow(program.pid(), kMessageWindowClass, timeoutMs);
    if (window == nullptr) return false;
    testwait::PumpFor(600);
    if (shot != nullptr) {
      RECT area;
      GetWindowRect(window, &area);
      testshots::SaveScreenAreaPng(shot, area);
    }
    if (!program.Click(kMessageWindowClass, L"closebtn")) return false;
    return WaitUntil([&] { return !IsWindow(window); }, 5000);
  }

  // Answers the open-file dialog with a path.
  bool AnswerFileDialog(const std::wstring& path) {
    HWND dialog = testprograms::WaitForWindow(program.pid(), kMessageBoxClass, 15000);
    if (dialog == nullptr) return false;
    testwait::PumpFor(500);
    HWND name = GetDlgItem(dialog, kFileNameCombo);
    if (name == nullptr) name = GetDlgItem(dialog, 0x480);  // the older dialog's edit (edt1)
    if (name == nullptr) return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
  }

  // Clicks a control of the hover menu that shows.
  bool ClickInMenu(const wchar_t* name) {
    HWND menu = testprograms::WaitForWindow(program.pid(), kMenuClass, 5000);
    if (menu == nullptr) return false;
    testwait::PumpFor(300);
    if (!program.Hover(kMenuClass, name)) return false;  // the pointer goes over to the item
    return program.Click(kMenuClass, name);
  }

  // Clicks a slider at a fraction of its width.
  void ClickSlider(const wchar_t* name, double fraction) {
    const testprograms::ProgramControl slider = program.Query(kMainWindowClass, name);
    const RECT& pos = slider.rect;
    program.ClickAt(slider.window,
                    POINT{pos.left + static_cast<LONG>((pos.right - pos.left) * fraction), (pos.top + pos.bottom) / 2});
    testwait::PumpFor(200);
  }

  Json::Value LastRequest(const char* path) {
    Json::Value log = instance.Requests();
    Json::Value last;
    for (const Json::Value& entry : log)
      if (entry["path"].asString() == path) last = entry;
    return last;
  }

  void Shot(const wchar_t* name) { EXPECT_TRUE(SaveWindowPng(name, main)) << Narrow(name); }

  standin::Instance instance;
  ProgramSettings settings;
  ScratchFolder output{L"tts_output"};
  ProgramDriver program;
  HWND main = nullptr;
};

// Three seconds of a tone as the background music, made by the build's ffmpeg.
std::wstring MakeMusic(const std::wstring& folder) {
  const std::wstring path = folder + L"\\music.mp3";
  std::string output;
  uint32_t exitCode = 1;
  RunFfmpeg(L"-y -f lavfi -i \"sine=frequency=330:duration=3\" -ar 16000 \"" + path + L"\"", exitCode, output);
  return exitCode == 0 ? path : std::wstring();
}

// How long the stand-in's speech of an SSML text is, asked directly with the
// voice settings of a logged request.
double SpeechSeconds(const standin::Instance& instance, const std::wstring& ssml, const Json::Value& form,
                     const std::wstring& folder) {
  ScopedProgramEndpoints endpoints;
  endpoints.Change([&instance](ServiceConfig& config) { config.speechBaseUrl = instance.urls().speechHttp; });
  ConvertJob job;
  job.text = ssml;
  job.codec = L"mp3";
  job.volume = std::stoi(form["volume"].asString());
  job.speed = std::stoi(form["speed"].asString());
  job.voiceType = std::stoi(form["voiceType"].asString());
  job.emotion = Utf8ToWide(form["emotion"].asString());
  job.tempFolder = folder + L"\\";
  job.resultName = L"reference.mp3";
  job.messageSink = [](const std::wstring&) {};
  if (!job.SynthesizeSpeech()) return -1;
  return GetMediaDurationMicros(job.tempFolder + job.resultName) / 1e6;
}

TEST_F(TextToSpeechProgramTest, ConvertsTypedTextWithMarksVoiceMusicAndLeadIntoTheChosenFolder) {
  StartProgram();
  ScratchFolder work(L"tts_music");
  const std::wstring music = MakeMusic(Folder(work));
  ASSERT_FALSE(music.empty()) << "ffmpeg made no music";

  // Text with a polyphone mark made by its button and a pause from the menu.
  TypeText(L"欢迎使用文字转语音，今天早点睡觉");
  ASSERT_TRUE(Click(L"btnPolyphone"));  // "[=]" at the caret
  TypeText(L"");                                  // back into the editor, at the end
  Key(VK_LEFT);
  program.TypeText(main, L"jiao4");
  Key(VK_END);
  program.TypeText(main, L"，");
  ASSERT_TRUE(program.Hover(kMainWindowClass, L"btnInterval"));  // the pause menu opens on hover
  ASSERT_TRUE(ClickInMenu(L"btnInterval3"));
  testwait::PumpFor(300);
  ASSERT_TRUE(Click(L"editText2Vioce"));
  Key(VK_END);
  program.TypeText(main, L"明天见。");
  Shot(L"tts-program-1-text.png");

  // The voice is the one the page shows: opening the page took the
  // catalogue's first voice (the picker behind "btnChangeAnchor" chooses others).
  ClickSlider(L"sliderVolume", 0.85);
  ClickSlider(L"sliderSpeed", 0.15);
  ASSERT_TRUE(Click(L"optWav"));
  ASSERT_TRUE(Click(L"optMp3"));

  ASSERT_TRUE(Click(L"btnChangeBgm"));
  ASSERT_TRUE(AnswerFileDialog(music)) << "the music dialog was not answered";
  EXPECT_TRUE(program.WaitForControl(kMainWindowClass, L"delBgmBtn", 5000).found) << "the music was not taken";
  ASSERT_TRUE(Click(L"btnTextPlus"));
  ASSERT_TRUE(Click(L"btnTextPlus"));
  MoveAway();
  Shot(L"tts-program-2-settings.png");

  ASSERT_TRUE(Click(L"btnConvertText2Voice"));
  ASSERT_TRUE(CloseMessageWindow(60000, L"tts-program-3-result.png")) << "no result window";
  EXPECT_EQ(testprograms::VisibleWindowOf(program.pid(), kMessageBoxClass), nullptr) << Narrow(AnswerMessageBox(100));

  const std::vector<std::wstring> files = testfiles::ListFiles(output.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(Narrow(files[0]), std::regex("20[0-9]{6}_[0-9]{13}\\.mp3"))) << Narrow(files[0]);

  const Json::Value request = LastRequest(kSynthesis);
  ASSERT_FALSE(request.isNull());
  EXPECT_EQ(instance.Count(kSynthesis), 1);
  const std::string ssml = request["text"].asString();
  EXPECT_EQ(ssml.rfind("<speak><break time=\"2s\"/>", 0), 0u) << ssml;
  EXPECT_NE(ssml.find("<phoneme alphabet=\"py\" ph=\"jiao4\">觉</phoneme>"), std::string::npos) << ssml;
  EXPECT_NE(ssml.find("<break time=\"1500ms\"/>明天见"), std::string::npos) << ssml;
  EXPECT_TRUE(request["sign_ok"].asBool());
  EXPECT_EQ(request["form"]["voiceType"].asString(), "100520000");  // 景行, the first voice
  EXPECT_EQ(request["form"]["codec"].asString(), "mp3");
  EXPECT_GT(std::stoi(request["form"]["volume"].asString()), 4);
  EXPECT_LT(std::stoi(request["form"]["speed"].asString()), 4);

  // As long as the speech with its two seconds of lead: the same SSML asked
  // without the lead speaks two seconds less.
  const double seconds = GetMediaDurationMicros(Folder(output) + L"\\" + files[0]) / 1e6;
  std::wstring withoutLead = Utf8ToWide(ssml);
  withoutLead.erase(7, wcslen(L"<break time=\"2s\"/>"));
  const double speech = SpeechSeconds(instance, withoutLead, request["form"], Folder(work));
  ASSERT_GT(speech, 1.0);
  EXPECT_NEAR(seconds, speech + 2.0, 0.6) << "result " << seconds << " s, speech alone " << speech << " s";
  Shot(L"tts-program-4-after.png");
}

TEST_F(TextToSpeechProgramTest, ListenTestRequestsOncePausesResumesAndPlaysAgainWithoutARequest) {
  StartProgram();
  TypeText(L"这是一段用来试听的文字，它足够长，可以在播放的时候暂停，然后继续播放，直到结束为止。");
  MoveAway();
  const std::vector<uint32_t> idle = LooksOf(L"btnPlayVoice");

  ASSERT_TRUE(Click(L"btnPlayVoice"));
  MoveAway();
  ASSERT_TRUE(WaitUntil([&] { return instance.Count(kSynthesis) == 1; }, 20000));
  // Playing: the button shows the pause picture and holds still (the busy animation moves).
  std::vector<uint32_t> playing;
  ASSERT_TRUE(WaitUntil([&] {
    const std::vector<uint32_t> now = LooksOf(L"btnPlayVoice");
    testwait::PumpFor(250);
    if (now == idle || now != LooksOf(L"btnPlayVoice")) return false;
    playing = now;
    return true;
  }, 30000)) << "the preview did not start playing";
  Shot(L"tts-program-listen-1-playing.png");

  ASSERT_TRUE(Click(L"btnPlayVoice"));  // pause
  MoveAway();
  EXPECT_TRUE(WaitUntil([&] { return LooksOf(L"btnPlayVoice") == idle; }, 5000)) << "not paused";
  Shot(L"tts-program-listen-2-paused.png");
  testwait::PumpFor(1500);
  EXPECT_EQ(LooksOf(L"btnPlayVoice"), idle);
  ASSERT_TRUE(Click(L"btnPlayVoice"));  // resume
  MoveAway();
  EXPECT_TRUE(WaitUntil([&] { return LooksOf(L"btnPlayVoice") == playing; }, 5000)) << "not resumed";
  Shot(L"tts-program-listen-3-resumed.png");

  // The end brings the listen picture back; a second listen of the same text
  // plays what was made without asking the service again.
  ASSERT_TRUE(WaitUntil([&] { return LooksOf(L"btnPlayVoice") == idle; }, 60000)) << "the preview did not end";
  ASSERT_TRUE(Click(L"btnPlayVoice"));
  MoveAway();
  EXPECT_TRUE(WaitUntil([&] { return LooksOf(L"btnPlayVoice") == playing; }, 10000)) << "did not play again";
  EXPECT_EQ(instance.Count(kSynthesis), 1);
  EXPECT_EQ(testprograms::VisibleWindowOf(program.pid(), kMessageBoxClass), nullptr);
  Shot(L"tts-program-listen-4-again.png");
}

// 175 characters: more than one request takes.
const wchar_t kLongText[] =
    L"今天天气很好，我们一起去公园散步。今天天气很好，我们一起去公园散步。今天天气很好，我们一起去公园散步。"
    L"今天天气很好，我们一起去公园散步。今天天气很好，我们一起去公园散步。今天天气很好，我们一起去公园散步。"
    L"今天天气很好，我们一起去公园散步。今天天气很好，我们一起去公园散步。今天天气很好，我们一起去公园散步。"
    L"今天天气很好，我们一起去公园散步。";

TEST_F(TextToSpeechProgramTest, LongTextGoesToTheTaskAndAFailedTaskAfterASuccessShowsTheFailure) {
  StartProgram();
  TypeText(kLongText);
  ASSERT_TRUE(Click(L"btnConvertText2Voice"));
  ASSERT_TRUE(CloseMessageWindow(90000, L"tts-program-long-1-result.png")) << "no result window";
  EXPECT_EQ(instance.Count(kSynthesis), 0) << "the long text went to the single request";
  EXPECT_GE(instance.Count(kTask), 2);
  std::vector<std::wstring> files = testfiles::ListFiles(output.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(Narrow(files[0]), std::regex("[0-9]{13}\\.mp3"))) << Narrow(files[0]);
  const Json::Value created = LastRequest(kTask);  // the last poll; the creation carried the text
  EXPECT_TRUE(created["form"].isMember("taskId")) << created.toStyledString();

  // The same text again, and the service fails the task this time.
  ASSERT_TRUE(instance.Script(kTask, R"({"match":"text=","task_status":[1,3]})")) << instance.error();
  MoveAway();
  ASSERT_TRUE(Click(L"btnConvertText2Voice"));
  EXPECT_EQ(AnswerMessageBox(30000, L"tts-program-long-2-failed.png"), L"转换失败请重试！");
  testwait::PumpFor(1500);
  EXPECT_EQ(testprograms::VisibleWindowOf(program.pid(), kMessageWindowClass), nullptr)
      << "a result window opened for a failed task";
  EXPECT_EQ(testfiles::ListFiles(output.path()).size(), 1u);
  Shot(L"tts-program-long-3-after-failure.png");
}

TEST_F(TextToSpeechProgramTest, ATaskThatNeverEndsFailsAfterTheTimeLimit) {
  settings.Set(L"config", L"ttsTaskTimeoutSeconds", L"6");
  StartProgram();
  ASSERT_TRUE(instance.Script(kTask, R"({"match":"text=","task_status":[1]})")) << instance.error();
  TypeText(kLongText);
  MoveAway();
  const std::vector<uint32_t> idle = LooksOf(L"btnConvertText2Voice");
  ASSERT_TRUE(Click(L"btnConvertText2Voice"));
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(AnswerMessageBox(40000, L"tts-program-timeout-1-message.png"), L"转换失败请重试！");
  const ULONGLONG elapsed = GetTickCount64() - start;
  EXPECT_GE(elapsed, 5000u);
  EXPECT_GE(instance.Count(kTask), 3);
  MoveAway();
  EXPECT_TRUE(WaitUntil([&] { return LooksOf(L"btnConvertText2Voice") == idle; }, 5000)) << "still busy";
  EXPECT_TRUE(testfiles::ListFiles(output.path()).empty());
  Shot(L"tts-program-timeout-2-after.png");
}

TEST_F(TextToSpeechProgramTest, ServerFaultsDuringAConversionShowAMessageAndALaterTrySucceeds) {
  StartProgram();
  TypeText(L"服务出错的时候，程序要说清楚。");
  const struct {
    const char* fault;
    const wchar_t* message;  // null: the conversion succeeds, only later
    const wchar_t* shot;
  } cases[] = {
      {R"({"http_status":500})", L"程序内部错误，请重试！", L"tts-program-fault-500.png"},
      {R"({"body":"<html>busy</html>"})", L"程序内部错误，请重试！", L"tts-program-fault-not-json.png"},
      {R"({"drop":true})", L"程序内部错误，请重试！", L"tts-program-fault-dropped.png"},
      {R"({"code":500})", L"转换失败，请联系客服或重试！", L"tts-program-fault-code.png"},
      {R"({"delay_ms":4000})", nullptr, L"tts-program-fault-slow.png"},
  };
  size_t expectedFiles = 0;
  for (const auto& c : cases) {
    ASSERT_TRUE(instance.Script(kSynthesis, c.fault)) << instance.error();
    MoveAway();
    ASSERT_TRUE(Click(L"btnConvertText2Voice"));
    if (c.message != nullptr) {
      EXPECT_EQ(AnswerMessageBox(30000, c.shot), c.message) << c.fault;
      testwait::PumpFor(500);
      EXPECT_EQ(testprograms::VisibleWindowOf(program.pid(), kMessageWindowClass), nullptr) << c.fault;
      EXPECT_EQ(testfiles::ListFiles(output.path()).size(), expectedFiles) << c.fault;
    } else {
      // While the slow reply is awaited the page answers (the listen button
      // says a conversion runs); then the result comes.
      testwait::PumpFor(1000);
      ASSERT_TRUE(Click(L"btnPlayVoice"));
      ASSERT_TRUE(CloseMessageWindow(10000, L"tts-program-fault-slow-busy.png")) << "no busy notice";
      ASSERT_TRUE(CloseMessageWindow(30000, c.shot)) << "no result after the slow reply";
      EXPECT_EQ(testfiles::ListFiles(output.path()).size(), ++expectedFiles);
    }
  }
  // Every fault is used up: the next try converts.
  MoveAway();
  ASSERT_TRUE(Click(L"btnConvertText2Voice"));
  ASSERT_TRUE(CloseMessageWindow(30000, L"tts-program-fault-later-success.png")) << "the later try failed";
  EXPECT_EQ(testfiles::ListFiles(output.path()).size(), expectedFiles + 1);
  Shot(L"tts-program-fault-after.png");
}

}  // namespace
