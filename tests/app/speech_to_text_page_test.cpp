// Test cases run alone: they click rows and answer message windows through the mouse and focus of the one test desktop.
// The speech-to-text page of the main window under Wine, built from the real
// skin folder and driven by the skin's control names: rows from drops, the
// admission of three workers at a time, removal and renumbering, worker
// messages shown by the UI thread, the shell calls for results, the settings
// a started row takes, and workers stopped when the window ends. The
// recognition itself is replaced by a stand-in work (the real one runs in
// the program's end-to-end test).
#include "app/MainWnd.h"
#include "app/stt/Voice2TextListItemUI.h"
#include "core/base/AppMessages.h"
#include "core/base/UserMessage.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "core/stt/Voice2TextMessages.h"
#include "core/transport/HttpClient.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Standin.h"
#include "tests/support/WindowDriver.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace Trellis;
using apptest::MessageWindowAnswer;
using testshots::SaveWindowPng;
using testwindows::WindowDriver;

namespace {

// A stand-in recognition: counts the workers inside it and waits until the
// test opens the gate (or the job is told to stop), then writes a transcript.
struct Gate {
  Gate() : open(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Gate() { CloseHandle(open); }
  HANDLE open;
  std::atomic<int> active{0};
  std::atomic<int> maxActive{0};
  std::atomic<int> started{0};
  std::atomic<int> returned{0};

  RecognitionWork Work(int32_t result = kV2tDone, const wchar_t* message = nullptr) {
    return [this, result, message](Voice2TextJob& job, const RecognitionSettings& settings, HWND) {
      const int now = ++active;
      ++started;
      for (int seen = maxActive; now > seen && !maxActive.compare_exchange_weak(seen, now);) {
      }
      while (!job.StopRequested() && WaitForSingleObject(open, 20) == WAIT_TIMEOUT) {
      }
      Sleep(20);
      --active;
      job.outputPath = job.folder + job.fileName + L"." + settings.format;
      if (result == kV2tDone) testfiles::WriteFileBytes(job.outputPath, "text");
      if (message != nullptr) ShowUserMessage(nullptr, message);
      ++returned;
      return result;
    };
  }
};

class SpeechToTextPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
    window = new CMainWnd(state);
    window->SetReporter([this](int detail, HANDLE*) {
      reports.push_back(detail);
      return true;
    });
    ASSERT_NE(window->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720), nullptr);
    watch = std::make_unique<apptest::WindowProcWatch>(window->GetHandle());
    page().SetShellOpener([this](HWND, const std::wstring& file, const std::wstring& parameters) {
      opened.emplace_back(file, parameters);
      return true;
    });
    driver = std::make_unique<WindowDriver>(window->GetPaintManager());
    driver->PumpFor(300);
    ASSERT_TRUE(driver->Click(L"btnShowVoice2Text"));
    driver->PumpFor(200);
  }
  void TearDown() override {
    if (!watch->destroyed()) DestroyWindow(window->GetHandle());
    watch.reset();
    driver.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  SpeechToTextPage& page() { return window->SpeechToText(); }

  // Audio-named files in the scratch folder (their bytes do not matter here).
  std::vector<std::wstring> Files(std::initializer_list<const wchar_t*> names) {
    std::vector<std::wstring> paths;
    for (const wchar_t* name : names) {
      paths.push_back(folder / name);
      testfiles::WriteFileBytes(paths.back(), "not audio");
    }
    return paths;
  }
  std::vector<std::wstring> SevenFiles() {
    return Files({L"one.mp3", L"two.wav", L"three.m4a", L"four.mp3", L"five.wav", L"six.m4a", L"seven.mp3"});
  }

  void Drop(const std::vector<std::wstring>& paths) {
    PostMessageW(window->GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(apptest::MakeFileDrop(paths)), 0);
    driver->PumpFor(300);
  }

  CContainerUI* List() { return static_cast<CContainerUI*>(driver->Find(L"listVoice")->GetInterface(L"Container")); }
  CVoice2TextListItemUI* Row(int i) { return FindVoice2TextItem(List()->GetItemAt(i)); }
  CControlUI* RowControl(int i, const wchar_t* name) {
    return window->GetPaintManager().FindSubControlByName(List()->GetItemAt(i), name);
  }
  bool RowShows(int i, const wchar_t* name) {
    for (CControlUI* at = RowControl(i, name); at != nullptr; at = at->GetParent()) {
      if (!at->IsVisible()) return false;
    }
    return RowControl(i, name) != nullptr;
  }
  void ClickRow(int i, const wchar_t* name) {
    CControlUI* control = RowControl(i, name);
    ASSERT_NE(control, nullptr) << name;
    const CUIRect pos = control->GetPos();
    driver->ClickAt(POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2});
    driver->PumpFor(100);
  }

  // Pumps until the condition holds; false after `ms`.
  bool PumpUntil(const std::function<bool()>& condition, DWORD ms = 15000) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!condition()) {
      if (GetTickCount64() > end) return false;
      driver->PumpFor(50);
    }
    return true;
  }
  bool AllDone() {
    for (Voice2TextJob* job : page().Rows()) {
      if (job->status != kV2tDone) return false;
    }
    return page().RunningCount() == 0;
  }

  ScratchFolder folder{L"stt_page"};
  ClientState state{folder.path()};
  std::vector<int> reports;
  std::vector<std::pair<std::wstring, std::wstring>> opened;  // what went to the shell
  CMainWnd* window = nullptr;
  std::unique_ptr<apptest::WindowProcWatch> watch;
  std::unique_ptr<WindowDriver> driver;
};

}  // namespace

