#include "app/voice/EmotionItem.h"

#include "core/base/DebugTrace.h"
#include "ui/window/SkinBuilder.h"
#include "ui/window/WindowManager.h"

#include <cwchar>

using namespace Trellis;

const wchar_t* const kEmotionItemClass = L"CEmotionItemUI";

CEmotionItem::CEmotionItem(VoiceEmotion emotion) : m_emotion(std::move(emotion)) {}

CEmotionItem::~CEmotionItem() {
  if (m_notifying && GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

const UIChar* CEmotionItem::GetClassName() const { return kEmotionItemClass; }

void* CEmotionItem::GetInterface(const UIChar* name) {
  if (name != nullptr && wcscmp(name, kEmotionItemClass) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CEmotionItem::OnInit() {
  CContainerUI::OnInit();
  CWindowManagerUI* manager = GetManager();
  CSkinBuilder builder;
  // Built apart and then added, so the tile's children join this item's
  // manager the way every added control does.
  CControlUI* root = builder.CreateFromSource(UIResourceRef(L"EmotionItem.xml"), nullptr, nullptr, manager);
  if (root == nullptr || !AddItem(root)) {
    DebugTrace(L"emotion tile: cannot build EmotionItem.xml");
    if (root != nullptr) root->Delete();
    RemoveAllItems();
    return;
  }
  if (manager != nullptr && !m_notifying) m_notifying = manager->AddNotifier(this);

  CControlUI* option = manager != nullptr ? manager->FindSubControlByName(this, L"OptionEmotion2") : nullptr;
  if (option == nullptr) return;
  m_option = option;
  const std::wstring image = L"file='img/" + m_emotion.emotion + L".png' dest = '8,0,34,26'";
  option->SetAttribute(L"normalimage", image.c_str());
  option->SetText(m_emotion.name.c_str());
  option->SetUserData(m_emotion.emotion.c_str());
}
