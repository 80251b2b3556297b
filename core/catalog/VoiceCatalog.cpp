#include "core/catalog/VoiceCatalog.h"

#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "core/client/ClientState.h"
#include "core/transport/portable/ServiceConfig.h"

namespace {

// Fetches one list into `records` and announces it, whatever the outcome.
template <typename Record>
DWORD FetchList(const CatalogFetch& fetch, const char* path, WPARAM part, std::vector<Record>& records,
                bool (*parse)(const std::string&, CatalogTextWidener, std::vector<Record>&)) {
  records.clear();
  HttpResponseBuffer reply;
  std::vector<Record> fetched;
  if (fetch.state->httpClient.Get(GetServiceConfig().speechBaseUrl + path, reply)) {
    // The service sends its texts in the ANSI code page.
    parse(std::string(reply.view()), ThreadAnsiToWide, fetched);
  }
  records.swap(fetched);
  if (HWND window = fetch.state->mainWindow.load()) PostMessageW(window, WM_APP_CATALOG_LOADED, part, 0);
  return 0;
}

}  // namespace

VoiceCatalog& GetVoiceCatalog() {
  static VoiceCatalog* catalog = new VoiceCatalog();  // never destroyed: threads may outlive exit
  return *catalog;
}

DWORD WINAPI FetchVoiceCategoriesThread(LPVOID catalogFetch) {
  const CatalogFetch& fetch = *static_cast<const CatalogFetch*>(catalogFetch);
  return FetchList(fetch, "/colud/tts/voiceCategory.php", 1, fetch.catalog->categories, ParseVoiceCategories);
}

DWORD WINAPI FetchVoiceListThread(LPVOID catalogFetch) {
  const CatalogFetch& fetch = *static_cast<const CatalogFetch*>(catalogFetch);
  return FetchList(fetch, "/colud/tts/voiceList.php", 2, fetch.catalog->voices, ParseVoiceList);
}

DWORD WINAPI FetchVoiceEmotionsThread(LPVOID catalogFetch) {
  const CatalogFetch& fetch = *static_cast<const CatalogFetch*>(catalogFetch);
  return FetchList(fetch, "/colud/tts/voiceEmotion.php", 3, fetch.catalog->emotions, ParseVoiceEmotions);
}
