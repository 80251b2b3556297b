#pragma once

// Names of the speech-to-text page's files: which dropped or picked files are
// audio sources, where a source's folder ends, the transcript's name, and the
// paths a multi-selection file picker hands back.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Whether the path's last extension (the text from the last "." of its file
// name on) is one of `extensions` (".mp3" and the like, lower-case ASCII),
// ASCII letters compared without case. A name like "talk.mp3.bak" is not
// audio; "TALK.MP3" is.
bool HasAudioExtension(const std::wstring& path, const std::vector<std::wstring>& extensions);

// A source path cut after its last "\" (or "/"): the folder with its trailing
// separator, and the file name. A path without a separator has an empty folder.
struct SourcePathParts {
  std::wstring folder;
  std::wstring fileName;
};
SourcePathParts SplitSourcePath(const std::wstring& path);

// The folder with one trailing "\" (nothing added when it already ends with
// "\" or "/"); empty stays empty.
std::wstring WithTrailingSeparator(const std::wstring& folder);

// The transcript's path "<folder><base>_<date>_<ms>.<extension>"; `folder`
// ends with its separator.
std::wstring TranscriptOutputPath(const std::wstring& folder, const std::wstring& baseName, int64_t date,
                                  uint64_t milliseconds, const std::wstring& extension);

// The paths in a multi-selection picker's buffer: either one whole path, or
// the folder followed by NUL-separated names and an empty name. `nameOffset`
// is where the first name starts; `size` bounds the reading (a buffer with no
// final empty name ends there). Each path is the folder, one "\" and a name.
std::vector<std::wstring> PickedFilePaths(const wchar_t* buffer, size_t size, size_t nameOffset);

// A row number written as decimal text (a button's user data), or 0 when the
// text is not a positive decimal number that fits an int. Leading zeros are
// allowed, however many.
int ParseRowNumber(const std::wstring& text);
