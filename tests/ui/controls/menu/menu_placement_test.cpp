// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Where menu windows land, as pure arithmetic against made-up work areas: a
// top-level menu by its alignment (and left where that puts it), a sub-menu
// beside its parent menu, flipping left and up at the edges and continuing a
// chain that already runs left or up. Also the observer's register of open
// menus and its check map.
#include <gtest/gtest.h>

#include "ui/controls/menu/MenuObserver.h"
#include "ui/controls/menu/MenuPlacement.h"
#include "ui/controls/menu/MenuReceiver.h"

using namespace Trellis;

namespace {

const CUIRect kWork(0, 0, 1000, 700);

struct Rect {
  long l, t, r, b;
};
void ExpectRect(const Rect& want, const CUIRect& got, const char* label) {
  EXPECT_EQ(want.l, got.left) << label;
  EXPECT_EQ(want.t, got.top) << label;
  EXPECT_EQ(want.r, got.right) << label;
  EXPECT_EQ(want.b, got.bottom) << label;
}

TEST(MenuPlacementTest, TopLevelFollowsItsAlignmentAndIsNotMovedIntoTheWorkArea) {
  // The work area is 0..1000 x 0..700; the menu 150 x 200.
  struct Case {
    const char* label;
    CUIPoint point;
    unsigned alignment;
    Rect want;
  } cases[] = {
      {"left/top at the point", {100, 100}, CMenuPlacement::kAlignDefault, {100, 100, 250, 300}},
      {"right edge at the point", {400, 100}, CMenuPlacement::kAlignRight, {250, 100, 400, 300}},
      {"bottom edge at the point", {100, 400}, CMenuPlacement::kAlignBottom | 2, {100, 200, 250, 400}},
      {"right and bottom edges at the point", {400, 400}, CMenuPlacement::kAlignRight | CMenuPlacement::kAlignBottom,
       {250, 200, 400, 400}},
      {"past the right edge stays there", {950, 100}, CMenuPlacement::kAlignDefault, {950, 100, 1100, 300}},
      {"past the bottom stays there", {100, 650}, CMenuPlacement::kAlignDefault, {100, 650, 250, 850}},
      {"before the left edge stays there", {50, 100}, CMenuPlacement::kAlignRight, {-100, 100, 50, 300}},
      {"above the top stays there", {100, -40}, CMenuPlacement::kAlignDefault, {100, -40, 250, 160}},
  };
  for (const Case& c : cases) {
    ExpectRect(c.want, CMenuPlacement::PlaceTopLevel(c.point, CUISize(150, 200), c.alignment), c.label);
  }
}

TEST(MenuPlacementTest, TopLevelLargerThanTheWorkAreaKeepsItsSizeAndItsPoint) {
  const CUIRect rc = CMenuPlacement::PlaceTopLevel(CUIPoint(500, 500), CUISize(1200, 900),
                                                   CMenuPlacement::kAlignDefault);
  EXPECT_EQ(500, rc.left);
  EXPECT_EQ(500, rc.top);
  EXPECT_EQ(1200, rc.GetWidth());
  EXPECT_EQ(900, rc.GetHeight());
}

TEST(MenuPlacementTest, SubMenuOpensBesideItsParentAndFlipsAtTheEdges) {
  // Parent menu at 200..350 x 100..400, the owner item's top at 160; the
  // sub-menu is 120 wide and 90 high.
  const CUIRect parent(200, 100, 350, 400);
  struct Case {
    const char* label;
    UICoord ownerTop;
    CUIRect work;
    bool reachRight, reachBottom;
    Rect want;
  } cases[] = {
      {"right of the parent, level with the owner", 160, kWork, false, false, {350, 160, 472, 250}},
      {"flips up at the bottom edge", 660, kWork, false, false, {350, 570, 472, 660}},
      {"opens left at the right edge", 160, CUIRect(0, 0, 400, 700), false, false, {80, 160, 200, 250}},
      {"flips both ways in a corner", 660, CUIRect(0, 0, 400, 700), false, false, {80, 570, 200, 660}},
      {"continues a chain that runs left", 160, kWork, true, false, {80, 160, 200, 250}},
      {"continues a chain that runs up", 160, kWork, false, true, {350, 10, 472, 100}},
      {"a flip up past the top goes back to the owner", 60, CUIRect(0, 50, 1000, 100), false, false,
       {350, 60, 472, 150}},
  };
  for (const Case& c : cases) {
    ExpectRect(c.want, CMenuPlacement::PlaceSubMenu(c.ownerTop, 120, 90, parent, c.reachRight, c.reachBottom, c.work),
               c.label);
  }
}

// A receiver that writes down what it received.
class RecordingReceiver : public ReceiverImpl {
 public:
  explicit RecordingReceiver(std::vector<int>* log, int id) : m_log(log), m_id(id) {}
  BOOL Receive(int type, HWND) override {
    m_log->push_back(m_id * 10 + type);
    return TRUE;
  }

 private:
  std::vector<int>* m_log;
  int m_id;
};

TEST(MenuObserverTest, BroadcastsFromTheLastReceiverAndForgetsReceiversThatLeave) {
  ObserverImpl observer;
  std::vector<int> log;
  RecordingReceiver first(&log, 1);
  {
    RecordingReceiver second(&log, 2);
    RecordingReceiver third(&log, 3);
    observer.AddReceiver(&first);
    observer.AddReceiver(&second);
    observer.AddReceiver(nullptr);
    observer.AddReceiver(&third);
    EXPECT_EQ(3, observer.GetReceiverCount());
    observer.Broadcast(1, nullptr);
    EXPECT_EQ((std::vector<int>{31, 21, 11}), log);
    second.DetachFromObservers();
    EXPECT_EQ(2, observer.GetReceiverCount());
  }  // third is destroyed still registered: it leaves by itself
  EXPECT_EQ(1, observer.GetReceiverCount());
  log.clear();
  observer.Broadcast(2, nullptr);
  EXPECT_EQ((std::vector<int>{12}), log);
  first.DetachFromObservers();
}

TEST(MenuObserverTest, EachTopLevelMenuReplacesTheManagerAndTheCheckMap) {
  ObserverImpl observer;
  CMenuCheckMap first;
  auto* someManager = reinterpret_cast<CWindowManagerUI*>(&first);  // only compared, never used
  observer.BeginTopLevelMenu(someManager, &first);
  EXPECT_EQ(someManager, observer.GetManager());
  EXPECT_EQ(&first, observer.GetCheckMap());
  observer.SetManager(nullptr);  // the plain setter keeps the old manager
  EXPECT_EQ(someManager, observer.GetManager());
  // A later menu without a map must not go on writing into the first caller's map.
  observer.BeginTopLevelMenu(nullptr, nullptr);
  EXPECT_EQ(nullptr, observer.GetManager());
  EXPECT_EQ(nullptr, observer.GetCheckMap());
}

}  // namespace
