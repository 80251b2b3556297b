// The speech-to-text job end to end: the real ffmpeg.exe, the stand-in speech
// service and Pagemint.exe, driven as the page drives it.
#include "core/stt/Voice2TextJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>
#include <thread>

#include "core/base/TextConversion.h"
#include "core/base/portable/Base64.h"
#include "core/base/portable/JsonReply.h"
#include "core/transport/HttpClient.h"
#include "core/transport/portable/SpeechRequest.h"
#include "tests/core/stt/Voice2TextTesting.h"
#include "tests/pagemint/portable/DocumentReadback.h"
#include "tests/support/NonAsciiNames.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/Standin.h"

namespace {

constexpr char kUploadPath[] = "/colud/ars/upload.php";
constexpr char kTaskPath[] = "/colud/ars/voice2TextTask.php";

const wchar_t kInternalError[] = L"程序内部错误，请重试！";
const wchar_t kConvertFailed[] = L"转换失败，请联系客服或重试！";
const wchar_t kTaskFailed[] = L"转换失败请重试！";

// Scripts the text that the next recognition task delivers.
std::string ResultFault(const std::string& utf8Text, const std::string& statuses = "[2]") {
  Json::Value fault;
  fault["match"] = "url=";  // task creations only, not polls
  fault["result_text"] = utf8Text;
  Json::Value parsed;
  ParseJsonReply(statuses, parsed);
  fault["task_status"] = parsed;
  return Json::FastWriter().write(fault);
}

class Voice2TextJobTest : public testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(m_instance);
    m_endpoints.Change([this](ServiceConfig& config) {
      config.speechBaseUrl = m_instance.urls().speechHttps;
      config.caCertPem = m_instance.caPem();
    });
    m_temp = m_scratch.Subfolder(L"temp");
    m_out = m_scratch.Subfolder(L"out");
  }

  std::wstring Tone(const std::wstring& name, int seconds, int frequency = 440) {
    const std::wstring path = m_scratch.path() + name;
    EXPECT_TRUE(v2ttest::MakeTone(path, seconds, frequency));
    return path;
  }

  void Prepare(Voice2TextJob& job, const std::wstring& source, const std::wstring& outputName) {
    job.sourcePath = source;
    job.tempFolder = m_temp;
    job.outputFolder = m_out;
    job.outputPath = m_out + outputName;
  }

  // Runs each job on a worker thread of its own as the page does (cut,
  // upload, recognise, post the end state) and pumps the status posts until
  // all have ended.
  void Run(std::initializer_list<Voice2TextJob*> jobs) {
    HANDLE allDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<size_t> running{jobs.size()};
    std::vector<std::thread> workers;
    const HWND window = m_window.handle();
    for (Voice2TextJob* job : jobs) {
      workers.emplace_back([job, window, &running, allDone] {
        job->status = kV2tConverting;
        const bool ok =
            SplitAudioForRecognition(*job) && UploadAudioSegments(*job) && RecognizeAudioSegments(*job, window);
        job->status = ok ? kV2tDone : kV2tFailed;
        PostMessageW(window, WM_APP_V2T_STATUS, reinterpret_cast<WPARAM>(job), job->status);
        if (--running == 0) SetEvent(allDone);
      });
    }
    m_window.PumpUntil(allDone);
    for (std::thread& worker : workers) worker.join();
    CloseHandle(allDone);
  }

  std::string OutputText(const Voice2TextJob& job) {
    std::string bytes;
    EXPECT_TRUE(v2ttest::ReadFileBytes(job.outputPath, &bytes)) << WideToUtf8(job.outputPath);
    return bytes;
  }

  // The recognition task creations the service saw, oldest first.
  std::vector<Json::Value> Creations() {
    std::vector<Json::Value> found;
    for (const Json::Value& entry : m_instance.Requests()) {
      if (entry["path"].asString() == kTaskPath && entry["form"].isMember("url")) found.push_back(entry);
    }
    return found;
  }

  // Synthesises Chinese text with the stand-in's own voice into an MP3 file;
  // the stand-in then recognises that audio as this text.
  std::wstring Speech(const std::wstring& name, const std::string& utf8Text) {
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
    const std::wstring path = m_scratch.path() + name;
    EXPECT_TRUE(v2ttest::WriteFileBytes(path, Base64Decode(JsonText(root, "data"))));
    return path;
  }

  ScopedProgramEndpoints m_endpoints;
  standin::Instance m_instance;
  v2ttest::ScratchFolder m_scratch{L"v2t_job"};
  v2ttest::MessageRecorder m_messages;
  v2ttest::StatusWindow m_window;
  std::wstring m_temp;
  std::wstring m_out;
};

}  // namespace

