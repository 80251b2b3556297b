#include "core/transport/portable/ManagementEnvelope.h"

#include "core/base/portable/Base64.h"
#include "core/base/portable/ByteScramble.h"
#include "core/base/portable/Checksums.h"
#include "core/transport/portable/RsaPublicKey.h"

#include <cstring>
#include <vector>

namespace {

const char kNonceObjectPrefix[] = "{\"nonce\":\"";

void AppendLittleEndian32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

uint32_t ReadLittleEndian32(const void* data) {
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// The RSA block's size for this key, or 0 when the key is unusable here.
size_t UsableRsaSize(const std::string& rsaKeyPem) {
  const size_t size = RsaPublicKeySize(rsaKeyPem);
  return size <= kEnvelopeMaxRsaSize ? size : 0;
}

bool CarriesRequestedIntegrity(uint32_t requestFlags, uint32_t replyFlags) {
  if ((requestFlags & kEnvelopeRsaCrc) && !(replyFlags & kEnvelopeRsaCrc)) return false;
  if ((requestFlags & kEnvelopePlainCrc) && !(replyFlags & (kEnvelopeRsaCrc | kEnvelopePlainCrc))) return false;
  return true;
}

}  // namespace

bool SplitEnvelopeRequest(const std::string& request, const std::string& nonce, std::string& path,
                          std::string& query) {
  if (request.empty() || request.size() > kEnvelopeMaxRequestLength) return false;
  if (nonce.size() > kEnvelopeMaxNonceLength) return false;
  const std::string nonceParameter = "nonce=" + nonce;
  const size_t mark = request.find('?');
  if (mark == std::string::npos) {
    path = request;
    query = nonceParameter;
  } else {
    path = request.substr(0, mark);
    query = request.substr(mark + 1) + "&" + nonceParameter;
  }
  return true;
}

bool BuildEnvelopePayload(uint32_t flags, const std::string& query, const std::string& rsaKeyPem,
                          std::string& payload) {
  std::string result;
  AppendLittleEndian32(result, flags);
  if (flags & (kEnvelopeRsaCrc | kEnvelopePlainCrc)) {
    const uint32_t crc = Crc32(query.data(), query.size());
    if (flags & kEnvelopeRsaCrc) {
      if (UsableRsaSize(rsaKeyPem) == 0) return false;
      uint8_t crcBytes[4];
      for (int i = 0; i < 4; ++i) crcBytes[i] = static_cast<uint8_t>(crc >> (8 * i));
      std::vector<uint8_t> block;
      if (!RsaPublicEncrypt(rsaKeyPem, crcBytes, sizeof crcBytes, block)) return false;
      result.append(reinterpret_cast<const char*>(block.data()), block.size());
    } else {
      AppendLittleEndian32(result, crc);
    }
  }
  const size_t bodyStart = result.size();
  result += query;
  if (flags & kEnvelopeScrambled) ScrambleBytes(&result[bodyStart], query.size());
  payload.swap(result);
  return true;
}

bool OpenEnvelopePayload(const std::string& payload, const std::string& nonce, uint32_t requestFlags,
                         const std::string& rsaKeyPem, std::string& text) {
  if (payload.size() < 4) return false;
  const uint32_t flags = ReadLittleEndian32(payload.data());
  if (!CarriesRequestedIntegrity(requestFlags, flags)) return false;

  size_t header = 4;
  uint32_t expectedCrc = 0;
  if (flags & kEnvelopeRsaCrc) {
    const size_t blockSize = UsableRsaSize(rsaKeyPem);
    if (blockSize == 0 || payload.size() < 4 + blockSize) return false;
    uint8_t plain[kEnvelopeMaxRsaSize];
    size_t plainLength = sizeof plain;
    if (!RsaPublicDecrypt(rsaKeyPem, reinterpret_cast<const uint8_t*>(payload.data()) + 4, blockSize, plain,
                          plainLength)) {
      return false;
    }
    if (plainLength < 4) return false;  // too short to hold the CRC
    expectedCrc = ReadLittleEndian32(plain);
    header = 4 + blockSize;
  } else if (flags & kEnvelopePlainCrc) {
    if (payload.size() < 8) return false;
    expectedCrc = ReadLittleEndian32(payload.data() + 4);
    header = 8;
  }

  std::string body = payload.substr(header);
  if (body.find('\0') != std::string::npos) return false;
  if (flags & kEnvelopeScrambled) {
    ScrambleBytes(&body[0], body.size());
    // A 0xFF byte unscrambles to a zero byte, which would cut the text where
    // the JSON reader meets it: such a reply is as damaged as one with a
    // zero byte on the wire.
    if (body.find('\0') != std::string::npos) return false;
  }
  if ((flags & (kEnvelopeRsaCrc | kEnvelopePlainCrc)) && Crc32(body.data(), body.size()) != expectedCrc) {
    return false;
  }

  const size_t tailStart = body.rfind('{');
  if (tailStart == std::string::npos) return false;
  const std::string tail = body.substr(tailStart);
  const std::string nonceObject = kNonceObjectPrefix + nonce + "\"}";
  if (tail.find(kNonceObjectPrefix) == std::string::npos) return false;
  if (tail.find(nonceObject) == std::string::npos && body.find(kEnvelopeFailureMarker) == std::string::npos) {
    return false;
  }
  text = body.substr(0, tailStart);
  return true;
}

bool BuildEnvelopeUrl(uint32_t flags, const std::string& nonce, const std::string& request,
                      const std::string& baseUrl, const std::string& rsaKeyPem, std::string& url) {
  std::string path, query, payload;
  if (!SplitEnvelopeRequest(request, nonce, path, query)) return false;
  if (!BuildEnvelopePayload(flags, query, rsaKeyPem, payload)) return false;
  const std::string escaped = EscapeBase64(Base64Encode(payload));
  if (escaped.size() + baseUrl.size() + path.size() + 10 > kEnvelopeMaxUrlLength) return false;
  url = path + "?v_=" + escaped;
  return true;
}

bool DecodeResponseEnvelope(const std::string& nonce, const std::string& body, uint32_t requestFlags,
                            const std::string& rsaKeyPem, std::string& text) {
  if (body.find(kEnvelopeFailureMarker) != std::string::npos) {
    text = body;
    return true;
  }
  return OpenEnvelopePayload(Base64Decode(body), nonce, requestFlags, rsaKeyPem, text);
}
