#include "core/portable/ReplaceAll.h"

std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement) {
  std::string result = text;
  if (pattern.empty()) return result;
  if (replacement.empty()) {
    for (size_t at = result.find(pattern); at != std::string::npos; at = result.find(pattern)) {
      result.erase(at, pattern.size());
    }
    return result;
  }
  for (size_t at = result.find(pattern); at != std::string::npos;
       at = result.find(pattern, at + replacement.size())) {
    result.replace(at, pattern.size(), replacement);
  }
  return result;
}
