#include "app/stt/Voice2TextListItemUI.h"

#include <cwchar>

#include "core/base/DebugTrace.h"
#include "core/media/MediaTools.h"
#include "ui/controls/ProgressUI.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

namespace {

const wchar_t kItemInterface[] = L"Voice2TextListItemUI";
const wchar_t kDone[] = L"处理成功";
const wchar_t kFailed[] = L"处理失败";

void Show(CControlUI* control, bool visible) {
  if (control != nullptr) control->SetVisible(visible);
}

}  // namespace

CVoice2TextListItemUI::CVoice2TextListItemUI(Voice2TextJob* job) : m_job(job) {}

CVoice2TextListItemUI::~CVoice2TextListItemUI() {
  if (m_notifying && GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

const UIChar* CVoice2TextListItemUI::GetClassName() const { return kItemInterface; }

void* CVoice2TextListItemUI::GetInterface(const UIChar* name) {
  if (name != nullptr && wcscmp(name, kItemInterface) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CVoice2TextListItemUI::OnInit() {
  CWindowManagerUI* manager = GetManager();
  if (manager == nullptr || GetCount() > 0) return;  // built once, with the row's window
  CSkinBuilder builder;
  CControlUI* root = builder.CreateFromSource(UIResourceRef(L"Voice2TextListItemUI.xml"), nullptr, nullptr, manager);
  if (root == nullptr || !AddItem(root)) {
    DebugTrace(L"speech-to-text: cannot build Voice2TextListItemUI.xml");
    delete root;
    RemoveAllItems();
    return;
  }
  m_notifying = manager->AddNotifier(this);

  const struct {
    CControlUI** control;
    const wchar_t* name;
  } kControls[] = {
      {&m_fileName, L"fileName"},         {&m_fileTime, L"fileTime"},
      {&m_voiceStatus, L"voiceStatus"},   {&m_voiceStatusIng, L"voiceStatusIng"},
      {&m_voiceStatusEnd, L"voiceStatusEnd"}, {&m_progress, L"progress"},
      {&m_progressText, L"progressText"}, {&m_voiceDeal, L"voiceDeal"},
      {&m_voiceStart, L"voiceStart"},     {&m_voiceIng, L"voiceIng"},
      {&m_voiceEndSucces, L"voiceEndSucces"}, {&m_voiceEndError, L"voiceEndError"},
      {&m_btnStart, L"btnSingleVocie2Text"}, {&m_btnOpenFile, L"btnOpenFile"},
      {&m_btnOpenPath, L"btnOpenPath"},
  };
  for (const auto& entry : kControls) *entry.control = manager->FindSubControlByName(this, entry.name);

  if (auto* progress = m_progress != nullptr ? static_cast<CProgressUI*>(m_progress->GetInterface(L"Progress"))
                                             : nullptr) {
    progress->SetValue(0);
  }
  if (m_job != nullptr) {
    std::wstring duration = L"00:00:00";
    if (!GetMediaDurationText(m_job->sourcePath, duration)) {
      DebugTrace(L"speech-to-text: no duration for %ls", m_job->sourcePath.c_str());
    }
    m_job->durationText = duration;
    if (m_fileName != nullptr) {
      m_fileName->SetText(m_job->fileName.c_str());
      m_fileName->SetToolTip(m_job->sourcePath.c_str());
    }
    if (m_fileTime != nullptr) m_fileTime->SetText(duration.c_str());
  }
  SetRowIndex(m_rowIndex);
}

void CVoice2TextListItemUI::Notify(UINotify&) {}

void CVoice2TextListItemUI::SetRowIndex(int index) {
  m_rowIndex = index;
  if (m_btnStart == nullptr) return;
  wchar_t text[16];
  swprintf(text, 16, L"%d", index);
  for (CControlUI* button : {m_btnStart, m_btnOpenFile, m_btnOpenPath}) {
    if (button != nullptr) button->SetUserData(text);
  }
}

void CVoice2TextListItemUI::ShowStatus(const Voice2TextJob& job) {
  const int32_t status = job.status;
  if (status != kV2tConverting && status != kV2tDone && status != kV2tFailed) return;
  const bool converting = status == kV2tConverting;
  const bool done = status == kV2tDone;
  const bool failed = status == kV2tFailed;
  Show(m_voiceStatus, false);
  Show(m_voiceStatusIng, converting);
  Show(m_voiceStatusEnd, !converting);
  Show(m_voiceIng, converting);
  Show(m_voiceStart, failed);
  Show(m_voiceEndSucces, done);
  Show(m_voiceEndError, failed);
  if (converting) {
    const int percent = job.progress;
    wchar_t text[16];
    swprintf(text, 16, L"%d%%", percent);
    if (m_progressText != nullptr) m_progressText->SetText(text);
    if (m_progress != nullptr) {
      if (auto* progress = static_cast<CProgressUI*>(m_progress->GetInterface(L"Progress"))) progress->SetValue(percent);
    }
  } else if (m_voiceDeal != nullptr) {
    m_voiceDeal->SetText(done ? kDone : kFailed);
  }
}

CVoice2TextListItemUI* FindVoice2TextItem(CControlUI* control) {
  for (CControlUI* at = control; at != nullptr; at = at->GetParent()) {
    if (auto* item = static_cast<CVoice2TextListItemUI*>(at->GetInterface(kItemInterface))) return item;
  }
  // A list element holds its item as its only child.
  if (auto* element = control != nullptr ? static_cast<CContainerUI*>(control->GetInterface(L"Container")) : nullptr) {
    for (int i = 0; i < element->GetCount(); ++i) {
      CControlUI* child = element->GetItemAt(i);
      if (auto* item = child != nullptr ? static_cast<CVoice2TextListItemUI*>(child->GetInterface(kItemInterface))
                                        : nullptr) {
        return item;
      }
    }
  }
  return nullptr;
}
