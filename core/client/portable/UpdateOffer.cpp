#include "core/client/portable/UpdateOffer.h"

#include "core/base/portable/JsonReply.h"

#include <cctype>
#include <cstdlib>

namespace {

bool IsUpdaterName(const std::string& name) {
  for (const char* accepted : kUpdaterFileNames) {
    if (name == accepted) return true;
  }
  return false;
}

// A hexadecimal CRC text such as "1a2b3c4d"; false for anything else and for 0,
// which the download would take as "no check".
bool ParseCrcText(const std::string& text, uint32_t& crc) {
  if (text.empty() || text.size() > 8 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  crc = static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
  return crc != 0;
}

bool IsHttpsUrl(const std::string& url) {
  static const char kScheme[] = "https://";
  if (url.size() <= sizeof kScheme - 1) return false;
  for (size_t i = 0; i < sizeof kScheme - 1; ++i) {
    if (std::tolower(static_cast<unsigned char>(url[i])) != kScheme[i]) return false;
  }
  return true;
}

}  // namespace

UpdateOffer ReadUpdateOffer(const Json::Value& reply, int localVersion) {
  UpdateOffer offer;
  if (JsonInt(reply, "version") <= localVersion) return offer;
  const Json::Value& files = JsonMember(reply, "files");
  const Json::Value* entry = nullptr;
  if (files.isArray()) {
    for (const Json::Value& file : files) {
      if (IsUpdaterName(JsonText(file, "name"))) {
        entry = &file;
        break;
      }
    }
  }
  if (entry == nullptr) {
    offer.action = UpdateOffer::Action::kStartUpdater;
    return offer;
  }
  std::string base = JsonText(reply, "baseurl");
  if (!base.empty() && base.back() == '/') base.pop_back();
  const std::string url = base + JsonText(*entry, "url");
  uint32_t crc = 0;
  if (!IsHttpsUrl(url) || !ParseCrcText(JsonText(*entry, "crc32"), crc)) return offer;
  offer.action = UpdateOffer::Action::kRefresh;
  offer.url = url;
  offer.crc32 = crc;
  return offer;
}
