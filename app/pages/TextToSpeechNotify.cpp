// TextToSpeechPage: the notification table and its handlers (buttons,
// sliders, the editor's changes, options and the voice-type combo), and the
// editor operations they run.
//
// Sections:
//   --- Notifications ---        the dispatch table and its handlers
//   --- Editor operations ---
#include "app/pages/TextToSpeechPage.h"

#include "app/MessageWnd.h"
#include "app/voice/VoiceTypeWnd.h"
#include "core/base/AppMessages.h"
#include "core/catalog/VoiceCatalog.h"
#include "core/client/ClientState.h"
#include "core/client/UsageReport.h"
#include "core/tts/portable/SsmlBuilder.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/combo/ComboUI.h"
#include "ui/controls/richedit/RichEditUI.h"

#include <cwchar>

using namespace Trellis;

namespace {

constexpr int kEditorLimit = 5000;
constexpr int kEmotionStep = 40;
constexpr int kEmotionScrollMin = -160;
const wchar_t kMessageNoMusic[] = L"请先设置背景音乐！";
const wchar_t kMessageTooManyPauses[] = L"插入间隔最大为10个";
const wchar_t kMessageEmotionVoiceTooLong[] =
    L"抱歉，多情绪主播只支持150字内文本转换！请点击“更换主播”按钮选择“非多情绪”主播";

}  // namespace

// --- Notifications ---

const NotifyRoute<TextToSpeechPage> TextToSpeechPage::kNotifyRoutes[] = {
    {L"click", L"btnLeftEmotion", false, &TextToSpeechPage::OnEmotionLeft},
    {L"click", L"btnRightEmotion", false, &TextToSpeechPage::OnEmotionRight},
    {L"click", L"btnPlayVoice", false, &TextToSpeechPage::OnPlayVoice},
    {L"click", L"btnSliderVolumeReset", false, &TextToSpeechPage::OnVolumeReset},
    {L"click", L"btnSliderSpeedReset", false, &TextToSpeechPage::OnSpeedReset},
    {L"click", L"btnSliderBgmVolumeReset", false, &TextToSpeechPage::OnBgmVolumeReset},
    {L"click", L"btnChangeBgm", false, &TextToSpeechPage::OnChangeBgm},
    {L"click", L"delBgmBtn", false, &TextToSpeechPage::OnDeleteBgm},
    {L"click", L"btnBgmMinus", false, &TextToSpeechPage::OnBgmMinus},
    {L"click", L"btnBgmPlus", false, &TextToSpeechPage::OnBgmPlus},
    {L"click", L"btnTextMinus", false, &TextToSpeechPage::OnTextMinus},
    {L"click", L"btnTextPlus", false, &TextToSpeechPage::OnTextPlus},
    {L"click", L"btnChangeAnchor", false, &TextToSpeechPage::OnChangeAnchor},
    {L"click", L"btnImport", false, &TextToSpeechPage::OnImport},
    {L"click", L"btnPolyphone", false, &TextToSpeechPage::OnPolyphone},
    {L"click", L"btnInterval", true, &TextToSpeechPage::OnInterval},
    {L"click", L"btnCleanText", false, &TextToSpeechPage::OnCleanText},
    {L"click", L"btnChangePath", false, &TextToSpeechPage::OnChangePath},
    {L"click", L"btnConvertText2Voice", false, &TextToSpeechPage::OnConvert},
    // Sliders (both while dragging and at the end) and the editor
    {L"valuechanged", L"sliderVolume", false, &TextToSpeechPage::OnSliderChanged},
    {L"valuechanged", L"sliderSpeed", false, &TextToSpeechPage::OnSliderChanged},
    {L"valuechanged", L"sliderBgmVolume", false, &TextToSpeechPage::OnSliderChanged},
    {L"movevaluechanged", L"sliderVolume", false, &TextToSpeechPage::OnSliderChanged},
    {L"movevaluechanged", L"sliderSpeed", false, &TextToSpeechPage::OnSliderChanged},
    {L"movevaluechanged", L"sliderBgmVolume", false, &TextToSpeechPage::OnSliderChanged},
    {L"textchanged", L"editText2Vioce", false, &TextToSpeechPage::OnTextChanged},
    // Options and the voice-type combo
    {L"selectchanged", L"optMp3", false, &TextToSpeechPage::OnFormatChanged},
    {L"selectchanged", L"optWav", false, &TextToSpeechPage::OnFormatChanged},
    {L"selectchanged", L"optPcm", false, &TextToSpeechPage::OnFormatChanged},
    {L"selectchanged", L"OptionEmotion", true, &TextToSpeechPage::OnEmotionChanged},
    {L"itemselect", L"anchorTypeCombo", false, &TextToSpeechPage::OnVoiceTypeSelected},
};