// --- Main road ---

TEST_F(Voice2TextJobTest, FourMinutesGiveThreeSegmentsAndProgress16_30_60_90) {
  ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault("[spk1] first part, ", "[1, 2]")));  // polled twice
  ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault("[spk2] second part, ")));
  ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault("[spk1] third part.")));
  Voice2TextJob job;
  Prepare(job, Tone(L"four_minutes.wav", 240), L"four_minutes_20260305_1.txt");
  Run({&job});

  EXPECT_EQ(job.status, kV2tDone);
  EXPECT_EQ(job.segmentPaths.size(), 3u);
  EXPECT_EQ(m_instance.Count(kUploadPath), 3);
  EXPECT_EQ(m_window.ProgressOf(job), (std::vector<int>{16, 30, 60, 90}));
  EXPECT_EQ(OutputText(job), "first part, second part, third part.");
  EXPECT_TRUE(m_messages.messages().empty());
  // One task per URL, in segment order, each signed over its URL.
  const std::vector<Json::Value> creations = Creations();
  ASSERT_EQ(creations.size(), 3u);
  ASSERT_EQ(job.segmentUrls.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(creations[i]["form"]["url"].asString(), job.segmentUrls[i]);
    EXPECT_TRUE(creations[i]["sign_ok"].asBool());
    EXPECT_EQ(creations[i]["form"]["engineModelType"].asString(), "16k_zh");
    EXPECT_EQ(creations[i]["form"]["channelNum"].asString(), "1");
  }
  // The temporary files are spent once the service holds the audio.
  EXPECT_TRUE(v2ttest::ListFiles(m_temp).empty());
}

TEST_F(Voice2TextJobTest, EnglishSpeechIsRecognisedIntoTheTextFile) {
  std::string sentence;
  ASSERT_TRUE(v2ttest::ReadFileBytes(L"testdata\\english_speech.txt", &sentence))
      << "testdata made by the build (espeak-ng) is missing";
  wchar_t speech[MAX_PATH];
  ASSERT_NE(GetFullPathNameW(L"testdata\\english_speech.wav", MAX_PATH, speech, nullptr), 0u);
  Voice2TextJob job;
  Prepare(job, speech, L"english.txt");
  job.engineModelType = L"16k_en";
  Run({&job});

  ASSERT_EQ(job.status, kV2tDone);
  const std::string heard = OutputText(job);
  std::istringstream expectedWords(sentence);
  int words = 0, found = 0;
  for (std::string word; expectedWords >> word; ++words) {
    if ((" " + heard + " ").find(" " + word + " ") != std::string::npos) ++found;
  }
  EXPECT_GE(found * 10, words * 6) << "heard: " << heard;
  EXPECT_EQ(Creations().at(0)["form"]["engineModelType"].asString(), "16k_en");
}

