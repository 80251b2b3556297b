#include "app/voice/VoiceExampleItem.h"

#include "app/voice/VoiceItemSkin.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

CVoiceExampleItem::CVoiceExampleItem(const VoiceInfo* voice) : m_voice(voice) {}

CVoiceExampleItem::~CVoiceExampleItem() {
  if (GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

const UIChar* CVoiceExampleItem::GetClassName() const { return UI_TEXT("CVoiceExampleItemUI"); }

void* CVoiceExampleItem::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("CVoiceExampleItemUI")) == 0) return this;
  return CContainerUI::GetInterface(name);
}

CVoiceExampleItem* CVoiceExampleItem::FromButton(CControlUI* button) {
  CControlUI* root = button != nullptr ? button->GetParent() : nullptr;
  CControlUI* item = root != nullptr ? root->GetParent() : nullptr;
  return item != nullptr ? static_cast<CVoiceExampleItem*>(item->GetInterface(UI_TEXT("CVoiceExampleItemUI")))
                         : nullptr;
}

void CVoiceExampleItem::OnInit() {
  if (!BuildItemContent(*this, *this, L"VoiceExampleItem.xml") || m_voice == nullptr) return;
  if (CControlUI* example = FindItemControl(*this, L"textAnchorExample")) example->SetText(m_voice->text.c_str());
}
