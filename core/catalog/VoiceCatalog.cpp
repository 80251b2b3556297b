#include "core/catalog/VoiceCatalog.h"

#include "core/base/AppMessages.h"
#include "core/base/TextConversion.h"
#include "core/client/ClientState.h"

namespace {

// Fetches one list, delivers it and announces it, whatever the outcome. The
// list is delivered before the window handle is read, so a window created
// meanwhile either gets the message or finds the list when it starts.
template <typename Record>
DWORD FetchList(const CatalogFetch& fetch, const char* path, WPARAM part, CatalogDelivery<Record>& delivery,
                bool (*parse)(const std::string&, CatalogTextWidener, std::vector<Record>&)) {
  HttpResponseBuffer reply;
  std::vector<Record> fetched;
  if (fetch.state->httpClient.Get(fetch.state->endpoints().speechBaseUrl + path, reply, fetch.stop)) {
    // The service sends its texts in the ANSI code page.
    parse(std::string(reply.view()), ThreadAnsiToWide, fetched);
  }
  delivery.Deliver(std::move(fetched));
  if (HWND window = fetch.state->mainWindow.load()) PostMessageW(window, WM_APP_CATALOG_LOADED, part, 0);
  return 0;
}

}  // namespace

bool VoiceCatalog::TakeDelivered(int part) {
  switch (part) {
    case 1: return deliveredCategories.TakeInto(categories);
    case 2: return deliveredVoices.TakeInto(voices);
    case 3: return deliveredEmotions.TakeInto(emotions);
    default: return false;
  }
}

VoiceCatalog& GetVoiceCatalog() {
  static VoiceCatalog* catalog = new VoiceCatalog();  // never destroyed: threads may outlive exit
  return *catalog;
}

DWORD WINAPI FetchVoiceCategoriesThread(LPVOID catalogFetch) {
  const CatalogFetch& fetch = *static_cast<const CatalogFetch*>(catalogFetch);
  return FetchList(fetch, "/colud/tts/voiceCategory.php", 1, fetch.catalog->deliveredCategories, ParseVoiceCategories);
}

DWORD WINAPI FetchVoiceListThread(LPVOID catalogFetch) {
  const CatalogFetch& fetch = *static_cast<const CatalogFetch*>(catalogFetch);
  return FetchList(fetch, "/colud/tts/voiceList.php", 2, fetch.catalog->deliveredVoices, ParseVoiceList);
}

DWORD WINAPI FetchVoiceEmotionsThread(LPVOID catalogFetch) {
  const CatalogFetch& fetch = *static_cast<const CatalogFetch*>(catalogFetch);
  return FetchList(fetch, "/colud/tts/voiceEmotion.php", 3, fetch.catalog->deliveredEmotions, ParseVoiceEmotions);
}
