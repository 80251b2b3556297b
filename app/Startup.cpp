#include "app/Startup.h"

#include "app/CrashDump.h"
#include "app/FirstPaintGate.h"
#include "app/MainWnd.h"
#include "app/ProductInfo.h"
#include "app/TestHooks.h"
#include "core/base/AppMessages.h"
#include "core/base/BenchReport.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/client/InitParams.h"
#include "core/client/UpdateCheck.h"
#include "core/client/UsageReport.h"
#include "core/transport/HttpClient.h"
#include "core/transport/portable/ServiceConfig.h"

// --- Application main ---

namespace {

// Kept for the whole run: the mutex that marks the running instance, what the
// fetches use, and the start-up workers, one per kind (declared after what
// they use, so they are stopped first at the program's end).
SingleInstance g_instance;
CatalogFetch g_catalogFetch;
WorkerThread g_initParamsWorker;
WorkerThread g_updateWorker;
WorkerThread g_categoriesWorker;
WorkerThread g_voicesWorker;
WorkerThread g_emotionsWorker;

// How long a previous fetch of the same kind may take to end on its stop;
// one that does not is let go (it aborts its transfer and ends alone).
constexpr DWORD kFetchStopWaitMs = 2000;

// How long a fetch waits for the main window's first paint before its
// transfer; a window that does not paint by then (minimised, hidden) does not
// hold the requests longer.
constexpr DWORD kFirstPaintWaitMs = 1000;

void StartFetch(WorkerThread& worker, WorkerThread::Routine routine) {
  worker.Stop(kFetchStopWaitMs);
  const bool started = worker.Start([routine = std::move(routine)](const StopToken& stop) {
    MainWindowFirstPaint().Wait(stop, kFirstPaintWaitMs);
    routine(stop);  // a stop asked meanwhile ends its transfer at once
  });
  if (!started) DebugTrace(L"start-up: a fetch was not started");
}

// A catalogue fetch on its worker, with the worker's token in its record.
void StartCatalogFetch(WorkerThread& worker, LPTHREAD_START_ROUTINE fetchList) {
  StartFetch(worker, [fetchList](const StopToken& stop) {
    CatalogFetch fetch = g_catalogFetch;
    fetch.stop = &stop;
    fetchList(&fetch);
  });
}

// Section "service" of the settings file, keys "speech", "management" and
// "login": another installation of the services (a company's own servers, a
// test bench). Only the keys given are in the result.
ServiceSettings ReadServiceSettings(const std::wstring& iniPath) {
  ServiceSettings settings;
  const struct {
    const wchar_t* name;
    const char* key;
  } kKeys[] = {{L"speech", "speech"}, {L"management", "management"}, {L"login", "login"}};
  for (const auto& entry : kKeys) {
    wchar_t value[512] = {};
    GetPrivateProfileStringW(L"service", entry.name, L"", value, 512, iniPath.c_str());
    if (value[0] != L'\0') settings[entry.key] = WideToUtf8(value);
  }
  return settings;
}

}  // namespace

int RunApplicationMain() {
  InstallCrashHandler(CrashHandlerSettings());
  CrashWhenAsked();  // the test variant only

  const ElevationCheck system = SystemElevationCheck();
  StartupSteps steps;
  steps.isFirstInstance = [] { return g_instance.Acquire(); };
  // The running instance may still be starting: its window is waited for briefly.
  steps.findRunningWindow = [] { return SingleInstance::FindRunningWindow(5000); };
  steps.elevation = system;
  steps.elevation.relaunchElevated = [&system]() {
    g_instance.Release();  // the elevated copy becomes the running instance, or wakes it
    return system.relaunchElevated();
  };
  steps.wakeRunning = [](HWND running) {
    DWORD processId = 0;
    GetWindowThreadProcessId(running, &processId);
    AllowSetForegroundWindow(processId);
    PostMessageW(running, WM_APP_ACTIVATE_INSTANCE, 0, 0);
  };
  switch (steps.Run()) {
    case StartupGate::Relaunched:
      ExitProcess(0);
    case StartupGate::End:
      return 0;
    case StartupGate::Run:
      break;
  }
  BenchMark("gate");

  ClientState& state = GetClientState();
  if (state.LoadSettings() == 0) return 0;
  // Resolved once, before any thread runs; the state hands them to every request.
  state.UseEndpoints(
      ResolveServiceConfig(DefaultServiceConfig(), ReadServiceSettings(state.iniPath), ReadTestServiceOverrides()));
  BenchMark("settings");

  if (!InitializeHttpTransport()) {
    MessageBoxW(nullptr, L"初始化网络失败", kProductTitle, MB_ICONERROR);
    return 0;
  }
  BenchMark("network");

  StartFetch(g_initParamsWorker, [&state](const StopToken& stop) { FetchInitParamsThread(state, stop); });
  StartFetch(g_updateWorker, [&state](const StopToken& stop) { CheckForUpdateThread(state, stop); });
  g_catalogFetch = CatalogFetch{&state, &GetVoiceCatalog()};
  StartCatalogFetch(g_categoriesWorker, FetchVoiceCategoriesThread);
  StartCatalogFetch(g_voicesWorker, FetchVoiceListThread);
  StartCatalogFetch(g_emotionsWorker, FetchVoiceEmotionsThread);
  BenchMark("threads");

  if (!CreateMainWindow(state)) return 0;
  StartTestQueries();  // the test variant only
  return 1;
}
