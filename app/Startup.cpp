#include "app/Startup.h"

#include "app/CrashDump.h"
#include "app/MainWnd.h"
#include "app/ProductInfo.h"
#include "app/TestHooks.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/TextConversion.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/client/InitParams.h"
#include "core/client/UpdateCheck.h"
#include "core/client/UsageReport.h"
#include "core/transport/HttpClient.h"
#include "core/transport/portable/ServiceConfig.h"

// --- Application main ---

namespace {

// Kept for the whole run: the mutex that marks the running instance and the
// handles of the background threads of each kind.
SingleInstance g_instance;
OwnedHandle g_initParamsThread;
OwnedHandle g_updateThread;
OwnedHandle g_categoriesThread;
OwnedHandle g_voicesThread;
OwnedHandle g_emotionsThread;
CatalogFetch g_catalogFetch;

// A previous thread of the same kind still kept is stopped before the next starts.
void StartThread(OwnedHandle& slot, LPTHREAD_START_ROUTINE routine, void* parameter, bool stopPrevious) {
  if (stopPrevious && slot) TerminateThread(slot.Get(), 0);
  slot.Reset(CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
  if (!slot) DebugTrace(L"start-up: thread not started (error %lu)", GetLastError());
}

// Another installation of the services (a company's own servers, a test
// bench) is named in the settings, section "service", keys "speech",
// "management" and "login"; an address not given keeps the build's default.
void ReadServiceSettings(const std::wstring& iniPath) {
  ServiceConfig& config = GetServiceConfig();
  const struct {
    const wchar_t* key;
    std::string* address;
  } kAddresses[] = {
      {L"speech", &config.speechBaseUrl},
      {L"management", &config.managementBaseUrl},
      {L"login", &config.loginBaseUrl},
  };
  for (const auto& entry : kAddresses) {
    wchar_t value[512] = {};
    GetPrivateProfileStringW(L"service", entry.key, L"", value, 512, iniPath.c_str());
    if (value[0] != L'\0') *entry.address = WideToUtf8(value);
  }
}

}  // namespace

int RunApplicationMain() {
  ApplyTestServiceOverrides();  // the test variant only
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

  ClientState& state = GetClientState();
  if (state.LoadSettings() == 0) return 0;
  ReadServiceSettings(state.iniPath);
  state.httpClient.SetBaseUrl(GetServiceConfig().managementBaseUrl);

  if (!InitializeHttpTransport()) {
    MessageBoxW(nullptr, L"初始化网络失败", kProductTitle, MB_ICONERROR);
    return 0;
  }

  StartThread(g_initParamsThread, FetchInitParamsThread, &state, true);
  StartThread(g_updateThread, CheckForUpdateThread, &state, false);
  g_catalogFetch = CatalogFetch{&state, &GetVoiceCatalog()};
  StartThread(g_categoriesThread, FetchVoiceCategoriesThread, &g_catalogFetch, true);
  StartThread(g_voicesThread, FetchVoiceListThread, &g_catalogFetch, true);
  StartThread(g_emotionsThread, FetchVoiceEmotionsThread, &g_catalogFetch, true);

  if (!CreateMainWindow(state)) return 0;
  StartTestQueries();  // the test variant only
  return 1;
}
