#pragma once

// The segment files of one speech-to-text job: "<stem>NN.mp3" with ffmpeg's
// "%02d" numbering from 00 (00..99, then 100, 101 ...).

#include <string>
#include <vector>

std::wstring SegmentFilePath(const std::wstring& stem, int number);

// The segments in number order: every file of the name pattern that exists or
// that ffmpeg logged (`logged`, UTF-8 as ffmpeg prints it), followed by any
// other file ffmpeg logged. Neither ffmpeg's log nor the pattern alone is
// relied on.
std::vector<std::wstring> CollectSegmentFiles(const std::wstring& stem, const std::vector<std::string>& logged);

// Deletes "<stem>00.mp3", "<stem>01.mp3" ... up to the first one missing.
void RemoveSegmentFiles(const std::wstring& stem);
