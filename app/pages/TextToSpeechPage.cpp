// TextToSpeechPage: binding and reset; the listen test, the conversion and
// their workers' ends; catalogue display, voice, background music and its
// delays. The notification table and its handlers are in
// TextToSpeechNotify.cpp.
//
// Sections:
//   --- Binding and reset ---
//   --- Editor helpers ---
//   --- State ---
//   --- Listen test ---
//   --- Conversion ---
//   --- Catalogue and voice ---
//   --- Background music and delays ---
//
// Every operation here runs on the UI thread. Workers only fill their own
// records and post WM_APP_TTS_DONE (or WM_APP_PLAYBACK_DONE); the controls,
// the message windows and the result window are all handled here.
#include "app/pages/TextToSpeechPage.h"

#include "app/MessageWnd.h"
#include "app/voice/EmotionItem.h"
#include "app/pages/TextToSpeechPreview.h"
#include "app/pages/TextToSpeechWork.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/UserMessage.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "core/tts/portable/SsmlBuilder.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/menu/MenuWnd.h"
#include "ui/controls/richedit/RichEditUI.h"

#include <commdlg.h>

#include <cwchar>

using namespace Trellis;

// What the page runs beside the UI thread: the single-request worker (listen
// test or conversion), the long-text worker and the preview's playback.
struct TtsPageState {
  TtsWorker single;
  TtsWorker task;
  PreviewPlayback preview;
  UINT nextId = 1;
  unsigned workGeneration = 0;  // the main window's settings generation when the single request started

  ~TtsPageState() {
    // Bounded stops, in the order that frees the sound device first.
    preview.Stop();
    single.Stop();
    task.Stop();
  }
};

namespace {

const wchar_t kEmptySsml[] = L"<speak></speak>";
const wchar_t kMessageConvertOk[] = L"恭喜您，转换成功！";
constexpr int kMaxDelaySeconds = 10;
constexpr int kEditorLimit = 5000;
constexpr int kDefaultVoiceType = 100510000;
const wchar_t kPauseMark[] = L"break time=";

void SetListenImages(CControlUI* control) {
  if (auto* button = ControlAs<CButtonUI>(control, L"Button")) {
    button->SetNormalImage(L"file='img/ListenTestBtn.png' source='0,0,152,50'");
    button->SetHotImage(L"file='img/ListenTestBtn.png' source='0,50,152,100'");
    button->SetPushedImage(L"file='img/ListenTestBtn.png' source='0,100,152,150'");
  }
}

void SetPauseImages(CControlUI* control) {
  if (auto* button = ControlAs<CButtonUI>(control, L"Button")) {
    button->SetNormalImage(L"file='img/pauseVoice.png' ");
    button->SetHotImage(L"file='img/pauseVoice.png' ");
    button->SetPushedImage(L"file='img/pauseVoice.png'");
  }
}

int ClampDelay(int seconds) { return seconds < 0 ? 0 : (seconds > kMaxDelaySeconds ? kMaxDelaySeconds : seconds); }

// The long text's time limit from the settings ("config", "ttsTaskTimeoutSeconds").
int ReadTaskTimeoutSeconds(const std::wstring& iniPath) {
  const int seconds = static_cast<int>(
      GetPrivateProfileIntW(L"config", L"ttsTaskTimeoutSeconds", kDefaultTaskTimeoutSeconds, iniPath.c_str()));
  return seconds > 0 ? seconds : kDefaultTaskTimeoutSeconds;
}

int CountOccurrences(const std::wstring& text, const wchar_t* needle) {
  const size_t length = wcslen(needle);
  int count = 0;
  for (size_t at = text.find(needle); at != std::wstring::npos; at = text.find(needle, at + length)) ++count;
  return count;
}

std::wstring LongTempFolder() {
  wchar_t shortPath[MAX_PATH + 1] = {};
  wchar_t longPath[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, shortPath);
  if (n == 0 || n > MAX_PATH) return std::wstring();
  const DWORD m = GetLongPathNameW(shortPath, longPath, MAX_PATH + 1);
  return (m == 0 || m > MAX_PATH) ? std::wstring(shortPath) : std::wstring(longPath);
}

}  // namespace

bool CutTextToLimit(std::wstring& text, size_t limit) {
  if (text.size() <= limit) return false;
  text.resize(limit);
  return true;
}

int VoiceTypeForComboItem(const std::wstring& text, int index) {
  static const struct {
    const wchar_t* text;
    int voiceType;
  } kNamed[] = {
      {L"智逍遥，阅读男声", 100510000},
      {L"智川，四川女声", 101040},
      {L"WeJack，英文男声", 101050},
      {L"WeRose，英文女声", 101051},
  };
  for (const auto& item : kNamed)
    if (text == item.text) return item.voiceType;
  return 101000 + index;
}

