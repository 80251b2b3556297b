#pragma once

// Conversions between the program's three text forms: UTF-16 (the user
// interface), UTF-8 (JSON from the servers, recognised text) and the ANSI code
// page (text that is hashed, Base64-encoded or handed to narrow file
// functions). Each returns a new string and leaves its input unchanged;
// characters the target cannot hold become the system's default character.

#include <string>

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::string Utf8ToAnsi(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
// An ANSI path widened through the ANSI code page (CP_ACP), the one every
// narrow path of the program is made with, so a path survives the round trip
// whatever the calling thread's locale.
std::wstring AnsiToWidePath(const std::string& path);
// Text of the speech service (catalogue names and descriptions) widened
// through the calling thread's ANSI code page. Not for paths.
std::wstring ThreadAnsiToWide(const std::string& text);
