// Test cases run alone: they drive the program's main window with posted mouse input and drops on the one test desktop.
// The speech-to-text page end to end: the program (its test variant,
// QuilloraTestHooks.exe, which takes a stand-in instance's addresses from
// the environment and answers control queries by skin name) with the real
// ffmpeg.exe and Pagemint.exe beside it, driven only through its main window:
// dropped files, the format option, the start buttons, and the rows' states.
// The stand-in recognises the speech it synthesised itself, so each
// transcript can be checked word for word.
#include "core/base/TextConversion.h"
#include "core/base/portable/Base64.h"
#include "core/base/portable/JsonReply.h"
#include "core/media/ProcessRunner.h"
#include "core/transport/HttpClient.h"
#include "core/transport/portable/SpeechRequest.h"
#include "tests/pagemint/portable/DocumentReadback.h"
#include "app/ProductInfo.h"
#include "tests/support/ProgramDriver.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using testprograms::ProgramDriver;
using testshots::SaveWindowPng;

namespace {

constexpr char kUploadPath[] = "/colud/ars/upload.php";
constexpr char kTaskPath[] = "/colud/ars/voice2TextTask.php";
constexpr DWORD kRowTimeoutMs = 240000;

// One audio source of a test: its file and the text the stand-in hears in it.
struct Source {
  std::wstring path;
  std::string text;  // UTF-8
};

class SpeechToTextProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(m_instance);
    ASSERT_TRUE(InitializeHttpTransport());
    m_endpoints.Change([this](ServiceConfig& config) {
      config.speechBaseUrl = m_instance.urls().speechHttps;
      config.caCertPem = m_instance.caPem();
    });
  }

  // Speech of a Chinese text in the stand-in's own voice, as MP3 under `name`;
  // another extension converts it with ffmpeg.exe.
  Source Speech(const std::wstring& name, const std::string& utf8Text) {
    SynthesisSettings settings;
    settings.volume = 4;
    settings.speed = 4;
    settings.voiceType = 100510000;
    settings.ansiEmotion = "neutral";
    settings.ansiCodec = "mp3";
    std::string form;
    EXPECT_TRUE(BuildSynthesisForm(Utf8ToAnsi("<speak>" + utf8Text + "</speak>"), settings, form));
    HttpResponseBuffer reply;
    EXPECT_TRUE(HttpClient().Post(GetClientState().endpoints().speechBaseUrl + "/colud/tts/text2voice.php", form, reply));
    Json::Value root;
    EXPECT_EQ(ReadSpeechReply(true, reply.view(), root), SpeechReplyState::Ok) << reply.view();
    const std::wstring mp3 = m_scratch / (name + L".synth.mp3");
    EXPECT_TRUE(testfiles::WriteFileBytes(mp3, Base64Decode(JsonText(root, "data"))));
    const std::wstring path = m_scratch / name;
    std::string output;
    uint32_t exitCode = 1;
    RunFfmpeg(L"-hide_banner -y -i \"" + mp3 + L"\" \"" + path + L"\"", exitCode, output);
    EXPECT_EQ(exitCode, 0u) << output;
    DeleteFileW(mp3.c_str());
    return Source{path, utf8Text};
  }

  // Starts the program against this test's stand-in instance and opens the
  // speech-to-text page.
  void StartProgram() {
    ASSERT_TRUE(m_program.Start(&m_instance));
    m_window = m_program.WaitForWindow(kMainWindowClass, 30000);
    ASSERT_NE(m_window, nullptr) << "the main window did not appear";
    ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return m_program.Shows(kMainWindowClass, L"btnShowVoice2Text"); }, 20000));
    ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnShowVoice2Text"));
    ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return m_program.Shows(kMainWindowClass, L"btnAddVoiceMid"); }, 10000));
  }

  // Drops the files on the page (WM_DROPFILES as a drop from Explorer brings
  // it) and waits for their rows.
  void DropFiles(const std::vector<Source>& sources) {
    std::vector<std::wstring> paths;
    for (const Source& source : sources) paths.push_back(source.path);
    ASSERT_TRUE(m_program.DropFiles(kMainWindowClass, paths));
    ASSERT_TRUE(ProgramDriver::WaitUntil(
        [&] { return m_program.Query(kMainWindowClass, L"btnMoveFile", static_cast<int>(sources.size()) - 1).found; }, 20000))
        << "the dropped files made no rows";
    ProgramDriver::Settle(m_window);
    EXPECT_FALSE(m_program.Query(kMainWindowClass, L"btnMoveFile", static_cast<int>(sources.size())).found) << "more rows than files";
  }

  bool RowShows(const wchar_t* part, int row) { return m_program.Shows(kMainWindowClass, part, row); }
  bool WaitForRow(const wchar_t* part, int row) {
    return ProgramDriver::WaitUntil([&] { return RowShows(part, row); }, kRowTimeoutMs);
  }
  void Shot(const wchar_t* name) {
    ProgramDriver::Settle(m_window);
    Sleep(300);  // the row's repaint
    EXPECT_TRUE(SaveWindowPng(name, m_window)) << name;
  }

  // The transcripts beside a source: "<base>_<date>_<ms>.<extension>".
  std::vector<std::wstring> TranscriptsOf(const Source& source, const wchar_t* extension) const {
    const std::wstring folder = source.path.substr(0, source.path.find_last_of(L'\\') + 1);
    const std::wstring name = source.path.substr(folder.size());
    const std::wstring base = name.substr(0, name.find_last_of(L'.'));
    std::vector<std::wstring> found;
    for (const std::wstring& file : testfiles::ListFiles(folder)) {
      const std::wstring fileName = file.substr(file.find_last_of(L'\\') + 1);
      if (fileName.rfind(base + L"_", 0) == 0 && fileName.size() > base.size() + 20 &&
          fileName.compare(fileName.size() - wcslen(extension), wcslen(extension), extension) == 0) {
        found.push_back(folder + fileName);
      }
    }
    return found;
  }

  // The highest number of recognitions the stand-in saw at once: each file
  // starts with its upload and ends with the last poll of its task (every
  // file here is one segment).
  int MostAtOnce() const {
    std::vector<std::pair<int, int>> events;  // (seq, +1 start / -1 end)
    std::map<std::string, int> lastPoll;
    for (const Json::Value& entry : m_instance.Requests()) {
      const std::string path = entry["path"].asString();
      const int seq = entry["seq"].asInt();
      if (path == kUploadPath) events.emplace_back(seq, +1);
      if (path == kTaskPath && entry["form"].isMember("taskId")) lastPoll[entry["form"]["taskId"].asString()] = seq;
    }
    for (const auto& poll : lastPoll) events.emplace_back(poll.second, -1);
    std::sort(events.begin(), events.end());
    int now = 0, most = 0;
    for (const auto& event : events) most = std::max(most, now += event.second);
    return most;
  }

  ScopedProgramEndpoints m_endpoints;
  standin::Instance m_instance;
  ScratchFolder m_scratch{L"stt_program"};
  ProgramDriver m_program;
  HWND m_window = nullptr;
};

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  testfiles::ReadFileBytes(path, &bytes);
  return bytes;
}

}  // namespace

