#include "core/client/UpdateCheck.h"

#include "core/base/portable/Checksums.h"
#include "tests/core/client/StandinClientTest.h"

#include <cstdio>

namespace {

const char kUpdaterPath[] = "/updates/Updrift.exe";

class UpdateCheckTest : public StandinClientTest {
 protected:
  void SetUp() override {
    StandinClientTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    m_state->launchUpdater = [this](const std::wstring& path, const std::wstring& parameters) {
      m_launches.push_back(path + L"|" + parameters);
      return true;
    };
  }
  // Scripts the version reply: members of the reply object as JSON text.
  void ScriptReply(const std::string& members, const std::string& extra = "") {
    ASSERT_TRUE(m_instance.Script("/client/queryversion", R"({"members":)" + members + extra + "}")) << m_instance.error();
  }
  void Check() {
    RunWorker([this](const StopToken& stop) { return CheckForUpdateThread(*m_state, stop); });
  }
  std::string ServedUpdater() {
    HttpResponseBuffer reply;
    EXPECT_TRUE(m_state->httpClient.Get(m_instance.urls().managementHttps + "updates/Updrift.exe", reply));
    return std::string(reply.view());
  }
  std::string LocalUpdater() const { return ScratchFolder::ReadFileBytes(m_state->updaterPath); }
  void ExpectNoSideFiles() const {
    EXPECT_FALSE(ScratchFolder::Exists(m_state->updaterPath + L"_willdel"));
    EXPECT_FALSE(ScratchFolder::Exists(m_state->updaterPath + L"_backup"));
  }
  std::wstring ExpectedLaunch() const { return m_state->updaterPath + L"|quillora.ini"; }

  std::vector<std::wstring> m_launches;
};

}  // namespace

TEST_F(UpdateCheckTest, TheSameVersionDoesNothing) {
  Check();  // the stand-in offers the version the client has, with an updater entry
  EXPECT_TRUE(m_launches.empty());
  EXPECT_EQ(m_instance.Count(kUpdaterPath), 0);
  const Json::Value requests = RequestsOf("/client/queryversion");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["envelope"]["flags"].asInt(), 7);
  EXPECT_EQ(requests[0]["params"]["softid"].asString(), "130");
  EXPECT_EQ(requests[0]["params"]["version"].asString(), "104");
  EXPECT_EQ(requests[0]["params"]["type"].asString(), "1");
}

TEST_F(UpdateCheckTest, ANewerVersionWithTheCurrentUpdaterDoesNothing) {
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_state->updaterPath, ServedUpdater()));
  ScriptReply(R"({"version":105})");
  Check();
  EXPECT_TRUE(m_launches.empty());
  EXPECT_EQ(m_instance.Count(kUpdaterPath), 1) << "only the download this test made itself";
}

TEST_F(UpdateCheckTest, ANewUpdaterIsFetchedCheckedMovedIntoPlaceAndStarted) {
  const std::string served = ServedUpdater();
  for (const bool existing : {false, true}) {
    if (existing) {
      ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_state->updaterPath, "MZ old updater"));
    }
    ScriptReply(R"({"version":105})");
    m_launches.clear();
    Check();
    EXPECT_EQ(LocalUpdater(), served) << (existing ? "replacing" : "first updater");
    EXPECT_EQ(m_launches, std::vector<std::wstring>{ExpectedLaunch()});
    ExpectNoSideFiles();
    DeleteFileW(m_state->updaterPath.c_str());
  }
}

TEST_F(UpdateCheckTest, WithoutAnUpdaterEntryTheUpdaterIsStartedAsItIs) {
  for (const char* members : {R"({"version":105,"files":[]})",
                              R"({"version":105,"files":[{"name":"UPDRIFT.EXE","url":"/updates/Updrift.exe","crc32":"1"}]})"}) {
    m_launches.clear();
    ScriptReply(members);
    Check();
    EXPECT_EQ(m_launches, std::vector<std::wstring>{ExpectedLaunch()}) << members;
  }
  EXPECT_EQ(m_instance.Count(kUpdaterPath), 0);
}

