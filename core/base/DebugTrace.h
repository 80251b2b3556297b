#pragma once

// Diagnostics for the debugger output (there is no log file). Each call writes
// one line; the "\r\n" ending is added here.
void DebugTrace(const wchar_t* format, ...);
void DebugTraceA(const char* format, ...);
