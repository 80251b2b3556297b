#include "core/transport/portable/ManagementEnvelope.h"

#include "core/base/portable/Base64.h"
#include "core/base/portable/ByteScramble.h"
#include "core/base/portable/Checksums.h"
#include "tests/core/transport/portable/TestRsaKey.h"

#include <gtest/gtest.h>

namespace {

std::string LittleEndian32(uint32_t value) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
  return bytes;
}

// A reply payload as the service makes it: flags, integrity value, body.
struct ServiceReply {
  uint32_t flags = 7;
  std::string text = R"({"status":"SUCCESS","initparams":{"curdate":"2026-12-10"}})";
  std::string nonce = "123456789";
  std::string signedPlain;  // replaces the CRC bytes inside the RSA block when set
  int crcDelta = 0;         // a wrong CRC

  std::string Build(const TestRsaKey& key) const {
    std::string body = text + "{\"nonce\":\"" + nonce + "\"}";
    const uint32_t crc = Crc32(body.data(), body.size()) + static_cast<uint32_t>(crcDelta);
    std::string payload = LittleEndian32(flags);
    if (flags & kEnvelopeRsaCrc) {
      payload += key.Sign(signedPlain.empty() ? LittleEndian32(crc) : signedPlain);
    } else if (flags & kEnvelopePlainCrc) {
      payload += LittleEndian32(crc);
    }
    if (flags & kEnvelopeScrambled) ScrambleBytes(&body[0], body.size());
    return payload + body;
  }
};

class ManagementEnvelope : public testing::Test {
 protected:
  bool Open(const std::string& payload, uint32_t requestFlags, std::string& text, const std::string& nonce = "123456789") {
    return OpenEnvelopePayload(payload, nonce, requestFlags, m_key.publicPem(), text);
  }
  TestRsaKey m_key;
};

}  // namespace

TEST_F(ManagementEnvelope, SplitsTheRequestAndAppendsTheNonce) {
  std::string path, query;
  ASSERT_TRUE(SplitEnvelopeRequest("/client/getinitparams?softid=130", "42", path, query));
  EXPECT_EQ(path, "/client/getinitparams");
  EXPECT_EQ(query, "softid=130&nonce=42");
  ASSERT_TRUE(SplitEnvelopeRequest("/client/ping", "42", path, query));
  EXPECT_EQ(path, "/client/ping");
  EXPECT_EQ(query, "nonce=42");

  EXPECT_TRUE(SplitEnvelopeRequest(std::string(1023, 'a'), "42", path, query));
  EXPECT_FALSE(SplitEnvelopeRequest(std::string(1024, 'a'), "42", path, query));
  EXPECT_FALSE(SplitEnvelopeRequest("", "42", path, query));
  EXPECT_FALSE(SplitEnvelopeRequest("/p", std::string(44, '1'), path, query)) << "nonce parameter over 49 characters";
}

TEST_F(ManagementEnvelope, RequestPayloadLayoutFollowsTheFlags) {
  const std::string query = "softid=130&nonce=42";
  std::string payload;

  ASSERT_TRUE(BuildEnvelopePayload(1, query, m_key.publicPem(), payload));
  ASSERT_EQ(payload.size(), 4 + query.size());
  EXPECT_EQ(payload.substr(0, 4), LittleEndian32(1));
  std::string body = payload.substr(4);
  ScrambleBytes(&body[0], body.size());
  EXPECT_EQ(body, query);

  ASSERT_TRUE(BuildEnvelopePayload(2, query, "", payload));
  ASSERT_EQ(payload.size(), 8 + query.size());
  EXPECT_EQ(payload.substr(4, 4), LittleEndian32(Crc32(query.data(), query.size())));
  EXPECT_EQ(payload.substr(8), query) << "not scrambled without bit 0";

  ASSERT_TRUE(BuildEnvelopePayload(7, query, m_key.publicPem(), payload));
  ASSERT_EQ(payload.size(), 4 + 128 + query.size());
  const std::vector<uint8_t> crc = m_key.Decrypt(payload.substr(4, 128));
  EXPECT_EQ(std::string(crc.begin(), crc.end()), LittleEndian32(Crc32(query.data(), query.size())))
      << "the RSA block holds the CRC of the plain query";

  ASSERT_TRUE(BuildEnvelopePayload(0, query, "", payload));
  EXPECT_EQ(payload, LittleEndian32(0) + query);
}

