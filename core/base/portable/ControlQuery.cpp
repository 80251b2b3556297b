// Byte form: a 4-byte tag, then the fields in a fixed order; numbers are
// little-endian 32-bit words, texts a word of length and the bytes, lists a
// word of count and the texts.
#include "core/base/portable/ControlQuery.h"

#include <cstring>

namespace {

constexpr char kRequestTag[] = "QCQ1";
constexpr char kReplyTag[] = "QCR1";
constexpr uint32_t kMaxPaths = 4096;  // bounds what a malformed count could make us reserve

void PutWord(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutText(std::string& out, const std::string& text) {
  PutWord(out, static_cast<uint32_t>(text.size()));
  out += text;
}

// Reads fields from the front of a record; every read fails once one did.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : m_bytes(bytes) {}

  bool Tag(const char* tag) {
    if (m_bytes.size() < 4 || std::memcmp(m_bytes.data(), tag, 4) != 0) return m_ok = false;
    m_at = 4;
    return true;
  }
  uint32_t Word() {
    if (!m_ok || m_bytes.size() - m_at < 4) {
      m_ok = false;
      return 0;
    }
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(m_bytes[m_at + i]);
    m_at += 4;
    return value;
  }
  std::string Text() {
    const uint32_t length = Word();
    if (!m_ok || m_bytes.size() - m_at < length) {
      m_ok = false;
      return std::string();
    }
    std::string text = m_bytes.substr(m_at, length);
    m_at += length;
    return text;
  }
  // True when every field was read and nothing follows.
  bool Done() const { return m_ok && m_at == m_bytes.size(); }
  bool ok() const { return m_ok; }

 private:
  const std::string& m_bytes;
  size_t m_at = 0;
  bool m_ok = true;
};

}  // namespace

std::string EncodeControlQueryRequest(const ControlQueryRequest& request) {
  std::string out(kRequestTag, 4);
  PutWord(out, static_cast<uint32_t>(request.kind));
  PutText(out, request.windowClass);
  PutText(out, request.controlName);
  PutWord(out, static_cast<uint32_t>(request.index));
  PutWord(out, static_cast<uint32_t>(request.paths.size()));
  for (const std::string& path : request.paths) PutText(out, path);
  PutText(out, request.replyName);
  return out;
}

bool DecodeControlQueryRequest(const std::string& bytes, ControlQueryRequest& request) {
  Reader in(bytes);
  if (!in.Tag(kRequestTag)) return false;
  const uint32_t kind = in.Word();
  if (kind != static_cast<uint32_t>(ControlQueryKind::kFindControl) &&
      kind != static_cast<uint32_t>(ControlQueryKind::kDropFiles)) {
    return false;
  }
  request.kind = static_cast<ControlQueryKind>(kind);
  request.windowClass = in.Text();
  request.controlName = in.Text();
  request.index = static_cast<int32_t>(in.Word());
  const uint32_t count = in.Word();
  if (!in.ok() || count > kMaxPaths || request.index < 0) return false;
  request.paths.clear();
  for (uint32_t i = 0; i < count && in.ok(); ++i) request.paths.push_back(in.Text());
  request.replyName = in.Text();
  return in.Done();
}

std::string EncodeControlQueryReply(const ControlQueryReply& reply) {
  std::string out(kReplyTag, 4);
  PutWord(out, (reply.found ? 1u : 0u) | (reply.visible ? 2u : 0u) | (reply.enabled ? 4u : 0u));
  PutWord(out, static_cast<uint32_t>(reply.window & 0xFFFFFFFFu));
  PutWord(out, static_cast<uint32_t>(reply.window >> 32));
  PutWord(out, static_cast<uint32_t>(reply.left));
  PutWord(out, static_cast<uint32_t>(reply.top));
  PutWord(out, static_cast<uint32_t>(reply.right));
  PutWord(out, static_cast<uint32_t>(reply.bottom));
  PutText(out, reply.text);
  return out;
}

bool DecodeControlQueryReply(const std::string& bytes, ControlQueryReply& reply) {
  Reader in(bytes);
  if (!in.Tag(kReplyTag)) return false;
  const uint32_t flags = in.Word();
  if (flags > 7u) return false;
  reply.found = (flags & 1u) != 0;
  reply.visible = (flags & 2u) != 0;
  reply.enabled = (flags & 4u) != 0;
  const uint64_t low = in.Word();
  const uint64_t high = in.Word();
  reply.window = low | (high << 32);
  reply.left = static_cast<int32_t>(in.Word());
  reply.top = static_cast<int32_t>(in.Word());
  reply.right = static_cast<int32_t>(in.Word());
  reply.bottom = static_cast<int32_t>(in.Word());
  reply.text = in.Text();
  return in.Done();
}