// Only audio files make rows, each once: the last extension counts in any
// case; a name with ".mp3" inside, a folder and a second drop of a file make
// neither a row nor a job.
TEST_F(SpeechToTextPageTest, DroppedAudioFilesBecomeOneRowEach) {
  EXPECT_TRUE(driver->Find(L"voiceLayout")->IsVisible());
  const std::vector<std::wstring> audio = Files({L"talk.mp3", L"LOUD.WAV", L"memo.m4a"});
  Files({L"talk.mp3.bak", L"notes.txt"});
  const std::wstring folderNamedAudio = folder.Subfolder(L"album.mp3");
  std::wstring differentCase = audio[0];
  differentCase.replace(differentCase.size() - 8, 8, L"TALK.mp3");
  Drop({audio[0], audio[1], folder / L"talk.mp3.bak", folder / L"notes.txt", audio[2], audio[0], differentCase});
  Drop({audio[1]});
  page().AddRows({folderNamedAudio.substr(0, folderNamedAudio.size() - 1)});
  driver->PumpFor(200);

  ASSERT_EQ(page().Rows().size(), 3u);
  ASSERT_EQ(List()->GetCount(), 3);
  const wchar_t* names[] = {L"talk.mp3", L"LOUD.WAV", L"memo.m4a"};
  for (int i = 0; i < 3; ++i) {
    Voice2TextJob* job = page().Rows()[i];
    EXPECT_EQ(job->rowNumber, i + 1);
    EXPECT_EQ(job->sourcePath, audio[i]);
    EXPECT_EQ(job->folder, folder.path());
    EXPECT_EQ(job->fileName, names[i]);
    EXPECT_EQ(job->status, kV2tWaiting);
    EXPECT_EQ(Row(i)->GetJob(), job);
    EXPECT_EQ(List()->GetItemAt(i)->GetTag(), reinterpret_cast<uintptr_t>(job));
    EXPECT_EQ(std::wstring(RowControl(i, L"fileName")->GetText().GetText()), names[i]);
    EXPECT_EQ(std::wstring(RowControl(i, L"btnSingleVocie2Text")->GetUserData().GetText()), std::to_wstring(i + 1));
    EXPECT_TRUE(RowShows(i, L"voiceStatus"));
    EXPECT_TRUE(RowShows(i, L"voiceStart"));
  }
  EXPECT_FALSE(driver->Find(L"voiceLayout")->IsVisible());
  EXPECT_TRUE(driver->Find(L"listVoice")->IsVisible());
  EXPECT_TRUE(driver->Find(L"voiceListLayout")->IsVisible());
  EXPECT_TRUE(SaveWindowPng(L"stt-page-rows-waiting.png", window->GetHandle()));
}

