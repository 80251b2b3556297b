#pragma once

#include <string>

// Replaces every occurrence of `pattern` in a byte string. The scan resumes
// just after each inserted replacement, so inserted text is never rescanned;
// an empty replacement restarts the search at the beginning after every
// removal, so occurrences formed by a removal go too. An empty pattern leaves
// the text unchanged.
std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement);
