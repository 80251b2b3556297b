#include "core/tts/ConvertJob.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/base/UserMessage.h"
#include "core/base/portable/Base64.h"
#include "core/media/MediaTools.h"
#include "core/media/ProcessRunner.h"
#include "core/transport/HttpClient.h"
#include "core/tts/portable/SsmlBuilder.h"
#include "tests/support/LocalPipeProbe.h"
#include "tests/support/NonAsciiNames.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"
#include "tests/support/UserMessageRecorder.h"

namespace {


// Length of a result in microseconds; raw PCM has no header to read it from.
int64_t DurationMicros(const std::wstring& path, const std::wstring& codec) {
  if (codec != L"pcm") return GetMediaDurationMicros(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<int64_t>(data.nFileSizeLow) * 1000000 / 32000;
}

// Whether ffmpeg decodes the whole file without an error.
bool Decodes(const std::wstring& path, const std::wstring& codec) {
  std::string output;
  uint32_t exitCode = 1;
  const std::wstring format = codec == L"pcm" ? L"-f s16le -ar 16000 -ac 1 " : L"";
  RunFfmpeg(L"-hide_banner -v error -xerror " + format + L"-i \"" + path + L"\" -f null -", exitCode, output);
  return exitCode == 0 && output.empty();
}

class ConvertJobTest : public testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(instance);
    ASSERT_TRUE(InitializeHttpTransport());
    endpoints.Change([this](ServiceConfig& config) {
      config.speechBaseUrl = instance.urls().speechHttps;
      config.caCertPem = instance.caPem();
    });

    job.tempFolder = scratch.Subfolder(L"tts_temp");
    job.outputFolder = scratch.Subfolder(L"tts_out");
    job.outputFolder.pop_back();  // the output folder has no trailing separator
    job.bgmWorkName = L"8653098e927d70120c140047a120439aBgm.mp3";
    job.codec = L"mp3";
    job.emotion = L"neutral";
    job.volume = 4;
    job.speed = 4;
    job.voiceType = 100510000;
    job.resultName = L"result1.mp3";
    SetText(L"你好，世界");
  }

  void SetText(const std::wstring& editorText, int lead = 0, int tail = 0) {
    ASSERT_TRUE(BuildSsml(editorText, kSsmlConversion, lead, tail, job.text));
  }

  // A two-second tone as the background music, shorter than the speech so it must loop.
  void ChooseMusic(const std::wstring& name = L"music.mp3") {
    job.bgmSourcePath = job.tempFolder + name;
    std::string output;
    uint32_t exitCode = 1;
    RunFfmpeg(L"-hide_banner -y -f lavfi -i sine=frequency=330:duration=2 \"" + job.bgmSourcePath + L"\"", exitCode,
              output);
    ASSERT_EQ(exitCode, 0u) << output;
  }

  // Synthesises in one format and checks the result against the speech the service sent.
  void ExpectResultAsLongAsTheSpeech(const wchar_t* codec, const std::wstring& stem, int64_t shortestSpeech) {
    job.codec = codec;
    job.resultName = stem + L"." + codec;
    ASSERT_TRUE(job.SynthesizeSpeech()) << codec;
    EXPECT_TRUE(Decodes(ResultPath(), job.codec)) << codec;
    const int64_t speech = DurationMicros(CachePath(), job.codec);
    EXPECT_GT(speech, shortestSpeech) << codec;
    EXPECT_NEAR(static_cast<double>(DurationMicros(ResultPath(), job.codec)), static_cast<double>(speech), 50000)
        << codec;
  }

  std::wstring ResultPath() const { return job.tempFolder + job.resultName; }
  std::wstring CachePath() const { return job.tempFolder + job.lastResultPath + L"." + job.codec; }

  // Polls as the long-text thread does, without its two-second pause.
  bool PollToTheEnd(int* polls = nullptr) {
    for (int i = 1; i <= 50; ++i) {
      if (job.PollSynthesisTask()) {
        if (polls != nullptr) *polls = i;
        return true;
      }
      Sleep(100);
    }
    return false;
  }

  ScopedProgramEndpoints endpoints;
  standin::Instance instance;
  ScratchFolder scratch;
  UserMessageRecorder shown;
  ConvertJob job;
};

}  // namespace

// --- The request ---

