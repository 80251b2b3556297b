#include "core/client/InitParams.h"

#include "core/base/AppMessages.h"
#include "core/base/WorkerThread.h"
#include "core/base/portable/JsonReply.h"
#include "core/client/ClientState.h"
#include "core/transport/EnvelopedRequest.h"
#include "core/transport/portable/ManagementReply.h"

namespace {
constexpr size_t kServerDateLength = 19;  // "YYYY-MM-DD hh:mm:ss"
constexpr DWORD kMainWindowPollMs = 500;
}  // namespace

DWORD FetchInitParamsThread(ClientState& state, const StopToken& stop) {
  std::string reply;
  Json::Value root;
  if (!RequestEnveloped(state, kEnvelopeProtected, "/client/getinitparams?softid=" + std::to_string(state.softId),
                        &reply, &stop) ||
      !ParseSuccessReply(reply, root)) {
    return 0;
  }
  state.serverDate = JsonText(JsonMember(root, "initparams"), "curdate").substr(0, kServerDateLength);

  HWND window;
  while ((window = state.mainWindow.load()) == nullptr) {
    if (stop.WaitFor(kMainWindowPollMs)) return 0;
  }
  PostMessageW(window, WM_APP_INIT_PARAMS_LOADED, 0, 0);
  return 1;
}