// Seven rows started together all finish, never more than three at work: the
// others show "converting" and wait for their turn.
TEST_F(SpeechToTextPageTest, StartAllRunsSevenRowsThreeAtATime) {
  Gate gate;
  page().SetRecognitionWork(gate.Work());
  Drop(SevenFiles());
  ASSERT_TRUE(driver->Click(L"btnVoice2Text"));
  ASSERT_TRUE(PumpUntil([&] { return gate.started == 3; }));
  driver->PumpFor(600);  // the others would have started by now if they could
  EXPECT_EQ(gate.started.load(), 3);
  EXPECT_EQ(page().RunningCount(), 7);
  EXPECT_FALSE(driver->Find(L"btnVoice2Text")->IsVisible());
  EXPECT_TRUE(driver->Find(L"gifVoice2Text")->IsVisible());
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(RowShows(i, L"voiceIng")) << i;
    EXPECT_TRUE(RowShows(i, L"voiceStatusIng")) << i;
    EXPECT_FALSE(RowShows(i, L"voiceStart")) << i;
  }
  EXPECT_TRUE(SaveWindowPng(L"stt-page-rows-running.png", window->GetHandle()));

  SetEvent(gate.open);
  ASSERT_TRUE(PumpUntil([&] { return AllDone(); }));
  driver->PumpFor(200);
  EXPECT_EQ(gate.maxActive.load(), 3);
  EXPECT_EQ(gate.started.load(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(RowShows(i, L"voiceEndSucces")) << i;
    EXPECT_EQ(std::wstring(RowControl(i, L"voiceDeal")->GetText().GetText()), L"处理成功");
  }
  EXPECT_TRUE(driver->Find(L"btnVoice2Text")->IsVisible());
  EXPECT_FALSE(driver->Find(L"gifVoice2Text")->IsVisible());
  EXPECT_EQ(state.lastV2tOutputPath.empty(), false);
  EXPECT_EQ(std::count(reports.begin(), reports.end(), kReportSpeechToTextStart), 1);
  EXPECT_TRUE(SaveWindowPng(L"stt-page-rows-done.png", window->GetHandle()));
}

// Rows started one by one and then "start all" while they run: the running
// count is never reset, and still no more than three work at once.
TEST_F(SpeechToTextPageTest, StartAllWhileRowsRunKeepsThreeAtATime) {
  Gate gate;
  page().SetRecognitionWork(gate.Work());
  Drop(SevenFiles());
  for (int i = 0; i < 4; ++i) ClickRow(i, L"btnSingleVocie2Text");
  ASSERT_TRUE(PumpUntil([&] { return gate.started == 3; }));
  EXPECT_EQ(page().RunningCount(), 4);
  ASSERT_TRUE(driver->Click(L"btnVoice2Text"));
  driver->PumpFor(600);
  EXPECT_EQ(page().RunningCount(), 7);
  EXPECT_EQ(gate.active.load(), 3);

  SetEvent(gate.open);
  ASSERT_TRUE(PumpUntil([&] { return AllDone(); }));
  EXPECT_EQ(gate.maxActive.load(), 3);
  EXPECT_EQ(gate.started.load(), 7);
  EXPECT_TRUE(driver->Find(L"btnVoice2Text")->IsVisible());
}

// Removing the second of three rows renumbers the rest; the former third
// row's buttons carry "2". A converting row cannot be removed; the last
// removal brings the empty drop area back.
TEST_F(SpeechToTextPageTest, RemovingRowsRenumbersAndKeepsConvertingOnes) {
  Gate gate;
  page().SetRecognitionWork(gate.Work());
  Drop(Files({L"a.mp3", L"b.mp3", L"c.mp3"}));
  Voice2TextJob* third = page().Rows()[2];
  ClickRow(1, L"btnMoveFile");
  ASSERT_EQ(page().Rows().size(), 2u);
  ASSERT_EQ(List()->GetCount(), 2);
  EXPECT_EQ(Row(1)->GetJob(), third);
  EXPECT_EQ(third->rowNumber, 2);
  for (const wchar_t* button : {L"btnSingleVocie2Text", L"btnOpenFile", L"btnOpenPath"}) {
    EXPECT_EQ(std::wstring(RowControl(1, button)->GetUserData().GetText()), L"2") << button;
  }

  ClickRow(0, L"btnSingleVocie2Text");
  ASSERT_TRUE(PumpUntil([&] { return gate.started == 1; }));
  {
    MessageWindowAnswer answer(L"btn_ok", window->GetHandle());
    ClickRow(0, L"btnMoveFile");
    driver->PumpFor(300);
    EXPECT_TRUE(answer.seen());
    EXPECT_EQ(answer.text(), L"无法删除转换中的文件！");
  }
  EXPECT_EQ(page().Rows().size(), 2u);

  SetEvent(gate.open);
  ASSERT_TRUE(PumpUntil([&] { return page().RunningCount() == 0; }));
  ClickRow(0, L"btnMoveFile");  // done rows go
  ClickRow(0, L"btnMoveFile");
  EXPECT_TRUE(page().Rows().empty());
  EXPECT_TRUE(driver->Find(L"voiceLayout")->IsVisible());
  EXPECT_FALSE(driver->Find(L"listVoice")->IsVisible());
  EXPECT_FALSE(driver->Find(L"voiceListLayout")->IsVisible());
}

