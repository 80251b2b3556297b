// Cutting sources into segments with the real ffmpeg.exe.
#include <gtest/gtest.h>

#include <thread>

#include "core/media/ProcessRunner.h"
#include "core/stt/Voice2TextJob.h"
#include "tests/core/stt/Voice2TextTesting.h"
#include "tests/support/NonAsciiNames.h"

namespace {

using v2ttest::DurationSeconds;
using v2ttest::Exists;
using v2ttest::ListFiles;
using v2ttest::MakeTone;
using v2ttest::ScratchFolder;

void PrepareJob(Voice2TextJob& job, const std::wstring& source, const std::wstring& temp) {
  job.sourcePath = source;
  job.tempFolder = temp;
}

}  // namespace

// The temporary folder is named with "%", which ffmpeg's segment muxer would
// read as a number field of its output name (a user name may hold one).
TEST(RecognitionSplit, CutsA240SecondSourceInto116_116_8) {
  ScratchFolder scratch(L"split_240");
  const std::wstring temp = scratch.Subfolder(L"temp 100%d %");
  ASSERT_TRUE(MakeTone(scratch.path() + L"long.wav", 240));
  Voice2TextJob job;
  PrepareJob(job, scratch.path() + L"long.wav", temp);
  ASSERT_TRUE(SplitAudioForRecognition(job));
  ASSERT_EQ(job.segmentPaths.size(), 3u);
  const double expected[] = {116, 116, 8};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(job.segmentPaths[i], RecognitionTempStem(job) + L"0" + std::to_wstring(i) + L".mp3");
    EXPECT_NEAR(DurationSeconds(job.segmentPaths[i]), expected[i], 0.1) << i;
  }
  // Only the segments stay: the whole MP3 was an intermediate.
  EXPECT_EQ(ListFiles(temp).size(), 3u);
}

TEST(RecognitionSplit, JobsWithTheSameBaseNameNeverShareFiles) {
  ScratchFolder scratch(L"split_same_name");
  const std::wstring temp = scratch.Subfolder(L"temp");
  const std::wstring a = scratch.Subfolder(L"a") + L"x.wav";
  const std::wstring b = scratch.Subfolder(L"b") + L"x.wav";
  ASSERT_TRUE(MakeTone(a, 5));
  ASSERT_TRUE(MakeTone(b, 130));
  Voice2TextJob jobA, jobB, jobB2;
  PrepareJob(jobA, a, temp);
  PrepareJob(jobB, b, temp);
  PrepareJob(jobB2, b, temp);  // a second row of the same file
  bool okA = false, okB = false, okB2 = false;
  std::thread first([&] { okA = SplitAudioForRecognition(jobA); });
  std::thread second([&] { okB = SplitAudioForRecognition(jobB); });
  std::thread third([&] { okB2 = SplitAudioForRecognition(jobB2); });
  first.join();
  second.join();
  third.join();
  ASSERT_TRUE(okA && okB && okB2);
  EXPECT_NE(RecognitionTempStem(jobA), RecognitionTempStem(jobB));
  EXPECT_NE(RecognitionTempStem(jobB), RecognitionTempStem(jobB2));
  ASSERT_EQ(jobA.segmentPaths.size(), 1u);
  EXPECT_NEAR(DurationSeconds(jobA.segmentPaths[0]), 5, 0.1);
  for (Voice2TextJob* job : {&jobB, &jobB2}) {
    ASSERT_EQ(job->segmentPaths.size(), 2u);
    EXPECT_NEAR(DurationSeconds(job->segmentPaths[0]), 116, 0.1);
    EXPECT_NEAR(DurationSeconds(job->segmentPaths[1]), 14, 0.1);
  }
}