// --- Binding and reset ---

TextToSpeechPage::TextToSpeechPage(PageHost& host) : Page(host) {}

TextToSpeechPage::~TextToSpeechPage() {
  m_tts.reset();  // stops the workers and the preview, each with a bounded wait
}

void TextToSpeechPage::Bind() {
  m_job = std::make_unique<ConvertJob>();
  m_job->volume = 0;
  m_job->bgmVolumeDb = 0;
  m_job->speed = 0;
  m_job->bgmTailSeconds = 0;
  m_job->bgmLeadSeconds = 0;
  m_job->taskDone = false;
  m_job->resultValid = false;
  m_job->messageOwner = Window();

  const struct {
    CControlUI** control;
    const wchar_t* name;
  } kControls[] = {
      {&m_optionEmotion1, L"OptionEmotion1"}, {&m_btnPolyphone, L"btnPolyphone"},
      {&m_btnInterval, L"btnInterval"}, {&m_btnText2AudioShow, L"btnText2AudioShow"},
      {&m_lblAnchorFace, L"lblAnchorFace"}, {&m_lblAnchorName, L"lblAnchorName"},
      {&m_lblAnchorDes, L"lblAnchorDes"}, {&m_hLayoutEmotion, L"hLayoutEmotion"},
      {&m_tileEmotion, L"tileEmotion"}, {&m_editor, L"editText2Vioce"},
      {&m_hLayoutMainEmotion, L"hLayoutMainEmotion"}, {&m_sliderVolume, L"sliderVolume"},
      {&m_sliderSpeed, L"sliderSpeed"}, {&m_volumeLabel, L"volumeLabel"},
      {&m_lblBgmName, L"lblBgmName"}, {&m_sliderBgmVolume, L"sliderBgmVolume"},
      {&m_volumeBgmLabel, L"volumeBgmLabel"}, {&m_delBgmBtn, L"delBgmBtn"},
      {&m_speedLabel, L"speedLabel"}, {&m_textCount, L"textCount"},
      {&m_btnCleanText, L"btnCleanText"}, {&m_btnPlayVoice, L"btnPlayVoice"},
      {&m_playVoiceGif, L"playVoiceGif"}, {&m_btnConvertText2Voice, L"btnConvertText2Voice"},
      {&m_gifConvert, L"gifConvert"}, {&m_savePathVoice, L"savePathVoice"},
      {&m_lblBgm, L"lblBgm"}, {&m_lblBgm1, L"lblBgm1"},
      {&m_lblText, L"lblText"}, {&m_lblText1, L"lblText1"},
      {&m_anchorTypeCombo, L"anchorTypeCombo"},
  };
  for (const auto& entry : kControls) *entry.control = Bound(entry.name);
}

void TextToSpeechPage::Reset() {
  m_job->bgmWorkName = L"8653098e927d70120c140047a120439aBgm.mp3";
  m_job->codec = L"mp3";
  m_job->lastResultPath.clear();
  m_job->bgmSourcePath.clear();

  auto* editor = ControlAs<CRichEditUI>(m_editor, L"RichEdit");
  if (m_editor != nullptr) m_editor->SetText(L"");
  if (editor != nullptr) editor->SetEventMask(ENM_CHANGE);  // every edit sends "textchanged"

  SetSliderValue(m_sliderVolume, m_volumeLabel, 4);
  SetSliderValue(m_sliderSpeed, m_speedLabel, 4);
  SetSliderValue(m_sliderBgmVolume, m_volumeBgmLabel, 10);
  SetControlText(m_textCount, L"0/5000");
  SetControlText(m_lblBgm, L"0秒");
  SetControlText(m_lblBgm1, L"文本播报结束后， <c #5b7af2>0<c> <c #999999>秒后背景音乐停止<c>");
  SetControlText(m_lblText, L"0秒");
  SetControlText(m_lblText1, L"背景音乐播报  <c #5b7af2>0<c> <c #999999>秒后，开始播报文本<c>");

  if (m_editor != nullptr) m_editor->SetShortcut(L'K');
  ShowControl(m_btnPlayVoice, true);
  if (auto* combo = ControlAs<CComboUI>(m_anchorTypeCombo, L"Combo")) combo->SelectItem(0, false, true);

  m_job->voiceType = kDefaultVoiceType;
  m_job->volume = 4;
  m_job->speed = 4;
  m_job->bgmVolumeDb = 0;
  m_job->bgmTailSeconds = 0;
  m_job->bgmLeadSeconds = 0;
  OnAppMessage(WM_APP_PLAYBACK_DONE, 0, 0);  // the listen button's images and state
  SetConversionBusy(false);

  const std::wstring ttsFolder = State().driveUrlW2V.empty() ? DesktopFolder() : State().driveUrlW2V;
  SetControlText(m_savePathVoice, ttsFolder.c_str());
  m_job->outputFolder = ttsFolder;

  m_job->text.clear();
  m_job->tempFolder = LongTempFolder();

  ShowControl(m_hLayoutEmotion, false);
  RefreshCatalog(2);
  RefreshCatalog(3);
  m_polyphoneMenu = nullptr;
  m_intervalMenu = nullptr;
  m_polyphoneMenuWindow = nullptr;
  m_intervalMenuWindow = nullptr;
}

