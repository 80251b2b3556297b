#include "core/client/portable/LoginResult.h"

#include "core/base/portable/JsonReply.h"
#include "core/transport/portable/ManagementEnvelope.h"
#include "core/transport/portable/ManagementReply.h"

#include <cstdio>

namespace {
constexpr size_t kLoginPageUrlBound = 1024;  // the formatted address with its terminator
}  // namespace

std::string FormatLoginPageUrl(const std::string& loginBaseUrl, int softId, const std::string& uuid,
                               int usedTimes) {
  char url[kLoginPageUrlBound];
  const int length = std::snprintf(url, sizeof url, "%smember/login/index?softId=%d&uuid=%s&usedtimes=%d&mid=1",
                                   loginBaseUrl.c_str(), softId, uuid.c_str(), usedTimes);
  // A cut address would load some other page; better none.
  if (length < 0 || static_cast<size_t>(length) >= sizeof url) return std::string();
  return std::string(url, static_cast<size_t>(length));
}

bool ReadLoginResult(const std::string& info, const std::string& rsaKeyPem, LoginAccount& account) {
  std::string text;
  if (!DecodeResponseEnvelope(std::string(), info, kEnvelopeProtected, rsaKeyPem, text)) return false;
  Json::Value root;
  if (!ParseSuccessReply(text, root)) return false;
  account.uuid = JsonText(root, "uuid");
  account.openid = JsonText(root, "openid");
  account.avatar = JsonText(root, "avatar");
  account.nickname = JsonText(root, "nickname");
  return true;
}

void ApplyLoginToRecord(AccountRecord& record, const LoginAccount& account) {
  record.loggedIn = 1;
  SetRecordText(record.avatar, account.avatar);
  SetRecordText(record.nickname, account.nickname);
  if (record.uuid[0] == '\0') SetRecordText(record.uuid, account.uuid);
  SetRecordText(record.openid, account.openid);
}
