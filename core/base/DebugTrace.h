#pragma once

// The program's one path to the debugger output (there is no log file); the
// UI framework writes its diagnostics through it too. Each call writes its
// text as whole lines, each ended by "\r\n" here (EndTraceLines), so a format
// carries no line ending of its own.
void DebugTrace(const wchar_t* format, ...);
void DebugTraceA(const char* format, ...);
