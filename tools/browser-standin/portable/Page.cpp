#include "tools/browser-standin/portable/Page.h"

#include <cwchar>
#include <cwctype>

namespace browserstandin {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }
bool IsNameChar(wchar_t c) { return iswalnum(c) || c == L'_' || c == L'$'; }

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

// Appends a code point as UTF-16 (or as one unit where wchar_t is wider).
void AppendCodePoint(unsigned long code, std::wstring* out) {
  if (code == 0 || code > 0x10FFFF) code = 0xFFFD;
  if (code >= 0x10000 && sizeof(wchar_t) == 2) {
    code -= 0x10000;
    out->push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
    out->push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
  } else {
    out->push_back(static_cast<wchar_t>(code));
  }
}

// Blanks folded to one space, as a page shows its text.
std::wstring FoldBlanks(const std::wstring& text) {
  std::wstring out;
  bool blank = false;
  for (wchar_t c : text) {
    if (IsBlank(c)) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out.push_back(L' ');
    blank = false;
    out.push_back(c);
  }
  return out;
}

struct Tag {
  std::wstring name;  // lower case, without "/"
  bool closing = false;
  std::vector<std::pair<std::wstring, std::wstring>> attributes;  // names lower case, values decoded

  std::wstring Attribute(const wchar_t* wanted) const {
    for (const auto& attribute : attributes) {
      if (attribute.first == wanted) return attribute.second;
    }
    return std::wstring();
  }
};

// Reads the tag that starts at html[pos] == '<'; returns the position after
// its '>' (or the end of the text for a tag left open).
size_t ReadTag(const std::wstring& html, size_t pos, Tag* tag) {
  size_t i = pos + 1;
  if (i < html.size() && html[i] == L'/') {
    tag->closing = true;
    ++i;
  }
  const size_t nameStart = i;
  while (i < html.size() && (iswalnum(html[i]) || html[i] == L'-' || html[i] == L'!')) ++i;
  tag->name = Lower(html.substr(nameStart, i - nameStart));
  while (i < html.size() && html[i] != L'>') {
    if (IsBlank(html[i]) || html[i] == L'/') {
      ++i;
      continue;
    }
    const size_t attrStart = i;
    while (i < html.size() && !IsBlank(html[i]) && html[i] != L'=' && html[i] != L'>' && html[i] != L'/') ++i;
    std::wstring name = Lower(html.substr(attrStart, i - attrStart));
    std::wstring value;
    while (i < html.size() && IsBlank(html[i])) ++i;
    if (i < html.size() && html[i] == L'=') {
      ++i;
      while (i < html.size() && IsBlank(html[i])) ++i;
      if (i < html.size() && (html[i] == L'"' || html[i] == L'\'')) {
        const wchar_t quote = html[i++];
        const size_t end = html.find(quote, i);
        const size_t stop = end == std::wstring::npos ? html.size() : end;
        value = html.substr(i, stop - i);
        i = end == std::wstring::npos ? html.size() : end + 1;
      } else {
        const size_t valueStart = i;
        while (i < html.size() && !IsBlank(html[i]) && html[i] != L'>') ++i;
        value = html.substr(valueStart, i - valueStart);
      }
    }
    if (!name.empty()) tag->attributes.emplace_back(name, DecodeEntities(value));
  }
  return i < html.size() ? i + 1 : html.size();
}

// The raw text up to the closing tag `</name` (case-insensitive); *next is
// set after that closing tag's '>'.
std::wstring RawTextUntilClose(const std::wstring& html, size_t pos, const std::wstring& name, size_t* next) {
  const std::wstring lower = Lower(html);
  const size_t end = lower.find(L"</" + name, pos);
  if (end == std::wstring::npos) {
    *next = html.size();
    return html.substr(pos);
  }
  const size_t close = html.find(L'>', end);
  *next = close == std::wstring::npos ? html.size() : close + 1;
  return html.substr(pos, end - pos);
}