TEST_F(ConvertJobTest, SendsTheSignedFormOfTheAnsiText) {
  struct Case {
    std::wstring ssml;
    std::string escaped;
    std::string sign;
  } cases[] = {
      {L"<speak>hello</speak>", "PHNwZWFrPmhlbGxvPC9zcGVhaz4%3D", "561bb0ae79cc910527cba623d76e5a04"},
      {L"<speak>你好，世界</speak>", "PHNwZWFrPsTjusOjrMrAvec8L3NwZWFrPg%3D%3D", "12e3b6897499f35e4697f2083704a94f"},
  };
  for (const Case& c : cases) {
    job.text = c.ssml;
    job.resultValid = false;
    ASSERT_TRUE(job.SynthesizeSpeech());
    const Json::Value last = instance.Requests()[instance.Requests().size() - 1];
    EXPECT_EQ(last["path"].asString(), kSynthesisPath);
    EXPECT_EQ(last["body"].asString(), "text=" + c.escaped +
                                           "&volume=4&speed=4&voiceType=100510000&emotion=neutral&codec=mp3&sign=" +
                                           c.sign);
    EXPECT_TRUE(last["sign_ok"].asBool());
  }
  EXPECT_TRUE(shown.messages().empty());
}

TEST_F(ConvertJobTest, AnIdenticalSecondRequestComesFromTheCacheAndStillMakesItsFile) {
  ASSERT_TRUE(job.SynthesizeSpeech());
  EXPECT_EQ(job.lastResultPath.size(), 32u);
  EXPECT_TRUE(job.resultValid);
  EXPECT_TRUE(ScratchFolder::Exists(CachePath()));
  ASSERT_EQ(instance.Count(kSynthesisPath), 1);

  job.resultName = L"result2.mp3";
  ASSERT_TRUE(job.SynthesizeSpeech());
  EXPECT_EQ(instance.Count(kSynthesisPath), 1);
  EXPECT_TRUE(Decodes(ResultPath(), job.codec));

  // Any change of the form, or a cleared flag, asks the service again.
  job.speed = 5;
  ASSERT_TRUE(job.SynthesizeSpeech());
  EXPECT_EQ(instance.Count(kSynthesisPath), 2);
  job.resultValid = false;
  ASSERT_TRUE(job.SynthesizeSpeech());
  EXPECT_EQ(instance.Count(kSynthesisPath), 3);
}

TEST_F(ConvertJobTest, RefusesATextWhoseFormDoesNotFit) {
  // The editor's 5000 characters with a comma in every ten: the markup fits,
  // but each comma opens a piece and the request outgrows its form.
  std::wstring editorText;
  for (int i = 0; i < 500; ++i) editorText += L"字字字字字字字字字,";
  SetText(editorText);
  EXPECT_FALSE(job.SynthesizeSpeech());
  EXPECT_FALSE(job.SubmitSynthesisTask());
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>(2, kMessageTextTooLong));
  EXPECT_EQ(instance.Count(kSynthesisPath) + instance.Count(kSynthesisTaskPath), 0);
}

// --- End to end, each format ---

TEST_F(ConvertJobTest, SingleRequestResamplesEachFormat) {
  for (const wchar_t* codec : {L"mp3", L"wav", L"pcm"}) ExpectResultAsLongAsTheSpeech(codec, L"plain", 500000);
  EXPECT_TRUE(shown.messages().empty());
}

// The mix lasts exactly as long as the speech with its lead and tail pauses.
TEST_F(ConvertJobTest, SingleRequestMixesTheMusicWithoutCuttingTheSpeech) {
  ChooseMusic();
  job.bgmVolumeDb = -6;
  SetText(L"今天天气很好，我们一起去公园散步吧", 1, 2);
  // The pauses alone last three seconds.
  for (const wchar_t* codec : {L"mp3", L"wav", L"pcm"}) ExpectResultAsLongAsTheSpeech(codec, L"mixed", 3000000);
  EXPECT_TRUE(ScratchFolder::Exists(job.tempFolder + job.bgmWorkName));
  EXPECT_TRUE(shown.messages().empty());
}

// Users' temporary folders and music files often have Chinese names.
TEST_F(ConvertJobTest, WorksWithChineseFolderAndMusicNames) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  job.tempFolder = scratch.Subfolder(L"语音临时");
  job.outputFolder = scratch.Subfolder(L"输出文件夹");
  job.outputFolder.pop_back();
  ChooseMusic(L"背景音乐.mp3");
  SetText(L"今天天气很好，我们一起去公园散步吧", 1, 1);
  ExpectResultAsLongAsTheSpeech(L"mp3", L"结果", 2000000);

  SetText(std::wstring(160, L'好'));
  ASSERT_TRUE(job.SubmitSynthesisTask());
  ASSERT_TRUE(PollToTheEnd());
  EXPECT_TRUE(job.taskDone);
  EXPECT_TRUE(Decodes(job.outputPath, job.codec));
  EXPECT_TRUE(shown.messages().empty());
}

