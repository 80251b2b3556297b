#include "core/transport/EnvelopedRequest.h"

#include "core/transport/portable/ManagementReply.h"
#include "tests/core/client/StandinClientTest.h"

namespace {

class EnvelopedRequestTest : public StandinClientTest {};

const char kInitParams[] = "/client/getinitparams";

}  // namespace

TEST_F(EnvelopedRequestTest, EveryFlagCombinationReachesTheServiceAndComesBack) {
  for (uint32_t flags : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
    std::string text;
    ASSERT_TRUE(RequestEnveloped(*m_state, flags, "/client/getinitparams?softid=130", &text)) << "flags " << flags;
    Json::Value root;
    ASSERT_TRUE(ParseSuccessReply(text, root)) << text;
    EXPECT_EQ(root["initparams"]["softid"].asString(), "130");
  }
  const Json::Value requests = RequestsOf(kInitParams);
  ASSERT_EQ(requests.size(), 8u);
  for (Json::ArrayIndex i = 0; i < requests.size(); ++i) {
    const Json::Value& envelope = requests[i]["envelope"];
    EXPECT_EQ(envelope["flags"].asUInt(), i);
    const std::string query = envelope["query"].asString();
    EXPECT_EQ(query.rfind("softid=130&nonce=", 0), 0u) << query;
    EXPECT_EQ(query.substr(17), envelope["nonce"].asString());
    EXPECT_FALSE(envelope["nonce"].asString().empty());
  }
}

TEST_F(EnvelopedRequestTest, ReportsAreSentWithoutReadingTheReply) {
  m_instance.Script("/client/reportlog", R"({"body":"not an envelope"})");
  EXPECT_TRUE(RequestEnveloped(*m_state, kEnvelopeReport, "/client/reportlog?&detail=3", nullptr));
  const Json::Value requests = RequestsOf("/client/reportlog");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["envelope"]["flags"].asInt(), 1);
  EXPECT_EQ(requests[0]["params"]["detail"].asString(), "3");
}

TEST_F(EnvelopedRequestTest, RepliesThatFailTheirChecksAreRejected) {
  struct Case {
    const char* what;
    const char* fault;
  } cases[] = {
      {"reply without integrity to a protected request", R"({"envelope_flags":0})"},
      {"reply with a plain CRC only", R"({"envelope_flags":3})"},
      {"wrong nonce", R"({"nonce":"1"})"},
      {"wrong CRC in the RSA block", R"({"bad_signature":true})"},
      {"RSA block that does not decrypt", R"({"bad_signature":"garbage"})"},
      {"HTTP 500", R"({"http_status":500})"},
      {"not Base64", R"({"body":"%%%%"})"},
      {"dropped connection", R"({"drop":true})"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(m_instance.Script(kInitParams, c.fault)) << m_instance.error();
    std::string text = "kept";
    EXPECT_FALSE(RequestEnveloped(*m_state, kEnvelopeProtected, "/client/getinitparams?softid=130", &text)) << c.what;
    EXPECT_EQ(text, "kept") << c.what;
  }
}

TEST_F(EnvelopedRequestTest, PlainFailureRepliesArePassedOn) {
  m_instance.Script(kInitParams, R"({"plain_failed":true})");
  std::string text;
  ASSERT_TRUE(RequestEnveloped(*m_state, kEnvelopeProtected, "/client/getinitparams?softid=130", &text));
  EXPECT_EQ(text, R"({"status":"FAILED","msg":"scripted failure"})");
  Json::Value root;
  EXPECT_FALSE(ParseSuccessReply(text, root));
}

TEST(EnvelopeNonce, DiffersBetweenRequests) {
  std::string first = MakeEnvelopeNonce();
  Sleep(20);
  EXPECT_NE(first, MakeEnvelopeNonce());
  EXPECT_EQ(first.find_first_not_of("-0123456789"), std::string::npos);
}
