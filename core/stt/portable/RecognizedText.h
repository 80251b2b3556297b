#pragma once

// Recognised text with its tags removed: every bracketed token without white
// space that is followed by one space ("[speaker1] ", "[00:01.20] ") goes,
// exactly as the expression `\[\S+\] ` would remove it; a token at the very
// end (no space after it) stays. Works on UTF-8 bytes.

#include <string>

std::string RemoveBracketTags(const std::string& text);