bool TextToSpeechPage::Notify(UINotify& msg) {
  if (m_job == nullptr) return false;
  return DispatchNotify(this, kNotifyRoutes, msg);
}

void TextToSpeechPage::OnEmotionLeft(UINotify&) {
  if (m_hLayoutMainEmotion == nullptr) return;
  CUIRect padding = m_hLayoutMainEmotion->GetPadding();
  if (padding.left < 0) {
    padding.left += kEmotionStep;
    m_hLayoutMainEmotion->SetPadding(padding);
  }
}

void TextToSpeechPage::OnEmotionRight(UINotify&) {
  if (m_hLayoutMainEmotion == nullptr || m_tileEmotion == nullptr || !m_tileEmotion->IsVisible()) return;
  CUIRect padding = m_hLayoutMainEmotion->GetPadding();
  if (padding.left > kEmotionScrollMin) {
    padding.left -= kEmotionStep;
    m_hLayoutMainEmotion->SetPadding(padding);
  }
}

void TextToSpeechPage::OnPlayVoice(UINotify&) {
  Report(kReportListenTest);
  if (IsBusy()) {
    ShowBusyMessage(Window());
    return;
  }
  ListenTest();
}

// The reset buttons show the middle of the slider but send 0: the service's
// own default, until the slider is moved again.
void TextToSpeechPage::OnVolumeReset(UINotify&) {
  SetSliderValue(m_sliderVolume, m_volumeLabel, 4);
  m_job->volume = 0;
  ClearCache();
}

void TextToSpeechPage::OnSpeedReset(UINotify&) {
  SetSliderValue(m_sliderSpeed, m_speedLabel, 4);
  m_job->speed = 0;
  ClearCache();
}

void TextToSpeechPage::OnBgmVolumeReset(UINotify&) {
  SetSliderValue(m_sliderBgmVolume, m_volumeBgmLabel, 10);
  m_job->bgmVolumeDb = 0;
  ClearCache();
}

void TextToSpeechPage::OnChangeBgm(UINotify&) {
  Report(kReportBackgroundMusic);
  ChooseBackgroundMusic();
  ClearCache();
}

void TextToSpeechPage::OnDeleteBgm(UINotify&) {
  m_job->bgmDisplayName.clear();
  m_job->bgmSourcePath.clear();
  if (m_lblBgmName != nullptr) {
    m_lblBgmName->SetToolTip(L"背景音乐");
    m_lblBgmName->SetText(L"背景音乐");
  }
  ShowControl(m_delBgmBtn, false);
  ClearCache();
}

void TextToSpeechPage::OnBgmMinus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetTailDelay(m_job->bgmTailSeconds - 1);
  ClearCache();
}

void TextToSpeechPage::OnBgmPlus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetTailDelay(m_job->bgmTailSeconds + 1);
  ClearCache();
}

void TextToSpeechPage::OnTextMinus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetLeadDelay(m_job->bgmLeadSeconds - 1);
  ClearCache();
}

