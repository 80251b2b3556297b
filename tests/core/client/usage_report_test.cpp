#include "core/client/UsageReport.h"

#include "tests/core/client/StandinClientTest.h"

#include <map>

namespace {

class UsageReportTest : public StandinClientTest {
 protected:
  void SetUp() override {
    StandinClientTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_state->channelPath, "[config]\r\nid=77\r\n"));
  }
  // Starts one report per detail, all at once, and waits for them.
  void Report(const std::vector<int>& details) {
    std::vector<HANDLE> threads;
    for (int detail : details) {
      HANDLE thread = nullptr;
      ASSERT_TRUE(StartUsageReport(*m_state, detail, &thread));
      threads.push_back(thread);
    }
    for (HANDLE thread : threads) {
      EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
      CloseHandle(thread);
    }
  }
  // detail -> parameters of the report that carried it.
  std::map<int, Json::Value> ReportsByDetail() const {
    std::map<int, Json::Value> reports;
    for (const Json::Value& entry : RequestsOf("/client/reportlog")) {
      EXPECT_EQ(entry["envelope"]["flags"].asInt(), 1);
      reports[std::stoi(entry["params"]["detail"].asString())] = entry["params"];
    }
    return reports;
  }
};

const std::vector<int> kEveryDetail = {
    kReportStartup,         kReportOpenSpeechToText, kReportOpenTextToSpeech, kReportReturnHome,
    kReportSpeechToTextStart, kReportListenTest,     kReportTextToSpeechStart, kReportQuitConfirmed,
    kReportLoginWindow,     kReportLoginDone,        kReportCustomerService,  kReportBackgroundMusic,
    kReportVoiceChange,     kReportVoiceTaken,       kReportEmotionChosen};

}  // namespace

TEST_F(UsageReportTest, EveryDetailIsSentWithItsOwnValue) {
  // Started back to back: each thread sends the detail it was started with.
  Report(kEveryDetail);
  EXPECT_EQ(m_state->usageReports.Running(), 0);
  const std::map<int, Json::Value> reports = ReportsByDetail();
  ASSERT_EQ(reports.size(), kEveryDetail.size());
  for (int detail : kEveryDetail) {
    ASSERT_EQ(reports.count(detail), 1u) << detail;
    const Json::Value& params = reports.at(detail);
    EXPECT_EQ(params["type"].asString(), "6");
    EXPECT_EQ(params["softid"].asString(), "130");
    EXPECT_EQ(params["version"].asString(), "104");
    EXPECT_EQ(params["uuid"].asString(), m_state->uuid);
    EXPECT_EQ(params["openid"].asString(), "") << "nobody is signed in";
    EXPECT_EQ(params["channelId"].asString(), detail == kReportStartup ? "77" : "0") << detail;
  }
  EXPECT_EQ(kEveryDetail, (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 17, 18, 19, 20}));
}

TEST_F(UsageReportTest, CarriesTheSignedInAccountAndToleratesAMissingChannelFile) {
  SetRecordText(m_state->account->openid, "standin-openid-0001");
  DeleteFileW(m_state->channelPath.c_str());
  Report({kReportStartup});
  const std::map<int, Json::Value> reports = ReportsByDetail();
  ASSERT_EQ(reports.count(0), 1u);
  EXPECT_EQ(reports.at(0)["openid"].asString(), "standin-openid-0001");
  EXPECT_EQ(reports.at(0)["channelId"].asString(), "0");
}

// A report still on its way when its owner goes (the program's end) is
// stopped within the bound: its request is aborted, not waited out.
TEST_F(UsageReportTest, AReportOnItsWayAtTheEndIsStoppedWithinTheBound) {
  ASSERT_TRUE(m_instance.Script("/client/reportlog", R"({"delay_ms":20000})"));
  HANDLE ended = nullptr;
  ASSERT_TRUE(StartUsageReport(*m_state, kReportQuitConfirmed, &ended));
  ASSERT_NE(ended, nullptr);
  EXPECT_FALSE(TerminateThread(ended, 0)) << "the handle serves only to wait";
  Sleep(1000);  // the request is out and its reply delayed
  EXPECT_EQ(m_state->usageReports.Running(), 1);
  EXPECT_EQ(WaitForSingleObject(ended, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  const ULONGLONG endAt = GetTickCount64();
  m_state.reset();
  EXPECT_LT(GetTickCount64() - endAt, static_cast<ULONGLONG>(UsageReports::kStopWaitMs) + 500);
  EXPECT_EQ(WaitForSingleObject(ended, 0), static_cast<DWORD>(WAIT_OBJECT_0)) << "the report ended";
  CloseHandle(ended);
}

TEST(UsageReportText, HasTheServiceQueryForm) {
  ScratchFolder folder;
  FixedHardwareStrings hardware;
  ClientState state(folder.path(), &hardware);
  state.softId = 130;
  state.version = 104;
  state.uuid = "AbCdEfGhIjKlMn-_";
  SetRecordText(state.account->openid, "oid");
  EXPECT_EQ(FormatUsageReport({&state, kReportTypeUsage, kReportVoiceTaken}),
            "/client/reportlog?&openid=oid&uuid=AbCdEfGhIjKlMn-_&softid=130&version=104&type=6&channelId=0&detail=19");
}
