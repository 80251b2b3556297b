#include "core/client/UpdateCheck.h"

#include "core/base/DebugTrace.h"
#include "core/base/ScopedHandle.h"
#include "core/base/TextConversion.h"
#include "core/base/WorkerThread.h"
#include "core/base/portable/Checksums.h"
#include "core/client/ClientState.h"
#include "core/client/portable/UpdateOffer.h"
#include "core/transport/EnvelopedRequest.h"
#include "core/transport/portable/ManagementReply.h"

namespace {

const wchar_t kUpdaterParameters[] = L"quillora.ini";

void StartUpdater(const ClientState& state) {
  if (!state.launchUpdater || !state.launchUpdater(state.updaterPath, kUpdaterParameters)) {
    DebugTrace(L"updater: %ls could not be started", state.updaterPath.c_str());
  }
}

bool FileExists(const std::string& ansiPath) { return GetFileAttributesA(ansiPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

uint32_t ComputeFileCrc32(const std::wstring& path) {
  OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  uint32_t crc = 0;
  char chunk[64 * 1024];
  DWORD read = 0;
  BOOL ok;
  while ((ok = ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr)) && read > 0) crc = Crc32(chunk, read, crc);
  return ok ? crc : 0;
}

bool RefreshUpdater(const std::string& updaterAnsiPath, const std::string& url, uint32_t expectedCrc,
                    const HttpClient& client, const StopToken* stop) {
  const std::string fresh = updaterAnsiPath + "_willdel";
  const std::string backup = updaterAnsiPath + "_backup";
  bool moved = false;
  if (client.DownloadFile(url, fresh, expectedCrc, stop)) {
    if (!FileExists(updaterAnsiPath)) {
      // No updater yet: nothing to keep, the new one goes straight into place.
      moved = MoveFileExA(fresh.c_str(), updaterAnsiPath.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    } else if (MoveFileExA(updaterAnsiPath.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      moved = MoveFileExA(fresh.c_str(), updaterAnsiPath.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
      if (!moved) MoveFileExA(backup.c_str(), updaterAnsiPath.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    if (!moved) DebugTraceA("updater: the new file could not be moved into place (error %lu)", GetLastError());
  }
  DeleteFileA(fresh.c_str());
  DeleteFileA(backup.c_str());
  return moved;
}

DWORD CheckForUpdateThread(const ClientState& state, const StopToken& stop) {
  const std::string request = "/client/queryversion?softid=" + std::to_string(state.softId) +
                              "&version=" + std::to_string(state.version) + "&type=1";
  std::string reply;
  Json::Value root;
  if (!RequestEnveloped(state, kEnvelopeProtected, request, &reply, &stop) || !ParseSuccessReply(reply, root)) {
    return 0;
  }

  const UpdateOffer offer = ReadUpdateOffer(root, state.version);
  switch (offer.action) {
    case UpdateOffer::Action::kNothing:
      return 0;
    case UpdateOffer::Action::kStartUpdater:
      StartUpdater(state);
      return 0;
    case UpdateOffer::Action::kRefresh:
      break;
  }
  if (ComputeFileCrc32(state.updaterPath) == offer.crc32) return 0;  // already the offered updater
  if (RefreshUpdater(WideToAnsi(state.updaterPath), offer.url, offer.crc32, state.httpClient, &stop)) {
    StartUpdater(state);
  }
  return 0;
}
