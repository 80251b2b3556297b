#pragma once

// Writes a parsed markup as one line, "name(attr=value,...)[children]", so a
// test compares a whole tree with one string.
#include <string>

#include "tests/ui/base/portable/UITestText.h"
#include "ui/skin/portable/XmlMarkup.h"

inline std::string DumpNode(Trellis::CXmlMarkupNode node) {
  std::string out;
  for (bool first = true; node.IsValid(); node = node.GetSibling(), first = false) {
    if (!first) out += " ";
    out += ToUtf8(node.GetName());
    if (node.HasAttributes()) {
      out += "(";
      for (int i = 0; i < node.GetAttributeCount(); ++i) {
        if (i > 0) out += ",";
        out += ToUtf8(node.GetAttributeName(i)) + "=" + ToUtf8(node.GetAttributeValue(i));
      }
      out += ")";
    }
    if (node.HasChildren()) out += "[" + DumpNode(node.GetChild()) + "]";
  }
  return out;
}

inline std::string DumpMarkup(Trellis::CXmlMarkup& markup) {
  if (!markup.IsValid()) return "error: " + ToUtf8(markup.GetLastErrorMessage());
  return DumpNode(markup.GetRoot());
}

// A document of exactly `size` bytes: one attribute padded to fit.
inline std::string DocumentOfSize(size_t size) {
  const std::string head = "<r a=\"", tail = "\"/>";
  return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}
