#include "core/base/portable/ControlQuery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool SameRequest(const ControlQueryRequest& a, const ControlQueryRequest& b) {
  return a.kind == b.kind && a.windowClass == b.windowClass && a.controlName == b.controlName &&
         a.index == b.index && a.paths == b.paths && a.replyName == b.replyName;
}

bool SameReply(const ControlQueryReply& a, const ControlQueryReply& b) {
  return a.found == b.found && a.visible == b.visible && a.enabled == b.enabled && a.window == b.window &&
         a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom && a.text == b.text;
}

ControlQueryRequest Drop() {
  ControlQueryRequest request;
  request.kind = ControlQueryKind::kDropFiles;
  request.windowClass = "_QuilloraMainWnd_";
  request.paths = {"C:\\语音\\一.wav", "", std::string("a\0b", 3)};
  request.replyName = "Local\\reply.7";
  return request;
}

TEST(ControlQuery, RequestsAndRepliesComeBackAsTheyWere) {
  ControlQueryRequest find;
  find.windowClass = "VoiceTypeWnd";
  find.controlName = "btnPlay";
  find.index = 2;
  find.replyName = "Local\\QuilloraTestReply.12.3";
  ControlQueryRequest empty;  // no class, no name, no reply memory
  for (const ControlQueryRequest& request : {find, Drop(), empty}) {
    ControlQueryRequest back;
    ASSERT_TRUE(DecodeControlQueryRequest(EncodeControlQueryRequest(request), back)) << request.controlName;
    EXPECT_TRUE(SameRequest(back, request)) << request.controlName;
  }

  ControlQueryReply shown;
  shown.found = shown.visible = shown.enabled = true;
  shown.window = 0x0000123400005678ull;  // a 64-bit handle value keeps its high half
  shown.left = -20;                      // a control scrolled out to the left or top
  shown.top = -3;
  shown.right = 1024;
  shown.bottom = 720;
  shown.text = "欢迎\t使用\r\n文字";      // tabs and line ends are plain bytes here
  ControlQueryReply hidden;
  hidden.found = true;
  ControlQueryReply missing;
  for (const ControlQueryReply& reply : {shown, hidden, missing}) {
    ControlQueryReply back;
    back.text = "left from before";
    ASSERT_TRUE(DecodeControlQueryReply(EncodeControlQueryReply(reply), back)) << reply.text;
    EXPECT_TRUE(SameReply(back, reply)) << reply.text;
  }
}

TEST(ControlQuery, MalformedRecordsAreRefused) {
  const std::string request = EncodeControlQueryRequest(Drop());
  ControlQueryReply sample;
  sample.found = true;
  sample.text = "abc";
  const std::string reply = EncodeControlQueryReply(sample);
  // A word at a byte offset, replaced.
  const auto withWord = [](std::string bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
  };
  const size_t classLength = 8;  // after the tag and the kind
  const size_t replyTextLength = 4 + 7 * 4;
  const struct {
    const char* what;
    std::string bytes;
    bool isRequest;
  } cases[] = {
      {"empty", "", true},
      {"tag only", "QCQ1", true},
      {"a reply's tag on a request", "QCR1" + request.substr(4), true},
      {"cut in the last text", request.substr(0, request.size() - 1), true},
      {"a byte too many", request + "x", true},
      {"unknown kind", withWord(request, 4, 9), true},
      {"kind zero", withWord(request, 4, 0), true},
      {"class longer than the record", withWord(request, classLength, 0xFFFFFFF0u), true},
      {"class a byte too long", withWord(request, classLength, 18), true},
      {"negative index", withWord(request, classLength + 4 + 17 + 4, 0x80000000u), true},
      {"a path count far too big", withWord(request, classLength + 4 + 17 + 4 + 4 + 4, 0xFFFFFFFFu), true},
      {"empty reply", "", false},
      {"a request's tag on a reply", "QCQ1" + reply.substr(4), false},
      {"unknown flag", withWord(reply, 4, 8), false},
      {"reply cut in a word", reply.substr(0, 10), false},
      {"reply text longer than the record", withWord(reply, replyTextLength, 4), false},
      {"reply padded", reply + std::string(1, '\0'), false},
  };
  for (const auto& c : cases) {
    if (c.isRequest) {
      ControlQueryRequest out;
      EXPECT_FALSE(DecodeControlQueryRequest(c.bytes, out)) << c.what;
    } else {
      ControlQueryReply out;
      EXPECT_FALSE(DecodeControlQueryReply(c.bytes, out)) << c.what;
    }
  }
  // The fixture itself decodes: each refusal above is of the one change it makes.
  ControlQueryRequest out;
  EXPECT_TRUE(DecodeControlQueryRequest(request, out));
  ControlQueryReply outReply;
  EXPECT_TRUE(DecodeControlQueryReply(reply, outReply));
}

}  // namespace
