#include "core/stt/portable/SegmentLog.h"

// Written out rather than with std::regex, whose matcher recurses once per
// character and can exhaust a worker thread's stack on a long line.
std::vector<std::string> ParseSegmentPaths(const std::string& ffmpegOutput) {
  static const std::string kOpening = "Opening '";
  static const std::string kFor = "' for";
  std::vector<std::string> paths;
  size_t lineStart = 0;
  while (lineStart <= ffmpegOutput.size()) {
    size_t lineEnd = ffmpegOutput.find_first_of("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = ffmpegOutput.size();
    const std::string line = ffmpegOutput.substr(lineStart, lineEnd - lineStart);
    // The leftmost opening, and the greedy group: up to the last "' for".
    const size_t open = line.find(kOpening);
    if (open != std::string::npos) {
      const size_t groupStart = open + kOpening.size();
      const size_t close = line.rfind(kFor);
      if (close != std::string::npos && close >= groupStart) {
        paths.push_back(line.substr(groupStart, close - groupStart));
      }
    }
    lineStart = lineEnd + 1;
  }
  return paths;
}
