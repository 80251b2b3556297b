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

DWORD ReportEventThread(const UsageReport& report, const StopToken& stop) {
  if (!RequestEnveloped(*report.state, kEnvelopeReport, FormatUsageReport(report), nullptr, &stop)) {
    DebugTrace(L"usage report %d was not sent", report.reportDetail);
  }
  return 0;
}

UsageReports::~UsageReports() {
  for (WorkerThread& worker : m_workers) worker.RequestStop();
  const ULONGLONG deadline = GetTickCount64() + kStopWaitMs;
  for (WorkerThread& worker : m_workers) {
    const ULONGLONG now = GetTickCount64();
    if (!worker.Stop(now < deadline ? static_cast<DWORD>(deadline - now) : 0)) {
      DebugTrace(L"usage report: a report still running at the end is let go");
    }
  }
}

bool UsageReports::Start(const UsageReport& report, HANDLE* ended) {
  m_workers.remove_if([](const WorkerThread& worker) { return !worker.IsRunning(); });
  WorkerThread& worker = m_workers.emplace_back();
  if (!worker.Start([report](const StopToken& stop) { ReportEventThread(report, stop); })) {
    m_workers.pop_back();
    return false;
  }
  if (ended != nullptr) *ended = worker.WaitHandle().Release();
  return true;
}

int UsageReports::Running() const {
  int running = 0;
  for (const WorkerThread& worker : m_workers) running += worker.IsRunning() ? 1 : 0;
  return running;
}

bool StartUsageReport(ClientState& state, int detail, HANDLE* ended) {
  return state.usageReports.Start(UsageReport{&state, kReportTypeUsage, detail}, ended);
}