// Seven dropped files (mp3, wav, m4a) as .docx, started all at once: all
// finish, the service never sees more than three at work, and each
// transcript lies beside its source holding what was said.
TEST_F(SpeechToTextProgramTest, SevenDroppedFilesBecomeWordDocumentsThreeAtATime) {
  const std::vector<Source> sources = {
      Speech(L"今天的会议.mp3", "\xE4\xBB\x8A\xE5\xA4\xA9\xE5\xA4\xA9\xE6\xB0\x94\xE5\xBE\x88\xE5\xA5\xBD"),
      Speech(L"walk.wav", "\xE6\x98\x8E\xE5\xA4\xA9\xE6\x88\x91\xE4\xBB\xAC\xE5\x8E\xBB\xE5\x85\xAC\xE5\x9B\xAD"),
      Speech(L"note three.m4a", "\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C"),
      Speech(L"four.mp3", "\xE6\x98\xA5\xE5\xA4\xA9\xE6\x9D\xA5\xE4\xBA\x86"),
      Speech(L"five.wav", "\xE8\xB0\xA2\xE8\xB0\xA2\xE5\xA4\xA7\xE5\xAE\xB6"),
      Speech(L"six.m4a", "\xE6\x88\x91\xE4\xBB\xAC\xE5\xBC\x80\xE5\xA7\x8B\xE5\x90\xA7"),
      Speech(L"seven.mp3", "\xE6\x99\x9A\xE5\xAE\x89"),
  };
  ASSERT_FALSE(HasFailure());
  StartProgram();
  ASSERT_FALSE(HasFailure());
  DropFiles(sources);
  ASSERT_FALSE(HasFailure());
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(RowShows(L"voiceStart", i)) << i;
  Shot(L"stt-program-rows-waiting.png");

  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"optDocx"));
  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnVoice2Text"));
  ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return m_instance.Count(kUploadPath) >= 3; }, 60000));
  Shot(L"stt-program-rows-running.png");

  for (int i = 0; i < 7; ++i) ASSERT_TRUE(WaitForRow(L"voiceEndSucces", i)) << "row " << i << " did not finish";
  Shot(L"stt-program-rows-done.png");
  EXPECT_TRUE(ProgramDriver::WaitUntil([&] { return m_program.Shows(kMainWindowClass, L"btnVoice2Text"); }, 10000));
  EXPECT_FALSE(m_program.Shows(kMainWindowClass, L"gifVoice2Text"));

  EXPECT_EQ(m_instance.Count(kUploadPath), 7);
  EXPECT_EQ(MostAtOnce(), 3);
  for (const Source& source : sources) {
    const std::vector<std::wstring> transcripts = TranscriptsOf(source, L".docx");
    ASSERT_EQ(transcripts.size(), 1u) << WideToUtf8(source.path);
    std::map<std::string, std::string> entries;
    std::string error;
    ASSERT_TRUE(readback::ReadZip(ReadBytes(transcripts[0]), &entries, &error)) << error;
    EXPECT_EQ(readback::DocxText(entries["word/document.xml"]), source.text) << WideToUtf8(transcripts[0]);
  }
}

