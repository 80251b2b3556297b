#pragma once
// CVoiceSampleWnd: what the two voice windows (the picker and the detail
// window) share: the sample of the item whose play button was pressed, with
// its play and pause buttons, and the end of that sample. The item is the
// grandparent of its "btnPlay" and "btnSuspend".
//
// A heap object made by its opener; its last message deletes it. UI thread only.
#include "app/voice/VoiceSamplePlayback.h"
#include "ui/window/WindowImplBase.h"

#include <string>

class ClientState;

// The text shown when a voice's sample cannot be fetched or played.
extern const wchar_t kSampleFailedMessage[];

class CVoiceSampleWnd : public Trellis::WindowImplBase {
 public:
  // `sampleFolder`: where samples are cached (ends with a separator).
  CVoiceSampleWnd(const HttpClient& client, std::wstring sampleFolder);
  ~CVoiceSampleWnd() override;

  // CWindowWnd:
  void OnLastMessage(HWND hWnd) override;
  // WindowImplBase:
  Trellis::CUIString GetSkinFolder() override;
  // WM_DESTROY (also after Escape): the sample ends with the window.
  LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // The sample's messages: its arrival and its end (WM_APP_SAMPLE_DONE).
  LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // Creates the window owned by `owner` (WS_POPUP | WS_VISIBLE, the skin's
  // size) and centres it on its owner; false when it could not be created.
  bool Open(HWND owner, const wchar_t* title);

  // The item whose sample plays, is paused or is being fetched; null when none.
  Trellis::CControlUI* GetPlayingItem() const { return m_playingItem; }
  const VoiceSamplePlayback& GetPlayback() const { return m_playback; }

 protected:
  // The voice of an item of this window, or null when `item` is not one.
  virtual const VoiceInfo* VoiceOfItem(Trellis::CControlUI* item) const = 0;

  // "btnPlay" of an item: plays its sample, or resumes it when it is the one held.
  void PlaySample(Trellis::CControlUI* playButton);
  // "btnSuspend" of an item: holds its sample.
  void PauseSample(Trellis::CControlUI* pauseButton);
  // Ends the sample (fetch and player) and shows the play button again.
  void StopSample();

 private:
  // Shows the item's play button (or, with `sounding`, its pause button).
  void ShowPlayState(Trellis::CControlUI* item, bool sounding);
  // The sample ended or failed: its item shows the play button again.
  void ForgetPlayingItem();

  VoiceSamplePlayback m_playback;
  Trellis::CControlUI* m_playingItem = nullptr;  // borrowed from the tree; null when no sample
};