// Word documents get the whole joined transcript, also when ".doc" stands in a
// folder name of a text output (which stays a text file).
TEST_F(Voice2TextJobTest, EachOutputFormatHoldsTheTranscript) {
  const std::string first = "\xE7\xAC\xAC\xE4\xB8\x80\xE6\xAE\xB5 \"quoted\" & <b>\n";  // 第一段
  const std::string second = "\xE7\xAC\xAC\xE4\xBA\x8C\xE6\xAE\xB5 caf\xC3\xA9";      // 第二段 café
  const std::wstring source = Tone(L"two_segments.wav", 130);
  CreateDirectoryW((m_out + L"notes.doc").c_str(), nullptr);
  struct Case {
    const wchar_t* outputName;
  } cases[] = {{L"talk.docx"}, {L"talk.doc"}, {L"talk.txt"}, {L"notes.doc\\talk.txt"}};
  for (const Case& c : cases) {
    ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault(first)));
    ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault(second)));
    Voice2TextJob job;
    Prepare(job, source, c.outputName);
    Run({&job});
    ASSERT_EQ(job.status, kV2tDone) << WideToUtf8(c.outputName);
    const std::string bytes = OutputText(job);
    const std::wstring name = c.outputName;
    if (name.size() > 5 && name.compare(name.size() - 5, 5, L".docx") == 0) {
      std::map<std::string, std::string> entries;
      std::string error;
      ASSERT_TRUE(readback::ReadZip(bytes, &entries, &error)) << error;
      EXPECT_EQ(readback::DocxText(entries["word/document.xml"]), first + second);
    } else if (name.compare(name.size() - 4, 4, L".doc") == 0) {
      EXPECT_EQ(readback::RtfText(bytes), first + second);
    } else {
      EXPECT_EQ(bytes, "\xE7\xAC\xAC\xE4\xB8\x80\xE6\xAE\xB5 \"quoted\" & <b>\r\n" + second);
    }
  }
  EXPECT_TRUE(m_messages.messages().empty());
  EXPECT_TRUE(v2ttest::ListFiles(m_temp).empty());  // the handover text file is gone too
}

// Sources "a\x" and "b\x" share a base name; each job must still recognise
// its own audio (the stand-in knows each recording's text).
TEST_F(Voice2TextJobTest, ThreeJobsAtOnceEachGetTheirOwnTranscript) {
  const std::string texts[] = {
      "\xE4\xBB\x8A\xE5\xA4\xA9\xE5\xA4\xA9\xE6\xB0\x94\xE5\xBE\x88\xE5\xA5\xBD",  // 今天天气很好
      "\xE6\x98\x8E\xE5\xA4\xA9\xE6\x88\x91\xE4\xBB\xAC\xE5\x8E\xBB\xE5\x85\xAC\xE5\x9B\xAD\xE6\x95\xA3"
      "\xE6\xAD\xA5\xE5\x90\xA7",                                                   // 明天我们去公园散步吧
      "\xE4\xBD\xA0\xE5\xA5\xBD",                                                   // 你好
  };
  m_scratch.Subfolder(L"a");
  m_scratch.Subfolder(L"b");
  Voice2TextJob jobs[3];
  Prepare(jobs[0], Speech(L"a\\x.mp3", texts[0]), L"x_1.txt");
  Prepare(jobs[1], Speech(L"b\\x.mp3", texts[1]), L"x_2.docx");
  Prepare(jobs[2], Speech(L"y.mp3", texts[2]), L"y_3.txt");
  Run({&jobs[0], &jobs[1], &jobs[2]});

  for (Voice2TextJob& job : jobs) EXPECT_EQ(job.status, kV2tDone);
  EXPECT_EQ(OutputText(jobs[0]), texts[0]);
  std::map<std::string, std::string> entries;
  std::string error;
  ASSERT_TRUE(readback::ReadZip(OutputText(jobs[1]), &entries, &error)) << error;
  EXPECT_EQ(readback::DocxText(entries["word/document.xml"]), texts[1]);
  EXPECT_EQ(OutputText(jobs[2]), texts[2]);
  EXPECT_TRUE(m_messages.messages().empty());
  for (Voice2TextJob& job : jobs) EXPECT_EQ(m_window.ProgressOf(job), (std::vector<int>{50, 90}));
}

// --- Faults ---