void TextToSpeechPage::Open() {
  const VoiceCatalog& catalog = GetVoiceCatalog();
  if (!catalog.voices.empty()) {
    Report(kReportVoiceTaken);
    m_currentVoice = catalog.voices.front();
    ApplyVoice(m_currentVoice);
  }
  // The page opens with the caret in the editor.
  if (m_editor != nullptr) Manager().SetFocusControl(m_editor);
}

bool TextToSpeechPage::OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_APP_START_LISTEN_TEST: ListenTest(); return true;
    case WM_APP_PLAYBACK_DONE:
      if (OnPlaybackDone(wParam)) ShowListenIdle();
      return true;
    case WM_APP_VOICE_CHOSEN:
      OnVoiceChosen(reinterpret_cast<const VoiceInfo*>(wParam), lParam == 1);
      return true;
    case WM_APP_CATALOG_LOADED: RefreshCatalog(static_cast<int>(wParam)); return true;
    case WM_APP_TTS_DONE: OnTtsWorkDone(static_cast<UINT>(wParam)); return true;
    default: return false;
  }
}

// --- Editor helpers ---

void TextToSpeechPage::OnVoiceChosen(const VoiceInfo* voice, bool takeExampleText) {
  if (voice == nullptr) return;
  m_currentVoice = *voice;
  ApplyVoice(m_currentVoice);
  if (takeExampleText && m_editor != nullptr) {
    m_editor->SetText(L"");
    if (auto* editor = ControlAs<CRichEditUI>(m_editor, L"RichEdit")) editor->AppendText(m_currentVoice.text.c_str());
  }
}

void TextToSpeechPage::ClearCache() {
  ++m_settingsGeneration;
  m_job->taskDone = false;
  m_job->resultValid = false;
}

// The animation's own flag: it lies on the text-to-speech page, and a
// conversion goes on running while another page is shown.
bool TextToSpeechPage::IsBusy() const { return m_gifConvert != nullptr && m_gifConvert->IsSetVisible(); }

std::wstring TextToSpeechPage::EditorText() const {
  return m_editor != nullptr ? std::wstring(m_editor->GetText().GetText()) : std::wstring();
}

int TextToSpeechPage::CountPauseMarks() const { return CountOccurrences(EditorText(), kPauseMark); }

// --- State ---

TtsPageState& TextToSpeechPage::TtsState() {
  if (m_tts == nullptr) m_tts = std::make_shared<TtsPageState>();
  return *m_tts;
}

void TextToSpeechPage::SetPreviewBusy(bool busy) {
  ShowControl(m_btnPlayVoice, !busy);
  ShowControl(m_playVoiceGif, busy);
}

void TextToSpeechPage::ShowListenIdle() {
  SetPreviewBusy(false);
  SetListenImages(m_btnPlayVoice);
}

void TextToSpeechPage::SetConversionBusy(bool busy) {
  ShowControl(m_btnConvertText2Voice, !busy);
  ShowControl(m_gifConvert, busy);
}

// --- Listen test ---