void TextToSpeechPage::OnTextPlus(UINotify&) {
  if (RefuseWithoutMusic()) return;
  SetLeadDelay(m_job->bgmLeadSeconds + 1);
  ClearCache();
}

void TextToSpeechPage::OnChangeAnchor(UINotify&) {
  Report(kReportVoiceChange);
  VoicePickerSetup setup;
  setup.catalog = &GetVoiceCatalog();
  setup.client = &State().httpClient;
  setup.currentVoiceType = m_job != nullptr ? m_job->voiceType : 0;
  setup.sampleFolder = m_job != nullptr ? m_job->tempFolder : std::wstring();
  setup.report = [this](int detail) { Report(detail); };
  // Modal; a voice used in it arrives afterwards as WM_APP_VOICE_CHOSEN.
  m_pickerHoldsCatalog = true;
  ShowVoicePicker(Window(), std::move(setup));
  m_pickerHoldsCatalog = false;
  // Parts loaded while it was open are announced again, after the voice it
  // may have posted, whose record still lies in the list it was taken from.
  for (int part = 1; part <= 3; ++part) {
    if (m_heldCatalogParts & (1u << part)) PostMessageW(Window(), WM_APP_CATALOG_LOADED, part, 0);
  }
  m_heldCatalogParts = 0;
  ClearCache();
}

void TextToSpeechPage::OnImport(UINotify&) {
  ImportText();
  FocusEditor();
  ClearCache();
}

void TextToSpeechPage::OnPolyphone(UINotify&) {
  CloseHoverMenu(m_polyphoneMenu, m_polyphoneMenuWindow);
  // The reading is typed between "[=" and "]".
  InsertMark(L"[=]", 1);
  ClearCache();
}

void TextToSpeechPage::OnInterval(UINotify& msg) {
  if (CountPauseMarks() >= kMaxPauseMarks) {
    ShowMessageModeless(kMessageTooManyPauses, false, Window());
    return;
  }
  CloseHoverMenu(m_intervalMenu, m_intervalMenuWindow);
  const CUIString& pause = msg.pSender->GetUserData();
  if (pause.IsEmpty() || wcscmp(pause.GetText(), L"0") == 0) return;  // the menu's opener, not an item
  const std::wstring tag = std::wstring(L"<break time=\"") + pause.GetText() + L"\"/>";
  InsertMark(tag.c_str(), 0);
  ClearCache();
}

void TextToSpeechPage::OnCleanText(UINotify&) {
  if (m_editor != nullptr) m_editor->SetText(L"");
  FocusEditor();
  ClearCache();
}

void TextToSpeechPage::OnChangePath(UINotify&) {
  const std::wstring folder = ChooseFolder(Window());
  if (folder.empty()) return;
  SetControlText(m_savePathVoice, folder.c_str());
  const CUIString shown = m_savePathVoice != nullptr ? m_savePathVoice->GetText() : CUIString(folder.c_str());
  WritePrivateProfileStringW(L"soft", L"DriveUrlW2V", shown.GetText(), State().iniPath.c_str());
  State().driveUrlW2V = folder;
  m_job->outputFolder = folder;
}

void TextToSpeechPage::OnConvert(UINotify&) {
  m_job->resultValid = false;
  if (CountPauseMarks() > kMaxPauseMarks) {
    ShowMessageModeless(kMessageTooManyPauses, false, Window());
    return;
  }
  if (m_currentVoice.isEmotion && EditorText().size() > 150) {
    ShowMessageModal(kMessageEmotionVoiceTooLong, false, Window());
    return;
  }
  if (IsBusy()) {
    ShowBusyMessage(Window());
    return;
  }
  Report(kReportTextToSpeechStart);
  StartConversion();
}

