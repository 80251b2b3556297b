#pragma once

// Turns the text-to-speech editor text into the SSML that the speech service
// receives. The editor text holds plain text with two kinds of marks: pause
// marks, written as the break elements `<break time="2s"/>`, and polyphone
// marks, the pinyin reading between "[=" and "]" right after the character
// whose reading it fixes ("睡觉[=jiao4]").
//
// The result is one or more speak pieces: the text is wrapped in
// <speak>...</speak> with optional lead and tail pauses; a text of 150
// characters or more is cut into pieces at commas, commas being inserted where
// 149 characters pass without one, and a preview keeps only its first 150
// characters. Marks keep their place; polyphone marks become phoneme elements.
// The output is always well-formed: "&", "<" and ">" of the plain text are
// escaped, and marks that cannot apply stay as plain text. Marks are found in
// one left-to-right scan; a pause mark is always a pause, even where it is
// typed inside a reading, and a reading applies only to the plain character
// right before it (not to a control character, which the markup leaves out).
// A reading holds no "[=": a mark opens at the last "[=" before its "]", and
// a stray "[=" before it stays text. Cuts and inserted commas fall between
// characters, never inside a surrogate pair.

#include <cstddef>
#include <cstdint>
#include <string>

// Modes: the listen test, which speaks only the first 150 characters, and a conversion.
constexpr int kSsmlPreview = 1;
constexpr int kSsmlConversion = 2;

// The SSML must fit the job's text field of this many characters.
constexpr size_t kSsmlCapacity = 19999;

// At most this many pause marks are allowed in one text; the editor counts
// them with CountSubstring(text, L"break time=").
constexpr int32_t kMaxPauseMarks = 10;

// Builds the SSML of `editorText`. `leadSeconds` > 0 and `tailSeconds` >= 1 add
// pauses before and after the text. False, with `ssml` untouched, when the
// result would not fit kSsmlCapacity.
bool BuildSsml(const std::wstring& editorText, int mode, int32_t leadSeconds, int32_t tailSeconds, std::wstring& ssml);

// Rewrites the polyphone marks of a text as phoneme elements and escapes its
// plain text; pause marks stay break elements. Empty marks "[=]" disappear; a
// mark with no plain character before it, or whose reading starts with "[",
// stays as plain text.
void ApplyPolyphoneMarks(std::wstring& text);

// Offset, relative to `from`, of the first `pattern` inside [from, min(to,
// length)), or -1 when there is none. Returns 0 (not -1) when from >= length,
// to > length or to < from; the splitter relies on that to end its walk.
int32_t FindInRange(const std::wstring& text, const std::wstring& pattern, int32_t from, int32_t to);

// Non-overlapping occurrences of `pattern`, scanning left to right.
int32_t CountSubstring(const std::wstring& text, const std::wstring& pattern);