TEST_F(ConvertJobTest, TaskPathDeliversEachFormatWithAndWithoutMusic) {
  SetText(std::wstring(160, L'好'), 1, 1);
  for (bool music : {false, true}) {
    if (music) ChooseMusic();
    for (const wchar_t* codec : {L"mp3", L"wav", L"pcm"}) {
      job.codec = codec;
      job.taskId.clear();
      job.taskDone = false;
      ASSERT_TRUE(job.SubmitSynthesisTask()) << codec;
      EXPECT_FALSE(job.taskId.empty());
      int polls = 0;
      ASSERT_TRUE(PollToTheEnd(&polls)) << codec;
      EXPECT_EQ(polls, 3) << codec;  // the stand-in reports "running" twice
      ASSERT_TRUE(job.taskDone) << codec;
      EXPECT_EQ(job.outputPath.rfind(job.outputFolder + L"\\", 0), 0u);
      EXPECT_TRUE(Decodes(job.outputPath, job.codec)) << codec << music;
      const int64_t length = DurationMicros(job.outputPath, job.codec);
      EXPECT_GT(length, 2000000) << codec;
      if (music) {
        // The download lies in the temp folder under the result's own name.
        const std::wstring name = job.outputPath.substr(job.outputFolder.size() + 1);
        EXPECT_NEAR(static_cast<double>(length), static_cast<double>(DurationMicros(job.tempFolder + L"\\" + name, job.codec)),
                    50000)
            << codec;
      }
    }
  }
  EXPECT_TRUE(shown.messages().empty());

  // A task already delivered is not created again.
  const int created = instance.Count(kSynthesisTaskPath);
  EXPECT_TRUE(job.SubmitSynthesisTask());
  EXPECT_EQ(instance.Count(kSynthesisTaskPath), created);
}

// --- Failures ---

TEST_F(ConvertJobTest, BadSynthesisRepliesShowTheirMessageAndClaimNoFile) {
  GetHttpTimeouts().lowSpeedSeconds = 2;
  struct Case {
    const char* fault;
    const wchar_t* message;
  } cases[] = {
      {R"({"http_status":500})", kMessageInternalError},
      {R"({"body":"<html>busy</html>"})", kMessageInternalError},
      {R"({"body":"[200]"})", kMessageInternalError},
      {R"({"drop":true})", kMessageInternalError},
      {R"({"delay_ms":20000})", kMessageInternalError},  // a dead server: the low-speed limit ends it
      {R"({"code":401})", kMessageConvertFailed},
      {R"({"remove":["code"]})", kMessageInternalError},
      {R"({"members":{"code":"200"}})", kMessageInternalError},
      {R"({"remove":["data"]})", kMessageInternalError},
      {R"({"members":{"data":5}})", kMessageInternalError},
      {R"({"members":{"data":"****"}})", kMessageInternalError},
      {R"({"members":{"RequestId":{"id":1}}})", kMessageInternalError},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(instance.Script(kSynthesisPath, c.fault)) << instance.error();
    shown.clear();
    job.resultValid = false;
    EXPECT_FALSE(job.SynthesizeSpeech()) << c.fault;
    EXPECT_EQ(shown.messages(), std::vector<std::wstring>{c.message}) << c.fault;
    EXPECT_FALSE(ScratchFolder::Exists(ResultPath())) << c.fault;
    EXPECT_FALSE(job.resultValid) << c.fault;
  }
  GetHttpTimeouts() = HttpTimeouts();
}

