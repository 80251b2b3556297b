#include "core/portable/RequestSign.h"

#include "core/portable/Md5Hex.h"

std::string SignRequestText(const std::string& signedText) { return ComputeMd5Hex(signedText + RequestSignSalt); }
