#include "core/tts/portable/SsmlBuilder.h"

#include <algorithm>
#include <cwchar>
#include <vector>

// Index:
//   --- Marks ---      finding pause and polyphone marks
//   --- Splitting ---  comma insertion for long texts
//   --- Rendering ---  marks to elements, escaping, piece boundaries
//   --- Builder ---

namespace {

// Texts are limited to 5000 editor characters, far below these bounds.
constexpr int32_t kShortTextLimit = 150;  // shorter texts go out whole, unsplit
constexpr int32_t kPreviewLength = 150;
constexpr int32_t kWindow = 149;          // longest stretch between two commas

constexpr wchar_t kPauseOpen[] = L"<break time=\"";
constexpr wchar_t kPauseClose[] = L"\"/>";
constexpr wchar_t kPolyphoneOpen[] = L"[=";
constexpr size_t kPauseOpenLength = sizeof(kPauseOpen) / sizeof(wchar_t) - 1;

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// `at`, or one less when it falls between the two halves of a surrogate pair:
// cuts and inserted commas go between characters, never inside one.
size_t BetweenCharacters(const std::wstring& text, size_t at) {
  if (at > 0 && at < text.size() && IsHighSurrogate(text[at - 1]) && IsLowSurrogate(text[at])) return at - 1;
  return at;
}

// Control characters other than tab and line breaks are not allowed in XML
// and are left out of the markup.
bool IsDroppedControl(wchar_t c) { return c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r'; }

// --- Marks ---

struct Mark {
  size_t start;
  size_t length;
  bool pause;
  size_t end() const { return start + length; }
};

// The length of the pause mark that starts at `at`, or 0 when none does.
size_t PauseLengthAt(const std::wstring& text, size_t at) {
  if (text.compare(at, kPauseOpenLength, kPauseOpen) != 0) return 0;
  const size_t quote = text.find(L'"', at + kPauseOpenLength);
  if (quote == std::wstring::npos || text.compare(quote, 3, kPauseClose) != 0) return 0;
  return quote + 3 - at;
}

// The first pause mark starting at or after `from`, {npos, 0} when none.
Mark NextPause(const std::wstring& text, size_t from) {
  for (size_t open = text.find(kPauseOpen, from); open != std::wstring::npos; open = text.find(kPauseOpen, open + 1)) {
    const size_t length = PauseLengthAt(text, open);
    if (length > 0) return {open, length, true};
  }
  return {std::wstring::npos, 0, true};
}

// Pause marks match `<break time="([^"]*)"/>`, polyphone marks `\[=[^\]]*\]`
// without a "[=" inside the reading.
// Both kinds are found in one left-to-right scan without overlap, the
// leftmost first, with one exception: a polyphone mark never swallows a pause
// mark. A "[=" whose reading would hold the start of a pause is plain text,
// and the pause stays a pause. Every path (short, long, rendering) uses this
// scan, so they agree on what is a mark. Written out by hand: a backtracking
// regex engine recurses once per character and can exhaust a worker thread's
// stack on a long unclosed mark.
std::vector<Mark> FindMarks(const std::wstring& text) {
  std::vector<Mark> marks;
  Mark pause = NextPause(text, 0);
  bool polyphonesLeft = true;  // false once no "[=" is followed by a "]"
  size_t from = 0;
  while (from < text.size()) {
    if (pause.start != std::wstring::npos && pause.start < from) pause = NextPause(text, from);
    const size_t open = polyphonesLeft ? text.find(kPolyphoneOpen, from) : std::wstring::npos;
    if (open != std::wstring::npos && open < pause.start) {
      const size_t close = text.find(L']', open + 2);
      if (close == std::wstring::npos) {
        polyphonesLeft = false;
      } else if (close < pause.start) {
        // A reading holds no "[=": the mark opens at the last "[=" before
        // its "]", and an earlier stray "[=" stays plain text.
        const size_t last = text.rfind(kPolyphoneOpen, close - 2);
        marks.push_back({last, close + 1 - last, false});
        from = close + 1;
      } else {
        from = open + 1;
      }
      continue;
    }
    if (pause.start == std::wstring::npos) break;
    marks.push_back(pause);
    from = pause.end();
  }
  return marks;
}

// Empty marks "[=]" say nothing; removing one may join the text around it
// into another, which is removed in turn.
void RemoveEmptyMarks(std::wstring& text) {
  for (size_t empty = text.find(L"[=]"); empty != std::wstring::npos; empty = text.find(L"[=]")) text.erase(empty, 3);
}

// --- Splitting ---

// Inserts commas into the mark-free text so that no stretch between commas
// runs longer than the service accepts; returns the insertion points in the
// coordinates of the text before any insertion.
std::vector<int32_t> SplitAtCommas(std::wstring& plain) {
  std::vector<int32_t> splits;
  auto length = [&plain] { return static_cast<int32_t>(plain.size()); };
  if (plain.find(L',') == std::wstring::npos) {
    if (length() <= kShortTextLimit) return splits;
    for (int32_t point = kShortTextLimit; point < length(); point += kWindow) {
      point = static_cast<int32_t>(BetweenCharacters(plain, static_cast<size_t>(point)));
      plain.insert(static_cast<size_t>(point), 1, L',');
      splits.push_back(point - static_cast<int32_t>(splits.size()));
    }
    return splits;
  }
  if (length() < kShortTextLimit) return splits;
  int32_t start = 0;
  int32_t end = kWindow;
  while (true) {
    const int32_t found = FindInRange(plain, L",", start, end);
    if (found != -1) {
      const int32_t handledEnd = end;
      start += found + 1;
      end = start + kWindow;
      if (handledEnd >= length()) break;
    } else {
      if (end > length()) break;
      end = static_cast<int32_t>(BetweenCharacters(plain, static_cast<size_t>(end)));
      plain.insert(static_cast<size_t>(end), 1, L',');
      splits.push_back(end - static_cast<int32_t>(splits.size()));
      start = end + 1;
      end = start + kWindow;
      if (start >= length()) break;
    }
  }
  return splits;
}

// Puts the marks of `text` back into the split plain text. A mark goes where
// it stood among the plain characters; at the place of an inserted comma a
// pause follows the comma, a polyphone mark stays before it, next to its
// character. A mark never goes before a comma that an earlier mark follows,
// so the marks keep their order (a reading typed after a pause stays after it).
std::wstring InsertMarks(const std::wstring& plain, const std::wstring& text, const std::vector<Mark>& marks,
                         const std::vector<int32_t>& splits) {
  std::wstring body;
  size_t copied = 0;     // characters of `plain` already in the body
  size_t plainSeen = 0;  // plain characters of `text` before the current mark
  size_t textAt = 0;
  size_t commas = 0;
  for (const Mark& mark : marks) {
    plainSeen += mark.start - textAt;
    textAt = mark.end();
    const int32_t offset = static_cast<int32_t>(plainSeen);
    size_t before = 0;
    for (int32_t split : splits) {
      if (mark.pause ? split <= offset : split < offset) ++before;
    }
    commas = std::max(commas, before);
    const size_t at = std::min(plainSeen + commas, plain.size());
    body.append(plain, copied, at - copied);
    copied = at;
    body.append(text, mark.start, mark.length);
  }
  body.append(plain, copied, std::wstring::npos);
  return body;
}

// --- Rendering ---

void AppendEscaped(std::wstring& out, wchar_t c, bool attribute) {
  switch (c) {
    case L'&': out += L"&amp;"; return;
    case L'<': out += L"&lt;"; return;
    case L'>': out += L"&gt;"; return;
    case L'"':
      out += attribute ? L"&quot;" : L"\"";
      return;
    default:
      if (IsDroppedControl(c)) return;
      out += c;
  }
}

void AppendEscaped(std::wstring& out, const std::wstring& text, size_t from, size_t count, bool attribute) {
  for (size_t i = from; i < from + count; ++i) AppendEscaped(out, text[i], attribute);
}

// Renders a body: plain text escaped, pause marks as break elements,
// polyphone marks as phoneme elements around the character before them, and,
// with `pieces`, a "</speak><speak>" boundary before every comma of the plain
// text except one that opens the body.
std::wstring RenderBody(std::wstring body, bool pieces) {
  RemoveEmptyMarks(body);
  const std::vector<Mark> marks = FindMarks(body);
  std::wstring out;
  auto appendPlain = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i) {
      if (pieces && body[i] == L',' && i > 0) out += L"</speak><speak>";
      AppendEscaped(out, body[i], false);
    }
  };
  size_t plainStart = 0;
  for (const Mark& mark : marks) {
    size_t plainCount = mark.start - plainStart;
    if (mark.pause) {
      appendPlain(plainStart, plainCount);
      out += kPauseOpen;
      AppendEscaped(out, body, mark.start + kPauseOpenLength, mark.length - kPauseOpenLength - 3, true);
      out += kPauseClose;
    } else {
      const size_t readingLength = mark.length - 3;
      // The marked character must reach the markup: a control character
      // left out of it would leave the reading wrapping nothing.
      const bool applies = plainCount > 0 && readingLength > 0 && body[mark.start + 2] != L'[' &&
                           !IsDroppedControl(body[mark.start - 1]);
      if (applies) {
        // The marked character, a surrogate pair counting as one.
        size_t charLength = 1;
        if (plainCount >= 2 && IsLowSurrogate(body[mark.start - 1]) && IsHighSurrogate(body[mark.start - 2])) {
          charLength = 2;
        }
        appendPlain(plainStart, plainCount - charLength);
        const size_t charStart = mark.start - charLength;
        if (pieces && body[charStart] == L',' && charStart > 0) out += L"</speak><speak>";
        out += L"<phoneme alphabet=\"py\" ph=\"";
        AppendEscaped(out, body, mark.start + 2, readingLength, true);
        out += L"\">";
        AppendEscaped(out, body, charStart, charLength, false);
        out += L"</phoneme>";
      } else {
        appendPlain(plainStart, plainCount);
        AppendEscaped(out, body, mark.start, mark.length, false);
      }
    }
    plainStart = mark.end();
  }
  appendPlain(plainStart, body.size() - plainStart);
  return out;
}

