#pragma once
// The program's start-up after the skin archive is in place: crash handler,
// single instance, elevation, settings, network, background threads and the
// main window. UI thread only.
#include "app/StartupChecks.h"

// Runs the start-up in its order; 1 when the message loop should run, 0 to end.
int RunApplicationMain();
