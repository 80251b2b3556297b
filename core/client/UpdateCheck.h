#pragma once
// The version check, run by a start-up worker, and the refresh of the
// updater program it may make.

// The version check thread and the refreshing of the updater program beside
// the program.

#include <windows.h>

#include <cstdint>
#include <string>

class ClientState;
class HttpClient;
class StopToken;

// Asks the client-management service for a newer version. When there is one,
// the updater program is refreshed from the reply's updater entry if its
// CRC-32 differs from the local file's, and then started hidden with
// "quillora.ini" through ClientState::launchUpdater. A failed request or
// refresh ends the check without starting anything; the previous updater
// stays in place. `stop`, the worker's token, aborts its transfers (a stopped
// check starts nothing). Returns 0.
DWORD CheckForUpdateThread(const ClientState& state, const StopToken& stop);

// CRC-32 of a whole file; 0 when it is missing, empty or unreadable.
uint32_t ComputeFileCrc32(const std::wstring& path);

// Downloads the new updater beside the current one ("_willdel"), checked
// against `expectedCrc`, and moves it into place, keeping the current one as
// "_backup" until the move succeeded. Both side files are removed afterwards.
// True only when the new file is in place. `stop` aborts the download.
bool RefreshUpdater(const std::string& updaterAnsiPath, const std::string& url, uint32_t expectedCrc,
                    const HttpClient& client, const StopToken* stop = nullptr);
