// The C++ client of the stand-in supervisor, against the session's supervisor:
// an instance answers over HTTP and over HTTPS verified with its CA, and
// scripted faults, the request log and the counters reach the test.
#include "tests/support/Standin.h"

#include <curl/curl.h>

#include <string>

namespace {

size_t Append(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// GET of a whole URL; the HTTP status, or -1 when the transfer failed.
long Get(const std::string& url, const std::string& caPem, std::string* body) {
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return -1;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, body);
  curl_blob ca{const_cast<char*>(caPem.data()), caPem.size(), CURL_BLOB_COPY};
  curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &ca);
  long status = -1;
  if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  return status;
}

TEST(StandinClient, InstanceServesHttpAndVerifiedHttps) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  EXPECT_EQ(instance.urls().managementHttps.back(), '/');
  EXPECT_NE(instance.rsaPublicPem().find("BEGIN PUBLIC KEY"), std::string::npos);
  const std::string path = "/colud/tts/voiceCategory.php";
  std::string body;
  EXPECT_EQ(Get(instance.urls().speechHttps + path, instance.caPem(), &body), 200);
  EXPECT_NE(body.find("\"code\": 200"), std::string::npos) << body;
  body.clear();
  EXPECT_EQ(Get(instance.urls().speechHttp + path, "", &body), 200);
  EXPECT_EQ(Get(instance.urls().managementHttps + "updates/Updrift.exe", instance.caPem(), &body), 200);
  EXPECT_EQ(instance.Count(path), 2);
}

TEST(StandinClient, ScriptsFaultsAndReadsTheLog) {
  standin::Instance instance;
  STANDIN_OR_SKIP(instance);
  const std::string path = "/colud/tts/voiceList.php";
  ASSERT_TRUE(instance.Script(path, R"({"http_status":500})")) << instance.error();
  EXPECT_FALSE(instance.Script(path, R"({"no_such_fault":1})"));
  std::string body;
  EXPECT_EQ(Get(instance.urls().speechHttp + path + "?x=1", "", &body), 500);
  EXPECT_EQ(Get(instance.urls().speechHttp + path, "", &body), 200);
  Json::Value log = instance.Requests();
  ASSERT_TRUE(log.isArray());
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0]["path"].asString(), path);
  EXPECT_EQ(log[0]["query"].asString(), "x=1");
  EXPECT_EQ(log[0]["status"].asInt(), 500);
  EXPECT_EQ(instance.Count(path), 2);
  EXPECT_EQ(instance.Count("/colud/tts/voiceEmotion.php"), 0);
}

}  // namespace