// An ffmpeg pass that outlasts its bound, or runs when the job is asked to
// stop, is ended: the job fails with its message instead of waiting for it,
// and a result it did not finish is never reported.
TEST_F(ConvertJobTest, APassEndedByItsBoundOrTheStopFlagFailsTheJob) {
  ChooseMusic();
  ASSERT_TRUE(job.SynthesizeSpeech());  // the speech is cached: only the passes run below
  const std::wstring madeBefore = job.lastResultPath;
  struct Case {
    const char* name;
    bool bounded;  // else stopped
  } cases[] = {{"no time for the passes", true}, {"asked to stop", false}};
  for (const Case& c : cases) {
    StopToken stop;
    if (!c.bounded) stop.RequestStop();
    job.SetStopToken(&stop);
    if (c.bounded) GetChildTimeLimits() = ChildTimeLimits{0, 0, 0, 0};
    shown.clear();
    job.resultName = std::wstring(L"ended_") + (c.bounded ? L"bound" : L"stop") + L".mp3";
    EXPECT_FALSE(job.SynthesizeSpeech()) << c.name;
    EXPECT_EQ(shown.messages(), std::vector<std::wstring>{kMessageInternalError}) << c.name;
    EXPECT_EQ(instance.Count(kSynthesisPath), 1) << c.name;
    EXPECT_EQ(job.lastResultPath, madeBefore) << c.name;
    GetChildTimeLimits() = ChildTimeLimits();
    job.SetStopToken(nullptr);
  }
  // Without music the resampling pass is bounded by the speech's size, a
  // known length: only a bound of no time at all per second ends it here.
  job.bgmSourcePath.clear();
  GetChildTimeLimits() = ChildTimeLimits{0, 0, 600000, 300000};
  shown.clear();
  job.resultName = L"ended_resample.mp3";
  EXPECT_FALSE(job.SynthesizeSpeech());
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{kMessageInternalError});
  GetChildTimeLimits() = ChildTimeLimits();
  ChooseMusic();
  // The long-text task's mix goes straight into the output folder: an ended
  // pass leaves nothing there.
  SetText(std::wstring(160, L'好'));
  ASSERT_TRUE(job.SubmitSynthesisTask());
  GetChildTimeLimits() = ChildTimeLimits{0, 0, 0, 0};
  shown.clear();
  ASSERT_TRUE(PollToTheEnd());
  GetChildTimeLimits() = ChildTimeLimits();
  EXPECT_FALSE(job.taskDone);
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{kMessageInternalError});
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((job.outputFolder + L"\\*.mp3").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a result was left in the output folder";
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

// A sound file whose Base64 breaks off part-way (here at a line break) is
// refused, not saved as the part before the break.
TEST_F(ConvertJobTest, AudioThatDoesNotDecodeWholeIsRefused) {
  const std::wstring tone = scratch / L"tone.wav";
  std::string output;
  uint32_t exitCode = 1;
  RunFfmpeg(L"-hide_banner -y -f lavfi -i sine=frequency=440:sample_rate=8000:duration=1 \"" + tone + L"\"",
            exitCode, output);
  ASSERT_EQ(exitCode, 0u) << output;
  const std::string wav = ScratchFolder::ReadFileBytes(tone);
  const size_t half = wav.size() / 2 / 3 * 3;
  Json::Value fault;
  fault["members"]["data"] = Base64Encode(wav.substr(0, half)) + "\n" + Base64Encode(wav.substr(half));
  ASSERT_TRUE(instance.Script(kSynthesisPath, Json::FastWriter().write(fault))) << instance.error();
  EXPECT_FALSE(job.SynthesizeSpeech());
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{kMessageInternalError});
  EXPECT_FALSE(ScratchFolder::Exists(ResultPath()));
  EXPECT_FALSE(job.resultValid);
}

TEST_F(ConvertJobTest, BadTaskRepliesEndThePolling) {
  SetText(std::wstring(160, L'好'));
  struct Case {
    const char* createFault;  // scripted on the creation, or null
    const char* pollFault;    // scripted on the polls, or null
    const wchar_t* message;
  } cases[] = {
      {R"({"task_status":[1,3]})", nullptr, kMessageTaskFailed},
      {nullptr, R"({"match":"taskId=","code":500})", kMessageConvertFailed},
      {nullptr, R"({"match":"taskId=","http_status":500})", kMessageInternalError},
      {nullptr, R"({"match":"taskId=","members":{"status":"2"}})", kMessageInternalError},
      {nullptr, R"({"match":"taskId=","remove":["status"]})", kMessageInternalError},
      {nullptr, R"({"match":"taskId=","members":{"status":2,"data":7}})", kMessageTaskFailed},
      {nullptr, R"({"match":"taskId=","members":{"status":2,"data":"http://127.0.0.1:1/none.mp3"}})",
       kMessageTaskFailed},
  };
  for (const Case& c : cases) {
    if (c.createFault != nullptr) {
      ASSERT_TRUE(instance.Script(kSynthesisTaskPath, c.createFault)) << instance.error();
    }
    job.taskId.clear();
    job.taskDone = false;
    ASSERT_TRUE(job.SubmitSynthesisTask());
    if (c.pollFault != nullptr) {
      ASSERT_TRUE(instance.Script(kSynthesisTaskPath, c.pollFault)) << instance.error();
    }
    shown.clear();
    EXPECT_TRUE(PollToTheEnd()) << c.message;
    EXPECT_EQ(shown.messages(), std::vector<std::wstring>{c.message}) << (c.pollFault ? c.pollFault : c.createFault);
    EXPECT_FALSE(job.taskDone);
  }

  // A creation that fails never yields a task.
  for (const char* fault : {R"({"code":500})", R"({"members":{"data":12}})", R"({"body":"nope"})"}) {
    ASSERT_TRUE(instance.Script(kSynthesisTaskPath, fault));
    shown.clear();
    job.taskId.clear();
    EXPECT_FALSE(job.SubmitSynthesisTask()) << fault;
    EXPECT_TRUE(job.taskId.empty()) << fault;
    EXPECT_EQ(shown.messages().size(), 1u) << fault;
  }
}