// Every upload failure fails the job before any task, without a message (the
// row shows the failure): no transcript may silently lack a segment.
TEST_F(Voice2TextJobTest, UploadFaultsFailTheJob) {
  const std::wstring oneSegment = Tone(L"one_segment.wav", 3);
  const std::wstring twoSegments = Tone(L"two_segments.wav", 130);
  struct Case {
    const char* name;
    std::vector<std::string> faults;  // for the first, second ... upload
    const std::wstring& source;
  } cases[] = {
      {"HTTP 500", {R"({"http_status":500})"}, oneSegment},
      {"not JSON", {R"({"body":"<html>busy</html>"})"}, oneSegment},
      {"code 500", {R"({"code":500})"}, oneSegment},
      {"no reply", {R"({"drop":true})"}, oneSegment},
      {"url mistyped", {R"({"members":{"data":{"url":7}}})"}, oneSegment},
      {"second segment not JSON", {R"({"delay_ms":0})", R"({"body":"oops"})"}, twoSegments},
      {"second segment missing data", {R"({"delay_ms":0})", R"({"remove":["data"]})"}, twoSegments},
  };
  for (const Case& c : cases) {
    for (const std::string& fault : c.faults) ASSERT_TRUE(m_instance.Script(kUploadPath, fault)) << c.name;
    const int tasksBefore = m_instance.Count(kTaskPath);
    Voice2TextJob job;
    Prepare(job, c.source, L"upload_fault.txt");
    Run({&job});
    EXPECT_EQ(job.status, kV2tFailed) << c.name;
    EXPECT_EQ(m_instance.Count(kTaskPath), tasksBefore) << c.name;
    EXPECT_FALSE(v2ttest::Exists(job.outputPath)) << c.name;
    EXPECT_TRUE(v2ttest::ListFiles(m_temp).empty()) << c.name;
  }
  EXPECT_TRUE(m_messages.messages().empty());
}

// Faults of the task requests: the right message, once; the job fails and no
// document is claimed. The audio is uploaded once and recognised per case.
TEST_F(Voice2TextJobTest, TaskFaultsShowTheirMessageAndFailTheJob) {
  Voice2TextJob uploaded;
  Prepare(uploaded, Tone(L"short.wav", 3), L"unused.txt");
  ASSERT_TRUE(SplitAudioForRecognition(uploaded));
  ASSERT_TRUE(UploadAudioSegments(uploaded));
  struct Case {
    const char* name;
    std::string fault;
    const wchar_t* message;
  } cases[] = {
      {"creation HTTP 500", R"({"match":"url=","http_status":500})", kInternalError},
      {"creation not JSON", R"({"match":"url=","body":"{\"code\":200,"})", kInternalError},
      {"creation code 401", R"({"match":"url=","code":401})", kConvertFailed},
      {"task id as text", R"({"match":"url=","members":{"data":"5000007919"}})", kInternalError},
      {"task id missing", R"({"match":"url=","remove":["data"]})", kInternalError},
      {"task status 3", R"({"match":"url=","task_status":[1,3]})", kTaskFailed},
      {"poll HTTP 500", R"({"match":"taskId=","http_status":500})", kInternalError},
      {"poll not JSON", R"({"match":"taskId=","body":"<html/>"})", kInternalError},
      {"poll code 500", R"({"match":"taskId=","code":500})", kConvertFailed},
      {"status as text", R"({"match":"taskId=","members":{"status":"2"}})", kInternalError},
      {"status missing", R"({"match":"taskId=","remove":["status"]})", kInternalError},
      {"text mistyped", R"({"match":"taskId=","members":{"status":2,"data":5}})", kInternalError},
  };
  int number = 0;
  for (const Case& c : cases) {
    for (const wchar_t* extension : {L".txt", L".docx"}) {
      ASSERT_TRUE(m_instance.Script(kTaskPath, c.fault)) << c.name;
      Voice2TextJob job;
      Prepare(job, uploaded.sourcePath, L"task_fault_" + std::to_wstring(++number) + extension);
      job.segmentUrls = uploaded.segmentUrls;
      const size_t messagesBefore = m_messages.messages().size();
      EXPECT_FALSE(RecognizeAudioSegments(job, m_window.handle())) << c.name;
      const std::vector<std::wstring> messages = m_messages.messages();
      ASSERT_EQ(messages.size(), messagesBefore + 1) << c.name;
      EXPECT_EQ(messages.back(), c.message) << c.name;
      EXPECT_FALSE(v2ttest::Exists(job.outputPath)) << c.name;
    }
  }
}