TEST_F(UpdateCheckTest, AnUpdaterThatFailsItsChecksIsNeitherInstalledNorStarted) {
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_state->updaterPath, "MZ old updater"));
  const std::string http = m_instance.urls().managementHttp;
  struct Case {
    const char* what;
    std::string members;
    std::string extra;
  } cases[] = {
      {"wrong CRC", R"({"version":105,"files":[{"name":"Updrift.exe","url":"/updates/Updrift.exe","crc32":"deadbeef"}]})",
       ""},
      {"download over plain HTTP", R"({"version":105,"baseurl":")" + http + R"("})", ""},
      {"reply without its RSA check", R"({"version":105})", R"(,"envelope_flags":1)"},
      {"reply with a wrong signature", R"({"version":105})", R"(,"bad_signature":true)"},
      {"status not SUCCESS", R"({"version":105,"status":"FAILED"})", ""},
  };
  for (const Case& c : cases) {
    ScriptReply(c.members, c.extra);
    Check();
    EXPECT_TRUE(m_launches.empty()) << c.what;
    EXPECT_EQ(LocalUpdater(), "MZ old updater") << c.what;
    ExpectNoSideFiles();
  }
}

TEST_F(UpdateCheckTest, APlainReplyIsNeverTakenForAVerifiedOffer) {
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_state->updaterPath, "MZ old updater"));
  // Without an envelope, but holding the failure text somewhere inside, so
  // the envelope passes it on as the service's failure reply.
  Json::Value offer;
  offer["status"] = "SUCCESS";
  offer["version"] = 105;
  offer["baseurl"] = m_instance.urls().managementHttps;
  offer["files"][0]["name"] = "Updrift.exe";
  offer["files"][0]["url"] = "/updates/Updrift.exe";
  const std::string served = ServedUpdater();
  char crc[9];
  std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(Crc32(served.data(), served.size())));
  offer["files"][0]["crc32"] = crc;
  offer["last"]["status"] = "FAILED";
  Json::Value fault;
  fault["body"] = Json::FastWriter().write(offer);
  ASSERT_TRUE(m_instance.Script("/client/queryversion", Json::FastWriter().write(fault)));
  Check();
  EXPECT_TRUE(m_launches.empty());
  EXPECT_EQ(LocalUpdater(), "MZ old updater");
  EXPECT_EQ(m_instance.Count(kUpdaterPath), 1) << "only the download this test made itself";
}

TEST_F(UpdateCheckTest, AnUpdaterThatCannotBeReplacedStaysAsItWas) {
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_state->updaterPath, "MZ old updater"));
  // The running old updater holds its file: it cannot be moved away.
  HANDLE held = CreateFileW(m_state->updaterPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ScriptReply(R"({"version":105})");
  Check();
  CloseHandle(held);
  EXPECT_TRUE(m_launches.empty());
  EXPECT_EQ(LocalUpdater(), "MZ old updater");
  ExpectNoSideFiles();
  EXPECT_EQ(m_instance.Count(kUpdaterPath), 1) << "the new updater was fetched";
}

TEST(FileCrc32, MissingAndEmptyFilesCountAsZero) {
  ScratchFolder folder;
  EXPECT_EQ(ComputeFileCrc32(folder / L"none"), 0u);
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"empty", ""));
  EXPECT_EQ(ComputeFileCrc32(folder / L"empty"), 0u);
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"digits", "123456789"));
  EXPECT_EQ(ComputeFileCrc32(folder / L"digits"), 0xCBF43926u);
  std::string large(200000, 'x');
  ASSERT_TRUE(ScratchFolder::WriteFileBytes(folder / L"large", large));
  EXPECT_EQ(ComputeFileCrc32(folder / L"large"), Crc32(large.data(), large.size()));
}
