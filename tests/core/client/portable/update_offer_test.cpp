#include "core/client/portable/UpdateOffer.h"

#include "core/base/portable/JsonReply.h"

#include <gtest/gtest.h>

namespace {

UpdateOffer Offer(const std::string& reply, int localVersion = 104) {
  Json::Value root;
  EXPECT_TRUE(ParseJsonReply(reply, root)) << reply;
  return ReadUpdateOffer(root, localVersion);
}

std::string Reply(int version, const std::string& files, const std::string& base = "https://up.example/") {
  return R"({"status":"SUCCESS","version":)" + std::to_string(version) + R"(,"baseurl":")" + base +
         R"(","files":)" + files + "}";
}

const std::string kEntry = R"([{"name":"Updrift.exe","url":"/updates/Updrift.exe","crc32":"1A2b3c4D"}])";

}  // namespace

TEST(UpdateOffer, OnlyANewerVersionDoesAnything) {
  EXPECT_EQ(Offer(Reply(104, kEntry)).action, UpdateOffer::Action::kNothing);
  EXPECT_EQ(Offer(Reply(103, kEntry)).action, UpdateOffer::Action::kNothing);
  EXPECT_EQ(Offer(R"({"status":"SUCCESS","version":"999","files":[]})").action, UpdateOffer::Action::kNothing)
      << "a version that is not a number is not newer";
  const UpdateOffer offer = Offer(Reply(105, kEntry));
  EXPECT_EQ(offer.action, UpdateOffer::Action::kRefresh);
  EXPECT_EQ(offer.url, "https://up.example/updates/Updrift.exe");
  EXPECT_EQ(offer.crc32, 0x1A2B3C4Du);
}

TEST(UpdateOffer, WithoutAnUpdaterEntryTheUpdaterStartsAsItIs) {
  for (const std::string& files :
       {std::string("[]"), std::string(R"([{"name":"UPDRIFT.EXE","url":"/u","crc32":"1"}])"),
        std::string(R"([{"name":"Quillora.exe","url":"/q","crc32":"1"}])"), std::string(R"("none")"),
        std::string(R"([7,"Updrift.exe"])")}) {
    EXPECT_EQ(Offer(Reply(200, files)).action, UpdateOffer::Action::kStartUpdater) << files;
  }
}

TEST(UpdateOffer, TakesTheFirstUpdaterEntryAndJoinsItsUrl) {
  const UpdateOffer lower = Offer(Reply(
      200, R"([{"name":"x.dll","url":"/x","crc32":"5"},{"name":"updrift.exe","url":"/a","crc32":"ff"},
               {"name":"Updrift.exe","url":"/b","crc32":"ee"}])",
      "https://up.example//"));
  EXPECT_EQ(lower.action, UpdateOffer::Action::kRefresh);
  EXPECT_EQ(lower.url, "https://up.example//a") << "only one trailing slash is removed";
  EXPECT_EQ(lower.crc32, 0xFFu);
}

TEST(UpdateOffer, AnUpdaterThatCannotBeCheckedIsNotFetched) {
  struct Case {
    const char* what;
    std::string reply;
  } cases[] = {
      {"plain HTTP", Reply(200, kEntry, "http://up.example/")},
      {"no base URL, relative entry", Reply(200, kEntry, "")},
      {"missing CRC", Reply(200, R"([{"name":"Updrift.exe","url":"/u"}])")},
      {"zero CRC", Reply(200, R"([{"name":"Updrift.exe","url":"/u","crc32":"0"}])")},
      {"CRC not hexadecimal", Reply(200, R"([{"name":"Updrift.exe","url":"/u","crc32":"12xz"}])")},
      {"CRC as a number", Reply(200, R"([{"name":"Updrift.exe","url":"/u","crc32":305419896}])")},
      {"CRC too long", Reply(200, R"([{"name":"Updrift.exe","url":"/u","crc32":"123456789"}])")},
  };
  for (const Case& c : cases) EXPECT_EQ(Offer(c.reply).action, UpdateOffer::Action::kNothing) << c.what;
  EXPECT_EQ(Offer(Reply(200, R"([{"name":"Updrift.exe","url":"HTTPS://other.example/u","crc32":"1"}])", "")).action,
            UpdateOffer::Action::kRefresh)
      << "an absolute HTTPS entry without a base URL";
}
