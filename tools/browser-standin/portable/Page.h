#pragma once
// What the stand-in browser engine takes from an HTML page: its title, the
// text and links to show, the frames it embeds, and the variables its scripts
// set as literals (`var info = "...";`). No script runs and no form is
// filled; this is a reader for the simple pages of the stand-in services.

#include <string>
#include <vector>

namespace browserstandin {

struct PageItem {
  enum Kind { kText, kHeading, kLink, kBreak, kFrame };
  Kind kind = kText;
  std::wstring text;  // shown text (entities decoded, blanks folded)
  std::wstring href;  // kLink: the link target as written; kFrame: the frame's source
  int frame = -1;     // kFrame: index into Page::frames
};

struct PageVariable {
  enum Type { kString, kNumber, kBool, kNull };
  std::wstring name;
  Type type = kNull;
  std::wstring text;    // kString
  double number = 0;    // kNumber
  bool boolean = false; // kBool
};

struct Page {
  std::wstring title;
  std::vector<PageItem> items;
  std::vector<std::wstring> frames;  // iframe sources, in page order
  std::vector<PageVariable> variables;

  // The variable of that name (names are case-sensitive, as in scripts); null when absent.
  const PageVariable* FindVariable(const std::wstring& name) const;
};

// Reads a page's markup (already decoded to UTF-16). Never fails: markup it
// does not understand is shown as text or skipped.
Page ParsePage(const std::wstring& html);

// Variables assigned a literal in a script's text: `var|let|const NAME = LITERAL`
// with a string ('...' or "..." with the usual escapes), number, true, false
// or null. A later assignment of the same name replaces an earlier one.
void ScanScriptVariables(const std::wstring& script, std::vector<PageVariable>* variables);

// Decodes the character references of a text (&amp; &lt; &#20320; &#x4F60; ...).
std::wstring DecodeEntities(const std::wstring& text);

}  // namespace browserstandin
