#pragma once

// What a version-check reply offers: the updater action, its address and
// checksum, as a plain record.

#include <json/json.h>

#include <cstdint>
#include <string>

// What a version-check reply asks the client to do with its updater program.
struct UpdateOffer {
  enum class Action {
    kNothing,       // not newer, or an updater entry that cannot be trusted
    kStartUpdater,  // newer, without an updater entry: run the updater as it is
    kRefresh,       // newer, with an updater entry: fetch it (unless it is current), then run it
  };
  Action action = Action::kNothing;
  std::string url;       // kRefresh: "baseurl" (one trailing "/" removed) + the entry's "url"
  uint32_t crc32 = 0;    // kRefresh: the entry's "crc32", hexadecimal, never 0
};

// The updater file's name in a reply's "files" list, compared exactly; the
// lower-case form is accepted too.
constexpr const char* kUpdaterFileNames[] = {"Updrift.exe", "updrift.exe"};

// Reads a successful "/client/queryversion" reply against the local version.
// An updater entry is only used when its URL is HTTPS and its CRC-32 is a
// non-zero hexadecimal text, since the downloaded file is run.
UpdateOffer ReadUpdateOffer(const Json::Value& reply, int localVersion);
