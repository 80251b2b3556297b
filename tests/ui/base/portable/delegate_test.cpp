#include "ui/base/portable/Delegate.h"

#include <gtest/gtest.h>

#include <string>

using Trellis::CDelegate;
using Trellis::CUIEventSource;

namespace {

// A listener whose handlers are virtual, and which has a second base, so its
// member-function pointers carry an adjustment and a virtual slot: such a
// pointer does not fit a data pointer.
struct Base1 {
  virtual ~Base1() = default;
  int padding = 0;
};
struct Listener {
  virtual ~Listener() = default;
  virtual bool OnFirst(void* arg) { return Record("first", arg, true); }
  virtual bool OnVeto(void* arg) { return Record("veto", arg, false); }
  bool OnPlain(void* arg) { return Record("plain", arg, true); }
  bool Record(const char* what, void* arg, bool result) {
    log += std::string(what) + ":" + name + ":" + static_cast<const char*>(arg) + " ";
    return result;
  }
  std::string name;
  std::string log;
};
struct Derived : Base1, Listener {
  bool OnFirst(void* arg) override { return Record("derived", arg, true); }
};

using ListenerDelegate = CDelegate<Listener, Listener>;

TEST(Delegate, CallsVirtualOperationsThroughTheStoredPointer) {
  Derived derived;
  derived.name = "d";
  CDelegate<Derived, Listener> first(&derived, &Listener::OnFirst);
  char arg[] = "x";
  EXPECT_TRUE(first.Call(arg));
  EXPECT_EQ(derived.log, "derived:d:x ");
  Trellis::CDelegateBase* copy = first.Copy();
  EXPECT_TRUE(copy->Equals(first));
  EXPECT_EQ(copy->GetObject(), first.GetObject());
  EXPECT_TRUE(copy->Invoke(arg));
  EXPECT_EQ(derived.log, "derived:d:x derived:d:x ");
  delete copy;
}

TEST(Delegate, EqualsComparesObjectAndMethod) {
  Listener a, b;
  EXPECT_TRUE(ListenerDelegate(&a, &Listener::OnFirst).Equals(ListenerDelegate(&a, &Listener::OnFirst)));
  EXPECT_FALSE(ListenerDelegate(&a, &Listener::OnFirst).Equals(ListenerDelegate(&b, &Listener::OnFirst)));
  EXPECT_FALSE(ListenerDelegate(&a, &Listener::OnFirst).Equals(ListenerDelegate(&a, &Listener::OnVeto)));
  EXPECT_FALSE(ListenerDelegate(&a, &Listener::OnPlain).Equals(ListenerDelegate(&a, &Listener::OnFirst)));
}

TEST(UIEventSource, AddsOnceInvokesInOrderAndStopsAtAVeto) {
  Listener a, b;
  a.name = "a";
  b.name = "b";
  CUIEventSource source;
  char arg[] = "n";
  EXPECT_FALSE(source.HasDelegates());
  EXPECT_TRUE(source.Invoke(arg));  // an empty source lets everything through

  source.AddDelegate(ListenerDelegate(&a, &Listener::OnFirst));
  source.AddDelegate(ListenerDelegate(&a, &Listener::OnFirst));  // same pair: ignored
  source.AddDelegate(ListenerDelegate(&b, &Listener::OnFirst));  // same method, other object
  EXPECT_TRUE(source.HasDelegates());
  EXPECT_TRUE(source.Invoke(arg));
  EXPECT_EQ(a.log + b.log, "first:a:n first:b:n ");

  a.log.clear();
  b.log.clear();
  CUIEventSource vetoed;
  vetoed.AddDelegate(ListenerDelegate(&a, &Listener::OnFirst));
  vetoed.AddDelegate(ListenerDelegate(&a, &Listener::OnVeto));
  vetoed.AddDelegate(ListenerDelegate(&b, &Listener::OnPlain));
  EXPECT_FALSE(vetoed.Invoke(arg));
  EXPECT_EQ(a.log, "first:a:n veto:a:n ");
  EXPECT_EQ(b.log, "");  // the third is never called
}

// Takes its own delegate, or another listener's, out of the source while it runs.
struct Leaver {
  bool OnLeave(void* arg) {
    log += "leave ";
    source->RemoveDelegate(CDelegate<Leaver, Leaver>(target, &Leaver::OnLeave));
    (void)arg;
    return true;
  }
  bool OnStay(void*) {
    log += "stay ";
    return true;
  }
  CUIEventSource* source = nullptr;
  Leaver* target = nullptr;
  std::string log;
};

TEST(UIEventSource, RemovedDelegatesAreNotCalledAgainAlsoWhenRemovedWhileRunning) {
  Listener a, b;
  a.name = "a";
  b.name = "b";
  CUIEventSource source;
  char arg[] = "n";
  source.AddDelegate(ListenerDelegate(&a, &Listener::OnFirst));
  source.AddDelegate(ListenerDelegate(&b, &Listener::OnFirst));
  source.RemoveDelegate(ListenerDelegate(&b, &Listener::OnVeto));  // not held: nothing
  source.RemoveDelegate(ListenerDelegate(&a, &Listener::OnFirst));
  EXPECT_TRUE(source.Invoke(arg));
  EXPECT_EQ(a.log + b.log, "first:b:n ");
  source.RemoveDelegate(ListenerDelegate(&b, &Listener::OnFirst));
  EXPECT_FALSE(source.HasDelegates());

  // A listener that leaves while the source runs: the one after it is still
  // called, and the leaver is not called on the next run.
  CUIEventSource running;
  Leaver leaver, stayer;
  leaver.source = &running;
  leaver.target = &leaver;
  running.AddDelegate(CDelegate<Leaver, Leaver>(&leaver, &Leaver::OnLeave));
  running.AddDelegate(CDelegate<Leaver, Leaver>(&stayer, &Leaver::OnStay));
  EXPECT_TRUE(running.Invoke(arg));
  EXPECT_EQ(leaver.log + stayer.log, "leave stay ");
  EXPECT_TRUE(running.Invoke(arg));
  EXPECT_EQ(leaver.log + stayer.log, "leave stay stay ");
  EXPECT_TRUE(running.HasDelegates());
}

}  // namespace