TEST(RecognitionSplit, ARunAfterTheSourceShrankHasNoStaleSegments) {
  ScratchFolder scratch(L"split_rerun");
  const std::wstring temp = scratch.Subfolder(L"temp");
  const std::wstring source = scratch.path() + L"talk.wav";
  ASSERT_TRUE(MakeTone(source, 130));
  Voice2TextJob job;
  PrepareJob(job, source, temp);
  ASSERT_TRUE(SplitAudioForRecognition(job));
  ASSERT_EQ(job.segmentPaths.size(), 2u);
  ASSERT_TRUE(MakeTone(source, 4));
  ASSERT_TRUE(SplitAudioForRecognition(job));
  ASSERT_EQ(job.segmentPaths.size(), 1u);
  EXPECT_NEAR(DurationSeconds(job.segmentPaths[0]), 4, 0.1);
  EXPECT_FALSE(Exists(RecognitionTempStem(job) + L"01.mp3"));
}

TEST(RecognitionSplit, SourcesFfmpegCannotReadGiveNoSegments) {
  ScratchFolder scratch(L"split_bad");
  const std::wstring temp = scratch.Subfolder(L"temp");
  const std::wstring notAudio = scratch.path() + L"notes.mp3";
  ASSERT_TRUE(v2ttest::WriteFileBytes(notAudio, "not audio at all"));
  for (const std::wstring& source : {notAudio, scratch.path() + L"missing.wav"}) {
    Voice2TextJob job;
    PrepareJob(job, source, temp);
    job.segmentPaths = {L"left from before"};
    EXPECT_FALSE(SplitAudioForRecognition(job));
    EXPECT_TRUE(job.segmentPaths.empty());
    EXPECT_TRUE(ListFiles(temp).empty());
  }
}

TEST(RecognitionSplit, AJobToldToStopMakesNothing) {
  ScratchFolder scratch(L"split_stop");
  const std::wstring temp = scratch.Subfolder(L"temp");
  ASSERT_TRUE(MakeTone(scratch.path() + L"a.wav", 3));
  Voice2TextJob job;
  PrepareJob(job, scratch.path() + L"a.wav", temp);
  StopToken stop;
  stop.RequestStop();
  job.stop = &stop;
  EXPECT_FALSE(SplitAudioForRecognition(job));
  EXPECT_TRUE(ListFiles(temp).empty());
}

// A pass that outlasts its bound is ended: the split fails and leaves nothing.
TEST(RecognitionSplit, APassOutlastingItsBoundMakesNothing) {
  ScratchFolder scratch(L"split_bound");
  const std::wstring temp = scratch.Subfolder(L"temp");
  ASSERT_TRUE(MakeTone(scratch.path() + L"a.wav", 130));
  Voice2TextJob job;
  PrepareJob(job, scratch.path() + L"a.wav", temp);
  GetChildTimeLimits() = ChildTimeLimits{0, 0, 0, 0};
  const bool split = SplitAudioForRecognition(job);
  GetChildTimeLimits() = ChildTimeLimits();
  EXPECT_FALSE(split);
  EXPECT_TRUE(job.segmentPaths.empty());
  EXPECT_TRUE(ListFiles(temp).empty());
}

TEST(RecognitionSplit, ChineseSourceAndTempPaths) {
  SKIP_WITHOUT_NON_ASCII_NAMES();
  ScratchFolder scratch(L"split_chinese");
  const std::wstring temp = scratch.Subfolder(L"\u4E34\u65F6");             // 临时
  const std::wstring source = scratch.Subfolder(L"\u5F55\u97F3") + L"\u4F1A\u8BAE.wav";  // 录音\会议.wav
  ASSERT_TRUE(MakeTone(source, 3));
  Voice2TextJob job;
  PrepareJob(job, source, temp);
  ASSERT_TRUE(SplitAudioForRecognition(job));
  ASSERT_EQ(job.segmentPaths.size(), 1u);
  EXPECT_EQ(job.segmentPaths[0].compare(0, temp.size(), temp), 0);
  EXPECT_NEAR(DurationSeconds(job.segmentPaths[0]), 3, 0.1);
}
