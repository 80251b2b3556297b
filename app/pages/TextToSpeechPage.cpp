// The text-to-speech page's operations on the main window: listen test,
// conversion, catalogue display, voice, background music and its delays.
// The text import lives in TextToSpeechImport.cpp, the pop-up and hover menus
// in TextToSpeechMenus.cpp, the worker threads in TextToSpeechWork.cpp and the
// preview's playback in TextToSpeechPreview.cpp.
//
// Every operation here runs on the UI thread. Workers only fill their own
// records and post WM_APP_TTS_DONE (or WM_APP_PLAYBACK_DONE); the controls,
// the message windows and the result window are all handled here.
#include "app/MainWnd.h"

#include "app/MessageWnd.h"
#include "app/voice/EmotionItem.h"
#include "app/pages/TextToSpeechPreview.h"
#include "app/pages/TextToSpeechWork.h"
#include "core/base/AppMessages.h"
#include "core/base/DebugTrace.h"
#include "core/base/UserMessage.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/tts/portable/SsmlBuilder.h"
#include "ui/control/ContainerUI.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/OptionUI.h"

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

template <typename T>
T* As(CControlUI* control, const wchar_t* interfaceName) {
  return control != nullptr ? static_cast<T*>(control->GetInterface(interfaceName)) : nullptr;
}

void Show(CControlUI* control, bool visible) {
  if (control != nullptr) control->SetVisible(visible);
}

void SetListenImages(CControlUI* control) {
  if (auto* button = As<CButtonUI>(control, L"Button")) {
    button->SetNormalImage(L"file='img/ListenTestBtn.png' source='0,0,152,50'");
    button->SetHotImage(L"file='img/ListenTestBtn.png' source='0,50,152,100'");
    button->SetPushedImage(L"file='img/ListenTestBtn.png' source='0,100,152,150'");
  }
}

void SetPauseImages(CControlUI* control) {
  if (auto* button = As<CButtonUI>(control, L"Button")) {
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

}  // namespace

// --- State ---

TtsPageState& CMainWnd::TtsState() {
  if (m_tts == nullptr) m_tts = std::make_shared<TtsPageState>();
  return *m_tts;
}

void CMainWnd::SetPreviewBusy(bool busy) {
  Show(m_btnPlayVoice, !busy);
  Show(m_playVoiceGif, busy);
}

void CMainWnd::SetConversionBusy(bool busy) {
  Show(m_btnConvertText2Voice, !busy);
  Show(m_gifConvert, busy);
}

// --- Listen test ---

void CMainWnd::ListenTest() {
  TtsPageState& state = TtsState();
  PreviewPlayback& preview = state.preview;
  if (m_job->resultValid && !m_job->lastResultPath.empty()) {
    // The audio made last still matches the text and the settings.
    if (preview.Exists()) {
      const AudioPlayerStatus status = preview.Status();
      if (status.playing) {
        SetPreviewBusy(false);
        SetListenImages(m_btnPlayVoice);
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
    preview.Start(m_job->tempFolder + m_job->resultName, GetHandle(), state.nextId++);
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
    ShowUserMessage(GetHandle(), kMessageTextTooLong);
    return;
  }
  m_job->text = ssml;
  if (ssml.empty() || ssml == kEmptySsml) {
    SetPreviewBusy(false);
    SetListenImages(m_btnPlayVoice);
    ShowMessageModal(kMessageEmptyText, false, GetHandle());
    return;
  }
  SetPreviewBusy(true);
  StartTtsWork(static_cast<int>(TtsWorkKind::kPreview));
}

bool CMainWnd::OnPlaybackDone(WPARAM id) {
  if (id == 0) return true;  // only the idle look is asked for
  TtsPageState& state = TtsState();
  if (!state.preview.IsCurrent(static_cast<UINT>(id))) return false;  // a playback already dropped
  state.preview.Stop();
  return true;
}

// --- Conversion ---

void CMainWnd::StartConversion() {
  const std::wstring typed = EditorText();
  std::wstring ssml;
  if (!BuildSsml(typed, kSsmlConversion, m_job->bgmLeadSeconds, m_job->bgmTailSeconds, ssml)) {
    ShowUserMessage(GetHandle(), kMessageTextTooLong);
    return;
  }
  m_job->text = ssml;
  if (ssml.empty() || ssml == kEmptySsml) {
    ShowMessageModal(kMessageEmptyText, false, GetHandle());
    return;
  }
  SetConversionBusy(true);
  if (typed.size() > kSingleRequestCharacters) {
    m_job->lastResultPath.clear();
    StartTtsWork(static_cast<int>(TtsWorkKind::kLongText));
  } else {
    StartTtsWork(static_cast<int>(TtsWorkKind::kConversion));
  }
}

void CMainWnd::StartTtsWork(int kind) {
  TtsPageState& state = TtsState();
  auto work = std::make_shared<TtsWork>();
  work->kind = static_cast<TtsWorkKind>(kind);
  work->id = state.nextId++;
  work->window = GetHandle();
  work->job = *m_job;
  work->job.messageOwner = GetHandle();
  work->taskTimeoutSeconds = ReadTaskTimeoutSeconds(m_state.iniPath);
  const bool longText = work->kind == TtsWorkKind::kLongText;
  if (!longText) state.workGeneration = m_settingsGeneration;
  TtsWorker& worker = longText ? state.task : state.single;
  if (!longText && state.single.work() != nullptr && state.single.work()->kind == TtsWorkKind::kPreview) {
    // Starting replaces the listen test's request, which then reports
    // nothing: its button comes back and its animation stops now.
    SetPreviewBusy(false);
    SetListenImages(m_btnPlayVoice);
  }
  if (!worker.Start(std::move(work))) {
    SetConversionBusy(false);
    SetPreviewBusy(false);
    SetListenImages(m_btnPlayVoice);
    ShowUserMessage(GetHandle(), kMessageInternalError);
  }
}

void CMainWnd::OnTtsWorkDone(UINT id) {
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
      SetPreviewBusy(false);
      SetListenImages(m_btnPlayVoice);
    }
  } else {
    SetConversionBusy(false);
    if (!work->succeeded) {
      SetPreviewBusy(false);
      SetListenImages(m_btnPlayVoice);
    }
  }
  for (const std::wstring& message : work->messages) ShowUserMessage(GetHandle(), message);

  if (!work->succeeded) return;
  if (work->kind == TtsWorkKind::kPreview) {
    if (m_job->resultValid) {
      ListenTest();  // finds the new result and plays it
    } else {
      SetPreviewBusy(false);  // the text changed meanwhile: the next click makes a new preview
      SetListenImages(m_btnPlayVoice);
    }
    return;
  }
  m_job->outputPath = done.outputPath;
  m_state.lastTtsOutputPath = done.outputPath;
  ShowConvertResult(kMessageConvertOk, GetHandle(), m_job.get());
}

bool CMainWnd::OnTtsMessage(UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_APP_TTS_DONE) return false;
  OnTtsWorkDone(static_cast<UINT>(wParam));
  return true;
}

