#include "app/voice/VoiceExampleWnd.h"

#include "app/voice/VoiceExampleItem.h"
#include "app/voice/VoiceItemSkin.h"
#include "core/client/UsageReport.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"

using namespace Trellis;

CVoiceExampleWnd::CVoiceExampleWnd(const VoiceInfo* voice, const HttpClient& client, std::wstring sampleFolder,
                                   std::function<void(int)> report)
    : CVoiceSampleWnd(client, std::move(sampleFolder)), m_voice(voice), m_report(std::move(report)) {}

const UIChar* CVoiceExampleWnd::GetWindowClassName() const { return UI_TEXT("VoiceExampleWnd"); }

CUIString CVoiceExampleWnd::GetSkinFile() { return CUIString(L"VoiceExampleWnd.xml"); }

void CVoiceExampleWnd::OnSkinLoaded() {
  if (m_voice == nullptr) return;
  ShowVoiceAvatar(m_pm.FindControlByName(L"lblAnchorFace"), m_voice->avatar);
  if (CControlUI* name = m_pm.FindControlByName(L"lblAnchorName")) name->SetText(m_voice->anchorName.c_str());
  if (CControlUI* description = m_pm.FindControlByName(L"lblAnchorDes")) {
    description->SetText(m_voice->voiceDesc.c_str());
  }
  CControlUI* layout = m_pm.FindControlByName(L"voiceExampleLayout");
  if (auto* container = layout != nullptr ? static_cast<CContainerUI*>(layout->GetInterface(UI_TEXT("Container")))
                                          : nullptr) {
    container->AddItem(new CVoiceExampleItem(m_voice));
  }
}

const VoiceInfo* CVoiceExampleWnd::VoiceOfItem(CControlUI* item) const {
  auto* example =
      item != nullptr ? static_cast<CVoiceExampleItem*>(item->GetInterface(UI_TEXT("CVoiceExampleItemUI"))) : nullptr;
  return example != nullptr ? example->GetVoice() : nullptr;
}

void CVoiceExampleWnd::Notify(UINotify& msg) {
  if (msg.sType.DiffersFromText(L"click") || msg.pSender == nullptr) return;
  const CUIString name = msg.pSender->GetName();
  if (name.EqualsText(L"btnClose1") || name.EqualsText(L"btnClose")) {
    StopSample();
    PostClose(kVoiceWindowCloseResult);
  } else if (name.EqualsText(L"btnUse")) {
    if (m_report) m_report(kReportVoiceTaken);
    StopSample();
    // The opener takes the voice once this window's loop has ended.
    PostClose(kVoiceExampleUseResult);
  } else if (name.EqualsText(L"btnPlay")) {
    PlaySample(msg.pSender);
  } else if (name.EqualsText(L"btnSuspend")) {
    PauseSample(msg.pSender);
  }
}
