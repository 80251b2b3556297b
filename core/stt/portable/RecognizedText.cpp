#include "core/stt/portable/RecognizedText.h"

namespace {

// White space as the expression's \S excludes it.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Length of the tag that starts at `open` (a "["), or 0 when none does. \S+
// cannot cross white space, so a tag can only end at the first white space
// after the bracket: that must be a space right after a "]", with at least one
// character between the brackets.
size_t TagLengthAt(const std::string& text, size_t open) {
  size_t end = open + 1;
  while (end < text.size() && !IsSpace(text[end])) ++end;
  if (end >= text.size() || text[end] != ' ') return 0;
  if (end - open < 3 || text[end - 1] != ']') return 0;
  return end + 1 - open;
}

}  // namespace

// Written out rather than with std::regex: recognised Chinese text has no
// spaces, and the library's matcher recurses once per character of such a run.
std::string RemoveBracketTags(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('[', pos);
    if (open == std::string::npos) break;
    const size_t length = TagLengthAt(text, open);
    if (length == 0) {
      out.append(text, pos, open + 1 - pos);
      pos = open + 1;
      continue;
    }
    out.append(text, pos, open - pos);
    pos = open + length;
  }
  out.append(text, pos, std::string::npos);
  return out;
}