void TextToSpeechPage::ListenTest() {
  TtsPageState& state = TtsState();
  PreviewPlayback& preview = state.preview;
  if (m_job->resultValid && !m_job->lastResultPath.empty()) {
    // The audio made last still matches the text and the settings.
    if (preview.Exists()) {
      const AudioPlayerStatus status = preview.Status();
      if (status.playing) {
        ShowListenIdle();
        preview.Pause();
        return;
      }
      if (status.paused) {
        SetPauseImages(m_btnPlayVoice);
        preview.Resume();
        return;
      }
    }
    SetPreviewBusy(false);
    SetPauseImages(m_btnPlayVoice);
    preview.Start(m_job->tempFolder + m_job->resultName, Window(), state.nextId++);
    return;
  }

  // A new preview is needed: what played belongs to other text or settings.
  if (preview.Exists()) {
    const bool wasPlaying = preview.Status().playing;
    preview.Stop();
    if (wasPlaying) {
      SetListenImages(m_btnPlayVoice);
      return;
    }
  }

  std::wstring ssml;
  if (!BuildSsml(EditorText(), kSsmlPreview, m_job->bgmLeadSeconds, m_job->bgmTailSeconds, ssml)) {
    ShowUserMessage(Window(), kMessageTextTooLong);
    return;
  }
  m_job->text = ssml;
  if (ssml.empty() || ssml == kEmptySsml) {
    ShowListenIdle();
    ShowMessageModal(kMessageEmptyText, false, Window());
    return;
  }
  // The busy look once the worker runs: its request need not wait for the animation's start.
  if (StartTtsWork(static_cast<int>(TtsWorkKind::kPreview))) SetPreviewBusy(true);
}

bool TextToSpeechPage::OnPlaybackDone(WPARAM id) {
  if (id == 0) return true;  // only the idle look is asked for
  TtsPageState& state = TtsState();
  if (!state.preview.IsCurrent(static_cast<UINT>(id))) return false;  // a playback already dropped
  state.preview.Stop();
  return true;
}

// --- Conversion ---

void TextToSpeechPage::StartConversion() {
  const std::wstring typed = EditorText();
  std::wstring ssml;
  if (!BuildSsml(typed, kSsmlConversion, m_job->bgmLeadSeconds, m_job->bgmTailSeconds, ssml)) {
    ShowUserMessage(Window(), kMessageTextTooLong);
    return;
  }
  m_job->text = ssml;
  if (ssml.empty() || ssml == kEmptySsml) {
    ShowMessageModal(kMessageEmptyText, false, Window());
    return;
  }
  bool started = false;
  if (typed.size() > kSingleRequestCharacters) {
    m_job->lastResultPath.clear();
    started = StartTtsWork(static_cast<int>(TtsWorkKind::kLongText));
  } else {
    started = StartTtsWork(static_cast<int>(TtsWorkKind::kConversion));
  }
  // The busy look once the worker runs: its request need not wait for the animation's start.
  if (started) SetConversionBusy(true);
}

bool TextToSpeechPage::StartTtsWork(int kind) {
  TtsPageState& state = TtsState();
  auto work = std::make_shared<TtsWork>();
  work->kind = static_cast<TtsWorkKind>(kind);
  work->id = state.nextId++;
  work->window = Window();
  work->job = *m_job;
  work->job.messageOwner = Window();
  const bool longText = work->kind == TtsWorkKind::kLongText;
  // Only the task polls against the bound; the single request need not wait for the settings file.
  if (longText) work->taskTimeoutSeconds = ReadTaskTimeoutSeconds(State().iniPath);
  if (!longText) state.workGeneration = m_settingsGeneration;
  TtsWorker& worker = longText ? state.task : state.single;
  if (!longText && state.single.work() != nullptr && state.single.work()->kind == TtsWorkKind::kPreview) {
    // Starting replaces the listen test's request, which then reports
    // nothing: its button comes back and its animation stops now.
    ShowListenIdle();
  }
  if (!worker.Start(std::move(work))) {
    SetConversionBusy(false);
    ShowListenIdle();
    ShowUserMessage(Window(), kMessageInternalError);
    return false;
  }
  return true;
}

void TextToSpeechPage::OnTtsWorkDone(UINT id) {
  TtsPageState& state = TtsState();
  TtsWorker* worker = state.single.IsCurrent(id) ? &state.single : state.task.IsCurrent(id) ? &state.task : nullptr;
  if (worker == nullptr) return;  // a work that was stopped
  const std::shared_ptr<TtsWork> work = worker->work();
  worker->Finish();
  const ConvertJob& done = work->job;

  if (work->kind == TtsWorkKind::kLongText) {
    m_job->taskId = done.taskId;
    m_job->taskDone = done.taskDone;
  } else if (work->succeeded && state.workGeneration == m_settingsGeneration) {
    // Only a result that still matches the page may answer the next listen test.
    m_job->lastResultPath = done.lastResultPath;
    m_job->resultName = done.resultName;
    m_job->resultValid = done.resultValid;
  }

  if (work->kind == TtsWorkKind::kPreview) {
    if (!work->succeeded) {
      ShowListenIdle();
    }
  } else {
    SetConversionBusy(false);
    if (!work->succeeded) {
      ShowListenIdle();
    }
  }
  for (const std::wstring& message : work->messages) ShowUserMessage(Window(), message);

  if (!work->succeeded) return;
  if (work->kind == TtsWorkKind::kPreview) {
    if (m_job->resultValid) {
      ListenTest();  // finds the new result and plays it
    } else {
      ShowListenIdle();  // the text changed meanwhile: the next click makes a new preview
    }
    return;
  }
  m_job->outputPath = done.outputPath;
  State().lastTtsOutputPath = done.outputPath;
  ShowConvertResult(kMessageConvertOk, Window(), m_job.get());
}

