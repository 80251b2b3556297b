#pragma once
// The speech-to-text job of one row of the speech-to-text list: one audio file
// turned into a transcript. The page owns the record (one per row) and runs
// SplitAudioForRecognition, UploadAudioSegments and RecognizeAudioSegments on
// a worker thread of its own; several jobs run side by side.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/base/WorkerThread.h"
#include "core/stt/portable/RecognitionReplies.h"

struct Voice2TextJob {
  int32_t rowNumber = 0;                   // 1-based number of the row in the list
  std::wstring fileName;                   // the source's file name with extension
  std::wstring folder;                     // the source's folder, ending with "\"
  std::wstring sourcePath;                 // the source's full path
  std::vector<std::wstring> segmentPaths;  // the segment files made by ffmpeg, in order
  std::vector<std::string> segmentUrls;    // the service URLs of the uploaded segments, in order
  std::wstring durationText;               // "HH:MM:SS" (GetMediaDurationText)
  std::wstring engineModelType = L"16k_zh";  // "16k_zh" (Chinese) or "16k_en" (English)
  std::wstring outputPath;    // the transcript; a .doc or .docx name is written by Pagemint.exe
  std::wstring outputFolder;  // folder of the output file
  std::wstring tempFolder;    // folder of the temporary files, ending with "\"; empty = the user's
  std::atomic<int32_t> status{0};    // kV2tWaiting .. kV2tFailed, written by the worker and the page
  std::atomic<int32_t> progress{0};  // percent shown in the row
  // The running worker's stop token, set by the worker for the length of its
  // work: the steps stop at the next one once it is set, and hand it to their
  // transfers and child programs, which end with it. Null: never stops.
  const StopToken* stop = nullptr;

  bool StopRequested() const { return stop != nullptr && stop->StopRequested(); }
};

// Values of Voice2TextJob::status, also the lParam of WM_APP_V2T_STATUS.
constexpr int32_t kV2tWaiting = 0;
constexpr int32_t kV2tConverting = 1;
constexpr int32_t kV2tDone = 2;
constexpr int32_t kV2tFailed = 3;

// Converts the source to MP3 and cuts it into 116-second segments with
// ffmpeg, filling segmentPaths in order (files found by their name pattern and
// from ffmpeg's log). The temporary files are named by a key of the whole
// source path and this job, so jobs never share them. False when no segment
// was made (an ffmpeg pass failed) or the job was told to stop.
bool SplitAudioForRecognition(Voice2TextJob& job);

// Uploads every segment to the speech service in order, filling segmentUrls,
// then removes the segment files. True only when every segment gave its URL:
// a failed upload, an unreadable reply or a "code" other than 200 fails the
// job (no transcript may silently lack a segment). Shows no message.
bool UploadAudioSegments(Voice2TextJob& job);

// Creates and polls a recognition task per URL, in order, and delivers the
// texts to outputPath: appended to a text file as they arrive, or, for a
// .doc/.docx name, written whole by Pagemint.exe after the last segment.
// Reports progress to `window` (WM_APP_V2T_STATUS with lParam kV2tConverting)
// at the start and after every segment; failures are shown to the user in
// message boxes owned by `window`. True when every segment's text was delivered.
bool RecognizeAudioSegments(Voice2TextJob& job, HWND window);

// Polls one recognition task once. Returns kRecognitionDone with `text` (UTF-8,
// tags removed), kRecognitionFailed after showing why, or the running status.
// `stop` aborts the request.
int32_t PollRecognitionTask(std::string& text, uint64_t taskId, HWND owner, const StopToken* stop = nullptr);

// The folder and key that name this job's temporary files ("<folder><key>").
std::wstring RecognitionTempStem(const Voice2TextJob& job);
