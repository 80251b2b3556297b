#include "ui/controls/GdiplusSession.h"
#include "core/base/BenchMemory.h"
#include "core/base/DebugTrace.h"

namespace Trellis {
namespace {

// Holds the start-up token; its destructor, run once at process exit, shuts
// GDI+ down when it was started.
class GdiplusProcessState {
 public:
  ~GdiplusProcessState() {
    if (m_bStarted) Gdiplus::GdiplusShutdown(m_token);
  }
  bool Ensure() {
    if (m_bStarted) return true;
    BenchMemoryScope measured("lib.gdiplus");
    Gdiplus::GdiplusStartupInput input;
    const Gdiplus::Status status = Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    if (status != Gdiplus::Ok) {
      DebugTrace(L"Trellis: GdiplusStartup failed, status %d", static_cast<int>(status));
      return false;
    }
    m_bStarted = true;
    return true;
  }
  bool IsStarted() const { return m_bStarted; }

 private:
  ULONG_PTR m_token = 0;   // from GdiplusStartup; given back to GdiplusShutdown
  bool m_bStarted = false; // set by a successful start, never cleared
};

GdiplusProcessState& ProcessState() {
  static GdiplusProcessState state;
  return state;
}

}  // namespace

bool CGdiplusSession::Ensure() { return ProcessState().Ensure(); }

bool CGdiplusSession::IsStarted() { return ProcessState().IsStarted(); }

}  // namespace Trellis
