// The shipped program's test hooks: none. QuilloraTestHooks.exe links
// app/TestHooks.cpp in their place (app/TestHooks.h).
#include "app/TestHooks.h"

void ApplyTestServiceOverrides() {}
void CrashWhenAsked() {}
void StartTestQueries() {}
