// Full repaint of a 1024x720 window's tree of about 300 controls (colours,
// gradients, round borders, nine-grid and tiled pictures, markup text) into
// a memory DC: median milliseconds, beside one BitBlt of the same size in the
// same run. Target: under 16 ms (one frame at 60 Hz).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "tests/support/ManagedTestWindow.h"
#include "tests/support/SampleSkins.h"
#include "tests/support/ScratchFolder.h"
#include "ui/control/ContainerUI.h"
#include "ui/control/ControlUI.h"
#include "ui/draw/DrawEngine.h"
#include "ui/window/SkinBuilder.h"

using namespace Trellis;

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double MedianMs(int runs, Work work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int CountControls(CControlUI* control) {
  int count = 1;
  auto* container = static_cast<IContainerUI*>(control->GetInterface(L"IContainer"));
  for (int i = 0; container != nullptr && i < container->GetCount(); ++i) count += CountControls(container->GetItemAt(i));
  return count;
}

// Builds the grid of the given cell kinds in a window of its own and returns
// the median repaint time; prints nothing. Negative when the skin did not build.
double RepaintMs(const std::wstring& kinds, int width, int height, int runs, int* controls, double* blitMs) {
  testwindows::ManagedTestWindow window(width, height);
  CWindowManagerUI& manager = window.manager();
  CSkinBuilder builder;
  testskins::SampleCallback callback;
  CControlUI* root = builder.CreateFromSource(testskins::GridSkin(width, height, 10, 29, kinds).c_str(), nullptr,
                                              &callback, &manager);
  if (root == nullptr || !manager.AttachRootControl(root)) return -1;
  const CUIRect all(0, 0, width, height);
  root->SetPos(all);

  OwnedMemoryDC dc(CreateCompatibleDC(manager.GetPaintDC()));
  OwnedMemoryDC copyDc(CreateCompatibleDC(manager.GetPaintDC()));
  BYTE* bits = nullptr;
  BYTE* copyBits = nullptr;
  OwnedBitmap target = CDrawEngine::CreateARGB32Bitmap(dc.Get(), width, height, &bits);
  OwnedBitmap copy = CDrawEngine::CreateARGB32Bitmap(copyDc.Get(), width, height, &copyBits);
  SelectObjectScope selectTarget(dc.Get(), target.Get());
  SelectObjectScope selectCopy(copyDc.Get(), copy.Get());

  root->Paint(dc.Get(), all, nullptr);  // warm-up: fonts measured, pictures loaded
  const double paintMs = MedianMs(runs, [&] {
    root->Paint(dc.Get(), all, nullptr);
    GdiFlush();
  });
  if (blitMs != nullptr) {
    *blitMs = MedianMs(runs, [&] {
      BitBlt(copyDc.Get(), 0, 0, width, height, dc.Get(), 0, 0, SRCCOPY);
      GdiFlush();
    });
  }
  if (controls != nullptr) *controls = CountControls(root);
  return paintMs;
}

}  // namespace

int main() {
  const int width = 1024, height = 720, runs = 41;
  ScratchFolder folder(L"quillora_bench");
  ScratchFolder::WriteFileBytes(folder / L"frame.bmp", testskins::FramePicture());
  ScratchFolder::WriteFileBytes(folder / L"tile.bmp", testskins::TilePicture());
  CWindowManagerUI::SetResourcePath(folder.path().c_str());

  int controls = 0;
  double blitMs = 0;
  const double paintMs = RepaintMs(L"gftm", width, height, runs, &controls, &blitMs);
  if (paintMs < 0) {
    std::printf("ui_paint_bench: the bench skin did not build\n");
    return 1;
  }
  std::printf("full repaint of a %dx%d tree of %d controls into a memory DC, median of %d runs:\n", width, height,
              controls, runs);
  std::printf("  %-44s %8.2f ms  (target under 16 ms)\n", "repaint of the whole tree", paintMs);
  std::printf("  %-44s %8.2f ms\n", "baseline: one BitBlt of that size", blitMs);
  std::printf("  %-44s %8.1f x\n", "repaint / BitBlt", blitMs > 0 ? paintMs / blitMs : 0.0);

  // Where the time goes: the same tree with every cell of one kind.
  const struct {
    const wchar_t* kinds;
    const char* what;
  } parts[] = {{L"c", "cells all plain colour"},
               {L"g", "cells all gradient with round border"},
               {L"f", "cells all nine-grid picture"},
               {L"t", "cells all tiled picture"},
               {L"m", "cells all markup text"}};
  std::printf("the same tree with one kind of cell (for finding the cost):\n");
  for (const auto& part : parts) {
    std::printf("  %-44s %8.2f ms\n", part.what, RepaintMs(part.kinds, width, height, runs, nullptr, nullptr));
  }
  return 0;
}