bool IsBlockTag(const std::wstring& name) {
  static const wchar_t* const kBlocks[] = {L"p",  L"div", L"br", L"h1", L"h2", L"h3", L"h4", L"h5",     L"h6",
                                           L"li", L"ul",  L"ol", L"tr", L"table", L"form", L"section", L"hr"};
  for (const wchar_t* block : kBlocks) {
    if (name == block) return true;
  }
  return false;
}

bool IsHeadingTag(const std::wstring& name) {
  return name.size() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6';
}

// Collects page items while the markup is walked.
class ItemBuilder {
 public:
  explicit ItemBuilder(Page* page) : m_page(page) {}

  void AddText(const std::wstring& raw) { m_text += raw; }
  void Break() {
    Flush();
    if (!m_page->items.empty() && m_page->items.back().kind != PageItem::kBreak) {
      m_page->items.push_back(PageItem{PageItem::kBreak, L"", L"", -1});
    }
  }
  void StartHeading() {
    Break();
    m_heading = true;
  }
  void EndHeading() {
    Flush();
    m_heading = false;
    Break();
  }
  void StartLink(const std::wstring& href) {
    Flush();
    m_inLink = true;
    m_href = href;
  }
  void EndLink() {
    if (!m_inLink) return;
    PageItem item{PageItem::kLink, FoldBlanks(DecodeEntities(m_text)), m_href, -1};
    if (item.text.empty()) item.text = m_href;
    m_page->items.push_back(item);
    m_text.clear();
    m_inLink = false;
  }
  void AddFrame(const std::wstring& source) {
    Break();
    m_page->frames.push_back(source);
    m_page->items.push_back(PageItem{PageItem::kFrame, L"", source, static_cast<int>(m_page->frames.size() - 1)});
    Break();
  }
  void Finish() {
    EndLink();
    Flush();
    while (!m_page->items.empty() && m_page->items.back().kind == PageItem::kBreak) m_page->items.pop_back();
  }

 private:
  void Flush() {
    if (m_inLink) return;  // a link's text stays with the link
    const std::wstring text = FoldBlanks(DecodeEntities(m_text));
    m_text.clear();
    if (text.empty()) return;
    m_page->items.push_back(PageItem{m_heading ? PageItem::kHeading : PageItem::kText, text, L"", -1});
  }

  Page* m_page;
  std::wstring m_text;  // text gathered since the last item
  std::wstring m_href;  // target of the open link
  bool m_inLink = false;
  bool m_heading = false;
};

// Reads a script string literal starting at its quote; returns false when it
// does not end on the same line of script.
bool ReadStringLiteral(const std::wstring& script, size_t* pos, std::wstring* value) {
  const wchar_t quote = script[*pos];
  size_t i = *pos + 1;
  value->clear();
  while (i < script.size()) {
    const wchar_t c = script[i];
    if (c == quote) {
      *pos = i + 1;
      return true;
    }
    if (c == L'\n' || c == L'\r') return false;
    if (c != L'\\') {
      value->push_back(c);
      ++i;
      continue;
    }
    if (++i >= script.size()) return false;
    const wchar_t escaped = script[i++];
    switch (escaped) {
      case L'n': value->push_back(L'\n'); break;
      case L'r': value->push_back(L'\r'); break;
      case L't': value->push_back(L'\t'); break;
      case L'b': value->push_back(L'\b'); break;
      case L'f': value->push_back(L'\f'); break;
      case L'v': value->push_back(L'\v'); break;
      case L'0': value->push_back(L'\0'); break;
      case L'x':
      case L'u': {
        const size_t digits = escaped == L'x' ? 2 : 4;
        if (i + digits > script.size()) return false;
        unsigned long code = 0;
        for (size_t k = 0; k < digits; ++k) {
          const wchar_t h = script[i + k];
          if (!iswxdigit(h)) return false;
          code = code * 16 + static_cast<unsigned long>(iswdigit(h) ? h - L'0' : (towlower(h) - L'a' + 10));
        }
        i += digits;
        value->push_back(static_cast<wchar_t>(code));  // one UTF-16 unit, as scripts count them
        break;
      }
      case L'\r':
      case L'\n': break;  // a line continuation
      default: value->push_back(escaped); break;  // \" \' \\ \/ and any other character stand for themselves
    }
  }
  return false;
}

}  // namespace

