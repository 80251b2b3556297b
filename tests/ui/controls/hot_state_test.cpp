// The hot state shared by the edit, the combo box, the list header item and
// the list items: set on entering, kept while a leave reports a point still
// inside the control (a native child window took the mouse), cleared on the
// real leave, never changed while disabled, repainted only on a change.
#include <gtest/gtest.h>

#include "ui/control/ControlUI.h"
#include "ui/control/UIEvent.h"
#include "ui/controls/HotState.h"

using namespace Trellis;

namespace {

int g_repaints = 0;
void CountRepaint(CControlUI*) { ++g_repaints; }

TEST(HotStateTest, EnterAndLeaveSetAndClearTheHotBitOnlyWhenTheyMeanIt) {
  const CUIPoint inside(20, 15);
  const CUIPoint outside(200, 15);
  struct Case {
    const char* label;
    bool enabled;
    UINT before;
    int type;
    CUIPoint at;
    UINT after;
    int repaints;
  };
  const Case cases[] = {
      {"enter inside", true, 0, kUIEventMouseEnter, inside, kUIStateHot, 1},
      {"enter again", true, kUIStateHot, kUIEventMouseEnter, inside, kUIStateHot, 0},
      {"enter reported outside", true, 0, kUIEventMouseEnter, outside, 0, 0},
      {"enter while disabled", false, 0, kUIEventMouseEnter, inside, 0, 0},
      {"leave with the point still inside", true, kUIStateHot, kUIEventMouseLeave, inside, kUIStateHot, 0},
      {"leave outside", true, kUIStateHot | kUIStatePushed, kUIEventMouseLeave, outside, kUIStatePushed, 1},
      {"leave while disabled", false, kUIStateHot, kUIEventMouseLeave, outside, kUIStateHot, 0},
  };
  for (const Case& c : cases) {
    CControlUI control;
    control.SetPos(CUIRect(10, 10, 110, 30), false);
    control.SetEnabled(c.enabled);
    UIEvent event;
    event.Type = c.type;
    event.pSender = &control;
    event.ptMouse = c.at;
    UINT state = c.before;
    g_repaints = 0;
    EXPECT_TRUE(TrackHotState(control, event, state, CountRepaint)) << c.label;
    EXPECT_EQ(state, c.after) << c.label;
    EXPECT_EQ(g_repaints, c.repaints) << c.label;
  }

  // Every other event is left to the control.
  CControlUI control;
  control.SetPos(CUIRect(10, 10, 110, 30), false);
  UIEvent move;
  move.Type = kUIEventMouseMove;
  move.ptMouse = inside;
  UINT state = 0;
  EXPECT_FALSE(TrackHotState(control, move, state, CountRepaint));
  EXPECT_EQ(state, 0u);
}

}  // namespace