// The editor text cut for a preview; a cut that would fall inside a mark is
// moved to the mark's start, so no half mark reaches the markup, and one
// inside a surrogate pair goes before the pair.
std::wstring PreviewCut(const std::wstring& text) {
  size_t cut = kPreviewLength;
  for (const Mark& mark : FindMarks(text)) {
    if (mark.start < cut && cut < mark.end()) cut = mark.start;
  }
  return text.substr(0, BetweenCharacters(text, cut));
}

std::wstring PauseElement(int32_t seconds) {
  wchar_t text[64];
  std::swprintf(text, 64, L"<break time=\"%ds\"/>", static_cast<int>(seconds));
  return text;
}

}  // namespace

// --- Builder ---

int32_t FindInRange(const std::wstring& text, const std::wstring& pattern, int32_t from, int32_t to) {
  const int32_t length = static_cast<int32_t>(text.size());
  if (from >= length || to > length || to < from) return 0;
  const size_t found = text.find(pattern, static_cast<size_t>(from));
  if (found == std::wstring::npos || found + pattern.size() > static_cast<size_t>(to)) return -1;
  return static_cast<int32_t>(found) - from;
}

int32_t CountSubstring(const std::wstring& text, const std::wstring& pattern) {
  if (pattern.empty()) return 0;
  int32_t count = 0;
  for (size_t at = text.find(pattern); at != std::wstring::npos; at = text.find(pattern, at + pattern.size())) {
    ++count;
  }
  return count;
}

