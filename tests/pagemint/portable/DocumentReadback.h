#pragma once

// Test-side readers for what Pagemint writes, written independently of the
// writers: a ZIP reader that walks the central directory, checks every local
// header against it, inflates with zlib and verifies each CRC-32; the text of
// a WordprocessingML body; and the text of an RTF document. Texts come back
// as UTF-8 with "\n" between paragraphs.
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <string>

namespace readback {

inline uint32_t Get16(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
inline uint32_t Get32(const std::string& b, size_t at) { return Get16(b, at) | Get16(b, at + 2) << 16; }

inline bool Inflate(const std::string& in, size_t size, std::string* out) {
  out->assign(size, '\0');
  z_stream s{};
  if (inflateInit2(&s, -15) != Z_OK) return false;
  s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  s.avail_in = static_cast<uInt>(in.size());
  s.next_out = reinterpret_cast<Bytef*>(out->data());
  s.avail_out = static_cast<uInt>(out->size());
  int rc = inflate(&s, Z_FINISH);
  bool ok = rc == Z_STREAM_END && s.total_out == size;
  inflateEnd(&s);
  return ok;
}

// Fills `entries` (name -> content); false with `error` on any inconsistency.
inline bool ReadZip(const std::string& zip, std::map<std::string, std::string>* entries, std::string* error) {
  if (zip.size() < 22 || Get32(zip, zip.size() - 22) != 0x06054b50) {
    *error = "no end record (or a comment)";
    return false;
  }
  const size_t end = zip.size() - 22;
  const uint32_t count = Get16(zip, end + 10);
  const uint32_t dirSize = Get32(zip, end + 12);
  size_t at = Get32(zip, end + 16);
  if (at + dirSize != end) {
    *error = "central directory does not end at the end record";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 46 > end || Get32(zip, at) != 0x02014b50) {
      *error = "bad central header " + std::to_string(i);
      return false;
    }
    const uint32_t method = Get16(zip, at + 10), crc = Get32(zip, at + 16);
    const uint32_t packed = Get32(zip, at + 20), size = Get32(zip, at + 24);
    const uint32_t nameLength = Get16(zip, at + 28), extra = Get16(zip, at + 30), comment = Get16(zip, at + 32);
    const size_t local = Get32(zip, at + 42);
    const std::string name = zip.substr(at + 46, nameLength);
    at += 46 + nameLength + extra + comment;
    if (local + 30 > zip.size() || Get32(zip, local) != 0x04034b50 || Get32(zip, local + 14) != crc ||
        Get32(zip, local + 18) != packed || Get32(zip, local + 22) != size || Get16(zip, local + 8) != method ||
        zip.compare(local + 30, nameLength, name) != 0) {
      *error = "local header of " + name + " disagrees with the central directory";
      return false;
    }
    const size_t data = local + 30 + Get16(zip, local + 26) + Get16(zip, local + 28);
    if (data + packed > zip.size()) {
      *error = "data of " + name + " runs past the archive";
      return false;
    }
    std::string content;
    if (method == 0) {
      content = zip.substr(data, packed);
    } else if (method != 8 || !Inflate(zip.substr(data, packed), size, &content)) {
      *error = "cannot inflate " + name;
      return false;
    }
    const uint32_t actual = static_cast<uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
    if (actual != crc) {
      *error = "CRC mismatch in " + name;
      return false;
    }
    (*entries)[name] = content;
  }
  return true;
}

inline std::string Unescape(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    bool replaced = false;
    for (const auto& entity : kEntities) {
      const std::string name = entity.first;
      if (text.compare(i, name.size(), name) == 0) {
        out += entity.second;
        i += name.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i];
  }
  return out;
}

// Paragraph texts of word/document.xml: <w:t> contents and <w:tab/> marks.
inline std::string DocxText(const std::string& xml) {
  std::string out;
  bool first = true;
  size_t at = 0;
  while ((at = xml.find("<w:p", at)) != std::string::npos) {
    const char next = xml[at + 4];
    if (next != '>' && next != '/' && next != ' ') {  // <w:pPr>, <w:pgSz> ...
      at += 4;
      continue;
    }
    if (!first) out += '\n';
    first = false;
    if (xml.compare(at, 6, "<w:p/>") == 0) {
      at += 6;
      continue;
    }
    const size_t close = xml.find("</w:p>", at);
    if (close == std::string::npos) return out + "<unclosed paragraph>";
    for (size_t pos = at; pos < close;) {
      if (xml.compare(pos, 8, "<w:tab/>") == 0) {
        out += '\t';
        pos += 8;
      } else if (xml.compare(pos, 5, "<w:t>") == 0 || xml.compare(pos, 5, "<w:t ") == 0) {
        const size_t start = xml.find('>', pos) + 1;
        const size_t stop = xml.find("</w:t>", start);
        out += Unescape(xml.substr(start, stop - start));
        pos = stop + 6;
      } else {
        ++pos;
      }
    }
    at = close + 6;
  }
  return out;
}

inline void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Text of an RTF document: groups that start with a destination (\fonttbl,
// \*) are skipped; \par and \line end paragraphs; \uN gives a UTF-16 unit and
// skips the \ucN fallback characters.
inline std::string RtfText(const std::string& rtf) {
  std::string out;
  int depth = 0;
  int skipDepth = 0;  // depth of a skipped group, 0 when none
  int fallback = 1;
  uint32_t highSurrogate = 0;
  auto emit = [&](uint32_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      highSurrogate = unit;
      return;
    }
    if (unit >= 0xDC00 && unit < 0xE000 && highSurrogate != 0) {
      unit = 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
    }
    highSurrogate = 0;
    AppendUtf8(unit, &out);
  };
  for (size_t i = 0; i < rtf.size(); ++i) {
    const char c = rtf[i];
    if (c == '{') {
      ++depth;
      if (skipDepth == 0 && (rtf.compare(i + 1, 8, "\\fonttbl") == 0 || rtf.compare(i + 1, 2, "\\*") == 0)) {
        skipDepth = depth;
      }
    } else if (c == '}') {
      if (depth == skipDepth) skipDepth = 0;
      --depth;
    } else if (c == '\r' || c == '\n') {
    } else if (c == '\\') {
      const char n = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
      if (n == '\\' || n == '{' || n == '}') {
        if (skipDepth == 0) emit(static_cast<unsigned char>(n));
        ++i;
        continue;
      }
      size_t j = i + 1;
      while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
      const std::string word = rtf.substr(i + 1, j - i - 1);
      size_t k = j;
      if (k < rtf.size() && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) ++k;
      while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
      const std::string number = rtf.substr(j, k - j);
      if (k < rtf.size() && rtf[k] == ' ') ++k;  // the delimiting space belongs to the word
      i = k - 1;
      if (skipDepth != 0) continue;
      if (word == "par" || word == "line") {
        out += '\n';
      } else if (word == "tab") {
        out += '\t';
      } else if (word == "uc") {
        fallback = std::stoi(number);
      } else if (word == "u") {
        emit(static_cast<uint16_t>(std::stoi(number)));
        i += fallback;
      }
    } else if (skipDepth == 0 && depth >= 1) {
      emit(static_cast<unsigned char>(c));
    }
  }
  return out;
}

}  // namespace readback