// --- Catalogue and voice ---

void TextToSpeechPage::RefreshCatalog(int part) {
  if (part < 1 || part > 3) return;
  if (m_pickerHoldsCatalog) {
    m_heldCatalogParts |= 1u << part;
    return;
  }
  VoiceCatalog& catalog = GetVoiceCatalog();
  catalog.TakeDelivered(part);
  if (part == 2) {
    if (catalog.voices.empty()) return;
    // The eleventh voice is the page's default; a shorter list starts with its first.
    const size_t index = catalog.voices.size() > 10 ? 10 : 0;
    m_currentVoice = catalog.voices[index];
    ApplyVoice(m_currentVoice);
  } else if (part == 3) {
    auto* tile = ControlAs<CContainerUI>(m_tileEmotion, L"Container");
    if (tile == nullptr) return;
    for (int i = tile->GetCount() - 1; i >= 0; --i) {
      CControlUI* item = tile->GetItemAt(i);
      if (item != nullptr && item->GetInterface(kEmotionItemClass) != nullptr) tile->RemoveItemAt(i);
    }
    for (const VoiceEmotion& emotion : catalog.emotions) {
      if (emotion.emotion == L"neutral") continue;  // "OptionEmotion1" of the skin
      tile->AddItem(new CEmotionItem(emotion));
    }
  }
}

void TextToSpeechPage::ApplyVoice(VoiceInfo voice) {
  m_job->voiceType = voice.voiceType;
  m_job->emotion = voice.emotion;
  if (m_lblAnchorFace != nullptr) m_lblAnchorFace->SetBkImage((L"images/" + voice.avatar).c_str());
  SetControlText(m_lblAnchorName, voice.anchorName.c_str());
  SetControlText(m_lblAnchorDes, voice.voiceDesc.c_str());
  if (auto* option = ControlAs<COptionUI>(m_optionEmotion1, L"Option")) option->SetSelected(true, true);
  ShowControl(m_hLayoutEmotion, voice.isEmotion);
  if (m_hLayoutMainEmotion != nullptr) m_hLayoutMainEmotion->SetPadding(CUIRect(0, 0, 0, 0));
  ClearCache();
}

// --- Background music and delays ---

void TextToSpeechPage::ChooseBackgroundMusic() {
  std::vector<wchar_t> buffer(26000, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Window();
  dialog.lpstrFilter = L"Audio Files(*.mp3;*.wav)\0*.mp3;*.wav\0";
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!PickOpenFile(&dialog)) return;
  SetBackgroundMusic(buffer.data());
}

void TextToSpeechPage::SetBackgroundMusic(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  m_job->bgmDisplayName = name;
  m_job->bgmSourcePath = path;
  if (m_lblBgmName != nullptr) {
    m_lblBgmName->SetToolTip(name.c_str());
    m_lblBgmName->SetText(name.c_str());
  }
  ShowControl(m_delBgmBtn, true);
  ClearCache();
}

void TextToSpeechPage::SetTailDelay(int seconds) {
  m_job->bgmTailSeconds = ClampDelay(seconds);
  wchar_t text[200];
  std::swprintf(text, 200, L"%d秒", m_job->bgmTailSeconds);
  SetControlText(m_lblBgm, text);
  std::swprintf(text, 200, L"文本播报结束后， <c #5b7af2>%d<c> <c #999999>秒后背景音乐停止<c>", m_job->bgmTailSeconds);
  SetControlText(m_lblBgm1, text);
}

void TextToSpeechPage::SetLeadDelay(int seconds) {
  m_job->bgmLeadSeconds = ClampDelay(seconds);
  wchar_t text[200];
  std::swprintf(text, 200, L"%d秒", m_job->bgmLeadSeconds);
  SetControlText(m_lblText, text);
  std::swprintf(text, 200, L"背景音乐播报  <c #5b7af2>%d<c> <c #999999>秒后，开始播报文本<c>", m_job->bgmLeadSeconds);
  SetControlText(m_lblText1, text);
}
