// Test cases run alone: they drive the keyboard focus and the mouse of the one test desktop, which other tests' windows would take.
// Start-up decisions that need no running program: the elevation check and
// the crash handler's names and reporter command line.
#include "app/CrashDump.h"
#include "app/StartupChecks.h"

#include <gtest/gtest.h>

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
