#pragma once
// CEmotionItem: one emotion tile of the text-to-speech page's emotion strip
// ("tileEmotion"), built from "EmotionItem.xml": an option of the group
// "group" showing the emotion's icon and name, whose user data is the emotion
// key. Its "selectchanged" reaches the main window like "OptionEmotion1".
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/UIEvent.h"

// The class name GetClass and GetInterface answer.
extern const wchar_t* const kEmotionItemClass;  // "CEmotionItemUI"

class CEmotionItem : public Trellis::CContainerUI, public Trellis::INotifyUI {
 public:
  // Keeps its own copy of the emotion: the catalogue may be fetched again.
  explicit CEmotionItem(VoiceEmotion emotion);
  ~CEmotionItem() override;

  const Trellis::UIChar* GetClassName() const override;
  void* GetInterface(const Trellis::UIChar* name) override;
  void OnInit() override;
  void Notify(Trellis::UINotify&) override {}

  const VoiceEmotion& emotion() const { return m_emotion; }
  // The tile's option ("OptionEmotion2"); null before the content is built.
  Trellis::CControlUI* GetOption() const { return m_option; }

 private:
  VoiceEmotion m_emotion;
  Trellis::CControlUI* m_option = nullptr;  // borrowed from the content: "OptionEmotion2"
  bool m_notifying = false;  // registered with the manager as a notifier
};
