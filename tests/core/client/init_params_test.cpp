#include "core/client/InitParams.h"

#include "core/base/AppMessages.h"
#include "tests/core/client/StandinClientTest.h"

#include <atomic>
#include <functional>

namespace {
class InitParamsTest : public StandinClientTest {
 protected:
  std::function<DWORD(const StopToken&)> Fetch() {
    return [this](const StopToken& stop) { return FetchInitParamsThread(*m_state, stop); };
  }
};
}  // namespace

TEST_F(InitParamsTest, StoresTheServerDateAndTellsTheMainWindowOnceItExists) {
  std::atomic<DWORD> code{~0u};
  WorkerThread worker;
  ASSERT_TRUE(worker.Start([&](const StopToken& stop) { code = FetchInitParamsThread(*m_state, stop); }));
  // The fetch waits for the main window; it appears a little later.
  Sleep(700);
  EXPECT_TRUE(m_window.Pump().empty());
  m_state->mainWindow = m_window.handle();
  const auto& messages = m_window.WaitFor(1);
  EXPECT_TRUE(worker.Join(30000));
  EXPECT_EQ(code.load(), 1u);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].message, WM_APP_INIT_PARAMS_LOADED);
  EXPECT_EQ(messages[0].wParam, 0u);
  EXPECT_EQ(m_state->serverDate.size(), 19u) << m_state->serverDate;
  EXPECT_EQ(m_state->serverDate[4], '-');

  const Json::Value requests = RequestsOf("/client/getinitparams");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["envelope"]["flags"].asInt(), 7);
  EXPECT_EQ(requests[0]["params"]["softid"].asString(), "130");
}

TEST_F(InitParamsTest, FailedRepliesEndQuietly) {
  m_state->mainWindow = m_window.handle();
  for (const char* fault : {R"({"members":{"status":"FAILED"}})", R"({"plain_failed":true})",
                            R"({"envelope_flags":1})", R"({"http_status":404})", R"({"members":{"status":"success"}})"}) {
    ASSERT_TRUE(m_instance.Script("/client/getinitparams", fault));
    EXPECT_EQ(RunWorker(Fetch()), 0u) << fault;
    EXPECT_TRUE(m_window.Pump().empty()) << fault;
    EXPECT_TRUE(m_state->serverDate.empty()) << fault;
  }
}

TEST_F(InitParamsTest, ALongDateIsCut) {
  m_state->mainWindow = m_window.handle();
  m_instance.Script("/client/getinitparams", R"({"members":{"initparams":{"curdate":"2026-12-10 10:11:12.123456789"}}})");
  EXPECT_EQ(RunWorker(Fetch()), 1u);
  EXPECT_EQ(m_state->serverDate, "2026-12-10 10:11:12");
  m_instance.Script("/client/getinitparams", R"({"members":{"initparams":5}})");
  EXPECT_EQ(RunWorker(Fetch()), 1u);
  EXPECT_EQ(m_state->serverDate, "") << "a mistyped member reads as empty";
}

// A fetch stopped while it waits for a main window that never comes (the
// program ends before it has one) ends at once and posts nothing.
TEST_F(InitParamsTest, AStoppedFetchEndsItsWaitForTheMainWindow) {
  std::atomic<DWORD> code{~0u};
  WorkerThread worker;
  ASSERT_TRUE(worker.Start([&](const StopToken& stop) { code = FetchInitParamsThread(*m_state, stop); }));
  Sleep(1500);  // the reply is in; the fetch waits
  EXPECT_FALSE(m_state->serverDate.empty());
  const ULONGLONG stopAt = GetTickCount64();
  EXPECT_TRUE(worker.Stop(5000));
  EXPECT_LT(GetTickCount64() - stopAt, 2000u);
  EXPECT_EQ(code.load(), 0u);
  m_state->mainWindow = m_window.handle();
  EXPECT_TRUE(m_window.WaitFor(1, 1000).empty());
}
