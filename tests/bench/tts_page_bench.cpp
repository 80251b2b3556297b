// The client's own time per text-to-speech conversion driven through the
// page: from the press on "btnConvertText2Voice" (the pointer already resting
// on it) to the creation of the result window, less the stand-in service's
// time (from the request form being traced to its reply being traced) and
// ffmpeg's time (from its command line being traced to the end of the pass
// being traced), all measured in the same run from the debugger output's lines.
// Needs the stand-in supervisor of a test session (QUILLORA_STANDIN).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include <json/json.h>

#include "app/MainWnd.h"
#include "core/base/TextConversion.h"
#include "core/base/UserMessage.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/transport/HttpClient.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/AppWindowTesting.h"
#include "tests/support/WindowDriver.h"
#include "ui/controls/BuiltInControls.h"
#include "ui/window/WindowManager.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Debugger output lines with the time they were written.
struct TracedLine {
  Clock::time_point at;
  std::string text;
};
std::mutex g_traceLock;
std::vector<TracedLine> g_trace;

LONG CALLBACK CaptureTrace(EXCEPTION_POINTERS* info) {
  constexpr DWORD kDebugPrintException = 0x40010006;
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  if (record->ExceptionCode == kDebugPrintException && record->NumberParameters >= 2) {
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    const size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
    if (text != nullptr && length > 0) {
      std::lock_guard<std::mutex> lock(g_traceLock);
      g_trace.push_back({Clock::now(), std::string(text, length)});
    }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// The moment the result window is made.
Clock::time_point g_resultCreated;
bool g_resultSeen = false;

LRESULT CALLBACK WatchCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    wchar_t name[64] = {};
    GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64);
    if (wcscmp(name, L"MessageWnd") == 0 && !g_resultSeen) {
      g_resultCreated = Clock::now();
      g_resultSeen = true;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Closes the result window from inside its modal loop.
void CALLBACK CloseResult(HWND, UINT, UINT_PTR, DWORD) {
  for (int i = 0; i < Trellis::CWindowManagerUI::GetManagerCount(); ++i) {
    Trellis::CWindowManagerUI* manager = Trellis::CWindowManagerUI::GetManagerAt(i);
    if (manager->FindControlByName(L"btnOpenFile") == nullptr || !IsWindowVisible(manager->GetPaintWindow())) continue;
    testwindows::WindowDriver(*manager).Click(L"closebtn");
    return;
  }
}

// A fresh stand-in instance's plain-HTTP speech address, from the supervisor.
std::string StandinSpeechUrl() {
  char control[256] = {};
  if (GetEnvironmentVariableA("QUILLORA_STANDIN", control, sizeof(control)) == 0) return std::string();
  HttpClient client;
  HttpResponseBuffer reply;
  if (!client.Post(std::string(control) + "/instances", "", reply)) return std::string();
  Json::Value root;
  Json::CharReaderBuilder builder;
  std::string errors;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  if (!reader->parse(reply.data(), reply.data() + reply.size(), &root, &errors)) return std::string();
  return root["urls"]["speechHttp"].asString();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  std::printf("text-to-speech page: conversions through the page against the stand-in\n");
  if (!InitializeHttpTransport()) return 1;
  const std::string speechUrl = StandinSpeechUrl();
  std::printf("stand-in speech service: %s\n", speechUrl.c_str());
  if (speechUrl.empty()) {
    std::printf("no stand-in services (QUILLORA_STANDIN)\n");
    return 1;
  }
  ScopedProgramEndpoints endpoints;
  endpoints.Change([&speechUrl](ServiceConfig& config) { config.speechBaseUrl = speechUrl; });

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"tts_page_bench\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  ClientState state(folder);
  state.driveUrlW2V = folder.substr(0, folder.size() - 1);
  // As the program's start does: windows register their classes for it.
  Trellis::CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
  Trellis::RegisterBuiltInControls();
  Trellis::CWindowManagerUI::SetResourcePath(apptest::SourceSkinFolder().c_str());
  // The page opens with the catalogue's first voice, one the stand-in speaks.
  VoiceInfo voice;
  voice.anchorName = L"晓澜";
  voice.voiceType = 100510000;
  voice.emotion = L"neutral";
  GetVoiceCatalog().voices = {voice};
  // A message would stop the run in its box: print it instead.
  SetUserMessageSink([](const std::wstring& text) { std::printf("message: %s\n", WideToUtf8(text).c_str()); });
  auto* window = new CMainWnd(state);
  window->SetReporter([](int, HANDLE*) { return true; });
  if (window->CreateWithSize(nullptr, L"Tavrin文字语音转换器", 0x10CF0000, 0, 0, 0, 1024, 720) == nullptr) return 1;
  testwindows::WindowDriver driver(window->GetPaintManager());
  driver.PumpFor(300);
  driver.Click(L"btnShowText2Voice");
  driver.PumpFor(500);
  driver.Type(L"editText2Vioce", L"今天天气很好，我们一起去公园散步，然后回家吃饭。晚上早点睡觉，明天还要上班。");
  driver.PumpFor(200);

  PVOID handler = AddVectoredExceptionHandler(1, CaptureTrace);
  HHOOK hook = SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseResult);

  std::printf("page open\n");
  const int runs = 10;
  std::vector<double> whole, service, ffmpeg, client;
  for (int run = 0; run < runs; ++run) {
    {
      std::lock_guard<std::mutex> lock(g_traceLock);
      g_trace.clear();
    }
    g_resultSeen = false;
    // The pointer comes to rest on the button before the press, as a user's
    // does: the button's hover repaint belongs to the pointer, not to the
    // conversion.
    const POINT button = driver.CentreOf(L"btnConvertText2Voice");
    driver.MoveTo(button);
    driver.PumpFor(50);
    const Clock::time_point click = Clock::now();
    driver.ClickInPlace(button);
    for (int i = 0; i < 3000 && !g_resultSeen; ++i) driver.PumpFor(10);
    if (!g_resultSeen) {
      std::printf("run %d: no result window\n", run);
      return 1;
    }
    driver.PumpFor(300);  // the timer closes the result window

    std::vector<TracedLine> trace;
    {
      std::lock_guard<std::mutex> lock(g_traceLock);
      trace = g_trace;
    }
    Clock::time_point formAt{}, replyAt{}, passAt{}, passEndAt{};
    for (const TracedLine& line : trace) {
      if (line.text.find("&sign=") != std::string::npos && formAt == Clock::time_point{}) formAt = line.at;
      if (line.text.rfind("RequestId", 0) == 0) replyAt = line.at;
      if (line.text.find("ffmpeg.exe ") != std::string::npos) passAt = line.at;
      if (line.text.rfind("ffmpeg pass ended", 0) == 0) passEndAt = line.at;
    }
    if (formAt == Clock::time_point{} || replyAt == Clock::time_point{} || passAt == Clock::time_point{} ||
        passEndAt == Clock::time_point{}) {
      std::printf("run %d: the trace lacks the request or the ffmpeg pass\n", run);
      return 1;
    }
    whole.push_back(MillisBetween(click, g_resultCreated));
    service.push_back(MillisBetween(formAt, replyAt));
    ffmpeg.push_back(MillisBetween(passAt, passEndAt));
    client.push_back(whole.back() - service.back() - ffmpeg.back());
    std::printf("run %d: click to result %.1f ms, service %.1f ms, ffmpeg %.1f ms, client %.1f ms "
                "(click to request %.1f, reply to ffmpeg %.1f, ffmpeg to result window %.1f)\n",
                run, whole.back(), service.back(), ffmpeg.back(), client.back(), MillisBetween(click, formAt),
                MillisBetween(replyAt, passAt), MillisBetween(passEndAt, g_resultCreated));
  }
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(hook);
  RemoveVectoredExceptionHandler(handler);
  DestroyWindow(window->GetHandle());

  const double wholeMs = Median(whole);
  const double clientMs = Median(client);
  std::printf("median over %d conversions: click to result %.1f ms, service %.1f ms, ffmpeg %.1f ms\n", runs, wholeMs,
              Median(service), Median(ffmpeg));
  std::printf("client's own time: %.2f ms = %.2f %% of the whole (target: under 1 %%)\n", clientMs,
              100.0 * clientMs / wholeMs);
  return 0;
}
