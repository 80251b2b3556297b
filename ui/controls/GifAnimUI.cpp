// The GIF animation: reading and decoding the picture, the frame timer and
// painting the current frame.
#include "ui/controls/GifAnimUI.h"

#include <cstring>
#include <memory>

#include "core/base/DebugTrace.h"
#include "ui/base/portable/UIChar.h"
#include "ui/control/portable/AttributeText.h"
#include "ui/skin/SkinFile.h"
#include "ui/window/WindowManager.h"

namespace Trellis {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

// The time dimension of multi-frame pictures.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
// Frame delays, one 32-bit count of hundredths of a second per frame.
constexpr PROPID kPropertyFrameDelay = 0x5100;
// A delay of 0 is shown for this long, as browsers and viewers do.
constexpr UINT kDefaultDelayMs = 100;
// Animated pictures larger than this are refused rather than held in memory.
constexpr size_t kMaxFileBytes = 64u * 1024u * 1024u;

}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
  if (m_pManager != nullptr) m_pManager->KillControlTimer(this, kFrameTimerId);
  m_bPlaying = false;
  DeleteGif();
}

const UIChar* CGifAnimUI::GetClassName() const { return UI_TEXT("GifAnim"); }

void* CGifAnimUI::GetInterface(const UIChar* name) {
  if (name != nullptr && UITextCompare(name, UI_TEXT("GifAnim")) == 0) return this;
  return CControlUI::GetInterface(name);
}

void CGifAnimUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (!visible) {
    StopGif();
    return;
  }
  // One built hidden decodes its picture now, then plays like any other.
  if (!m_image && !m_bLoadFailed && m_pManager != nullptr) InitGifImage();
  PlayGif();
}

void CGifAnimUI::OnInit() {
  CControlUI::OnInit();
  // Built hidden (a busy indicator), it waits until it is shown or painted:
  // a window then decodes no picture, and starts no GDI+, for it before that.
  if (!m_image && !m_bLoadFailed && IsSetVisible()) InitGifImage();
}

void CGifAnimUI::SetAttribute(const UIChar* name, const UIChar* value) {
  if (UITextCompare(name, UI_TEXT("bkimage")) == 0) SetBkImage(value);
  else if (UITextCompare(name, UI_TEXT("autoplay")) == 0) SetAutoPlay(ParseAttributeBool(value));
  else if (UITextCompare(name, UI_TEXT("autosize")) == 0) SetAutoSize(ParseAttributeBool(value));
  else CControlUI::SetAttribute(name, value);
}

void CGifAnimUI::SetBkImage(const UIChar* name) {
  if (name == nullptr || m_sImageName.EqualsText(name)) return;
  m_sImageName = name;
  StopGif();
  DeleteGif();
  m_bLoadFailed = false;
  Invalidate();
}

void CGifAnimUI::SetAutoPlay(bool autoPlay) { m_bAutoPlay = autoPlay; }
void CGifAnimUI::SetAutoSize(bool autoSize) { m_bAutoSize = autoSize; }

UINT CGifAnimUI::GetFrameDelayMs(UINT frame) const {
  if (frame >= m_nFrameCount) return 0;
  if (frame >= m_frameDelaysMs.size() || m_frameDelaysMs[frame] == 0) return kDefaultDelayMs;
  return m_frameDelaysMs[frame];
}

// --- Playing ---

bool CGifAnimUI::StartFrameTimer() {
  if (m_pManager == nullptr) return false;
  m_uTimerInterval = GetFrameDelayMs(m_nCurrentFrame);
  return m_pManager->SetControlTimer(this, kFrameTimerId, m_uTimerInterval);
}

void CGifAnimUI::PlayGif() {
  if (m_bPlaying || !m_image || m_nFrameCount < 2) return;
  if (StartFrameTimer()) m_bPlaying = true;
}

void CGifAnimUI::StopGif() {
  if (!m_bPlaying) return;
  if (m_pManager != nullptr) m_pManager->KillControlTimer(this, kFrameTimerId);
  m_nCurrentFrame = 0;
  Invalidate();
  m_bPlaying = false;
}

void CGifAnimUI::HandleEvent(UIEvent& event) {
  if (event.Type != kUIEventTimer || event.wParam != kFrameTimerId) return;
  if (m_pManager == nullptr || m_nFrameCount == 0) return;
  m_pManager->KillControlTimer(this, kFrameTimerId);
  Invalidate();
  m_nCurrentFrame = (m_nCurrentFrame + 1) % m_nFrameCount;
  if (!StartFrameTimer()) m_bPlaying = false;
}