TEST_F(ManagementEnvelope, RsaRequestsNeedAUsableKey) {
  std::string payload = "kept";
  EXPECT_FALSE(BuildEnvelopePayload(4, "q", "", payload));
  EXPECT_FALSE(BuildEnvelopePayload(7, "q", "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n", payload));
  TestRsaKey large(4096);
  EXPECT_FALSE(BuildEnvelopePayload(7, "q", large.publicPem(), payload)) << "blocks above 256 bytes";
  EXPECT_EQ(payload, "kept");
  TestRsaKey wide(2048);
  ASSERT_TRUE(BuildEnvelopePayload(7, "q", wide.publicPem(), payload));
  EXPECT_EQ(payload.size(), 4u + 256u + 1u);
}

TEST_F(ManagementEnvelope, OpensRepliesOfEveryFlagCombination) {
  for (uint32_t flags = 0; flags < 8; ++flags) {
    ServiceReply reply;
    reply.flags = flags;
    std::string text;
    ASSERT_TRUE(Open(reply.Build(m_key), 0, text)) << "flags " << flags;
    EXPECT_EQ(text, reply.text) << "flags " << flags;
  }
}

TEST_F(ManagementEnvelope, RepliesMustCarryTheIntegrityTheRequestAskedFor) {
  struct Case {
    uint32_t requestFlags;
    uint32_t replyFlags;
    bool accepted;
  } cases[] = {
      {7, 0, false}, {7, 1, false}, {7, 3, false}, {7, 5, true}, {7, 7, true},
      {3, 1, false}, {3, 3, true},  {3, 5, true},  {1, 0, true},
  };
  for (const Case& c : cases) {
    ServiceReply reply;
    reply.flags = c.replyFlags;
    std::string text;
    EXPECT_EQ(Open(reply.Build(m_key), c.requestFlags, text), c.accepted)
        << "request " << c.requestFlags << " reply " << c.replyFlags;
  }
}

TEST_F(ManagementEnvelope, RefusesDamagedReplies) {
  struct Case {
    const char* what;
    ServiceReply reply;
    std::string payload;  // used instead of the reply when set
  } cases[] = {
      {"wrong nonce", [] { ServiceReply r; r.nonce = "999"; return r; }(), ""},
      {"nonce object missing", {}, LittleEndian32(0) + "{\"status\":\"SUCCESS\"}"},
      {"wrong CRC in the RSA block", [] { ServiceReply r; r.crcDelta = 1; return r; }(), ""},
      {"wrong plain CRC", [] { ServiceReply r; r.flags = 3; r.crcDelta = 1; return r; }(), ""},
      {"RSA block shorter than 4 bytes", [] { ServiceReply r; r.signedPlain = "ab"; return r; }(), ""},
      {"fewer than 4 bytes", {}, std::string("\x07\x00", 2)},
      {"RSA header cut", {}, LittleEndian32(7) + std::string(100, 'x')},
      {"CRC header cut", {}, LittleEndian32(2) + "ab"},
      {"zero byte in the body", {}, LittleEndian32(0) + std::string("ab\0{\"nonce\":\"123456789\"}", 24)},
      {"no object at all", {}, LittleEndian32(0) + "plain text"},
      // A zero byte that only unscrambling reveals (it travels as 0xFF),
      // with and without a CRC that vouches for it.
      {"zero byte in the unscrambled body",
       [] { ServiceReply r; r.text = std::string("{\"status\":\"SUCCESS\"}\0{}", 23); return r; }(), ""},
      {"zero byte in the unscrambled body without a CRC",
       [] { ServiceReply r; r.flags = 1; r.text = std::string("\0{\"status\":\"SUCCESS\"}", 21); return r; }(), ""},
  };
  for (const Case& c : cases) {
    const std::string payload = c.payload.empty() ? c.reply.Build(m_key) : c.payload;
    std::string text = "kept";
    EXPECT_FALSE(Open(payload, 0, text)) << c.what;
    EXPECT_EQ(text, "kept") << c.what;
  }

  ServiceReply reply;
  std::string payload = reply.Build(m_key);
  payload[10] ^= 0x20;  // inside the RSA block: a bad signature
  std::string text;
  EXPECT_FALSE(Open(payload, 7, text));
  TestRsaKey other;
  EXPECT_FALSE(OpenEnvelopePayload(reply.Build(other), reply.nonce, 7, m_key.publicPem(), text)) << "signed by another key";
}

