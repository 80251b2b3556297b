#pragma once
// What the window managers of the process share (used only by the
// WindowManager*.cpp files): the list of bound managers, the program
// instance, the shared resource set, the plug-in creators and the show-dirty
// pen. Created by the first manager, lives until the process ends. UI thread only.

#include <windows.h>

#include "core/base/ScopedHandle.h"
#include "ui/base/portable/UIPtrArray.h"
#include "ui/window/UIResourceSet.h"

namespace Trellis {

struct UIProcessState {
  CUIPtrArray managers;                 // CWindowManagerUI*, in binding order; added by InitForWindow, removed by the destructor
  HINSTANCE instance = nullptr;         // set by SetInstance
  HINSTANCE resourceInstance = nullptr; // never set here: resources come from the program instance
  UIResourceSet shared;                 // shared resources; defaults set by the first manager
  CUIPtrArray plugins;                  // UIPluginCreator functions; nothing adds to it yet
  OwnedPen showDirtyPen;                // red frame of "showdirty"; made by the first manager
  OwnedModule msimg32;                  // loaded once for the drawing engine's blending
  bool defaultsReady = false;           // the first manager's set-up has run
};

UIProcessState& GetProcessState();

// The key state bits of UIEvent (buttons, Shift, Ctrl, Alt) as they are now.
WORD CurrentKeyState();

}  // namespace Trellis
