// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Start-up decisions that need no running program: the elevation check and
// the crash handler's names and reporter command line.
#include "app/CrashDump.h"
#include "app/FirstPaintGate.h"
#include "app/StartupChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

TEST(ElevationCheck, DecidesByMembershipVersionAndRelaunch) {
  struct Case {
    bool member;
    DWORD major;
    bool relaunchStarts;
    ElevationOutcome expected;
    bool asksForRelaunch;
  };
  const Case cases[] = {
      {true, 5, true, ElevationOutcome::Continue, false},     // administrator on XP
      {true, 6, true, ElevationOutcome::Continue, false},     // administrator on Vista and later
      {true, 10, false, ElevationOutcome::Continue, false},
      {false, 5, true, ElevationOutcome::Continue, false},    // XP has no elevation: go on unelevated
      {false, 6, true, ElevationOutcome::Relaunched, true},   // Vista: relaunch elevated, this one exits
      {false, 10, true, ElevationOutcome::Relaunched, true},
      {false, 6, false, ElevationOutcome::Refused, true},     // relaunch refused or failed: end quietly
  };
  for (const Case& c : cases) {
    bool asked = false;
    ElevationCheck check{[&] { return c.member; }, [&] { return c.major; }, [&] {
                           asked = true;
                           return c.relaunchStarts;
                         }};
    EXPECT_EQ(check.Run(), c.expected) << c.member << " " << c.major << " " << c.relaunchStarts;
    EXPECT_EQ(asked, c.asksForRelaunch) << c.member << " " << c.major;
  }
}

// A second start wakes the running instance only after the elevation check:
// an elevated instance takes the wake-up only from an elevated copy, so an
// unelevated second start relaunches elevated and leaves the wake-up to it.
TEST(StartupSteps, LookForTheInstanceThenElevateThenWakeIt) {
  const HWND runningWindow = reinterpret_cast<HWND>(0x1234);
  struct Case {
    const char* what;
    bool first;
    bool windowFound;
    bool member;
    DWORD major;
    bool relaunchStarts;
    StartupGate expected;
    const char* steps;  // the questions asked and the actions taken, in order
  };
  const Case cases[] = {
      {"first start, administrator", true, false, true, 10, true, StartupGate::Run, "instance admin"},
      {"first start, not elevated", true, false, false, 10, true, StartupGate::Relaunched,
       "instance admin version relaunch"},
      {"first start, relaunch refused", true, false, false, 10, false, StartupGate::End,
       "instance admin version relaunch"},
      {"first start on XP", true, false, false, 5, true, StartupGate::Run, "instance admin version"},
      {"second start, elevated", false, true, true, 10, true, StartupGate::End, "instance find admin wake"},
      {"second start, not elevated: the elevated copy wakes it", false, true, false, 10, true,
       StartupGate::Relaunched, "instance find admin version relaunch"},
      {"second start, relaunch refused", false, true, false, 10, false, StartupGate::End,
       "instance find admin version relaunch"},
      {"second start on XP", false, true, false, 5, true, StartupGate::End, "instance find admin version wake"},
      {"second start, no window appeared", false, false, true, 10, true, StartupGate::End, "instance find admin"},
  };
  for (const Case& c : cases) {
    std::string steps;
    auto step = [&steps](const char* name) { steps += steps.empty() ? name : std::string(" ") + name; };
    HWND woken = nullptr;
    StartupSteps startup{
        [&] {
          step("instance");
          return c.first;
        },
        [&] {
          step("find");
          return c.windowFound ? runningWindow : nullptr;
        },
        ElevationCheck{[&] {
                         step("admin");
                         return c.member;
                       },
                       [&] {
                         step("version");
                         return c.major;
                       },
                       [&] {
                         step("relaunch");
                         return c.relaunchStarts;
                       }},
        [&](HWND window) {
          step("wake");
          woken = window;
        }};
    EXPECT_EQ(startup.Run(), c.expected) << c.what;
    EXPECT_EQ(steps, c.steps) << c.what;
    if (steps.find("wake") != std::string::npos) {
      EXPECT_EQ(woken, runningWindow) << c.what;
    }
  }
}

// A start-up fetch waits for the main window's first paint, but a stop or the
// bound lets it go without one; a gate once open lets every later wait through.
TEST(FirstPaintGate, AWaitEndsAtThePaintAtAStopOrAtItsBound) {
  enum class Meanwhile { kNothing, kPaint, kStop };
  struct Case {
    const char* what;
    bool openedBefore;
    Meanwhile meanwhile;
    DWORD boundMs;
    bool expected;
  };
  const Case cases[] = {
      {"painted before the wait", true, Meanwhile::kNothing, 0, true},
      {"painted during the wait", false, Meanwhile::kPaint, 10000, true},
      {"stopped during the wait", false, Meanwhile::kStop, 10000, false},
      {"neither within the bound", false, Meanwhile::kNothing, 30, false},
  };
  for (const Case& c : cases) {
    FirstPaintGate gate;
    StopToken stop;
    if (c.openedBefore) gate.Open();
    std::thread other([&] {
      Sleep(50);
      if (c.meanwhile == Meanwhile::kPaint) gate.Open();
      if (c.meanwhile == Meanwhile::kStop) stop.RequestStop();
    });
    EXPECT_EQ(gate.Wait(stop, c.boundMs), c.expected) << c.what;
    other.join();
    if (c.meanwhile == Meanwhile::kPaint) {
      EXPECT_TRUE(gate.Wait(stop, 0)) << c.what << ": a later wait";
    }
  }
}

TEST(CrashDump, FileNameHasNoZeroPadding) {
  SYSTEMTIME time = {};
  time.wYear = 2026;
  time.wMonth = 3;
  time.wDay = 7;
  time.wHour = 9;
  time.wMinute = 5;
  time.wSecond = 3;
  EXPECT_EQ(FormatDumpFileName("Client", time), "Client_3-7_9-5-3.dmp");
  time.wMonth = 12;
  time.wDay = 31;
  time.wHour = 23;
  time.wMinute = 59;
  time.wSecond = 58;
  EXPECT_EQ(FormatDumpFileName("Client", time), "Client_12-31_23-59-58.dmp");
}

TEST(CrashDump, ReporterCommandLineHasTheExtraTextOnlyWhenSet) {
  CrashHandlerSettings settings;
  EXPECT_EQ(FormatReporterCommandLine(settings, "Client_3-7_9-5-3.dmp"),
            "./Crashvane.exe quillora.ini,Client_3-7_9-5-3.dmp");
  settings.extraText = "note";
  EXPECT_EQ(FormatReporterCommandLine(settings, "Client_3-7_9-5-3.dmp"),
            "./Crashvane.exe quillora.ini,Client_3-7_9-5-3.dmp,note");
}

}  // namespace
