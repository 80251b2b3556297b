#include "core/base/WorkerThread.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>

namespace {

// A manual-reset event the test owns.
struct Signal {
  OwnedHandle event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  void Set() const { SetEvent(event.Get()); }
  bool WaitFor(DWORD ms) const { return WaitForSingleObject(event.Get(), ms) == WAIT_OBJECT_0; }
};

TEST(WorkerThreadTest, AStoppedWorkerSeesItsTokenAndEndsWithinTheBound) {
  WorkerThread worker;
  Signal started;
  std::atomic<bool> sawStop{false};
  ASSERT_TRUE(worker.Start([&](const StopToken& stop) {
    started.Set();
    // Waits far longer than the test: only the token ends it.
    sawStop = stop.WaitFor(60000) && stop.StopRequested() && stop.Flag().load() &&
              WaitForSingleObject(stop.Event(), 0) == WAIT_OBJECT_0;
  }));
  ASSERT_TRUE(started.WaitFor(5000));
  EXPECT_TRUE(worker.IsRunning());
  EXPECT_FALSE(worker.Start([](const StopToken&) {})) << "a second thread in a busy slot";

  EXPECT_TRUE(worker.Stop(5000));
  EXPECT_TRUE(sawStop.load());
  EXPECT_FALSE(worker.IsRunning());
  EXPECT_TRUE(worker.Token()->StopRequested());
}

TEST(WorkerThreadTest, AnEndedSlotStartsAgainWithAFreshToken) {
  WorkerThread worker;
  EXPECT_EQ(worker.Token(), nullptr);
  EXPECT_TRUE(worker.Stop(0)) << "nothing ran";
  for (int run = 0; run < 2; ++run) {
    std::atomic<bool> stopAtStart{true};
    ASSERT_TRUE(worker.Start([&](const StopToken& stop) { stopAtStart = stop.StopRequested(); })) << run;
    ASSERT_TRUE(worker.Join(5000)) << run;
    EXPECT_FALSE(stopAtStart.load()) << run;
    EXPECT_FALSE(worker.Token()->StopRequested()) << run;
    worker.RequestStop();  // the last token only; the next start gets its own
  }
}

// A worker that ignores its token past the bound is let go: the slot is free
// at once, and what the thread uses (its token, its function's captures)
// lives until it ends.
TEST(WorkerThreadTest, AWorkerThatOutlivesItsStopKeepsItsTokenAndCaptures) {
  Signal started, release, finished;
  auto captured = std::make_shared<int>(7);
  std::weak_ptr<int> watch = captured;
  std::atomic<int> seen{0};
  std::shared_ptr<const StopToken> oldToken;
  {
    WorkerThread worker;
    ASSERT_TRUE(worker.Start([&started, &release, &finished, &seen, captured](const StopToken& stop) {
      started.Set();
      release.WaitFor(10000);
      seen = *captured + (stop.StopRequested() ? 100 : 0);
      finished.Set();
    }));
    captured.reset();
    ASSERT_TRUE(started.WaitFor(5000));
    EXPECT_FALSE(worker.Stop(100));
    EXPECT_FALSE(worker.IsRunning()) << "the slot is free after a stop";
    oldToken = worker.Token();
    ASSERT_TRUE(worker.Start([](const StopToken&) {}));
    EXPECT_TRUE(worker.Join(5000));
  }  // the slot is gone; the first thread still runs
  EXPECT_FALSE(watch.expired());
  release.Set();
  ASSERT_TRUE(finished.WaitFor(5000));
  EXPECT_EQ(seen.load(), 107);
  EXPECT_TRUE(oldToken->StopRequested());
  for (int i = 0; i < 100 && !watch.expired(); ++i) Sleep(20);
  EXPECT_TRUE(watch.expired()) << "the captures go when the thread ends";
}

TEST(WorkerThreadTest, TheSlotsEndStopsItsThread) {
  std::atomic<bool> ended{false};
  {
    WorkerThread worker;
    ASSERT_TRUE(worker.Start([&](const StopToken& stop) {
      stop.WaitFor(60000);
      ended = true;
    }));
  }
  EXPECT_TRUE(ended.load());
}

// The wait handle of a running thread is signalled at its end, outlives the
// slot and cannot end the thread; without a thread there is none.
TEST(WorkerThreadTest, TheWaitHandleServesOnlyToWaitForTheEnd) {
  WorkerThread worker;
  EXPECT_FALSE(worker.WaitHandle());
  Signal release;
  ASSERT_TRUE(worker.Start([&release](const StopToken&) { release.WaitFor(10000); }));
  OwnedHandle ended = worker.WaitHandle();
  ASSERT_TRUE(ended);
  EXPECT_FALSE(TerminateThread(ended.Get(), 0));
  EXPECT_EQ(WaitForSingleObject(ended.Get(), 100), static_cast<DWORD>(WAIT_TIMEOUT));
  release.Set();
  EXPECT_EQ(WaitForSingleObject(ended.Get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(worker.Join(5000));
  EXPECT_FALSE(worker.WaitHandle());
}

// Routines one after another run on the same thread, each with a fresh
// token; a busy slot refuses another start.
TEST(KeptWorkerThreadTest, TheNextRoutineRunsOnTheKeptThreadWithAFreshToken) {
  KeptWorkerThread worker;
  EXPECT_TRUE(worker.Stop(0)) << "nothing ran";
  DWORD firstThread = 0;
  for (int run = 0; run < 3; ++run) {
    std::atomic<DWORD> thread{0};
    std::atomic<bool> stopAtStart{true};
    Signal release;
    ASSERT_TRUE(worker.Start([&](const StopToken& stop) {
      thread = GetCurrentThreadId();
      stopAtStart = stop.StopRequested();
      release.WaitFor(10000);
    })) << run;
    EXPECT_TRUE(worker.IsRunning()) << run;
    EXPECT_FALSE(worker.Start([](const StopToken&) {})) << "a second routine in a busy slot, run " << run;
    EXPECT_FALSE(worker.Join(50)) << run;
    release.Set();
    ASSERT_TRUE(worker.Join(5000)) << run;
    EXPECT_FALSE(worker.IsRunning()) << run;
    EXPECT_FALSE(stopAtStart.load()) << run;
    EXPECT_NE(thread.load(), GetCurrentThreadId()) << run;
    if (run == 0) firstThread = thread.load();
    EXPECT_EQ(thread.load(), firstThread) << "run " << run << " ran on a new thread";
    worker.RequestStop();  // the last routine's token only
  }
}

// A stopped routine sees its token; one that ignores it past the bound is let
// go with its thread (keeping its captures until it returns), and the next
// start runs on a new thread at once.
TEST(KeptWorkerThreadTest, ARoutineThatOutlivesItsStopIsLetGoWithItsThread) {
  KeptWorkerThread worker;
  std::atomic<bool> sawStop{false};
  ASSERT_TRUE(worker.Start([&](const StopToken& stop) { sawStop = stop.WaitFor(60000); }));
  EXPECT_TRUE(worker.Stop(5000));
  EXPECT_TRUE(sawStop.load());

  Signal started, release, finished;
  auto captured = std::make_shared<int>(7);
  std::weak_ptr<int> watch = captured;
  std::atomic<DWORD> stuckThread{0};
  ASSERT_TRUE(worker.Start([&, captured](const StopToken&) {
    stuckThread = GetCurrentThreadId();
    started.Set();
    release.WaitFor(10000);
    finished.Set();
  }));
  captured.reset();
  ASSERT_TRUE(started.WaitFor(5000));
  EXPECT_FALSE(worker.Stop(50));
  EXPECT_FALSE(worker.IsRunning()) << "the slot is free once the routine is let go";
  EXPECT_FALSE(watch.expired()) << "the let-go routine still holds its captures";

  std::atomic<DWORD> nextThread{0};
  ASSERT_TRUE(worker.Start([&](const StopToken&) { nextThread = GetCurrentThreadId(); }));
  ASSERT_TRUE(worker.Join(5000));
  EXPECT_NE(nextThread.load(), 0u);
  EXPECT_NE(nextThread.load(), stuckThread.load());

  release.Set();
  ASSERT_TRUE(finished.WaitFor(5000));
  for (int i = 0; i < 100 && !watch.expired(); ++i) Sleep(10);
  EXPECT_TRUE(watch.expired()) << "the captures go when the routine returns";
}

// The slot's end stops the routine and ends the kept thread.
TEST(KeptWorkerThreadTest, TheSlotsEndStopsItsRoutineAndEndsItsThread) {
  std::atomic<bool> ended{false};
  std::atomic<DWORD> threadId{0};
  {
    KeptWorkerThread worker;
    ASSERT_TRUE(worker.Start([&](const StopToken& stop) {
      threadId = GetCurrentThreadId();
      stop.WaitFor(60000);
      ended = true;
    }));
    for (int i = 0; i < 500 && threadId.load() == 0; ++i) Sleep(10);
  }
  EXPECT_TRUE(ended.load());
  OwnedHandle thread(OpenThread(SYNCHRONIZE, FALSE, threadId.load()));
  // An ended thread may already be gone; one still open must have ended.
  if (thread) {
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
  }
}

TEST(StopTokenTest, AWaitEndsAtItsTimeOrAtTheStop) {
  StopToken token;
  const ULONGLONG before = GetTickCount64();
  EXPECT_FALSE(token.WaitFor(50));
  EXPECT_GE(GetTickCount64() - before, 40u);

  WorkerThread setter;
  ASSERT_TRUE(setter.Start([&token](const StopToken&) {
    Sleep(50);
    token.RequestStop();
  }));
  EXPECT_TRUE(token.WaitFor(10000));
  EXPECT_TRUE(token.WaitFor(0)) << "a stop stays set";
  setter.Join(5000);
}

}  // namespace
