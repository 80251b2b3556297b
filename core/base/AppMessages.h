#pragma once

// Window messages the worker threads and windows exchange (all WM_USER + n).
// Numbers are fixed: the framework keeps 0x8001 and timer id 0x2000 for itself.

#include <windows.h>

constexpr UINT WM_APP_ACTIVATE_INSTANCE = WM_USER + 100;   // 1124 second start: come to the front
constexpr UINT WM_APP_QUIT_CONFIRMED = WM_USER + 101;      // 1125 hide, usage report, quit
constexpr UINT WM_APP_LOGIN_CHANGED = WM_USER + 103;       // 1127 refresh the user panel
constexpr UINT WM_APP_START_LISTEN_TEST = WM_USER + 106;   // 1130
constexpr UINT WM_APP_PLAYBACK_DONE = WM_USER + 107;       // 1131 preview playback ended
constexpr UINT WM_APP_SAMPLE_DONE = WM_USER + 108;         // 1132 voice sample playback ended
constexpr UINT WM_APP_VOICE_CHOSEN = WM_USER + 109;        // 1133 wParam VoiceInfo*, lParam 1: also set example text
constexpr UINT WM_APP_CATALOG_LOADED = WM_USER + 110;      // 1134 wParam 1 categories, 2 voices, 3 emotions
constexpr UINT WM_APP_V2T_STATUS = WM_USER + 111;          // 1135 wParam Voice2TextJob*, lParam 1/2/3
constexpr UINT WM_APP_LOGOUT = WM_USER + 114;              // 1138
constexpr UINT WM_APP_INIT_PARAMS_LOADED = WM_USER + 116;  // 1140 handled like a login change
constexpr UINT WM_APP_SHOW_LOGIN = WM_USER + 117;          // 1141 open the login window
constexpr UINT WM_APP_MENU_CLICK = WM_USER + 121;          // 1145 lParam: the item's check state
