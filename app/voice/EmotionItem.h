#pragma once
// CEmotionItem: one emotion tile of the text-to-speech page ("EmotionItem.xml"):
// an option of the group "group" showing the emotion's icon
// ("img/<key>.png") and name, whose user data is the emotion key. Its
// "selectchanged" notifications reach the window's listeners (the main
// window takes the user data as the job's emotion).
//
// Use: `tile->AddItem(new CEmotionItem(&catalog.emotions[i]))`; the content is
// built when the item joins a window's tree. Owned by its container; the
// record is borrowed and must outlive the item (the catalogue's vectors do).
#include "core/catalog/portable/VoiceCatalogRecords.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/UIEvent.h"

class CEmotionItem : public Trellis::CContainerUI, public Trellis::INotifyUI {
 public:
  explicit CEmotionItem(const VoiceEmotion* emotion);
  ~CEmotionItem() override;

  // CControlUI:
  const Trellis::UIChar* GetClassName() const override;  // "CEmotionItemUI"
  // Answers "CEmotionItemUI" with this item; anything else as the container.
  void* GetInterface(const Trellis::UIChar* name) override;
  // Builds the tile from its skin and fills icon, text and user data.
  void OnInit() override;
  // INotifyUI: the tile has nothing of its own to do.
  void Notify(Trellis::UINotify&) override {}

  const VoiceEmotion* GetEmotion() const { return m_emotion; }
  // The tile's option ("OptionEmotion2"); null before the content is built.
  Trellis::CControlUI* GetOption() const { return m_option; }

 private:
  const VoiceEmotion* m_emotion;             // borrowed: a catalogue record
  Trellis::CControlUI* m_option = nullptr;   // borrowed from the content: "OptionEmotion2"
};
