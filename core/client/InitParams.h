#pragma once
// The start-up parameters fetch, run by a start-up worker.

#include <windows.h>

class ClientState;
class StopToken;

// Fetches the start-up parameters from the client-management service: stores
// the service's date in `serverDate`, then waits for the main window (looking
// every 500 ms) and posts it WM_APP_INIT_PARAMS_LOADED. A failed request, a
// reply that is not JSON or a status other than "SUCCESS" ends the fetch
// quietly (returns 0); after posting it returns 1. `stop`, the worker's
// token, aborts the request and ends the wait (0).
DWORD FetchInitParamsThread(ClientState& state, const StopToken& stop);
