#pragma once

#include <string>

// Conversions between the program's three text forms: UTF-16 (the user
// interface), UTF-8 (JSON from the servers, recognised text) and the ANSI code
// page (text that is hashed, Base64-encoded or handed to narrow file
// functions). Each returns a new string and leaves its input unchanged;
// characters the target cannot hold become the system's default character.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::string Utf8ToAnsi(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
// An ANSI path widened through the thread's ANSI code page.
std::wstring AnsiToWidePath(const std::string& path);
