#pragma once
// The skin markup parser: a document parsed in place into an element table
// (CXmlMarkup owns the text and the table), and the node cursor over it.

#include <cstddef>
#include <cstdint>

#include "ui/base/portable/UIChar.h"

namespace Trellis {

class CXmlMarkup;

// Encodings of the byte loaders.
enum MarkupEncoding {
  MarkupEncodingUtf8 = 0,   // with or without the EF BB BF mark
  MarkupEncodingUtf16 = 1,  // after an FF FE or FE FF mark (little-endian without one)
  MarkupEncodingAnsi = 2,   // the system's default code page (Windows build only)
};

// A light cursor on one element of a parsed markup: the element's index and,
// listed on first demand, up to 64 of its attributes. A node is a value; it is
// valid only while its markup holds the same document.
class CXmlMarkupNode {
 public:
  static constexpr int kMaxAttributes = 64;

  CXmlMarkupNode() = default;

  bool IsValid() const { return m_pOwner != nullptr; }
  // The element name (null for an invalid node).
  const UIChar* GetName() const;
  // The first child / next sibling, or an invalid node.
  CXmlMarkupNode GetChild() const;
  CXmlMarkupNode GetSibling() const;
  bool HasChildren() const;
  bool HasAttributes();
  // The listed attributes (at most 64; 0 for an invalid node).
  int GetAttributeCount();
  // Null for an invalid node; the empty text for an index outside the list.
  const UIChar* GetAttributeName(int index);
  const UIChar* GetAttributeValue(int index);
  // Copies the value of the first attribute named exactly `name` into buffer,
  // at most maxLength characters followed by a NUL (the buffer holds
  // maxLength + 1 characters). False when the node is invalid or has no such
  // attribute.
  bool GetAttributeValue(const UIChar* name, UIChar* buffer, int maxLength);

 private:
  friend class CXmlMarkup;
  CXmlMarkupNode(CXmlMarkup* owner, uint32_t element) : m_iPos(element), m_pOwner(owner) {}
  void MapAttributes();

  struct Attribute {
    uint32_t iName;   // position of the name in the markup's text
    uint32_t iValue;  // position of the value
  };
  uint32_t m_iPos = 0;                  // element index
  int m_nAttributes = 0;                // 0: not listed yet (or none)
  Attribute m_aAttributes[kMaxAttributes] = {};
  CXmlMarkup* m_pOwner = nullptr;       // borrowed; null for an invalid node
};

// A small non-validating XML parser that works in place: the document is kept
// as one UTF-16 buffer into which NULs and blanks are written, so element
// names, attribute names and values are read straight out of it. One pass
// builds a flat table of elements in document order (index 0 is reserved and
// means "none"; the root is 1). Accepted: elements with double-quoted
// attributes, empty elements, text before the first child, skipped comments
// and processing instructions, and the entities amp, apos, lt, gt and quot.
class CXmlMarkup {
 public:
  static constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;

  explicit CXmlMarkup(const UIChar* text = nullptr);
  CXmlMarkup(const CXmlMarkup&) = delete;
  CXmlMarkup& operator=(const CXmlMarkup&) = delete;
  ~CXmlMarkup();

  // Copies the NUL-terminated text and parses it.
  bool Load(const UIChar* text);
  // Converts the bytes (UTF-8 or UTF-16 as the encoding says; ANSI through the
  // system's code page) and parses them. Defined by the Windows build
  // (ui/XmlMarkupFile.cpp), since the code page is the system's.
  bool LoadFromMemory(const void* bytes, size_t length, MarkupEncoding encoding);
  // Reads the named file from the skin folder, or the named entry of the skin
  // archive, then as LoadFromMemory. Windows build only.
  bool LoadFromFile(const UIChar* name, MarkupEncoding encoding = MarkupEncodingUtf8);
  // LoadFromMemory for the encodings that need no code page; false (with
  // "Unsupported encoding") for ANSI.
  bool LoadFromUnicodeMemory(const void* bytes, size_t length, MarkupEncoding encoding);
  // Frees the text and the element table. (A load keeps both for the next
  // document it parses, and only discards the previous one.)
  void Release();
  // True while a parsed document is held.
  bool IsValid() const { return m_nElements != 0; }
  // The node of element 1, or an invalid node when there is no element.
  CXmlMarkupNode GetRoot();

  // The last failure: message and the text where parsing stopped (empty for
  // load failures). Cleared at the start of every parse.
  const UIChar* GetLastErrorMessage() const { return m_szErrorMsg; }
  const UIChar* GetLastErrorLocation() const { return m_szErrorXML; }

 private:
  friend class CXmlMarkupNode;
  struct Element {
    uint32_t iStart;   // position of the name
    uint32_t iChild;   // first child, 0 = none
    uint32_t iNext;    // next sibling, 0 = none
    uint32_t iParent;  // parent, 0 = top level
    uint32_t iData;    // after the '>' of an element with content; the "/>" of an empty one
  };

  // Records a load failure (message, empty location) and releases the document.
  bool FailLoad(const UIChar* message);
  // Room for a text of `units` characters and its NUL, to be filled from the
  // source bytes: the previous document's buffer when it is large enough and
  // the source does not lie in it (its memory is in use already, where a new
  // block of a large text's size costs a page fault for every page), else a
  // new block (null when none can be had); `capacity` tells its size. Hand it
  // to ParseOwnedText.
  UIChar* TextBuffer(size_t units, const void* source, size_t sourceBytes, size_t* capacity);
  // Takes ownership of a malloc'ed text of `capacity` characters holding
  // `units` characters before a NUL (it may hold an earlier one) and parses
  // it; the buffer may be the one TextBuffer handed out again.
  bool ParseOwnedText(UIChar* text, size_t capacity, size_t units);
  bool Parse(size_t units);
  // Makes room for `wanted` records in all; false when that cannot be had.
  bool ReserveElements(uint64_t wanted);
  bool ReserveElement(uint32_t* index);
  bool Fail(const UIChar* message, const UIChar* location);
  // Returns the position after the attributes, or null after a failure.
  UIChar* ParseAttributes(UIChar* p);

  UIChar* m_pstrXML = nullptr;        // owned document text, changed in place by the parser
  size_t m_nTextCapacity = 0;         // characters allocated for the text
  Element* m_pElements = nullptr;     // owned element table
  uint32_t m_nElements = 0;           // records in use, record 0 included; 0: no document
  uint32_t m_nReservedElements = 0;   // records allocated
  UIChar m_szErrorMsg[100] = {};
  UIChar m_szErrorXML[50] = {};
};

}  // namespace Trellis