const PageVariable* Page::FindVariable(const std::wstring& name) const {
  for (const PageVariable& variable : variables) {
    if (variable.name == name) return &variable;
  }
  return nullptr;
}

std::wstring DecodeEntities(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'&') {
      out.push_back(text[i]);
      continue;
    }
    const size_t end = text.find(L';', i);
    if (end == std::wstring::npos || end - i > 10) {
      out.push_back(text[i]);
      continue;
    }
    const std::wstring name = text.substr(i + 1, end - i - 1);
    unsigned long code = 0;
    if (name.size() > 1 && name[0] == L'#') {
      const bool hex = name[1] == L'x' || name[1] == L'X';
      const std::wstring digits = name.substr(hex ? 2 : 1);
      wchar_t* stop = nullptr;
      code = digits.empty() ? 0 : wcstoul(digits.c_str(), &stop, hex ? 16 : 10);
      if (digits.empty() || *stop != L'\0') code = 0;
      if (code == 0) {
        out.push_back(text[i]);
        continue;
      }
    } else if (name == L"amp") {
      code = L'&';
    } else if (name == L"lt") {
      code = L'<';
    } else if (name == L"gt") {
      code = L'>';
    } else if (name == L"quot") {
      code = L'"';
    } else if (name == L"apos") {
      code = L'\'';
    } else if (name == L"nbsp") {
      code = 0xA0;
    } else {
      out.push_back(text[i]);
      continue;
    }
    AppendCodePoint(code, &out);
    i = end;
  }
  return out;
}

void ScanScriptVariables(const std::wstring& script, std::vector<PageVariable>* variables) {
  size_t i = 0;
  while (i < script.size()) {
    // Skips comments and string literals that are not assigned, so a "var" in them is not taken.
    if (script.compare(i, 2, L"//") == 0) {
      const size_t end = script.find(L'\n', i);
      i = end == std::wstring::npos ? script.size() : end + 1;
      continue;
    }
    if (script.compare(i, 2, L"/*") == 0) {
      const size_t end = script.find(L"*/", i + 2);
      i = end == std::wstring::npos ? script.size() : end + 2;
      continue;
    }
    if (script[i] == L'"' || script[i] == L'\'') {
      std::wstring ignored;
      size_t next = i;
      i = ReadStringLiteral(script, &next, &ignored) ? next : i + 1;
      continue;
    }
    if (!IsNameChar(script[i]) || (i > 0 && IsNameChar(script[i - 1]))) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < script.size() && IsNameChar(script[end])) ++end;
    const std::wstring word = script.substr(i, end - i);
    i = end;
    if (word != L"var" && word != L"let" && word != L"const") continue;
    size_t k = i;
    while (k < script.size() && IsBlank(script[k])) ++k;
    const size_t nameStart = k;
    while (k < script.size() && IsNameChar(script[k])) ++k;
    if (k == nameStart || iswdigit(script[nameStart])) continue;
    PageVariable variable;
    variable.name = script.substr(nameStart, k - nameStart);
    while (k < script.size() && IsBlank(script[k])) ++k;
    if (k >= script.size() || script[k] != L'=' || (k + 1 < script.size() && script[k + 1] == L'=')) continue;
    ++k;
    while (k < script.size() && IsBlank(script[k])) ++k;
    if (k >= script.size()) break;
    bool taken = false;
    if (script[k] == L'"' || script[k] == L'\'') {
      taken = ReadStringLiteral(script, &k, &variable.text);
      variable.type = PageVariable::kString;
    } else {
      size_t valueEnd = k;
      while (valueEnd < script.size() && (IsNameChar(script[valueEnd]) || script[valueEnd] == L'.' ||
                                          script[valueEnd] == L'-' || script[valueEnd] == L'+')) {
        ++valueEnd;
      }
      const std::wstring value = script.substr(k, valueEnd - k);
      if (value == L"true" || value == L"false") {
        variable.type = PageVariable::kBool;
        variable.boolean = value == L"true";
        taken = true;
      } else if (value == L"null") {
        variable.type = PageVariable::kNull;
        taken = true;
      } else if (!value.empty()) {
        wchar_t* stop = nullptr;
        variable.number = wcstod(value.c_str(), &stop);
        variable.type = PageVariable::kNumber;
        taken = *stop == L'\0';
      }
      k = valueEnd;
    }
    // Only a whole literal counts: `var a = "x" + b;` is an expression, which is not evaluated.
    size_t after = k;
    while (after < script.size() && (script[after] == L' ' || script[after] == L'\t')) ++after;
    if (taken && after < script.size() && script[after] != L';' && script[after] != L'\n' &&
        script[after] != L'\r' && script[after] != L',') {
      taken = false;
    }
    i = k;
    if (!taken) continue;
    bool replaced = false;
    for (PageVariable& existing : *variables) {
      if (existing.name == variable.name) {
        existing = variable;
        replaced = true;
      }
    }
    if (!replaced) variables->push_back(variable);
  }
}

