#pragma once

// The login service's side of signing in: the address of its login page, the
// result value its callback page carries, and what a completed login changes
// in the account record.

#include "core/client/portable/AccountRecord.h"

#include <string>

// The account the callback page reports (texts as the service sent them, UTF-8).
struct LoginAccount {
  std::string uuid;
  std::string openid;
  std::string avatar;
  std::string nickname;
};

// "<base>member/login/index?softId=..&uuid=..&usedtimes=..&mid=1". The base
// URL ends with "/". Empty when the address would not fit the 1024-byte bound
// the service accepts.
std::string FormatLoginPageUrl(const std::string& loginBaseUrl, int softId, const std::string& uuid,
                               int usedTimes);

// Opens the callback page's "info" value: an envelope with an empty nonce
// that must carry the RSA-protected CRC (flags 7), holding JSON whose "status"
// is "SUCCESS". A value without that check, or with a check that fails, is
// refused like one that is not an envelope at all: a page could otherwise
// sign anybody in. False, with `account` untouched, on any failure.
bool ReadLoginResult(const std::string& info, const std::string& rsaKeyPem, LoginAccount& account);

// Marks the record signed in with the account's avatar, nickname and openid;
// the record's uuid is set only when it is still empty (the device the user
// first signed in under stays).
void ApplyLoginToRecord(AccountRecord& record, const LoginAccount& account);
