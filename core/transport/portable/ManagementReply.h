#pragma once

// The envelope flags of the management calls and the test that a
// decoded reply is a success.

#include <json/json.h>

#include <cstdint>
#include <string>

// Flags of the management requests whose replies are read: scrambled, with
// the CRC protected by the service's RSA key.
constexpr uint32_t kEnvelopeProtected = 7;
// Flags of the usage reports: scrambled only; the reply is not read.
constexpr uint32_t kEnvelopeReport = 1;

// Parses a decoded management reply; true only for JSON without reader errors
// whose "status" is exactly "SUCCESS" and that holds no failure marker: a
// reply with the marker is passed on by the envelope without its checks, so
// it never counts as a success.
bool ParseSuccessReply(const std::string& text, Json::Value& root);