void TextToSpeechPage::OnSliderChanged(UINotify& msg) {
  auto* slider = ControlAs<CSliderUI>(msg.pSender, L"Slider");
  if (slider == nullptr) return;
  const int value = slider->GetValue();
  wchar_t text[16];
  swprintf(text, 16, L"%d", value);
  if (msg.pSender == m_sliderVolume) {
    SetControlText(m_volumeLabel, text);
    m_job->volume = value;
  } else if (msg.pSender == m_sliderSpeed) {
    SetControlText(m_speedLabel, text);
    m_job->speed = value;
  } else if (msg.pSender == m_sliderBgmVolume) {
    SetControlText(m_volumeBgmLabel, text);
    m_job->bgmVolumeDb = value - 20;  // slider 1..20 is a gain of -19..0 dB
  }
  ClearCache();
}

void TextToSpeechPage::OnTextChanged(UINotify&) {
  ApplyTextLimit();
  ClearCache();
}

void TextToSpeechPage::OnFormatChanged(UINotify& msg) {
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"optMp3")) m_job->codec = L"mp3";
  else if (name.EqualsText(L"optWav")) m_job->codec = L"wav";
  else m_job->codec = L"pcm";
  ClearCache();
}

void TextToSpeechPage::OnEmotionChanged(UINotify& msg) {
  ClearCache();
  Report(kReportEmotionChosen);
  m_job->emotion = msg.pSender->GetUserData().GetText();
  if (msg.pSender != m_optionEmotion1 && m_optionEmotion1 != nullptr)
    m_optionEmotion1->SetAttribute(L"normalimage", L"file='img/neutral.png' dest='8,0,34,26'");
}

void TextToSpeechPage::OnVoiceTypeSelected(UINotify& msg) {
  auto* combo = ControlAs<CComboUI>(msg.pSender, L"Combo");
  if (combo == nullptr) return;
  const int index = combo->GetCurSel();
  const CUIString text = combo->GetText();
  m_job->voiceType = VoiceTypeForComboItem(text.GetText(), index < 0 ? 0 : index);
  ClearCache();
}

// --- Editor operations ---

void TextToSpeechPage::InsertMark(const wchar_t* mark, long caretBack) {
  auto* editor = ControlAs<CRichEditUI>(m_editor, L"RichEdit");
  if (editor == nullptr) return;
  CHARRANGE before = {};
  editor->GetSel(before);
  editor->ReplaceSel(mark, false);  // its "textchanged" applies the limit
  FocusEditor();
  CHARRANGE after = {};
  editor->GetSel(after);
  // Only where the whole mark went in (the limit may have refused part of it
  // and put the caret at the end).
  const long end = before.cpMin + static_cast<long>(wcslen(mark));
  if (caretBack > 0 && after.cpMin == end && after.cpMax == end) editor->SetSel(end - caretBack, end - caretBack);
}

void TextToSpeechPage::FocusEditor() {
  if (m_editor != nullptr && m_editor->IsVisible()) Manager().SetFocusControl(m_editor, true);
}

void TextToSpeechPage::ApplyTextLimit() {
  auto* editor = ControlAs<CRichEditUI>(m_editor, L"RichEdit");
  if (editor == nullptr) return;
  editor->SetLimitText(kEditorLimit);
  long length = editor->GetTextLength();
  if (length > kEditorLimit) {
    std::wstring text = editor->GetText().GetText();
    if (CutTextToLimit(text, kEditorLimit)) {
      // Writing the cut text back is an edit too: the window does not hear
      // of its own cut, so it is not cut (and counted) again from inside.
      const DWORD mask = editor->GetEventMask();
      editor->SetEventMask(mask & ~static_cast<DWORD>(ENM_CHANGE));
      editor->SetText(text.c_str());
      editor->SetEventMask(mask);
      length = editor->GetTextLength();
      editor->SetSel(length, length);
    }
  }
  wchar_t count[32];
  swprintf(count, 32, L"%ld/5000", length);
  SetControlText(m_textCount, count);
}

bool TextToSpeechPage::RefuseWithoutMusic() {
  if (!m_job->bgmSourcePath.empty()) return false;
  ShowMessageModal(kMessageNoMusic, false, Window());
  return true;
}
