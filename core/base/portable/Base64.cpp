#include "core/base/portable/Base64.h"

#include "core/base/portable/TextHelpers.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Every byte's value in the alphabet, -1 outside it (the padding "=" and
// 0x80 and above included): one look-up per character of a reply's audio.
struct DecodeTable {
  signed char value[256];
  constexpr DecodeTable() : value() {
    for (int i = 0; i < 256; ++i) value[i] = -1;
    for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
  }
};
constexpr DecodeTable kDecodeTable;

// Value of the character at `index`, or -1 past the end or outside the alphabet.
int ValueAt(const char* text, size_t length, size_t index) {
  if (index >= length) return -1;
  return kDecodeTable.value[static_cast<unsigned char>(text[index])];
}

}  // namespace

size_t Base64Encode(const void* bytes, size_t length, char* out) {
  const unsigned char* in = static_cast<const unsigned char*>(bytes);
  size_t written = 0;
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    const unsigned int group = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out[written++] = kAlphabet[(group >> 18) & 63];
    out[written++] = kAlphabet[(group >> 12) & 63];
    out[written++] = kAlphabet[(group >> 6) & 63];
    out[written++] = kAlphabet[group & 63];
  }
  const size_t rest = length - i;
  if (rest > 0) {
    const unsigned int group = (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
    out[written++] = kAlphabet[(group >> 18) & 63];
    out[written++] = kAlphabet[(group >> 12) & 63];
    out[written++] = rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    out[written++] = '=';
  }
  return written;
}

std::string Base64Encode(std::string_view bytes) {
  std::string text(Base64EncodedLength(bytes.size()), '\0');
  text.resize(Base64Encode(bytes.data(), bytes.size(), text.data()));
  return text;
}

size_t Base64Decode(const char* text, size_t length, unsigned char* out) {
  size_t written = 0;
  for (size_t i = 0; i < length; i += 4) {
    const int a = ValueAt(text, length, i);
    const int b = ValueAt(text, length, i + 1);
    if (a < 0 || b < 0) break;
    out[written++] = static_cast<unsigned char>((a << 2) | (b >> 4));
    const int c = ValueAt(text, length, i + 2);
    if (c < 0) break;
    out[written++] = static_cast<unsigned char>(((b & 15) << 4) | (c >> 2));
    const int d = ValueAt(text, length, i + 3);
    if (d < 0) break;
    out[written++] = static_cast<unsigned char>(((c & 3) << 6) | d);
  }
  return written;
}

std::string Base64Decode(std::string_view text) {
  std::string bytes(Base64DecodedCapacity(text.size()), '\0');
  bytes.resize(Base64Decode(text.data(), text.size(), reinterpret_cast<unsigned char*>(bytes.data())));
  return bytes;
}

bool Base64DecodeWhole(std::string_view text, std::string& bytes) {
  if (text.size() % 4 != 0) return false;
  size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  std::string decoded = Base64Decode(text);
  if (decoded.size() != text.size() / 4 * 3 - padding) return false;
  bytes = std::move(decoded);
  return true;
}

std::string EscapeBase64(const std::string& base64Text) {
  return ReplaceAll(ReplaceAll(ReplaceAll(base64Text, "+", "%2B"), "=", "%3D"), "/", "%2F");
}