void ApplyPolyphoneMarks(std::wstring& text) { text = RenderBody(text, false); }

bool BuildSsml(const std::wstring& editorText, int mode, int32_t leadSeconds, int32_t tailSeconds,
               std::wstring& ssml) {
  std::wstring out = L"<speak>";
  if (leadSeconds > 0) out += PauseElement(leadSeconds);

  if (static_cast<int32_t>(editorText.size()) < kShortTextLimit) {
    out += RenderBody(editorText, false);
  } else {
    std::wstring text = mode == kSsmlPreview ? PreviewCut(editorText) : editorText;
    std::replace(text.begin(), text.end(), L'，', L',');
    std::replace(text.begin(), text.end(), L'。', L',');

    RemoveEmptyMarks(text);

    // Splitting works on the text without its marks; the marks then go back
    // between the same plain characters, so the body holds the same marks.
    const std::vector<Mark> marks = FindMarks(text);
    std::wstring plain;
    size_t from = 0;
    for (const Mark& mark : marks) {
      plain.append(text, from, mark.start - from);
      from = mark.end();
    }
    plain.append(text, from, std::wstring::npos);

    const std::vector<int32_t> splits = SplitAtCommas(plain);
    out += RenderBody(InsertMarks(plain, text, marks, splits), true);
  }

  if (tailSeconds >= 1) out += PauseElement(tailSeconds);
  out += L"</speak>";
  if (out.size() > kSsmlCapacity) return false;
  ssml = std::move(out);
  return true;
}
