#include "core/client/UsageReport.h"

#include "core/base/DebugTrace.h"
#include "core/client/ClientState.h"
#include "core/transport/EnvelopedRequest.h"
#include "core/transport/portable/ManagementReply.h"

#include <cstdio>
#include <memory>

std::string FormatUsageReport(const UsageReport& report) {
  const ClientState& state = *report.state;
  int channelId = 0;
  if (report.reportType == kReportTypeUsage && report.reportDetail == kReportStartup) {
    channelId = static_cast<int>(GetPrivateProfileIntW(L"config", L"id", 0, state.channelPath.c_str()));
  }
  const std::string openid = RecordText(state.CopyAccountRecord().openid);
  char request[1024];
  const int length =
      std::snprintf(request, sizeof request,
                    "/client/reportlog?&openid=%s&uuid=%s&softid=%d&version=%d&type=%d&channelId=%d&detail=%d%s",
                    openid.c_str(), state.uuid.c_str(), state.softId, state.version, report.reportType, channelId,
                    report.reportDetail, "");
  // A cut request would report something else; the envelope refuses an empty one.
  return length > 0 && static_cast<size_t>(length) < sizeof request ? std::string(request, length) : std::string();
}

DWORD WINAPI ReportEventThread(LPVOID usageReport) {
  std::unique_ptr<UsageReport> report(static_cast<UsageReport*>(usageReport));
  if (!RequestEnveloped(*report->state, kEnvelopeReport, FormatUsageReport(*report), nullptr)) {
    DebugTrace(L"usage report %d was not sent", report->reportDetail);
  }
  return 0;
}

bool StartUsageReport(ClientState& state, int detail, HANDLE* thread) {
  auto* report = new UsageReport{&state, kReportTypeUsage, detail};
  HANDLE handle = CreateThread(nullptr, 0, ReportEventThread, report, 0, nullptr);
  if (handle == nullptr) {
    delete report;
    return false;
  }
  if (thread != nullptr) {
    *thread = handle;
  } else {
    CloseHandle(handle);
  }
  return true;
}
