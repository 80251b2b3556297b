#include "app/voice/EmotionItem.h"

#include "app/voice/VoiceItemSkin.h"
#include "ui/control/ControlUI.h"
#include "ui/window/WindowManager.h"

using namespace Trellis;

CEmotionItem::CEmotionItem(const VoiceEmotion* emotion) : m_emotion(emotion) {}

CEmotionItem::~CEmotionItem() {
  if (GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

const UIChar* CEmotionItem::GetClassName() const { return UI_TEXT("CEmotionItemUI"); }

void* CEmotionItem::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("CEmotionItemUI")) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CEmotionItem::OnInit() {
  m_option = nullptr;
  if (!BuildItemContent(*this, *this, L"EmotionItem.xml")) return;
  m_option = FindItemControl(*this, L"OptionEmotion2");
  if (m_option == nullptr || m_emotion == nullptr) return;
  const std::wstring icon = L"file='img/" + m_emotion->emotion + L".png' dest = '8,0,34,26'";
  m_option->SetAttribute(UI_TEXT("normalimage"), icon.c_str());
  m_option->SetText(m_emotion->name.c_str());
  m_option->SetUserData(m_emotion->emotion.c_str());
}