// A worker's message is shown by the UI thread, once for rows that fail
// together; the failed rows show their state and start again only with
// "start all".
TEST_F(SpeechToTextPageTest, WorkerMessagesAreShownByTheUiThreadAndFailedRowsRestartWithStartAll) {
  Gate gate;
  SetEvent(gate.open);
  page().SetRecognitionWork(gate.Work(kV2tFailed, kV2tMessageTaskFailed));
  Drop(Files({L"a.mp3", L"b.mp3"}));
  ASSERT_TRUE(driver->Click(L"btnVoice2Text"));
  ASSERT_TRUE(PumpUntil([&] { return gate.returned == 2 && page().RunningCount() == 0; }));
  driver->PumpFor(300);

  const auto notices = apptest::OtherWindowsWith(L"titleTips", window->GetHandle());
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(std::wstring(notices[0]->FindControlByName(L"titleTips")->GetText().GetText()), kV2tMessageTaskFailed);
  EXPECT_EQ(GetWindowThreadProcessId(notices[0]->GetPaintWindow(), nullptr), GetCurrentThreadId());
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(page().Rows()[i]->status, kV2tFailed);
    EXPECT_TRUE(RowShows(i, L"voiceEndError"));
    EXPECT_TRUE(RowShows(i, L"voiceStart"));
    EXPECT_FALSE(RowShows(i, L"voiceEndSucces"));
    EXPECT_EQ(std::wstring(RowControl(i, L"voiceDeal")->GetText().GetText()), L"处理失败");
  }
  EXPECT_TRUE(driver->Find(L"btnVoice2Text")->IsVisible());
  EXPECT_TRUE(SaveWindowPng(L"stt-page-rows-failed.png", window->GetHandle()));
  WindowDriver(*notices[0]).Click(L"btn_ok");
  driver->PumpFor(200);

  page().SetRecognitionWork(gate.Work());
  ClickRow(0, L"btnSingleVocie2Text");
  driver->PumpFor(300);
  EXPECT_EQ(gate.started.load(), 2);  // the single start is for new rows only
  ASSERT_TRUE(driver->Click(L"btnVoice2Text"));
  ASSERT_TRUE(PumpUntil([&] { return AllDone(); }));
  EXPECT_EQ(gate.started.load(), 4);
}

// The result is handed to the shell as the file itself, and the folder as
// Explorer's "/select," with the path quoted, whatever it holds. A result
// that is gone says so instead.
TEST_F(SpeechToTextPageTest, ResultsOpenThroughTheShellWithTheirPathsWhole) {
  Gate gate;
  SetEvent(gate.open);
  page().SetRecognitionWork(gate.Work());
  const std::wstring odd = folder.Subfolder(L"会议 a,b");
  testfiles::WriteFileBytes(odd + L"talk one.mp3", "x");
  Drop({odd + L"talk one.mp3"});
  ClickRow(0, L"btnSingleVocie2Text");
  ASSERT_TRUE(PumpUntil([&] { return AllDone(); }));
  driver->PumpFor(200);
  const std::wstring result = page().Rows()[0]->outputPath;
  ASSERT_TRUE(testfiles::Exists(result));

  ClickRow(0, L"btnOpenFile");
  ClickRow(0, L"btnOpenPath");
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], std::make_pair(result, std::wstring()));
  EXPECT_EQ(opened[1], std::make_pair(std::wstring(L"explorer.exe"), L"/select,\"" + result + L"\""));

  DeleteFileW(result.c_str());
  MessageWindowAnswer answer(L"btn_ok", window->GetHandle());
  ClickRow(0, L"btnOpenFile");
  driver->PumpFor(300);
  EXPECT_TRUE(answer.seen());
  EXPECT_EQ(answer.text(), L"打开失败，文件不可用");
  EXPECT_EQ(opened.size(), 2u);
}