// --- Loading ---

bool CGifAnimUI::InitGifImage() {
  if (!LoadGifFromFile(m_sImageName)) {
    m_bLoadFailed = true;
    return false;
  }
  UINT dimensions = 0;
  GdipImageGetFrameDimensionsCount(m_image.Get(), &dimensions);
  m_nFrameCount = 1;
  if (dimensions > 0) {
    std::vector<GUID> ids(dimensions);
    UINT frames = 0;
    if (GdipImageGetFrameDimensionsList(m_image.Get(), ids.data(), dimensions) == Ok &&
        GdipImageGetFrameCount(m_image.Get(), &ids[0], &frames) == Ok && frames > 0) {
      m_nFrameCount = frames;
    }
  }
  // The delay list may hold fewer entries than there are frames (or be
  // missing): only the entries that exist are read; the other frames get the
  // default delay.
  m_frameDelaysMs.assign(m_nFrameCount, 0);
  UINT size = 0;
  if (GdipGetPropertyItemSize(m_image.Get(), kPropertyFrameDelay, &size) == Ok && size >= sizeof(PropertyItem)) {
    std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
    auto* item = reinterpret_cast<PropertyItem*>(buffer.get());
    if (GdipGetPropertyItem(m_image.Get(), kPropertyFrameDelay, size, item) == Ok && item->value != nullptr) {
      const size_t available = (size - sizeof(PropertyItem)) / sizeof(UINT);
      size_t count = item->length / sizeof(UINT);
      if (count > available) count = available;
      if (count > m_nFrameCount) count = m_nFrameCount;
      const auto* values = static_cast<const UINT*>(item->value);
      for (size_t i = 0; i < count; ++i) m_frameDelaysMs[i] = values[i] * 10;
    }
  }
  if (m_bAutoSize) {
    UINT width = 0, height = 0;
    GdipGetImageWidth(m_image.Get(), &width);
    GdipGetImageHeight(m_image.Get(), &height);
    SetFixedWidth(static_cast<int>(width));
    SetFixedHeight(static_cast<int>(height));
  }
  if (m_bAutoPlay && IsVisible()) PlayGif();
  return true;
}

bool CGifAnimUI::LoadGifFromFile(const CUIString& name) {
  if (name.IsEmpty() || !CGdiplusSession::Ensure()) return false;
  UIByteBuffer bytes;
  const wchar_t* failure = ReadSkinFile(name.GetText(), kMaxFileBytes, bytes);
  if (failure != nullptr) failure = ReadWholeFile(name.GetText(), kMaxFileBytes, bytes);
  if (failure != nullptr) {
    DebugTrace(L"Trellis: GIF animation cannot read its picture: %ls", failure);
    return false;
  }
  // The stream owns a movable copy of the bytes and frees it when released.
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return false;
  void* target = ::GlobalLock(block);
  if (target == nullptr) {
    ::GlobalFree(block);
    return false;
  }
  std::memcpy(target, bytes.data(), bytes.size());
  ::GlobalUnlock(block);
  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(block, TRUE, stream.Receive()))) {
    ::GlobalFree(block);
    return false;
  }
  GdipImagePtr image;
  if (GdipLoadImageFromStream(stream.Get(), image.Out()) != Ok) {
    DebugTrace(L"Trellis: GIF animation cannot decode its picture");
    return false;
  }
  m_stream = std::move(stream);
  m_image = std::move(image);
  return true;
}

void CGifAnimUI::DeleteGif() {
  // The picture reads from the stream: it goes first.
  m_image.Reset();
  m_stream.Reset();
  m_frameDelaysMs.clear();
  m_nFrameCount = 0;
  m_nCurrentFrame = 0;
}

// --- Painting ---

bool CGifAnimUI::PaintContent(HDC hDC, const CUIRect&, CControlUI*) {
  if (!m_image && !m_bLoadFailed) InitGifImage();
  if (hDC == nullptr || !m_image) return true;
  GdipImageSelectActiveFrame(m_image.Get(), &kFrameDimensionTime, m_nCurrentFrame);
  GdipGraphicsPtr graphics;
  if (GdipCreateFromHDC(hDC, graphics.Out()) != Ok) return true;
  GdipDrawImageRectI(graphics.Get(), m_image.Get(), m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                     m_rcItem.bottom - m_rcItem.top);
  return true;
}

}  // namespace Trellis