Page ParsePage(const std::wstring& html) {
  Page page;
  ItemBuilder items(&page);
  size_t i = 0;
  while (i < html.size()) {
    if (html[i] != L'<') {
      const size_t next = html.find(L'<', i);
      const size_t stop = next == std::wstring::npos ? html.size() : next;
      items.AddText(html.substr(i, stop - i));
      i = stop;
      continue;
    }
    if (html.compare(i, 4, L"<!--") == 0) {
      const size_t end = html.find(L"-->", i + 4);
      i = end == std::wstring::npos ? html.size() : end + 3;
      continue;
    }
    if (i + 1 >= html.size() || !(iswalpha(html[i + 1]) || html[i + 1] == L'/' || html[i + 1] == L'!')) {
      items.AddText(L"<");  // a lone "<" is text
      ++i;
      continue;
    }
    Tag tag;
    i = ReadTag(html, i, &tag);
    if (tag.name.empty() || tag.name[0] == L'!') continue;  // <!DOCTYPE ...>
    if (!tag.closing && (tag.name == L"script" || tag.name == L"style" || tag.name == L"title")) {
      const std::wstring raw = RawTextUntilClose(html, i, tag.name, &i);
      if (tag.name == L"script") ScanScriptVariables(raw, &page.variables);
      if (tag.name == L"title") page.title = FoldBlanks(DecodeEntities(raw));
      continue;
    }
    if (tag.name == L"a") {
      if (tag.closing) {
        items.EndLink();
      } else {
        items.EndLink();
        const std::wstring href = tag.Attribute(L"href");
        if (!href.empty()) items.StartLink(href);
      }
      continue;
    }
    if (tag.name == L"iframe" || tag.name == L"frame") {
      if (!tag.closing) {
        items.AddFrame(tag.Attribute(L"src"));
        // What an iframe holds is only shown by browsers without frames.
        if (tag.name == L"iframe") RawTextUntilClose(html, i, tag.name, &i);
      }
      continue;
    }
    if (IsHeadingTag(tag.name)) {
      if (tag.closing) {
        items.EndHeading();
      } else {
        items.StartHeading();
      }
      continue;
    }
    if (IsBlockTag(tag.name)) items.Break();
  }
  items.Finish();
  return page;
}

}  // namespace browserstandin
