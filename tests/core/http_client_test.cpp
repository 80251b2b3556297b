#include "core/HttpClient.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

TEST(HttpClient, ResolvesPathsAgainstTheBaseUrl) {
  const HttpClient client("https://manage.example/");
  struct Case {
    std::string path;
    std::string url;
  } cases[] = {
      {"api/start", "https://manage.example/api/start"},
      {"https://speech.example/colud/tts/text2voice.php", "https://speech.example/colud/tts/text2voice.php"},
      {"http://speech.example/a", "http://speech.example/a"},
      // "http://" anywhere, even inside a query value, makes the text a whole URL.
      {"jump?to=http://x/", "jump?to=http://x/"},
      {"", "https://manage.example/"},
  };
  for (const Case& c : cases) EXPECT_EQ(client.ResolveUrl(c.path), c.url) << c.path;
}

TEST(HttpClient, RefusesUrlsTooLongForARequest) {
  const HttpClient client("https://manage.example/");
  const std::string base = "https://manage.example/";
  EXPECT_EQ(client.ResolveUrl(std::string(5122 - base.size(), 'a')).size(), 5122u);
  EXPECT_TRUE(client.ResolveUrl(std::string(5123 - base.size(), 'a')).empty());
  HttpResponseBuffer reply;
  EXPECT_FALSE(client.Get(std::string(6000, 'a'), reply));
  EXPECT_EQ(reply.data(), nullptr);
}

TEST(HttpResponseBuffer, GrowsByTheChunkAndStaysTerminated) {
  HttpResponseBuffer reply;
  EXPECT_EQ(reply.data(), nullptr);
  EXPECT_EQ(reply.length(), 0u);
  char first[] = "{\"code\":";
  char second[] = "200}";
  EXPECT_EQ(HttpWriteCallback(first, 1, std::strlen(first), &reply), std::strlen(first));
  EXPECT_EQ(HttpWriteCallback(second, 1, std::strlen(second), &reply), std::strlen(second));
  EXPECT_EQ(reply.length(), 12u);
  EXPECT_STREQ(reply.data(), "{\"code\":200}");

  HttpResponseBuffer moved = std::move(reply);
  EXPECT_EQ(reply.data(), nullptr);
  EXPECT_EQ(moved.view(), "{\"code\":200}");
  char* block = moved.Release();
  EXPECT_EQ(moved.length(), 0u);
  EXPECT_STREQ(block, "{\"code\":200}");
  std::free(block);
}
