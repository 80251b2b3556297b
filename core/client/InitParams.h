#pragma once

// Fetches the start-up parameters from the client-management service (the
// ClientState is the parameter): stores the service's date in
// `serverDate`, then waits for the main window (looking every 500 ms) and
// posts it WM_APP_INIT_PARAMS_LOADED. A failed request, a reply that is not
// JSON or a status other than "SUCCESS" ends the thread quietly (returns 0);
// after posting it returns 1.

#include <windows.h>

DWORD WINAPI FetchInitParamsThread(LPVOID clientState);
