// The shipped program's test hooks: none. QuilloraTestHooks.exe links
// app/TestHooks.cpp in their place (app/TestHooks.h).
#include "app/TestHooks.h"

ServiceOverrides ReadTestServiceOverrides() { return ServiceOverrides(); }
void CrashWhenAsked() {}
void StartTestQueries() {}
