#pragma once
// What the test variant of the program (QuilloraTestHooks.exe) adds for the
// end-to-end tests. Two units define these functions: app/TestHooks.cpp,
// linked only into the test variant, and app/NoTestHooks.cpp, the shipped
// program's versions, which do nothing. The rest of the program is built once
// and calls them at the points below.

#include "core/transport/portable/ServiceConfig.h"

// What points the program at a test's own stand-in services, read from the
// environment: QUILLORA_TEST_SPEECH_URL, QUILLORA_TEST_MANAGEMENT_URL and
// QUILLORA_TEST_LOGIN_URL give the service addresses, and
// QUILLORA_TEST_RSA_KEY_FILE and QUILLORA_TEST_CA_FILE name PEM files for the
// envelope key and the trusted authority. Start-up resolves them with the
// other sources (ResolveServiceConfig: they come last, so they win). The
// shipped program reads none.
ServiceOverrides ReadTestServiceOverrides();

// Crashes when QUILLORA_TEST_CRASH is "1", to exercise the crash handler; runs
// once the handler is installed.
void CrashWhenAsked();

// Opens the control query window (core/base/portable/ControlQuery.h) on the
// UI thread: a test in another process asks it about any control of any
// framework window of the program (modal windows included, since their loops
// dispatch its messages too), or has it post a file drop to a window.
void StartTestQueries();
