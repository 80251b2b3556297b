#pragma once
// TextToSpeechPage: page 1 of "tabConvert". The editor with its limit, pause
// and polyphone marks and import; voice, emotion, volume, speed, background
// music with its delays and the output format and folder; the listen test
// and the conversion with their workers; the catalogue's voice and emotion
// displays; the hover menus and the window's pop-up menus. The operations
// are split by topic: TextToSpeechPage.cpp (binding, reset, listen test,
// conversion, catalogue, music), TextToSpeechNotify.cpp (the notification
// table and its handlers), TextToSpeechImport.cpp (text import and limit),
// TextToSpeechMenus.cpp (menus); the workers are in TextToSpeechWork.*, the
// preview's playback in TextToSpeechPreview.*.
//
// Owns the one text-to-speech job, the current voice, the workers and the
// preview; borrows its controls from the window's tree. UI thread only:
// workers fill their own records and post WM_APP_TTS_DONE or
// WM_APP_PLAYBACK_DONE.
#include "app/pages/Page.h"
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "core/tts/ConvertJob.h"

#include <memory>
#include <string>

struct TtsPageState;
namespace Trellis {
class CMenuWnd;
}  // namespace Trellis

// Cuts `text` to its first `limit` characters when it is longer; true when it
// cut. The editor's limit of 5000 characters is kept with it.
bool CutTextToLimit(std::wstring& text, size_t limit);

// The voice type of the editor's voice-type combo item: the four named items
// have their own ids, every other item is 101000 + its index.
int VoiceTypeForComboItem(const std::wstring& text, int index);

class TextToSpeechPage : public Page {
 public:
  explicit TextToSpeechPage(PageHost& host);
  // Stops the workers and the preview, each with a bounded wait.
  ~TextToSpeechPage() override;

  // Page:
  // Also makes the job (its owner of messages the window).
  void Bind() override;
  bool Notify(Trellis::UINotify& msg) override;
  // WM_APP_START_LISTEN_TEST, WM_APP_PLAYBACK_DONE, WM_APP_VOICE_CHOSEN,
  // WM_APP_CATALOG_LOADED and the workers' WM_APP_TTS_DONE.
  bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // A conversion runs ("gifConvert" shown, whichever page is in front).
  bool IsBusy() const override;
  void Reset() override;

  // The page comes to the front: the catalogue's first voice when there is
  // one (reported), and the caret in the editor.
  void Open();

  // The one text-to-speech job; null before Bind.
  ConvertJob* GetJob() const { return m_job.get(); }
  const VoiceInfo& GetCurrentVoice() const { return m_currentVoice; }

  void ListenTest();
  void StartConversion();
  // 1 categories, 2 voices, 3 emotions: publishes that part of the catalogue
  // when its fetch thread has delivered it, then rebuilds that part of the page.
  void RefreshCatalog(int part);
  void ApplyVoice(VoiceInfo voice);
  void ImportText();
  // Reads a text file into the editor (the import after its file dialog);
  // false, with the editor unchanged, when the file cannot be read.
  bool ImportTextFile(const std::wstring& path);
  void EnforceTextLimit();
  void ChooseBackgroundMusic();
  // Takes a background music file (what the music file dialog does on OK).
  void SetBackgroundMusic(const std::wstring& path);
  void SetTailDelay(int seconds);
  void SetLeadDelay(int seconds);
  // Opens a pop-up menu from `skinFile` at `at` (client coordinates); the
  // window's main menu is one.
  void ShowPopupMenu(const wchar_t* skinFile, POINT at);
  // Opens and closes the hover menus as the pointer moves (client coordinates).
  void UpdateHoverMenus(int x, int y);

 private:
  // --- Notification handlers (the table in TextToSpeechNotify.cpp) ---
  void OnEmotionLeft(Trellis::UINotify&);
  void OnEmotionRight(Trellis::UINotify&);
  void OnPlayVoice(Trellis::UINotify&);
  void OnVolumeReset(Trellis::UINotify&);
  void OnSpeedReset(Trellis::UINotify&);
  void OnBgmVolumeReset(Trellis::UINotify&);
  void OnChangeBgm(Trellis::UINotify&);
  void OnDeleteBgm(Trellis::UINotify&);
  void OnBgmMinus(Trellis::UINotify&);
  void OnBgmPlus(Trellis::UINotify&);
  void OnTextMinus(Trellis::UINotify&);
  void OnTextPlus(Trellis::UINotify&);
  void OnChangeAnchor(Trellis::UINotify&);
  void OnImport(Trellis::UINotify&);
  void OnPolyphone(Trellis::UINotify&);
  void OnInterval(Trellis::UINotify&);
  void OnCleanText(Trellis::UINotify&);
  void OnChangePath(Trellis::UINotify&);
  void OnConvert(Trellis::UINotify&);
  void OnSliderChanged(Trellis::UINotify&);
  void OnTextChanged(Trellis::UINotify&);
  void OnFormatChanged(Trellis::UINotify&);
  void OnEmotionChanged(Trellis::UINotify&);
  void OnVoiceTypeSelected(Trellis::UINotify&);
  static const NotifyRoute<TextToSpeechPage> kNotifyRoutes[];

