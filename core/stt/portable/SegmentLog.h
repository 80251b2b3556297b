#pragma once

// The segment files named in ffmpeg's console output: the first group of every
// match of `Opening '(.*)' for` in order, one match at most per line ("." does
// not cross "\n" or "\r", and ffmpeg ends its progress lines with "\r"). The
// paths are as ffmpeg prints them: UTF-8.

#include <string>
#include <vector>

std::vector<std::string> ParseSegmentPaths(const std::string& ffmpegOutput);