// A fault at the second of two segments: the document is never written.
TEST_F(Voice2TextJobTest, AFailureAtTheLastSegmentWritesNoDocument) {
  ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault("first")));
  ASSERT_TRUE(m_instance.Script(kTaskPath, R"({"match":"url=","task_status":[3]})"));
  Voice2TextJob job;
  Prepare(job, Tone(L"two_segments.wav", 130), L"partial.docx");
  Run({&job});
  EXPECT_EQ(job.status, kV2tFailed);
  EXPECT_FALSE(v2ttest::Exists(job.outputPath));
  EXPECT_EQ(m_messages.messages(), std::vector<std::wstring>{kTaskFailed});
  EXPECT_EQ(m_window.ProgressOf(job), (std::vector<int>{25, 45}));
}

// The form carries the URL percent-encoded and signed as it is, so "&", "+"
// and "=" in a URL the service hands out reach it unchanged.
TEST_F(Voice2TextJobTest, UrlsWithFormCharactersArriveIntact) {
  const std::string url = m_instance.urls().speechHttps + "/colud/ars/files/1.mp3?a=1&b=2+3%20";
  ASSERT_TRUE(m_instance.Script(kUploadPath, R"({"members":{"data":{"url":")" + url + R"("}}})"));
  ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault("delivered")));
  Voice2TextJob job;
  Prepare(job, Tone(L"short.wav", 3), L"url.txt");
  Run({&job});
  EXPECT_EQ(job.status, kV2tDone);
  EXPECT_EQ(OutputText(job), "delivered");
  const Json::Value creation = Creations().at(0);
  EXPECT_EQ(creation["form"]["url"].asString(), url);
  EXPECT_TRUE(creation["sign_ok"].asBool());
}

TEST_F(Voice2TextJobTest, AJobToldToStopStopsPolling) {
  ASSERT_TRUE(m_instance.Script(kTaskPath, R"({"match":"url=","task_status":[1]})"));  // running for ever
  Voice2TextJob job;
  Prepare(job, Tone(L"short.wav", 3), L"stopped.txt");
  ASSERT_TRUE(SplitAudioForRecognition(job));
  ASSERT_TRUE(UploadAudioSegments(job));
  StopToken stop;
  job.stop = &stop;
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  bool result = true;
  std::thread worker([&] {
    result = RecognizeAudioSegments(job, nullptr);
    SetEvent(finished);
  });
  while (m_instance.Count(kTaskPath) < 3) Sleep(50);  // the creation and two polls
  stop.RequestStop();
  EXPECT_EQ(WaitForSingleObject(finished, 10000), WAIT_OBJECT_0);
  worker.join();
  CloseHandle(finished);
  EXPECT_FALSE(result);
  EXPECT_TRUE(m_messages.messages().empty());
  EXPECT_FALSE(v2ttest::Exists(job.outputPath));
}

// The upload opens segment files by ANSI names: a temporary folder that the
// ANSI code page cannot name (a user name in Korean letters) goes by its short
// form.
TEST_F(Voice2TextJobTest, ChineseFoldersWorkForUpload) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  const std::wstring folder = m_scratch.Subfolder(L"\u5F55\u97F3");  // 录音
  const wchar_t* temps[] = {L"\u4E34\u65F6", L"\uD55C\uAE00"};     // 临时, 한글
  int number = 0;
  for (const wchar_t* temp : temps) {
    ASSERT_TRUE(m_instance.Script(kTaskPath, ResultFault("\xE5\xA5\xBD")));
    Voice2TextJob job;
    Prepare(job, folder + L"\u4F1A\u8BAE.wav", L"\u4F1A\u8BAE" + std::to_wstring(++number) + L".txt");  // 会议
    job.tempFolder = m_scratch.Subfolder(temp);
    ASSERT_TRUE(v2ttest::MakeTone(job.sourcePath, 3));
    Run({&job});
    EXPECT_EQ(job.status, kV2tDone) << WideToUtf8(temp);
    EXPECT_EQ(OutputText(job), "\xE5\xA5\xBD");
    EXPECT_EQ(m_instance.Count(kUploadPath), number);
  }
}