  void OnVoiceChosen(const VoiceInfo* voice, bool takeExampleText);
  // Clears the job's task-done and result-valid flags: the next conversion
  // sends a new request.
  void ClearCache();
  // Keeps the editor within its 5000 characters (cutting the rest, the caret
  // at the end) and shows the count in "textCount". Run for every edit of
  // the editor, the user's and the program's own ("textchanged").
  void ApplyTextLimit();
  // Inserts a mark at the editor's caret (replacing the selection), keeps
  // the text within its limit and gives the keyboard back to the editor with
  // the caret `caretBack` characters before the mark's end.
  void InsertMark(const wchar_t* mark, long caretBack);
  // The toolbar buttons that edit the text take the keyboard focus with
  // their click; the editor gets it back, so the user types on at once.
  void FocusEditor();
  std::wstring EditorText() const;
  int CountPauseMarks() const;
  // No background music chosen: says so and returns true.
  bool RefuseWithoutMusic();

  // --- Workers ---
  TtsPageState& TtsState();
  void SetPreviewBusy(bool busy);
  void SetConversionBusy(bool busy);
  // The listen button idle, with its listen images.
  void ShowListenIdle();
  // Starts a worker of a TtsWorkKind on a copy of the job; false (the
  // failure shown) when none could be started.
  bool StartTtsWork(int kind);
  void OnTtsWorkDone(UINT id);
  // The end of preview playback `id` (0: only the idle look); false when that
  // playback was already dropped, so the buttons stay as they are.
  bool OnPlaybackDone(WPARAM id);

  // --- Menus (TextToSpeechMenus.cpp) ---
  Trellis::CMenuWnd* OpenMenu(const wchar_t* skinFile, POINT at, HWND* window);
  bool HoverMenuAlive(Trellis::CMenuWnd* menu, HWND window) const;
  void CloseHoverMenu(Trellis::CMenuWnd*& menu, HWND& window);

  std::unique_ptr<ConvertJob> m_job;  // the one text-to-speech job, made by Bind
  VoiceInfo m_currentVoice;           // the voice chosen for text-to-speech
  // While the voice picker is open its cards point into the catalogue's
  // lists: a part loaded meanwhile waits (one bit per part) until it closes.
  bool m_pickerHoldsCatalog = false;
  unsigned m_heldCatalogParts = 0;

  // Borrowed from the window's tree; null when the skin lacks the name.
  Trellis::CControlUI* m_optionEmotion1 = nullptr;
  Trellis::CControlUI* m_btnPolyphone = nullptr;
  Trellis::CControlUI* m_btnInterval = nullptr;
  Trellis::CControlUI* m_btnText2AudioShow = nullptr;  // the page switch: the hover menus open only with the page in front
  Trellis::CControlUI* m_lblAnchorFace = nullptr;
  Trellis::CControlUI* m_lblAnchorName = nullptr;
  Trellis::CControlUI* m_lblAnchorDes = nullptr;
  Trellis::CControlUI* m_hLayoutEmotion = nullptr;
  Trellis::CControlUI* m_tileEmotion = nullptr;
  Trellis::CControlUI* m_editor = nullptr;  // "editText2Vioce", a rich edit
  Trellis::CControlUI* m_hLayoutMainEmotion = nullptr;
  Trellis::CControlUI* m_sliderVolume = nullptr;
  Trellis::CControlUI* m_sliderSpeed = nullptr;
  Trellis::CControlUI* m_volumeLabel = nullptr;
  Trellis::CControlUI* m_lblBgmName = nullptr;
  Trellis::CControlUI* m_sliderBgmVolume = nullptr;
  Trellis::CControlUI* m_volumeBgmLabel = nullptr;
  Trellis::CControlUI* m_delBgmBtn = nullptr;
  Trellis::CControlUI* m_speedLabel = nullptr;
  Trellis::CControlUI* m_textCount = nullptr;
  Trellis::CControlUI* m_btnCleanText = nullptr;
  Trellis::CControlUI* m_btnPlayVoice = nullptr;
  Trellis::CControlUI* m_playVoiceGif = nullptr;
  Trellis::CControlUI* m_btnConvertText2Voice = nullptr;
  Trellis::CControlUI* m_gifConvert = nullptr;
  Trellis::CControlUI* m_savePathVoice = nullptr;
  Trellis::CControlUI* m_lblBgm = nullptr;
  Trellis::CControlUI* m_lblBgm1 = nullptr;
  Trellis::CControlUI* m_lblText = nullptr;
  Trellis::CControlUI* m_lblText1 = nullptr;
  Trellis::CControlUI* m_anchorTypeCombo = nullptr;

  Trellis::CMenuWnd* m_polyphoneMenu = nullptr;  // the hover menus; null when closed (they delete themselves)
  Trellis::CMenuWnd* m_intervalMenu = nullptr;
  HWND m_polyphoneMenuWindow = nullptr;  // the hover menus' windows: their objects are used only while these live
  HWND m_intervalMenuWindow = nullptr;

  // The workers and the preview (made on first use), and the count of
  // ClearCache calls, by which a finished preview knows whether the text or
  // the settings changed while it was made.
  std::shared_ptr<TtsPageState> m_tts;
  unsigned m_settingsGeneration = 0;
};
