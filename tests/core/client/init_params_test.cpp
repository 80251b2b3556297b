#include "core/client/InitParams.h"

#include "core/base/AppMessages.h"
#include "tests/core/client/StandinClientTest.h"

#include <thread>

namespace {
class InitParamsTest : public StandinClientTest {};
}  // namespace

TEST_F(InitParamsTest, StoresTheServerDateAndTellsTheMainWindowOnceItExists) {
  HANDLE thread = CreateThread(nullptr, 0, FetchInitParamsThread, m_state.get(), 0, nullptr);
  ASSERT_NE(thread, nullptr);
  // The thread waits for the main window; it appears a little later.
  Sleep(700);
  EXPECT_TRUE(m_window.Pump().empty());
  m_state->mainWindow = m_window.handle();
  const auto& messages = m_window.WaitFor(1);
  EXPECT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  EXPECT_EQ(code, 1u);
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
    EXPECT_EQ(RunThread(FetchInitParamsThread, m_state.get()), 0u) << fault;
    EXPECT_TRUE(m_window.Pump().empty()) << fault;
    EXPECT_TRUE(m_state->serverDate.empty()) << fault;
  }
}

TEST_F(InitParamsTest, ALongDateIsCut) {
  m_state->mainWindow = m_window.handle();
  m_instance.Script("/client/getinitparams", R"({"members":{"initparams":{"curdate":"2026-12-10 10:11:12.123456789"}}})");
  EXPECT_EQ(RunThread(FetchInitParamsThread, m_state.get()), 1u);
  EXPECT_EQ(m_state->serverDate, "2026-12-10 10:11:12");
  m_instance.Script("/client/getinitparams", R"({"members":{"initparams":5}})");
  EXPECT_EQ(RunThread(FetchInitParamsThread, m_state.get()), 1u);
  EXPECT_EQ(m_state->serverDate, "") << "a mistyped member reads as empty";
}
