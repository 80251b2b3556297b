#pragma once

// CGifAnimUI: plays an animated picture ("GifAnim"): the file named by its
// "bkimage" attribute is read from the skin folder or archive (else as a
// path), decoded by GDI+ from an in-memory stream, stretched over the control
// and stepped through its frames with control timer 100, each frame waiting
// its stored delay (hundredths of a second; 0 means 100 ms). Only a picture
// with more than one frame plays; a single-frame picture is simply shown.
// Hiding the control stops and rewinds it; showing it plays again. A file
// that cannot be read or decoded is tried once per name, not at every paint.
// The control paints nothing but the picture (no colours, border or text).
//
// Ownership: the control owns the decoded picture, the stream holding the
// file bytes (GDI+ reads frames from it lazily, so it lives as long as the
// picture) and the frame delays; GDI+ runs through the process-wide session.
#include <objidl.h>

#include <vector>

#include "core/base/ScopedHandle.h"
#include "ui/control/ControlUI.h"
#include "ui/controls/GdiplusSession.h"

namespace Trellis {

class CGifAnimUI : public CControlUI {
 public:
  // The control timer that steps the frames.
  static constexpr UINT kFrameTimerId = 100;

  CGifAnimUI();
  // Stops the frame timer and frees the picture.
  ~CGifAnimUI() override;

  // CControlUI:
  const UIChar* GetClassName() const override;
  // "GifAnim": this control; other names go to the control base.
  void* GetInterface(const UIChar* name) override;
  // The control base, then plays when shown (loading the picture first when
  // it was built hidden) and stops (rewinding) when hidden.
  void SetVisible(bool visible = true) override;
  // Loads the picture (and plays it with "autoplay"), unless the control is
  // hidden: then it loads when first shown or painted.
  void OnInit() override;
  // Only the frame timer: the next frame and its delay. Other events are dropped.
  void HandleEvent(UIEvent& event) override;
  // "bkimage", "autoplay", "autosize"; others to the control base.
  void SetAttribute(const UIChar* name, const UIChar* value) override;
  // Loads the picture when none is loaded yet, then draws the current frame
  // stretched over the control; nothing else.
  bool PaintContent(HDC hDC, const CUIRect& rcPaint, CControlUI* pStopControl) override;

  // CGifAnimUI:
  const CUIString& GetBkImage() const { return m_sImageName; }
  // A different name stops and frees the old picture and repaints (the new
  // one loads at the next paint); null or the same name does nothing. This is
  // not the control base's background image.
  void SetBkImage(const UIChar* name);
  bool IsAutoPlay() const { return m_bAutoPlay; }
  void SetAutoPlay(bool autoPlay);
  bool IsAutoSize() const { return m_bAutoSize; }
  void SetAutoSize(bool autoSize);
  // Starts the frame timer with the current frame's delay; nothing while
  // playing, without a picture, or for a picture of one frame.
  void PlayGif();
  // Stops the frame timer and rewinds to the first frame; nothing when not playing.
  void StopGif();
  bool IsPlaying() const { return m_bPlaying; }
  bool HasImage() const { return static_cast<bool>(m_image); }
  UINT GetFrameCount() const { return m_nFrameCount; }
  UINT GetCurrentFrame() const { return m_nCurrentFrame; }
  // The delay of a frame in milliseconds (100 for a stored 0 or a frame the
  // picture gives no delay for); 0 for a frame that does not exist.
  UINT GetFrameDelayMs(UINT frame) const;
  // The interval the running frame timer was started with; 0 when not playing.
  UINT GetTimerInterval() const { return m_bPlaying ? m_uTimerInterval : 0; }

 protected:
  // Loads the named picture, reads its frames and delays, applies "autosize"
  // and starts playing with "autoplay"; false when it cannot be loaded.
  bool InitGifImage();
  // Reads the file bytes (skin folder or archive, else the name as a path)
  // and decodes them through a stream; false and nothing kept on failure.
  bool LoadGifFromFile(const CUIString& name);
  // Frees the picture, the stream and the delays; frame count and frame 0.
  void DeleteGif();
  // Starts the frame timer for the current frame; false when it cannot run.
  bool StartFrameTimer();

  GdipImagePtr m_image;                  // owned: the decoded picture; null until loaded
  ComPtr<IStream> m_stream;              // owned: the file bytes the picture reads from
  UINT m_nFrameCount = 0;                // frames along the time dimension
  UINT m_nCurrentFrame = 0;              // the frame shown; the timer advances it, StopGif rewinds it
  std::vector<UINT> m_frameDelaysMs;     // one per frame, already in milliseconds
  CUIString m_sImageName;                // "bkimage"
  bool m_bAutoPlay = true;
  bool m_bAutoSize = false;
  bool m_bPlaying = false;               // the frame timer runs; PlayGif sets, StopGif clears
  bool m_bLoadFailed = false;            // the current name could not be loaded; SetBkImage clears
  UINT m_uTimerInterval = 0;             // the interval last asked for
};

}  // namespace Trellis