// Server faults during a recognition fail only that row, with a message
// where the service's answer was unreadable; the window stays usable, no
// transcript is offered that is not there, and a later try succeeds.
TEST_F(SpeechToTextProgramTest, ServerFaultsFailTheRowAndALaterTrySucceeds) {
  const std::vector<Source> sources = {
      Speech(L"fault500.mp3", "\xE7\xAC\xAC\xE4\xB8\x80\xE4\xB8\xAA"),
      Speech(L"notjson.wav", "\xE7\xAC\xAC\xE4\xBA\x8C\xE4\xB8\xAA"),
      Speech(L"slow.m4a", "\xE7\xAC\xAC\xE4\xB8\x89\xE4\xB8\xAA"),
      Speech(L"dropped.mp3", "\xE7\xAC\xAC\xE5\x9B\x9B\xE4\xB8\xAA"),
  };
  ASSERT_FALSE(HasFailure());
  StartProgram();
  ASSERT_FALSE(HasFailure());
  DropFiles(sources);
  ASSERT_FALSE(HasFailure());

  // Status 500 on the upload.
  ASSERT_TRUE(m_instance.Script(kUploadPath, R"({"http_status":500})"));
  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnSingleVocie2Text", 0));
  ASSERT_TRUE(WaitForRow(L"voiceEndError", 0));
  Shot(L"stt-program-row-failed-500.png");

  // A task reply that is not JSON: the program says so in its own window.
  ASSERT_TRUE(m_instance.Script(kTaskPath, R"({"match":"url=","body":"<html>busy</html>"})"));
  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnSingleVocie2Text", 1));
  ASSERT_TRUE(WaitForRow(L"voiceEndError", 1));
  EXPECT_TRUE(ProgramDriver::WaitUntil([&] { return !testprograms::WindowsOf(m_program.pid(), L"MessageWnd").empty(); }, 10000))
      << "no message for the unreadable reply";
  std::vector<HWND> notices = testprograms::WindowsOf(m_program.pid(), L"MessageWnd");
  if (!notices.empty()) {
    Sleep(500);
    EXPECT_TRUE(SaveWindowPng(L"stt-program-not-json-message.png", notices.front()));
    PostMessageW(notices.front(), WM_CLOSE, 0, 0);
  }

  // A slow poll: the row keeps converting, the window answers meanwhile, and
  // the transcript comes.
  ASSERT_TRUE(m_instance.Script(kTaskPath, R"({"match":"taskId=","delay_ms":6000})"));
  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnSingleVocie2Text", 2));
  ASSERT_TRUE(ProgramDriver::WaitUntil([&] { return RowShows(L"voiceIng", 2); }, 10000));
  Sleep(3000);  // cut, uploaded and created by now; the first poll waits for its reply
  DWORD_PTR ignored = 0;
  const ULONGLONG asked = GetTickCount64();
  EXPECT_NE(SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored), 0);
  EXPECT_LT(GetTickCount64() - asked, 2000u);
  EXPECT_TRUE(RowShows(L"voiceIng", 2));
  Shot(L"stt-program-row-slow-reply.png");
  ASSERT_TRUE(WaitForRow(L"voiceEndSucces", 2));

  // A dropped connection during the upload.
  ASSERT_TRUE(m_instance.Script(kUploadPath, R"({"drop":true})"));
  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnSingleVocie2Text", 3));
  ASSERT_TRUE(WaitForRow(L"voiceEndError", 3));
  Shot(L"stt-program-rows-failed.png");

  // Failed rows offer no transcript, and none was left behind.
  for (int row : {0, 1, 3}) {
    EXPECT_FALSE(RowShows(L"voiceEndSucces", row)) << row;
    EXPECT_TRUE(RowShows(L"voiceStart", row)) << row;
    EXPECT_TRUE(TranscriptsOf(sources[static_cast<size_t>(row)], L".txt").empty()) << row;
  }

  // The later try: "start all" runs the failed rows again.
  ASSERT_TRUE(m_program.Click(kMainWindowClass, L"btnVoice2Text"));
  for (int row : {0, 1, 3}) ASSERT_TRUE(WaitForRow(L"voiceEndSucces", row)) << row;
  Shot(L"stt-program-rows-retried.png");
  for (const Source& source : sources) {
    const std::vector<std::wstring> transcripts = TranscriptsOf(source, L".txt");
    ASSERT_EQ(transcripts.size(), 1u) << WideToUtf8(source.path);
    EXPECT_EQ(ReadBytes(transcripts[0]), source.text) << WideToUtf8(transcripts[0]);
  }
}
