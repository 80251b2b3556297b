#pragma once

#include <windows.h>

#include <string>

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

// One report, handed to its thread with the values it sends, so a report
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

// Sends one report (flags 1, the reply is not read). Takes over the heap
// `UsageReport` it is given and deletes it. Returns 0.
DWORD WINAPI ReportEventThread(LPVOID usageReport);

// Starts a report thread for `detail` (type 6). The thread handle goes to
// `thread` when given (the caller closes it), else it is closed here. False
// when the thread could not be created.
bool StartUsageReport(ClientState& state, int detail, HANDLE* thread = nullptr);
