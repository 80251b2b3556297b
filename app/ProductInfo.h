#pragma once
// Names the program and its windows are known by: the single-instance lookup
// finds the running main window by its class and title, and every message box
// carries the product title.

// kProductTitle, the window title and the caption of every message box, is
// the one of the user messages.
#include "core/base/UserMessage.h"

constexpr wchar_t kMainWindowClass[] = L"_QuilloraMainWnd_";
// Held by the running instance for its whole life, so that two starts in
// quick succession cannot both miss each other's window.
constexpr wchar_t kSingleInstanceMutex[] = L"Local\\Quillora_SingleInstance";
// The skin archive embedded in the program ("ZIPRES" 129).
constexpr int kSkinArchiveResourceId = 129;
constexpr wchar_t kSkinArchiveResourceType[] = L"ZIPRES";
