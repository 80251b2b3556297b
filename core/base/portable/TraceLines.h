#pragma once

// Kept to this header so that the Windows base library, which the UI framework
// links, needs no other library for it.
#include <string>
#include <string_view>

namespace trace_lines_detail {

template <typename Char>
std::basic_string<Char> EndLines(std::basic_string_view<Char> text) {
  const Char cr = static_cast<Char>('\r');
  const Char lf = static_cast<Char>('\n');
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == cr || text[end - 1] == lf)) --end;
  std::basic_string<Char> lines;
  lines.reserve(end + 2);
  for (size_t i = 0; i < end; ++i) {
    if (text[i] == cr || text[i] == lf) {
      if (text[i] == cr && i + 1 < end && text[i + 1] == lf) ++i;  // "\r\n" is one break
      lines += cr;
      lines += lf;
    } else {
      lines += text[i];
    }
  }
  lines += cr;
  lines += lf;
  return lines;
}

}  // namespace trace_lines_detail

// The text of one diagnostic as the debugger output receives it: whole lines,
// each ended by "\r\n". A line break inside the text ("\r\n", "\n" or a lone
// "\r", as tool output and server replies bring them) becomes "\r\n"; line
// breaks at its end are dropped and exactly one "\r\n" ends it, so a caller
// that ends its own text does not double the ending.
inline std::string EndTraceLines(std::string_view text) { return trace_lines_detail::EndLines(text); }
inline std::wstring EndTraceLines(std::wstring_view text) { return trace_lines_detail::EndLines(text); }
