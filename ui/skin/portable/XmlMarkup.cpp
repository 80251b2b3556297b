#include "ui/skin/portable/XmlMarkup.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ui/base/portable/Utf8Decoder.h"

namespace Trellis {
namespace {

// Whitespace is every code from 1 to 32; 0 ends the text. As one unsigned
// comparison, the 0 wraps to the top of the range.
inline bool IsBlank(UIChar ch) { return static_cast<UIChar>(ch - 1) < 32; }

UIChar* SkipBlanks(UIChar* p) {
  while (static_cast<UIChar>(*p - 1) < 32) ++p;
  return p;
}

// Name characters of the ASCII range, by table: names are read for every
// element and attribute, and the runtime's classification is a call per
// character. Codes from 128 on ask the runtime as before.
struct AsciiNameTable {
  bool name[128];
  constexpr AsciiNameTable() : name() {
    for (int ch = 0; ch < 128; ++ch) {
      name[ch] = ch == '_' || ch == ':' || (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z') ||
                 (ch >= 'A' && ch <= 'Z');
    }
  }
};
constexpr AsciiNameTable kAsciiName;

// The end of the name that starts at p (p itself when there is none). The
// test is written out in the loop, which runs for every name character.
UIChar* SkipName(UIChar* p) {
  for (;;) {
    const UIChar ch = *p;
    if (ch < 128 ? !kAsciiName.name[ch] : !UICharIsAlnum(ch)) return p;
    ++p;
  }
}

// Copies at most size - 1 characters of text and zero-fills the rest.
void CopyCut(UIChar* target, size_t size, const UIChar* text) {
  size_t i = 0;
  for (; text != nullptr && i + 1 < size && text[i] != 0; ++i) target[i] = text[i];
  for (; i < size; ++i) target[i] = 0;
}

bool StartsWith(const UIChar* p, const char* ascii) {
  for (; *ascii != 0; ++p, ++ascii) {
    if (*p != static_cast<UIChar>(*ascii)) return false;
  }
  return true;
}

// Decodes text up to the end character (or the end of the text) in place: the
// five named entities become their characters, anything else is copied. The
// characters freed by decoding become blanks, so the buffer stays one text.
// Returns the write position (where the caller puts the NUL); p is left on the
// end character or the terminating NUL.
UIChar* ScanText(UIChar*& p, UIChar end) {
  static const struct {
    const char* name;  // after the '&'
    UIChar value;
  } kEntities[] = {{"amp;", '&'}, {"apos;", '\''}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}};
  // Most text holds no entity: it is only scanned, and writing starts at the
  // first '&'.
  UIChar* read = p;
  for (;;) {
    const UIChar ch = *read;
    if (ch == end || ch == '&' || ch == 0) break;
    ++read;
  }
  UIChar* write = read;
  while (*read != 0 && *read != end) {
    if (*read != '&') {
      *write++ = *read++;
      continue;
    }
    ++read;
    UIChar decoded = '&';  // an unknown entity keeps its '&' and the text after it
    for (const auto& entity : kEntities) {
      if (StartsWith(read, entity.name)) {
        decoded = entity.value;
        read += std::strlen(entity.name);
        break;
      }
    }
    *write++ = decoded;
  }
  for (UIChar* blank = write + 1; blank < read; ++blank) *blank = ' ';
  p = read;
  return write;
}

}  // namespace

// --- Markup ---

CXmlMarkup::CXmlMarkup(const UIChar* text) {
  if (text != nullptr) Load(text);
}

CXmlMarkup::~CXmlMarkup() { Release(); }

void CXmlMarkup::Release() {
  std::free(m_pstrXML);
  std::free(m_pElements);
  m_pstrXML = nullptr;
  m_nTextCapacity = 0;
  m_pElements = nullptr;
  m_nElements = 0;
  m_nReservedElements = 0;
}

UIChar* CXmlMarkup::TextBuffer(size_t units, const void* source, size_t sourceBytes, size_t* capacity) {
  // The previous document is gone from here on; only its storage serves on.
  m_nElements = 0;
  if (units >= SIZE_MAX / sizeof(UIChar)) return nullptr;
  const size_t wanted = units + 1;
  const uintptr_t from = reinterpret_cast<uintptr_t>(source);
  const uintptr_t held = reinterpret_cast<uintptr_t>(m_pstrXML);
  const bool sourceInside =
      m_pstrXML != nullptr && from < held + m_nTextCapacity * sizeof(UIChar) && from + sourceBytes > held;
  // A buffer far larger than the text is let go rather than kept.
  const bool fits = wanted <= m_nTextCapacity && m_nTextCapacity / 2 <= wanted + 65536;
  if (m_pstrXML != nullptr && fits && !sourceInside) {
    *capacity = m_nTextCapacity;
    return m_pstrXML;
  }
  *capacity = wanted;
  return static_cast<UIChar*>(std::malloc(wanted * sizeof(UIChar)));
}

bool CXmlMarkup::Load(const UIChar* text) {
  if (text == nullptr) return FailLoad(UI_TEXT("Error opening file"));
  const size_t length = UITextLength(text);
  size_t capacity = 0;
  UIChar* copy = TextBuffer(length, text, (length + 1) * sizeof(UIChar), &capacity);
  if (copy == nullptr) return FailLoad(UI_TEXT("Out of memory"));
  std::memcpy(copy, text, (length + 1) * sizeof(UIChar));
  return ParseOwnedText(copy, capacity, length);
}

bool CXmlMarkup::LoadFromUnicodeMemory(const void* bytes, size_t length, MarkupEncoding encoding) {
  const unsigned char* data = static_cast<const unsigned char*>(bytes);
  if (data == nullptr) length = 0;
  UIChar* text = nullptr;
  size_t units = 0, capacity = 0;
  if (encoding == MarkupEncodingUtf8) {
    if (length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
      data += 3;
      length -= 3;
    }
    // At most one character per byte.
    text = TextBuffer(length, data, length, &capacity);
    if (text == nullptr) return FailLoad(UI_TEXT("Out of memory"));
    units = DecodeUtf8(data, length, text);
    text[units] = 0;
  } else if (encoding == MarkupEncodingUtf16) {
    // The characters are assembled from the bytes into the text, so the
    // caller's (possibly read-only) buffer is never swapped in place.
    bool bigEndian = false;
    if (length >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
      bigEndian = data[0] == 0xFE;
      data += 2;
      length -= 2;
    }
    const size_t count = length / 2;
    text = TextBuffer(count, data, length, &capacity);
    if (text == nullptr) return FailLoad(UI_TEXT("Out of memory"));
    for (size_t i = 0; i < count; ++i) {
      const unsigned first = data[2 * i], second = data[2 * i + 1];
      text[i] = static_cast<UIChar>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    text[count] = 0;
    units = count;
  } else {
    return FailLoad(UI_TEXT("Unsupported encoding"));
  }
  return ParseOwnedText(text, capacity, units);
}

bool CXmlMarkup::ParseOwnedText(UIChar* text, size_t capacity, size_t units) {
  m_nElements = 0;
  if (text != m_pstrXML) {
    std::free(m_pstrXML);
    m_pstrXML = text;
    m_nTextCapacity = capacity;
  }
  if (!Parse(units)) {
    Release();
    return false;
  }
  return true;
}

bool CXmlMarkup::FailLoad(const UIChar* message) {
  Release();
  CopyCut(m_szErrorMsg, sizeof(m_szErrorMsg) / sizeof(UIChar), message);
  CopyCut(m_szErrorXML, sizeof(m_szErrorXML) / sizeof(UIChar), nullptr);
  return false;
}

bool CXmlMarkup::Fail(const UIChar* message, const UIChar* location) {
  CopyCut(m_szErrorMsg, sizeof(m_szErrorMsg) / sizeof(UIChar), message);
  CopyCut(m_szErrorXML, sizeof(m_szErrorXML) / sizeof(UIChar), location);
  return false;
}

CXmlMarkupNode CXmlMarkup::GetRoot() {
  if (m_pElements == nullptr || m_nElements < 2) return CXmlMarkupNode();
  return CXmlMarkupNode(this, 1);
}

bool CXmlMarkup::ReserveElements(uint64_t wanted) {
  // Positions are 32-bit, so the table never needs more records than that.
  if (wanted <= m_nReservedElements) return true;
  if (wanted > UINT32_MAX || wanted > SIZE_MAX / sizeof(Element)) return false;
  Element* grown = static_cast<Element*>(std::realloc(m_pElements, static_cast<size_t>(wanted) * sizeof(Element)));
  if (grown == nullptr) return false;
  m_pElements = grown;
  m_nReservedElements = static_cast<uint32_t>(wanted);
  return true;
}

bool CXmlMarkup::ReserveElement(uint32_t* index) {
  // Beyond the loader's estimate the table grows by half plus 500 records.
  if (m_nElements >= m_nReservedElements &&
      !ReserveElements(static_cast<uint64_t>(m_nReservedElements) + m_nReservedElements / 2 + 500)) {
    return false;
  }
  *index = m_nElements++;
  return true;
}

// --- Parser ---
//
// One pass without recursion: the level being read is its parent element P
// and the previous sibling, and an end tag climbs back to P's parent through
// the table, so deeply nested documents need no stack.

bool CXmlMarkup::Parse(size_t units) {
  m_nElements = 0;
  uint32_t reserved;
  CopyCut(m_szErrorMsg, sizeof(m_szErrorMsg) / sizeof(UIChar), nullptr);
  CopyCut(m_szErrorXML, sizeof(m_szErrorXML) / sizeof(UIChar), nullptr);
  // The table starts at 500 records and one per 64 characters of text (skins
  // hold one element in some hundred), and beyond that grows by half; the
  // text is not counted for it in a pass of its own. A table kept from an
  // earlier document serves on unless it is far larger than that.
  const uint64_t first = static_cast<uint64_t>(std::min<size_t>(units / 64, UINT32_MAX / 2)) + 500;
  if (m_nReservedElements / 4 > first) {
    std::free(m_pElements);
    m_pElements = nullptr;
    m_nReservedElements = 0;
  }
  ReserveElements(first);
  if (!ReserveElement(&reserved)) return Fail(UI_TEXT("Out of memory"), nullptr);
  std::memset(&m_pElements[0], 0, sizeof(Element));
  // Positions are 32-bit. The loader's count bounds the text the parser reads
  // (an early NUL ends it sooner), so the text is measured only when the
  // count alone is too large.
  if (units >= UINT32_MAX && UITextLength(m_pstrXML) >= UINT32_MAX) return Fail(UI_TEXT("File too large"), nullptr);

  UIChar* const base = m_pstrXML;
  UIChar* p = base;
  uint32_t parent = 0;
  uint32_t previous = 0;
  for (;;) {
    p = SkipBlanks(p);
    if (*p == 0 && parent <= 1) return true;  // an unclosed root (or its open child) ends the document
    if (*p != '<') return Fail(UI_TEXT("Expected start tag"), p);
    if (p[1] == '/') {
      // End of this level: at the top level that ends the document; else the
      // end tag must name the parent.
      if (parent == 0) return true;
      *p = 0;
      p += 2;
      p = SkipBlanks(p);
      // Compared character by character: the text may end before the name does.
      for (const UIChar* name = base + m_pElements[parent].iStart; *name != 0; ++name, ++p) {
        if (*p != *name) return Fail(UI_TEXT("Unmatched closing tag"), p);
      }
      p = SkipBlanks(p);
      if (*p != '>') return Fail(UI_TEXT("Unmatched closing tag"), p);
      ++p;
      previous = parent;
      parent = m_pElements[parent].iParent;
      continue;
    }
    *p++ = 0;
    p = SkipBlanks(p);
    if (*p == '!' || *p == '?') {
      // Comments, processing instructions (and declarations, to the next "->").
      const UIChar closing = *p == '!' ? '-' : '?';
      while (*p != 0 && !(p[0] == closing && p[1] == '>')) ++p;
      if (*p != 0) p += 2;
      continue;
    }
    uint32_t index;
    if (!ReserveElement(&index)) return Fail(UI_TEXT("Out of memory"), p);
    Element& element = m_pElements[index];
    element.iStart = static_cast<uint32_t>(p - base);
    element.iChild = 0;
    element.iNext = 0;
    element.iParent = parent;
    element.iData = 0;
    if (previous != 0) m_pElements[previous].iNext = index;
    else if (parent != 0) m_pElements[parent].iChild = index;
    previous = index;

    p = SkipName(p);
    if (*p == 0) return Fail(UI_TEXT("Error parsing element name"), p);
    p = ParseAttributes(p);
    if (p == nullptr) return false;
    p = SkipBlanks(p);
    if (p[0] == '/' && p[1] == '>') {
      m_pElements[index].iData = static_cast<uint32_t>(p - base);
      *p = 0;  // also ends a name written right before the slash
      p += 2;
      continue;
    }
    if (*p != '>') return Fail(UI_TEXT("Expected start-tag closing"), p);
    // The '>' ends a name written right before it; nothing reads it later.
    *p++ = 0;
    m_pElements[index].iData = static_cast<uint32_t>(p - base);
    UIChar* textEnd = ScanText(p, '<');
    if (textEnd < p) *textEnd = 0;
    if (*p == 0) {
      if (parent <= 1) return true;
      return Fail(UI_TEXT("Expected end-tag start"), p);
    }
    // Children (or the end tag right away) are read at the next level.
    parent = index;
    previous = 0;
  }
}

UIChar* CXmlMarkup::ParseAttributes(UIChar* p) {
  // The character after the element name ends the name; '>' and the '/' of
  // "/>" are left for the caller, which terminates the name with them.
  if (*p == '>' || *p == '/') return p;
  *p++ = 0;
  for (;;) {
    p = SkipBlanks(p);
    if (*p == 0 || *p == '/' || *p == '>') return p;
    p = SkipName(p);
    UIChar* const nameEnd = p;
    p = SkipBlanks(p);
    if (*p != '=') {
      Fail(UI_TEXT("Error while parsing attributes"), p);
      return nullptr;
    }
    *p = ' ';
    *nameEnd = 0;
    ++p;
    p = SkipBlanks(p);
    if (*p != '"') {
      Fail(UI_TEXT("Expected attribute value"), p);
      return nullptr;
    }
    ++p;
    UIChar* const valueEnd = ScanText(p, '"');
    if (*p == 0) {
      Fail(UI_TEXT("Error while parsing attribute string"), p);
      return nullptr;
    }
    *valueEnd = 0;
    if (p != valueEnd) *p = ' ';
    ++p;
  }
}

// --- Nodes ---

const UIChar* CXmlMarkupNode::GetName() const {
  if (m_pOwner == nullptr) return nullptr;
  return m_pOwner->m_pstrXML + m_pOwner->m_pElements[m_iPos].iStart;
}

CXmlMarkupNode CXmlMarkupNode::GetChild() const {
  if (m_pOwner == nullptr) return CXmlMarkupNode();
  const uint32_t child = m_pOwner->m_pElements[m_iPos].iChild;
  return child == 0 ? CXmlMarkupNode() : CXmlMarkupNode(m_pOwner, child);
}

CXmlMarkupNode CXmlMarkupNode::GetSibling() const {
  if (m_pOwner == nullptr) return CXmlMarkupNode();
  const uint32_t next = m_pOwner->m_pElements[m_iPos].iNext;
  return next == 0 ? CXmlMarkupNode() : CXmlMarkupNode(m_pOwner, next);
}

bool CXmlMarkupNode::HasChildren() const {
  return m_pOwner != nullptr && m_pOwner->m_pElements[m_iPos].iChild != 0;
}

bool CXmlMarkupNode::HasAttributes() {
  if (m_pOwner == nullptr) return false;
  if (m_nAttributes == 0) MapAttributes();
  return m_nAttributes > 0;
}

int CXmlMarkupNode::GetAttributeCount() {
  if (m_pOwner == nullptr) return 0;
  if (m_nAttributes == 0) MapAttributes();
  return m_nAttributes;
}

const UIChar* CXmlMarkupNode::GetAttributeName(int index) {
  if (m_pOwner == nullptr) return nullptr;
  if (m_nAttributes == 0) MapAttributes();
  if (index < 0 || index >= m_nAttributes) return UI_TEXT("");
  return m_pOwner->m_pstrXML + m_aAttributes[index].iName;
}

const UIChar* CXmlMarkupNode::GetAttributeValue(int index) {
  if (m_pOwner == nullptr) return nullptr;
  if (m_nAttributes == 0) MapAttributes();
  if (index < 0 || index >= m_nAttributes) return UI_TEXT("");
  return m_pOwner->m_pstrXML + m_aAttributes[index].iValue;
}

bool CXmlMarkupNode::GetAttributeValue(const UIChar* name, UIChar* buffer, int maxLength) {
  if (m_pOwner == nullptr || name == nullptr || buffer == nullptr || maxLength < 0) return false;
  if (m_nAttributes == 0) MapAttributes();
  const UIChar* text = m_pOwner->m_pstrXML;
  for (int i = 0; i < m_nAttributes; ++i) {
    if (UITextCompare(text + m_aAttributes[i].iName, name) != 0) continue;
    const UIChar* value = text + m_aAttributes[i].iValue;
    int copied = 0;
    for (; copied < maxLength && value[copied] != 0; ++copied) buffer[copied] = value[copied];
    buffer[copied] = 0;  // terminated even when the value fills the maximum
    return true;
  }
  return false;
}

void CXmlMarkupNode::MapAttributes() {
  // Walks the attributes as the parser left them (name NUL, blanks, quote,
  // value NUL), never past the element's own end: its '>' or "/>". A name may
  // be empty (the parser accepts `="v"`), so no name character is required.
  m_nAttributes = 0;
  const UIChar* text = m_pOwner->m_pstrXML;
  const CXmlMarkup::Element& element = m_pOwner->m_pElements[m_iPos];
  const size_t end = element.iData;
  size_t pos = element.iStart + UITextLength(text + element.iStart) + 1;
  while (pos < end && m_nAttributes < kMaxAttributes) {
    while (pos < end && IsBlank(text[pos])) ++pos;
    if (pos >= end) break;
    const size_t name = pos;
    while (pos < end && text[pos] != 0) ++pos;
    ++pos;
    while (pos < end && IsBlank(text[pos])) ++pos;
    if (pos >= end || text[pos] != '"') break;
    ++pos;
    m_aAttributes[m_nAttributes].iName = static_cast<uint32_t>(name);
    m_aAttributes[m_nAttributes].iValue = static_cast<uint32_t>(pos);
    ++m_nAttributes;
    while (pos < end && text[pos] != 0) ++pos;
    ++pos;
  }
}

}  // namespace Trellis
