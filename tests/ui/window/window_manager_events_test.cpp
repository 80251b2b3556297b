// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Control timers and notifications of the window manager under Wine: native
// timer ids, timer events through real WM_TIMER messages, the asynchronous
// notification queue (merging, senders that go away, listeners that rebuild
// the tree while it is flushed).
#include <gtest/gtest.h>

#include <set>

#include "tests/ui/window/ManagerTestWindow.h"

using namespace managertest;

class ManagerTimers : public ManagerFixture {};

TEST_F(ManagerTimers, NewTimersTakeTheLowestFreeNativeIdFrom17) {
  ProbeControl* a = AddProbe(L"a", L"10,10,60,40");
  ProbeControl* b = AddProbe(L"b", L"70,10,120,40");
  ASSERT_TRUE(manager().SetControlTimer(a, 1, 15));
  ASSERT_TRUE(manager().SetControlTimer(b, 1, 15));
  ASSERT_TRUE(manager().SetControlTimer(a, 2, 15));
  EXPECT_EQ(manager().GetNativeTimerId(a, 1), 17u);
  EXPECT_EQ(manager().GetNativeTimerId(b, 1), 18u);
  EXPECT_EQ(manager().GetNativeTimerId(a, 2), 19u);
  EXPECT_FALSE(manager().SetControlTimer(a, 1, 15)) << "a running timer is not started twice";

  manager().KillControlTimers(b);  // frees 18
  ASSERT_TRUE(manager().SetControlTimer(b, 5, 15));
  EXPECT_EQ(manager().GetNativeTimerId(b, 5), 18u);

  ASSERT_TRUE(manager().KillControlTimer(a, 1));  // stopped, keeps 17 for a restart
  EXPECT_FALSE(manager().KillControlTimer(a, 1));
  ASSERT_TRUE(manager().SetControlTimer(b, 6, 15));
  EXPECT_EQ(manager().GetNativeTimerId(b, 6), 20u);
  ASSERT_TRUE(manager().SetControlTimer(a, 1, 15));
  EXPECT_EQ(manager().GetNativeTimerId(a, 1), 17u);

  driver().PumpFor(120);
  auto fired = [](const ProbeControl* probe, WPARAM id) {
    for (const SeenEvent& e : probe->events) {
      if (e.kind == kUIEventTimer && e.wParam == id) return true;
    }
    return false;
  };
  EXPECT_TRUE(fired(a, 1));
  EXPECT_TRUE(fired(a, 2));
  EXPECT_TRUE(fired(b, 5));
  EXPECT_TRUE(fired(b, 6));
  EXPECT_FALSE(fired(b, 1)) << "a deleted timer never fires";
  EXPECT_NE(std::find(m_recorder.seen.begin(), m_recorder.seen.end(), L"timer:a"), m_recorder.seen.end());
}

TEST_F(ManagerTimers, LiveTimersNeverShareANativeId) {
  ProbeControl* a = AddProbe(L"a", L"10,10,60,40");
  std::set<UINT> ids;
  UINT id = 0;
  while (manager().SetControlTimer(a, id, 10000)) ids.insert(manager().GetNativeTimerId(a, id++));
  EXPECT_EQ(ids.size(), static_cast<size_t>(id)) << "every live timer has its own id";
  EXPECT_EQ(id, kControlTimerIdLimit - kFirstControlTimerId);
  EXPECT_EQ(*ids.begin(), kFirstControlTimerId);
  EXPECT_LT(*ids.rbegin(), kControlTimerIdLimit);
  manager().KillAllTimers();
  EXPECT_EQ(manager().GetNativeTimerId(a, 0), 0u);
}

class ManagerNotify : public ManagerFixture {
 protected:
  // Lays the window out (its "windowinit" included) and forgets what was heard.
  void SettleQuietly() {
    Settle();
    m_recorder.seen.clear();
    m_recorder.wParams.clear();
  }
};

TEST_F(ManagerNotify, QueuedNotificationsMergeBySenderAndType) {
  ProbeControl* a = AddProbe(L"a", L"10,10,60,40");
  ProbeControl* b = AddProbe(L"b", L"70,10,120,40");
  SettleQuietly();
  manager().SendNotify(a, L"changed", 1, 0, true);
  manager().SendNotify(a, L"changed", 2, 0, true);  // merged into the first, carrying 2
  manager().SendNotify(b, L"changed", 3, 0, true);
  manager().SendNotify(a, L"other", 4, 0, true);
  manager().SendNotify(a, L"twice", 5, 0, true, true);
  manager().SendNotify(a, L"twice", 6, 0, true, true);  // no-merge: both, in order
  EXPECT_EQ(manager().GetQueuedNotifyCount(), 5);
  EXPECT_TRUE(m_recorder.seen.empty()) << "nothing before the flush";

  driver().Pump();
  EXPECT_EQ(m_recorder.seen, (std::vector<std::wstring>{L"changed:a", L"changed:b", L"other:a", L"twice:a", L"twice:a"}));
  EXPECT_EQ(m_recorder.wParams, (std::vector<WPARAM>{2, 3, 4, 5, 6}));
  EXPECT_EQ(manager().GetQueuedNotifyCount(), 0);
}

