#pragma once

// The user's temporary folder in long-path form, ending with "\", created when
// it is missing (a fresh profile may lack it). Empty when the system names none.

#include <string>

std::wstring GetLongTempFolder();
