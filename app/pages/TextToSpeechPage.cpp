// The text-to-speech page's operations on the main window: listen test,
// conversion, catalogue display, voice, text import, background music and its
// delays, the pop-up and hover menus.
//
// NOT BUILT YET: these are placeholders that keep the page's controls usable
// and do nothing else; the text-to-speech page work replaces each body.
#include "app/MainWnd.h"

#include "core/base/DebugTrace.h"

using namespace Trellis;

void CMainWnd::ListenTest() { DebugTrace(L"text-to-speech page: listen test not built yet\r\n"); }

void CMainWnd::StartConversion() { DebugTrace(L"text-to-speech page: conversion not built yet\r\n"); }

void CMainWnd::RefreshCatalog(int) {}  // placeholder: the voice and emotion displays

void CMainWnd::ApplyVoice(VoiceInfo) {}  // placeholder: shows the voice and sets the job's voice type

void CMainWnd::ImportText() {}  // placeholder: text file import

void CMainWnd::ChooseBackgroundMusic() {}  // placeholder: background music file dialog

void CMainWnd::SetTailDelay(int) {}  // placeholder: "lblBgm"/"lblBgm1" and the job's tail delay

void CMainWnd::SetLeadDelay(int) {}  // placeholder: "lblText"/"lblText1" and the job's lead delay

void CMainWnd::ShowPopupMenu(const wchar_t*, POINT) {}  // placeholder: the main menu and the mark menus

void CMainWnd::UpdateHoverMenus(int, int) {}  // placeholder: the polyphone and pause hover menus