TEST_F(ManagementEnvelope, AFailureReplyNeedNotEchoTheNonce) {
  ServiceReply reply;
  reply.text = R"({"status":"FAILED","msg":"x"})";
  reply.nonce = "other";
  std::string text;
  ASSERT_TRUE(Open(reply.Build(m_key), 7, text));
  EXPECT_EQ(text, reply.text);
}

TEST_F(ManagementEnvelope, EmptyNonceAsTheLoginResultUsesIt) {
  ServiceReply reply;
  reply.nonce = "";
  reply.text = R"({"status":"SUCCESS","openid":"o1"})";
  std::string text;
  ASSERT_TRUE(Open(reply.Build(m_key), 0, text, ""));
  EXPECT_EQ(text, reply.text);
}

TEST_F(ManagementEnvelope, UrlCarriesTheEscapedPayloadAfterThePath) {
  const std::string base = "https://manage.example/";
  std::string url;
  ASSERT_TRUE(BuildEnvelopeUrl(7, "42", "/client/getinitparams?softid=130", base, m_key.publicPem(), url));
  const std::string prefix = "/client/getinitparams?v_=";
  ASSERT_EQ(url.compare(0, prefix.size(), prefix), 0) << url;
  const std::string escaped = url.substr(prefix.size());
  EXPECT_EQ(escaped.find_first_of("+=/"), std::string::npos);

  std::string base64 = escaped;
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"%2B", "+"}, {"%3D", "="}, {"%2F", "/"}}) {
    for (size_t at; (at = base64.find(from)) != std::string::npos;) base64.replace(at, 3, to);
  }
  const std::string payload = Base64Decode(base64);
  ASSERT_EQ(payload.size(), 4 + 128 + std::string("softid=130&nonce=42").size());
  std::string query = payload.substr(132);
  ScrambleBytes(&query[0], query.size());
  EXPECT_EQ(query, "softid=130&nonce=42");

  // The bound counts base URL, path and escaped payload together.
  const std::string longRequest = "/" + std::string(1000, 'p') + "?" + std::string(20, 'q');
  const size_t pathLength = 1001;
  ASSERT_TRUE(BuildEnvelopeUrl(1, "42", longRequest, base, "", url));
  const size_t escapedLength = url.size() - pathLength - 4;
  const size_t longestBase = 5124 - escapedLength - pathLength - 10;
  EXPECT_TRUE(BuildEnvelopeUrl(1, "42", longRequest, std::string(longestBase, 'b'), "", url));
  EXPECT_FALSE(BuildEnvelopeUrl(1, "42", longRequest, std::string(longestBase + 1, 'b'), "", url));
  EXPECT_FALSE(BuildEnvelopeUrl(7, "42", "/client/x", base, "", url)) << "no key for an RSA request";
}

TEST_F(ManagementEnvelope, DecodesBase64RepliesAndPassesPlainFailures) {
  ServiceReply reply;
  std::string text;
  ASSERT_TRUE(DecodeResponseEnvelope(reply.nonce, Base64Encode(reply.Build(m_key)), 7, m_key.publicPem(), text));
  EXPECT_EQ(text, reply.text);

  const std::string failure = R"({"status":"FAILED","msg":"softid unknown"})";
  ASSERT_TRUE(DecodeResponseEnvelope("1", failure, 7, m_key.publicPem(), text));
  EXPECT_EQ(text, failure);

  EXPECT_FALSE(DecodeResponseEnvelope("1", R"({"status":"SUCCESS"})", 7, m_key.publicPem(), text))
      << "a plain success reply carries no envelope";
  EXPECT_FALSE(DecodeResponseEnvelope("1", "", 0, m_key.publicPem(), text));
  EXPECT_FALSE(DecodeResponseEnvelope("1", "////", 0, m_key.publicPem(), text));
}
