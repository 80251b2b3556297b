#pragma once

// The envelope of every client-management request and reply: a flags word, an
// optional integrity value (a plain CRC-32, or the CRC-32 encrypted with the
// service's RSA public key) and the body, optionally scrambled, all Base64.
// Requests end their query with a nonce that the reply must echo in a trailing
// {"nonce":"..."} object.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint32_t kEnvelopeScrambled = 1;  // body bytes scrambled (see ByteScramble.h)
constexpr uint32_t kEnvelopePlainCrc = 2;   // 4-byte CRC-32 after the flags
constexpr uint32_t kEnvelopeRsaCrc = 4;     // RSA block with the CRC-32 after the flags; wins over bit 1

constexpr size_t kEnvelopeMaxRequestLength = 1023;  // path?query text handed in
constexpr size_t kEnvelopeMaxNonceLength = 43;      // "nonce=%s" in 49 characters
constexpr size_t kEnvelopeMaxUrlLength = 5124;      // base URL + path + "?v_=" + escaped payload
constexpr size_t kEnvelopeMaxRsaSize = 256;         // 2048-bit keys at most

// The service's failure replies hold this text; they come as plain JSON,
// outside the envelope and unchecked.
constexpr char kEnvelopeFailureMarker[] = "\"status\":\"FAILED\"";

// Splits "path?query" at the first "?" and appends "nonce=<nonce>" to the
// query ("&" after an existing query). False for an empty or too long request
// or nonce.
bool SplitEnvelopeRequest(const std::string& request, const std::string& nonce, std::string& path,
                          std::string& query);

// The request payload before Base64: flags, the integrity value the flags ask
// for, then the query (scrambled under bit 0). The CRC covers the plain query.
// False when bit 2 is set and the key cannot be read, is larger than 2048 bits
// or the encryption fails.
bool BuildEnvelopePayload(uint32_t flags, const std::string& query, const std::string& rsaKeyPem,
                          std::string& payload);

// Opens a reply payload (after Base64): checks the header, the integrity value
// and the nonce and gives the reply text before the nonce object.
// `requestFlags` are the flags the request was sent with: a reply must carry at
// least the integrity check they asked for (an RSA block for bit 2, a CRC or an
// RSA block for bit 1), so a reply stripped of its check is refused.
bool OpenEnvelopePayload(const std::string& payload, const std::string& nonce, uint32_t requestFlags,
                         const std::string& rsaKeyPem, std::string& text);

// The request URL relative to the client's base URL: path + "?v_=" + the
// escaped Base64 payload. False when the request or nonce is refused, the
// payload cannot be built, or base URL, path and payload exceed the URL bound.
bool BuildEnvelopeUrl(uint32_t flags, const std::string& nonce, const std::string& request,
                      const std::string& baseUrl, const std::string& rsaKeyPem, std::string& url);

// Decodes a reply body. A plain body holding "status":"FAILED" is the
// service's failure reply and is returned unchanged; anything else must be a
// Base64 envelope that OpenEnvelopePayload accepts.
bool DecodeResponseEnvelope(const std::string& nonce, const std::string& body, uint32_t requestFlags,
                            const std::string& rsaKeyPem, std::string& text);
