#include "app/voice/VoiceTypeItem.h"

#include "app/voice/VoiceItemSkin.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

CVoiceTypeItem::CVoiceTypeItem(const VoiceInfo* voice, bool inUse) : m_voice(voice), m_inUse(inUse) {}

CVoiceTypeItem::~CVoiceTypeItem() {
  if (GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

const UIChar* CVoiceTypeItem::GetClassName() const { return UI_TEXT("CVoiceTypeItemUI"); }

void* CVoiceTypeItem::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("CVoiceTypeItemUI")) == 0) return this;
  return CContainerUI::GetInterface(name);
}

CVoiceTypeItem* CVoiceTypeItem::FromButton(CControlUI* button) {
  CControlUI* root = button != nullptr ? button->GetParent() : nullptr;
  CControlUI* item = root != nullptr ? root->GetParent() : nullptr;
  return item != nullptr ? static_cast<CVoiceTypeItem*>(item->GetInterface(UI_TEXT("CVoiceTypeItemUI"))) : nullptr;
}

void CVoiceTypeItem::OnInit() {
  if (!BuildItemContent(*this, *this, L"VoiceTypeItem.xml") || m_voice == nullptr) return;
  ShowVoiceAvatar(FindItemControl(*this, L"lblAnchorFace"), m_voice->avatar);
  if (CControlUI* name = FindItemControl(*this, L"lblAnchorName")) name->SetText(m_voice->anchorName.c_str());
  if (CControlUI* description = FindItemControl(*this, L"lblAnchorDes")) {
    description->SetText(m_voice->voiceDesc.c_str());
    description->SetToolTip(m_voice->voiceDesc.c_str());  // the card cuts long descriptions short
  }
  if (CControlUI* badge = FindItemControl(*this, L"lblEmotion")) badge->SetVisible(m_voice->isEmotion);
  if (CControlUI* use = FindItemControl(*this, L"btnUse")) {
    if (m_inUse) {
      use->SetAttribute(UI_TEXT("normalimage"), UI_TEXT("file='img/usingBtn.png' source='0,0,48,24'"));
      use->SetAttribute(UI_TEXT("hotimage"), UI_TEXT("file='img/usingBtn.png' source='48,0,96,24'"));
    } else {
      use->SetAttribute(UI_TEXT("normalimage"), UI_TEXT("file='img/useBtn.png' source = '0,0,48,24'"));
      use->SetAttribute(UI_TEXT("hotimage"), UI_TEXT("file='img/useBtn.png' source = '48,0,96,24'"));
    }
  }
}