// A finished task's "data" is a server-given address: one that names a local
// file, a local pipe or another protocol is refused like a download that
// fails. Nothing local is opened or copied into the output folder.
TEST_F(ConvertJobTest, ATaskAddressOfAnotherProtocolIsRefused) {
  SetText(std::wstring(160, L'好'));
  const std::wstring secret = scratch / L"secret.mp3";
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(secret, "local secret"));
  std::string secretUrl = "file:///" + WideToAnsi(secret);
  std::replace(secretUrl.begin(), secretUrl.end(), '\\', '/');
  LocalPipeProbe probe;
  ASSERT_TRUE(probe.ok());
  auto filesIn = [](const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return names;
  };

  for (const std::string& url : {secretUrl, secretUrl + "?at=http://127.0.0.1/", probe.FileUrl(),
                                 std::string("ftp://127.0.0.1:1/result.mp3")}) {
    job.taskId.clear();
    job.taskDone = false;
    ASSERT_TRUE(job.SubmitSynthesisTask());
    Json::Value fault;
    fault["match"] = "taskId=";
    fault["members"]["status"] = 2;
    fault["members"]["data"] = url;
    ASSERT_TRUE(instance.Script(kSynthesisTaskPath, Json::FastWriter().write(fault))) << instance.error();
    shown.clear();
    EXPECT_TRUE(PollToTheEnd()) << url;
    EXPECT_EQ(shown.messages(), std::vector<std::wstring>{kMessageTaskFailed}) << url;
    EXPECT_FALSE(job.taskDone) << url;
    EXPECT_EQ(filesIn(job.outputFolder), std::vector<std::wstring>{}) << url;
    for (const std::wstring& name : filesIn(job.tempFolder)) {
      EXPECT_NE(ScratchFolder::ReadFileBytes(job.tempFolder + name), "local secret") << url;
    }
  }
  EXPECT_FALSE(probe.Finish()) << "the download opened the local pipe";
}

TEST_F(ConvertJobTest, StillRunningStatusesKeepThePollGoing) {
  SetText(std::wstring(160, L'好'));
  ASSERT_TRUE(instance.Script(kSynthesisTaskPath, R"({"task_status":[0,1,5,2]})"));
  ASSERT_TRUE(job.SubmitSynthesisTask());
  int polls = 0;
  ASSERT_TRUE(PollToTheEnd(&polls));
  EXPECT_EQ(polls, 4);
  EXPECT_TRUE(job.taskDone);
}

TEST_F(ConvertJobTest, FilesThatCannotBeWrittenAreFailures) {
  // The cache file of a single request.
  const std::wstring folder = job.tempFolder;
  job.tempFolder = folder + L"missing\\";
  EXPECT_FALSE(job.SynthesizeSpeech());
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{L"错误：3 文件保存失败，请重试！"});

  // The copy of a task's result into the output folder.
  job.tempFolder = folder;
  job.outputFolder = folder + L"missing";
  SetText(std::wstring(160, L'好'));
  shown.clear();
  ASSERT_TRUE(job.SubmitSynthesisTask());
  ASSERT_TRUE(PollToTheEnd());
  EXPECT_FALSE(job.taskDone);
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>{L"错误：3 文件保存失败，请重试！"});
}

TEST_F(ConvertJobTest, AFailedMusicPassStopsBeforeAnyRequest) {
  job.bgmSourcePath = job.tempFolder + L"no_such_music.mp3";
  EXPECT_FALSE(job.SynthesizeSpeech());
  EXPECT_FALSE(job.SubmitSynthesisTask());
  EXPECT_EQ(shown.messages(), std::vector<std::wstring>(2, kMessageInternalError));
  EXPECT_EQ(instance.Count(kSynthesisPath) + instance.Count(kSynthesisTaskPath), 0);
}
