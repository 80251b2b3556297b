#pragma once
// The voice catalogue the program shows (categories, voices, emotions), the
// lists on their way to it from the start-up fetches, and those fetches.

// The voice catalogue the windows read (one for the program's run), the slots
// that carry each fetched list to the UI thread (each owns the list in transit),
// and the fetch threads that fill them.

#include "core/catalog/portable/VoiceCatalogRecords.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

class ClientState;
class StopToken;

// One list on its way from a fetch thread to the UI thread: the latest list a
// thread has delivered and the UI thread has not yet taken. One atomic slot
// and no lock: a fetch thread never makes the UI thread wait, and one that
// is let go at its stop holds nothing the UI thread needs.
template <typename Record>
class CatalogDelivery {
 public:
  CatalogDelivery() = default;
  // A list in transit stays with its delivery: a copy of the catalogue holds
  // only what has been published.
  CatalogDelivery(const CatalogDelivery&) {}
  CatalogDelivery& operator=(const CatalogDelivery&) { return *this; }
  ~CatalogDelivery() { delete m_slot.exchange(nullptr); }

  // Fetch thread: hands over a whole list, replacing one not yet taken.
  void Deliver(std::vector<Record> records) {
    delete m_slot.exchange(new std::vector<Record>(std::move(records)));
  }
  // UI thread: makes the delivered list the published one (the old one is
  // freed here). False, and `published` untouched, when nothing waits.
  bool TakeInto(std::vector<Record>& published) {
    std::unique_ptr<std::vector<Record>> delivered(m_slot.exchange(nullptr));
    if (!delivered) return false;
    published.swap(*delivered);
    return true;
  }
  bool Waiting() const { return m_slot.load() != nullptr; }

 private:
  std::atomic<std::vector<Record>*> m_slot{nullptr};  // owned; null = nothing delivered
};

// The program's voice catalogue. The three vectors are what the windows read;
// only the UI thread changes them, when it takes a part its fetch thread has
// delivered (on WM_APP_CATALOG_LOADED, or while the main window is created).
// So a window reading them never sees a list cleared or swapped under it.
struct VoiceCatalog {
  std::vector<VoiceCategory> categories;
  std::vector<VoiceInfo> voices;
  std::vector<VoiceEmotion> emotions;

  CatalogDelivery<VoiceCategory> deliveredCategories;
  CatalogDelivery<VoiceInfo> deliveredVoices;
  CatalogDelivery<VoiceEmotion> deliveredEmotions;

  // UI thread: publishes the delivered list of `part` (1 categories, 2
  // voices, 3 emotions). False when none was waiting (or the part is unknown).
  bool TakeDelivered(int part);
};

// The program's one catalogue; lives for the whole run.
VoiceCatalog& GetVoiceCatalog();

// What a fetch thread is given: the state (transport and main window), the
// catalogue it delivers to and the stop token of the worker that runs it
// (null: never stops), which aborts its transfer. All borrowed; they outlive
// the thread.
struct CatalogFetch {
  ClientState* state;
  VoiceCatalog* catalog;
  const StopToken* stop = nullptr;
};

// Each thread fetches one list from the speech service, delivers it (empty
// when the fetch failed) without touching the published vectors and, when the
// main window exists, posts it WM_APP_CATALOG_LOADED with wParam 1
// (categories), 2 (voices) or 3 (emotions). The parameter is a CatalogFetch.
// Return 0.
DWORD WINAPI FetchVoiceCategoriesThread(LPVOID catalogFetch);
DWORD WINAPI FetchVoiceListThread(LPVOID catalogFetch);
DWORD WINAPI FetchVoiceEmotionsThread(LPVOID catalogFetch);