void CMainWnd::StopTtsWork() {
  m_tts.reset();  // stops the workers and the preview, each with a bounded wait
}

// --- Catalogue and voice ---

void CMainWnd::RefreshCatalog(int part) {
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
    auto* tile = As<CContainerUI>(m_tileEmotion, L"Container");
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

void CMainWnd::ApplyVoice(VoiceInfo voice) {
  m_job->voiceType = voice.voiceType;
  m_job->emotion = voice.emotion;
  if (m_lblAnchorFace != nullptr) m_lblAnchorFace->SetBkImage((L"images/" + voice.avatar).c_str());
  SetText(m_lblAnchorName, voice.anchorName.c_str());
  SetText(m_lblAnchorDes, voice.voiceDesc.c_str());
  if (auto* option = As<COptionUI>(m_optionEmotion1, L"Option")) option->SetSelected(true, true);
  Show(m_hLayoutEmotion, voice.isEmotion);
  if (m_hLayoutMainEmotion != nullptr) m_hLayoutMainEmotion->SetPadding(CUIRect(0, 0, 0, 0));
  ClearCache();
}

// --- Background music and delays ---

void CMainWnd::ChooseBackgroundMusic() {
  std::vector<wchar_t> buffer(26000, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = GetHandle();
  dialog.lpstrFilter = L"Audio Files(*.mp3;*.wav)\0*.mp3;*.wav\0";
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<DWORD>(buffer.size());
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&dialog)) return;
  SetBackgroundMusic(buffer.data());
}

void CMainWnd::SetBackgroundMusic(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  m_job->bgmDisplayName = name;
  m_job->bgmSourcePath = path;
  if (m_lblBgmName != nullptr) {
    m_lblBgmName->SetToolTip(name.c_str());
    m_lblBgmName->SetText(name.c_str());
  }
  Show(m_delBgmBtn, true);
  ClearCache();
}

void CMainWnd::SetTailDelay(int seconds) {
  m_job->bgmTailSeconds = ClampDelay(seconds);
  wchar_t text[200];
  std::swprintf(text, 200, L"%d秒", m_job->bgmTailSeconds);
  SetText(m_lblBgm, text);
  std::swprintf(text, 200, L"文本播报结束后， <c #5b7af2>%d<c> <c #999999>秒后背景音乐停止<c>", m_job->bgmTailSeconds);
  SetText(m_lblBgm1, text);
}

void CMainWnd::SetLeadDelay(int seconds) {
  m_job->bgmLeadSeconds = ClampDelay(seconds);
  wchar_t text[200];
  std::swprintf(text, 200, L"%d秒", m_job->bgmLeadSeconds);
  SetText(m_lblText, text);
  std::swprintf(text, 200, L"背景音乐播报  <c #5b7af2>%d<c> <c #999999>秒后，开始播报文本<c>", m_job->bgmLeadSeconds);
  SetText(m_lblText1, text);
}