TEST_F(ManagerNotify, QueuedNotificationsWithoutASenderAreStillDeliveredWithANullSender) {
  ProbeControl* a = AddProbe(L"a", L"10,10,60,40");
  ProbeControl* b = AddProbe(L"b", L"70,10,120,40");
  SettleQuietly();
  manager().SendNotify(b, L"changed", 1, 0, true);
  manager().SendNotify(a, L"changed", 2, 0, true);
  manager().SendNotify(nullptr, L"orphan", 3, 0, true);  // queued like any other
  ASSERT_TRUE(m_root->RemoveItem(b, true));
  b->Delete();
  EXPECT_EQ(manager().GetQueuedNotifyCount(), 3);

  driver().Pump();
  EXPECT_EQ(m_recorder.seen, (std::vector<std::wstring>{L"changed:(null)", L"changed:a", L"orphan:(null)"}));
  EXPECT_EQ(m_recorder.wParams, (std::vector<WPARAM>{1, 2, 3}));
}

// The tree view's way of listening: a delegate on the sender's own source.
struct SenderListener {
  int heard = 0;
  bool Heard(void*) {
    ++heard;
    return false;  // a listener's answer never stops the window's listeners
  }
};

TEST_F(ManagerNotify, AListenerThatDeletesTheSenderDoesNotStopTheDelivery) {
  for (const bool async : {true, false}) {
    SCOPED_TRACE(async ? "queued" : "at once");
    ProbeControl* a = AddProbe(L"a", L"10,10,60,40");
    SenderListener own;
    a->notifyListeners.AddDelegate(CDelegate<SenderListener, SenderListener>(&own, &SenderListener::Heard));
    NotifyRecorder second;
    bool clearedAtOnce = false;
    m_recorder.onNotify = [this, a, &clearedAtOnce](UINotify& notify) {
      if (notify.pSender != a) return;
      m_root->RemoveItem(a, true);
      a->Delete();
      clearedAtOnce = notify.pSender == nullptr;
    };
    SettleQuietly();
    manager().AddNotifier(&second);
    manager().SendNotify(a, L"gone", 5, 0, async);
    driver().Pump();
    EXPECT_EQ(own.heard, 1);
    EXPECT_EQ(m_recorder.seen, (std::vector<std::wstring>{L"gone:a"}));
    EXPECT_TRUE(clearedAtOnce) << "the record keeps no pointer to the freed sender";
    EXPECT_EQ(second.seen, (std::vector<std::wstring>{L"gone:(null)"})) << "later listeners still hear it";
    EXPECT_EQ(second.wParams, (std::vector<WPARAM>{5}));
    manager().RemoveNotifier(&second);
    m_recorder.onNotify = nullptr;
  }
}

TEST_F(ManagerNotify, AListenerMayRebuildTheTreeDuringTheFlush) {
  AddProbe(L"a", L"10,10,60,40");
  AddProbe(L"b", L"70,10,120,40");
  SettleQuietly();
  auto* newRoot = new CContainerUI;
  newRoot->SetName(L"newroot");
  newRoot->SetBkColor(0xFF208040);
  m_recorder.onNotify = [this, newRoot](UINotify& notify) {
    if (notify.sType.EqualsText(L"rebuild")) manager().AttachRootControl(newRoot);
  };
  manager().SendNotify(manager().FindControlByName(L"a"), L"rebuild", 0, 0, true);
  manager().SendNotify(manager().FindControlByName(L"b"), L"stale", 0, 0, true);

  driver().Pump();
  m_root = newRoot;
  // The old tree's queue went with it ("stale:b" never comes); the new tree
  // is initialised by its first paint.
  EXPECT_EQ(m_recorder.seen, (std::vector<std::wstring>{L"rebuild:a", L"windowinit:newroot"}));
  EXPECT_EQ(manager().GetRootControl(), newRoot);
  EXPECT_EQ(manager().FindControlByName(L"a"), nullptr);
  EXPECT_EQ(manager().FindControlByName(L"newroot"), newRoot);
  Settle();
  Screenshot(L"window-manager-rebuilt.png");
}
