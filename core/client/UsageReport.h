#pragma once
// Usage reports: what one report sends, and UsageReports, which owns the
// workers of the reports on their way (the client state holds it).

#include <windows.h>

#include <list>
#include <string>

#include "core/base/WorkerThread.h"

class ClientState;

// Usage reports: type 6 with a detail value saying what happened.
constexpr int kReportTypeUsage = 6;

enum ReportDetail : int {
  kReportStartup = 0,               // start-up, once the main window object exists
  kReportOpenSpeechToText = 1,      // the speech-to-text page opened from the home page
  kReportOpenTextToSpeech = 2,      // the text-to-speech page opened from the home page
  kReportReturnHome = 3,            // back to the home page ("btnReturn")
  kReportSpeechToTextStart = 5,     // speech-to-text conversion of all rows starts
  kReportListenTest = 6,            // listen test ("btnPlayVoice")
  kReportTextToSpeechStart = 7,     // text-to-speech conversion starts
  kReportQuitConfirmed = 8,         // the user confirmed quitting
  kReportLoginWindow = 9,           // the login window is constructed
  kReportLoginDone = 10,            // a login completed
  kReportCustomerService = 11,      // the customer-service button ("kefuBtn")
  kReportBackgroundMusic = 17,      // background music change ("btnChangeBgm")
  kReportVoiceChange = 18,          // voice change ("btnChangeAnchor")
  kReportVoiceTaken = 19,           // a voice is taken into use
  kReportEmotionChosen = 20,        // an emotion option is chosen
};

// One report, handed to its worker with the values it sends, so a report
// started right after it cannot change what it sends.
struct UsageReport {
  ClientState* state;  // borrowed; lives for the whole run
  int reportType;
  int reportDetail;
};

// The request text of a report: openid from the account record (empty when
// nobody is signed in), the device identifier, soft id, version, type, channel
// id (the "channel.dat" id for the start-up report, else 0) and the detail.
std::string FormatUsageReport(const UsageReport& report);

// Sends one report (flags 1, the reply is not read); `stop`, its worker's
// token, aborts the request. Returns 0.
DWORD ReportEventThread(const UsageReport& report, const StopToken& stop);

// The reports on their way, one worker each. A report runs until it has been
// sent (or has failed); a finished one frees its worker at the next Start.
// When the owner goes (the program's end), what still runs is stopped within
// one bound in all: its request is aborted, and a worker that still does not
// end is let go. Used on one thread (the UI thread).
class UsageReports {
 public:
  // The bound of the stop at the owner's end, for all reports together.
  static constexpr DWORD kStopWaitMs = 2000;

  UsageReports() = default;
  ~UsageReports();
  UsageReports(const UsageReports&) = delete;
  UsageReports& operator=(const UsageReports&) = delete;

  // Starts sending `report`. `ended`, when given, receives a handle that is
  // signalled once the report has ended, for waiting only (the caller closes
  // it). False when no worker could be started.
  bool Start(const UsageReport& report, HANDLE* ended);
  // Reports still on their way.
  int Running() const;

 private:
  std::list<WorkerThread> m_workers;  // WorkerThread cannot move: a list keeps them in place
};

// Starts a report for `detail` (type 6) among the state's reports. `ended`:
// see UsageReports::Start. False when it could not be started.
bool StartUsageReport(ClientState& state, int detail, HANDLE* ended = nullptr);
