#include "core/client/portable/LoginResult.h"

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

// The callback page's "info" as the login service writes it: a Base64
// envelope with an empty nonce. `flags` other than 7 make the downgraded
// values a forged page could carry.
std::string MakeInfo(const TestRsaKey& key, const std::string& json, uint32_t flags = 7, int crcDelta = 0) {
  std::string body = json + "{\"nonce\":\"\"}";
  const uint32_t crc = Crc32(body.data(), body.size()) + static_cast<uint32_t>(crcDelta);
  std::string payload = LittleEndian32(flags);
  if (flags & 4) {
    payload += key.Sign(LittleEndian32(crc));
  } else if (flags & 2) {
    payload += LittleEndian32(crc);
  }
  if (flags & 1) ScrambleBytes(&body[0], body.size());
  return Base64Encode(payload + body);
}

const char kAccountJson[] =
    R"({"status":"SUCCESS","uuid":"BBBBBBBBBBBBBBBB","openid":"oid-7","avatar":"http://a/t.png","nickname":"测试用户"})";

}  // namespace

TEST(LoginResult, ReadsTheAccountOfAProtectedSuccessReply) {
  TestRsaKey key;
  LoginAccount account;
  ASSERT_TRUE(ReadLoginResult(MakeInfo(key, kAccountJson), key.publicPem(), account));
  EXPECT_EQ(account.uuid, "BBBBBBBBBBBBBBBB");
  EXPECT_EQ(account.openid, "oid-7");
  EXPECT_EQ(account.avatar, "http://a/t.png");
  EXPECT_EQ(account.nickname, "测试用户");
}

TEST(LoginResult, RefusesValuesWithoutAValidCheckOrWithoutSuccess) {
  TestRsaKey key;
  TestRsaKey otherKey;
  const struct Case {
    const char* what;
    std::string info;
  } cases[] = {
      {"no integrity value", MakeInfo(key, kAccountJson, 1)},
      {"plain CRC only", MakeInfo(key, kAccountJson, 3)},
      {"nothing at all", MakeInfo(key, kAccountJson, 0)},
      {"wrong CRC in the RSA block", MakeInfo(key, kAccountJson, 7, 1)},
      {"signed with another key", MakeInfo(otherKey, kAccountJson, 7)},
      {"status FAILED", MakeInfo(key, R"({"status":"FAILED","nickname":"x"})")},
      {"status missing", MakeInfo(key, R"({"nickname":"x"})")},
      {"not JSON", MakeInfo(key, "<html>")},
      {"plain failure reply", R"({"status":"FAILED","msg":"no"})"},
      {"not Base64", "%%%%"},
      {"empty", ""},
  };
  for (const Case& c : cases) {
    LoginAccount account;
    account.nickname = "unchanged";
    EXPECT_FALSE(ReadLoginResult(c.info, key.publicPem(), account)) << c.what;
    EXPECT_EQ(account.nickname, "unchanged") << c.what;
  }
}

TEST(LoginResult, LoginFillsTheRecordAndKeepsAnEarlierUuid) {
  LoginAccount account{"NEWUUIDNEWUUID00", "oid-2", "http://a/2.png", "小明"};
  AccountRecord fresh = MakeFreshAccountRecord();
  ApplyLoginToRecord(fresh, account);
  EXPECT_EQ(fresh.loggedIn, 1);
  EXPECT_EQ(RecordText(fresh.uuid), "NEWUUIDNEWUUID00");
  EXPECT_EQ(RecordText(fresh.openid), "oid-2");
  EXPECT_EQ(RecordText(fresh.avatar), "http://a/2.png");
  EXPECT_EQ(RecordText(fresh.nickname), "小明");

  AccountRecord earlier = MakeFreshAccountRecord();
  SetRecordText(earlier.uuid, "OLDUUIDOLDUUID00");
  SetRecordText(earlier.nickname, "旧名字");
  ApplyLoginToRecord(earlier, account);
  EXPECT_EQ(RecordText(earlier.uuid), "OLDUUIDOLDUUID00");
  EXPECT_EQ(RecordText(earlier.nickname), "小明");
}

TEST(LoginResult, LoginPageUrlCarriesTheFourValues) {
  EXPECT_EQ(FormatLoginPageUrl("http://127.0.0.1:18182/", 130, "AAAAAAAAAAAAAAAA", 1),
            "http://127.0.0.1:18182/member/login/index?softId=130&uuid=AAAAAAAAAAAAAAAA&usedtimes=1&mid=1");
  EXPECT_EQ(FormatLoginPageUrl(std::string(1000, 'h'), 130, "AAAAAAAAAAAAAAAA", 1), "")
      << "an address past the bound is not cut";
}
