#pragma once
// CVoice2TextListItemUI: the content of one row of the speech-to-text list
// "listVoice": file name, duration, status column and action buttons, built
// from "Voice2TextListItemUI.xml" when the row is initialised. The main
// window puts it in a list element of its own and dispatches its buttons;
// the item shows its job's state.
//
// Points to its job (not owned: the page's row list owns it). Owns its built
// content as a container does; the control pointers borrow from it.
#include "core/stt/Voice2TextJob.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/UIEvent.h"

class CVoice2TextListItemUI : public Trellis::CContainerUI, public Trellis::INotifyUI {
 public:
  explicit CVoice2TextListItemUI(Voice2TextJob* job);
  // Leaves its manager's notifiers first.
  ~CVoice2TextListItemUI() override;

  // CControlUI:
  const Trellis::UIChar* GetClassName() const override;
  // "Voice2TextListItemUI": the item; anything else as the container answers.
  void* GetInterface(const Trellis::UIChar* name) override;
  // Builds the row from its skin and shows the job's file and duration.
  void OnInit() override;
  // INotifyUI: the row's buttons are handled by the main window.
  void Notify(Trellis::UINotify& msg) override;

  Voice2TextJob* GetJob() const { return m_job; }
  int GetRowIndex() const { return m_rowIndex; }
  // Stores the 1-based row number; once built, the row buttons carry it as
  // their user data.
  void SetRowIndex(int index);
  // Shows the job's state: converting with its progress, done or failed.
  // Any other status changes nothing.
  void ShowStatus(const Voice2TextJob& job);

 private:
  Voice2TextJob* m_job;  // not owned
  int m_rowIndex = 0;
  // Borrowed from the built content; null until OnInit (or when the skin lacks them).
  Trellis::CControlUI* m_fileName = nullptr;
  Trellis::CControlUI* m_fileTime = nullptr;
  Trellis::CControlUI* m_voiceStatus = nullptr;
  Trellis::CControlUI* m_voiceStatusIng = nullptr;
  Trellis::CControlUI* m_voiceStatusEnd = nullptr;
  Trellis::CControlUI* m_progress = nullptr;
  Trellis::CControlUI* m_progressText = nullptr;
  Trellis::CControlUI* m_voiceDeal = nullptr;
  Trellis::CControlUI* m_voiceStart = nullptr;
  Trellis::CControlUI* m_voiceIng = nullptr;
  Trellis::CControlUI* m_voiceEndSucces = nullptr;
  Trellis::CControlUI* m_voiceEndError = nullptr;
  Trellis::CControlUI* m_btnStart = nullptr;     // "btnSingleVocie2Text"
  Trellis::CControlUI* m_btnOpenFile = nullptr;
  Trellis::CControlUI* m_btnOpenPath = nullptr;
  bool m_notifying = false;  // registered with the manager's notifiers
};

// The row item that holds `control` (a row button, its list element or the
// item itself), or null.
CVoice2TextListItemUI* FindVoice2TextItem(Trellis::CControlUI* control);
