#pragma once

// Standard Base64 (alphabet A-Z a-z 0-9 + /, "=" padding) as the speech and
// management services expect it, plus the escaping that makes a Base64 text
// safe inside a form or query value.

#include <cstddef>
#include <string>
#include <string_view>

// Characters that Base64Encode writes for `length` bytes (padding included).
constexpr size_t Base64EncodedLength(size_t length) { return (length + 2) / 3 * 4; }
// Bytes that Base64Decode may write for a text of `length` characters.
constexpr size_t Base64DecodedCapacity(size_t length) { return (length + 3) / 4 * 3; }

// Encodes `length` bytes into `out`, which must hold Base64EncodedLength(length)
// characters; writes no terminator. Returns the number of characters written.
size_t Base64Encode(const void* bytes, size_t length, char* out);
std::string Base64Encode(std::string_view bytes);

// Decodes up to `length` characters into `out` (Base64DecodedCapacity(length)
// bytes). Decoding stops at the first character outside the alphabet (the
// padding "=" included) or at the end of the text, whichever comes first, and
// never reads past `length`. Returns the number of bytes written.
size_t Base64Decode(const char* text, size_t length, unsigned char* out);
std::string Base64Decode(std::string_view text);
// Decodes a whole padded Base64 text, such as audio sent by a service. False,
// with `bytes` untouched, unless every character decodes: a length that is
// not a multiple of four, a character outside the alphabet (a line break
// included) or padding before the end makes the text malformed, where
// Base64Decode would quietly return only the part before the fault.
bool Base64DecodeWhole(std::string_view text, std::string& bytes);

// Replaces "+" by "%2B", then "=" by "%3D", then "/" by "%2F".
std::string EscapeBase64(const std::string& base64Text);