// A started row takes the page's format, language and folder; a folder taken
// from the path box gets its separator, so the transcript lands inside it.
TEST_F(SpeechToTextPageTest, StartedRowsTakeThePagesSettings) {
  std::vector<RecognitionSettings> seen;
  page().SetRecognitionWork([&seen](Voice2TextJob&, const RecognitionSettings& settings, HWND) {
    seen.push_back(settings);
    return kV2tDone;
  });
  Drop(Files({L"a.mp3", L"b.mp3", L"c.mp3"}));
  ClickRow(0, L"btnSingleVocie2Text");
  ASSERT_TRUE(PumpUntil([&] { return page().RunningCount() == 0; }));

  ASSERT_TRUE(driver->Click(L"optDocx"));
  ASSERT_TRUE(driver->Click(L"english"));
  const std::wstring chosen = folder.Subfolder(L"out");
  driver->Find(L"savePathEdit")->SetText(chosen.substr(0, chosen.size() - 1).c_str());
  ASSERT_TRUE(driver->Click(L"optionSaveUser"));
  ClickRow(1, L"btnSingleVocie2Text");
  ASSERT_TRUE(PumpUntil([&] { return page().RunningCount() == 0; }));

  ASSERT_TRUE(driver->Click(L"optDoc"));
  ASSERT_TRUE(driver->Click(L"chinese"));
  ASSERT_TRUE(driver->Click(L"optionSaveOri"));
  ClickRow(2, L"btnSingleVocie2Text");
  ASSERT_TRUE(PumpUntil([&] { return page().RunningCount() == 0; }));

  ASSERT_EQ(seen.size(), 3u);
  const struct {
    const wchar_t* format;
    const wchar_t* model;
    std::wstring outputFolder;
  } expected[] = {{L"txt", L"16k_zh", L""}, {L"docx", L"16k_en", chosen}, {L"doc", L"16k_zh", L""}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(seen[i].format, expected[i].format) << i;
    EXPECT_EQ(seen[i].model, expected[i].model) << i;
    EXPECT_EQ(seen[i].outputFolder, expected[i].outputFolder) << i;
  }
}

// Closing the window stops running recognitions by their stop token and by
// aborting their transfers, within a bounded wait; waiting rows never start.
TEST_F(SpeechToTextPageTest, ClosingTheWindowAbortsRunningTransfers) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  const std::string path = "/colud/ars/voice2TextTask.php";
  ASSERT_TRUE(instance.Script(path, R"({"delay_ms":60000,"times":-1})"));
  const std::string url = instance.urls().speechHttp + path;
  std::atomic<int> started{0}, returned{0};
  page().SetRecognitionWork([&](Voice2TextJob& job, const RecognitionSettings&, HWND) {
    ++started;
    HttpResponseBuffer reply;
    const bool ok = HttpClient().Post(url, "taskId=1", reply, job.stop);
    ++returned;
    return ok ? kV2tDone : kV2tFailed;
  });
  Drop(Files({L"a.mp3", L"b.mp3", L"c.mp3", L"d.mp3", L"e.mp3"}));
  ASSERT_TRUE(driver->Click(L"btnVoice2Text"));
  ASSERT_TRUE(PumpUntil([&] { return started == 3 && instance.Count(path) == 3; }));

  const ULONGLONG closing = GetTickCount64();
  DestroyWindow(window->GetHandle());
  const ULONGLONG took = GetTickCount64() - closing;
  EXPECT_TRUE(watch->destroyed());
  EXPECT_LT(took, 8000u);
  EXPECT_EQ(returned.load(), 3);
  EXPECT_EQ(started.load(), 3);
}

// A worker that does not heed its token is let go after the bounded wait:
// StopAll names its job, which the owner then keeps alive, and the thread
// finishes on it later with what it holds of its own (its semaphore, its
// record), long after the runner has gone.
TEST(SpeechToTextWorkers, AWorkerThatOutlivesTheWaitIsLetGoAndFinishesOnItsOwn) {
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(release, nullptr);
  auto job = std::make_unique<Voice2TextJob>();
  std::atomic<bool> working{false};
  {
    RecognitionRunner runner;
    runner.SetWork([&](Voice2TextJob&, const RecognitionSettings&, HWND) {
      working = true;
      WaitForSingleObject(release, 20000);  // deaf to the token
      return kV2tDone;
    });
    ASSERT_TRUE(runner.Start(*job, nullptr, RecognitionSettings{}));
    for (int i = 0; i < 200 && !working; ++i) Sleep(10);
    ASSERT_TRUE(working.load());
    EXPECT_FALSE(job->StopRequested());

    const ULONGLONG start = GetTickCount64();
    const std::vector<Voice2TextJob*> running = runner.StopAll(300);
    EXPECT_LT(GetTickCount64() - start, 3000u) << "the stop did not keep its bound";
    EXPECT_EQ(running, std::vector<Voice2TextJob*>{job.get()});
    EXPECT_EQ(runner.Count(), 0);
    EXPECT_TRUE(job->StopRequested()) << "the job's work was not told to stop";
  }
  SetEvent(release);
  for (int i = 0; i < 500 && job->status != kV2tFailed; ++i) Sleep(10);
  EXPECT_EQ(job->status.load(), kV2tFailed);  // a stopped run never counts as done
  for (int i = 0; i < 200 && job->stop != nullptr; ++i) Sleep(10);
  EXPECT_EQ(job->stop, nullptr);
  CloseHandle(release);
}
