#pragma once

#include <string>

// The salt appended to every signed text of the speech service.
inline constexpr char RequestSignSalt[] = "4185062";

// The "sign" value of a speech-service request: the MD5 hex of the signed text
// immediately followed by RequestSignSalt.
std::string SignRequestText(const std::string& signedText);
