#pragma once

// Small byte- and path-text helpers shared by the requests and the jobs.

#include <string>

// Replaces every occurrence of `pattern` in a byte string. The scan resumes
// just after each inserted replacement, so inserted text is never rescanned;
// an empty replacement restarts the search at the beginning after every
// removal, so occurrences formed by a removal go too. An empty pattern leaves
// the text unchanged.
std::string ReplaceAll(const std::string& text, const std::string& pattern, const std::string& replacement);

// A value made safe inside a form body or a query: every byte other than the
// unreserved ASCII letters, digits and "-", ".", "_", "~" becomes "%XX"
// (upper-case hexadecimal), so "&", "=", "+" and "%" in the value keep their
// meaning as data.
std::string PercentEncode(const std::string& value);

// The length of the longest start of a UTF-8 text that fits in `maxBytes`
// bytes without ending inside a character: a cut never leaves the first bytes
// of a character behind. Bytes that are not well-formed UTF-8 count one by one.
size_t Utf8PrefixLength(const std::string& text, size_t maxBytes);

// The file name of a Windows path without its folder and its extension: the
// characters between the last "\" and the last ".". Empty when the name has
// no extension (or the last point lies in a folder name).
std::wstring GetFileBaseName(const std::wstring& path);

// Whether `text` ends with `suffix`; `suffix` is lower-case ASCII and only the
// ASCII letters of `text` are folded (file extensions such as ".docx").
bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix);
