#pragma once

#include "core/catalog/portable/VoiceCatalogRecords.h"

#include <windows.h>

class ClientState;

// The program's voice catalogue: one vector per list, filled by its fetch
// thread and read by the windows after WM_APP_CATALOG_LOADED says it is ready.
struct VoiceCatalog {
  std::vector<VoiceCategory> categories;
  std::vector<VoiceInfo> voices;
  std::vector<VoiceEmotion> emotions;
};

// The program's one catalogue; lives for the whole run.
VoiceCatalog& GetVoiceCatalog();

// What a fetch thread is given: the state (transport and main window) and the
// catalogue it fills. Both borrowed; they outlive the thread.
struct CatalogFetch {
  ClientState* state;
  VoiceCatalog* catalog;
};

// Each thread fetches one list from the speech service, replaces its vector
// (empty when the fetch failed) and, when the main window exists, posts it
// WM_APP_CATALOG_LOADED with wParam 1 (categories), 2 (voices) or 3
// (emotions). The parameter is a CatalogFetch. Return 0.
DWORD WINAPI FetchVoiceCategoriesThread(LPVOID catalogFetch);
DWORD WINAPI FetchVoiceListThread(LPVOID catalogFetch);
DWORD WINAPI FetchVoiceEmotionsThread(LPVOID catalogFetch);
