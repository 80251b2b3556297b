#include "core/client/ClientState.h"

#include "core/base/portable/ByteScramble.h"
#include "core/client/HardwareStrings.h"
#include "tests/core/client/FixedHardwareStrings.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

class ClientStateTest : public testing::Test {
 protected:
  std::wstring Ini() const { return m_folder / L"quillora.ini"; }
  std::string IniText() const { return ScratchFolder::ReadFileBytes(Ini()); }
  void WriteIni(const std::string& text) { ASSERT_TRUE(ScratchFolder::WriteFileBytes(Ini(), text)); }
  std::wstring Setting(const wchar_t* section, const wchar_t* key) const {
    wchar_t value[128] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", value, 128, Ini().c_str());
    return value;
  }
  // The stored file decoded byte by byte.
  std::string DecodedDat() const {
    std::string bytes = ScratchFolder::ReadFileBytes(m_folder / L"quillora.dat");
    ScrambleBytes(&bytes[0], bytes.size());
    return bytes;
  }

  ScratchFolder m_folder;
  FixedHardwareStrings m_hardware;
};

}  // namespace

TEST_F(ClientStateTest, PathsLieInTheFolder) {
  ClientState state(m_folder.path(), &m_hardware);
  EXPECT_EQ(state.exeFolder, m_folder.path());
  EXPECT_EQ(state.datPath, m_folder / L"quillora.dat");
  EXPECT_EQ(state.channelPath, m_folder / L"channel.dat");
  EXPECT_EQ(state.iniPath, m_folder / L"quillora.ini");
  EXPECT_EQ(state.updaterPath, m_folder / L"Updrift.exe");

  const std::wstring exe = GetExecutableFolder();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), L'\\');
  EXPECT_TRUE(ScratchFolder::Exists(exe + L"ffmpeg.exe")) << "tests run beside ffmpeg.exe";
}

TEST(ExecutableFolder, LongPathsAreReadWhole) {
  for (const size_t length : {size_t{20}, size_t{259}, size_t{260}, size_t{400}, size_t{5000}}) {
    const std::wstring folder = L"C:\\" + std::wstring(length - 12, L'd') + L"\\";
    const std::wstring path = folder + L"Q.exe";
    for (const bool terminatesCutPaths : {true, false}) {
      // Reads as the system does: a path that does not fit is cut, with or
      // without a terminator, and the capacity is returned.
      const std::wstring read = ReadModuleFolder([&](wchar_t* buffer, DWORD capacity) -> DWORD {
        if (path.size() < capacity) {
          path.copy(buffer, path.size());
          buffer[path.size()] = L'\0';
          return static_cast<DWORD>(path.size());
        }
        const size_t copied = terminatesCutPaths ? capacity - 1 : capacity;
        path.copy(buffer, copied);
        if (terminatesCutPaths) buffer[copied] = L'\0';
        return capacity;
      });
      EXPECT_EQ(read, folder) << "path of " << path.size() << " characters";
    }
  }
  EXPECT_EQ(ReadModuleFolder([](wchar_t*, DWORD) -> DWORD { return 0; }), L"");
}

TEST_F(ClientStateTest, MissingIniGivesTheDefaultsAndWritesThemBack) {
  ClientState state(m_folder.path(), &m_hardware);
  ASSERT_EQ(state.LoadSettings(), 1);
  EXPECT_EQ(state.softId, 130);
  EXPECT_EQ(state.version, 104);
  EXPECT_EQ(Setting(L"soft", L"id"), L"130");
  EXPECT_EQ(Setting(L"soft", L"version"), L"104");
  EXPECT_EQ(Setting(L"soft", L"showVersion"), L"1.0.0.8");
  EXPECT_EQ(state.uuid.size(), 16u);
  EXPECT_TRUE(ValidateDeviceId(state.uuid, m_hardware));
  EXPECT_EQ(Setting(L"config", L"uuid"), std::wstring(state.uuid.begin(), state.uuid.end()));
  EXPECT_TRUE(state.driveUrlV2W.empty());
  EXPECT_TRUE(state.driveUrlW2V.empty());
}

TEST_F(ClientStateTest, NonPositiveNumbersAreReplacedAndPositiveOnesKept) {
  struct Case {
    const char* line;
    int softId;
    const char* stored;  // the key's text afterwards
  } cases[] = {
      {"id=-5", 130, "id=130"}, {"id=0", 130, "id=130"}, {"id=abc", 130, "id=130"}, {"id=007", 7, "id=007"},
  };
  for (const Case& c : cases) {
    WriteIni(std::string("[soft]\r\n") + c.line + "\r\nversion=12\r\n");
    ClientState state(m_folder.path(), &m_hardware);
    state.LoadSettings();
    EXPECT_EQ(state.softId, c.softId) << c.line;
    EXPECT_EQ(state.version, 12) << c.line;
    EXPECT_NE(IniText().find(c.stored), std::string::npos) << c.line << "\n" << IniText();
  }
}

TEST_F(ClientStateTest, StoredUuidIsKeptOnlyWhileValidForThisMachine) {
  const std::string valid = GenerateDeviceId(m_hardware);
  FixedHardwareStrings otherMachine;
  otherMachine.Set({{"11-11-11-11-11-11"}, {}});
  const std::string foreign = GenerateDeviceId(otherMachine);
  struct Case {
    std::string stored;
    bool kept;
  } cases[] = {
      {valid, true},
      {foreign, false},                       // another machine's identifier
      {valid.substr(0, 15), false},           // too short
      {valid + "A", false},                   // too long
      {std::string(39, 'Q'), false},          // the longest text read, far beyond the field
      {std::string(300, 'Q'), false},         // longer than is read at all
      {"", false},
  };
  for (const Case& c : cases) {
    WriteIni("[config]\r\nuuid=" + c.stored + "\r\n");
    ClientState state(m_folder.path(), &m_hardware);
    state.LoadSettings();
    if (c.kept) {
      EXPECT_EQ(state.uuid, c.stored);
    } else {
      EXPECT_NE(state.uuid, c.stored.substr(0, 39));
      EXPECT_TRUE(ValidateDeviceId(state.uuid, m_hardware)) << c.stored;
      EXPECT_EQ(Setting(L"config", L"uuid"), std::wstring(state.uuid.begin(), state.uuid.end())) << c.stored;
    }
  }
}

TEST_F(ClientStateTest, ReadsTheOutputFolders) {
  WriteIni("[soft]\r\nDriveUrlV2W=D:\\text out\r\nDriveUrlW2V=E:\\voice\r\n");
  ClientState state(m_folder.path(), &m_hardware);
  state.LoadSettings();
  EXPECT_EQ(state.driveUrlV2W, L"D:\\text out");
  EXPECT_EQ(state.driveUrlW2V, L"E:\\voice");
}

TEST_F(ClientStateTest, FreshRecordFileIsWrittenAtConstruction) {
  ClientState state(m_folder.path(), &m_hardware);
  const std::string plain = DecodedDat();
  ASSERT_EQ(plain.size(), 1680u);
  EXPECT_EQ(plain.find_first_not_of('\0'), 1548u) << "bytes 0..1547 are zero";
  EXPECT_EQ(plain.substr(1548, 4), std::string("\x34\xFB\xD0\xD7", 4));
  EXPECT_FALSE(ScratchFolder::Exists(m_folder / L"quillora.dat.tmp"));
}

TEST_F(ClientStateTest, ASignedInUserStaysSignedInAcrossRuns) {
  {
    ClientState first(m_folder.path(), &m_hardware);
    first.account->loggedIn = 1;
    SetRecordText(first.account->nickname, "\xD0\xA1\xC3\xF7");  // as received
    SetRecordText(first.account->openid, "oid-1");
    ASSERT_TRUE(first.SaveAccountRecord());
  }
  ClientState second(m_folder.path(), &m_hardware);
  EXPECT_EQ(second.account->loggedIn, 1);
  EXPECT_EQ(RecordText(second.account->nickname), "\xD0\xA1\xC3\xF7");
  EXPECT_EQ(RecordText(second.account->openid), "oid-1");
}

TEST_F(ClientStateTest, DamagedRecordFileCountsAsSignedOut) {
  {
    ClientState first(m_folder.path(), &m_hardware);
    first.account->loggedIn = 1;
    ASSERT_TRUE(first.SaveAccountRecord());
  }
  std::string stored = ScratchFolder::ReadFileBytes(m_folder / L"quillora.dat");
  for (const std::string& damaged : {[&] { std::string s = stored; s[100] ^= 0x08; return s; }(),
                                     stored.substr(0, 1000), stored + "x", std::string("not a record")}) {
    ASSERT_TRUE(ScratchFolder::WriteFileBytes(m_folder / L"quillora.dat", damaged));
    ClientState state(m_folder.path(), &m_hardware);
    EXPECT_EQ(state.account->loggedIn, 0) << damaged.size();
    EXPECT_EQ(ScratchFolder::ReadFileBytes(m_folder / L"quillora.dat"), damaged) << "the file is left as it was";
  }
}

TEST_F(ClientStateTest, AFailedSaveLeavesThePreviousFile) {
  ClientState state(m_folder.path(), &m_hardware);
  state.account->loggedIn = 1;
  ASSERT_TRUE(state.SaveAccountRecord());
  const std::string before = ScratchFolder::ReadFileBytes(m_folder / L"quillora.dat");

  // A folder where the temporary file would go: the write cannot start.
  ASSERT_TRUE(CreateDirectoryW((m_folder / L"quillora.dat.tmp").c_str(), nullptr));
  state.account->loggedIn = 0;
  EXPECT_FALSE(state.SaveAccountRecord());
  EXPECT_EQ(ScratchFolder::ReadFileBytes(m_folder / L"quillora.dat"), before);
  RemoveDirectoryW((m_folder / L"quillora.dat.tmp").c_str());

  // A record file that is open elsewhere without sharing cannot be replaced.
  HANDLE held = CreateFileW((m_folder / L"quillora.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(state.SaveAccountRecord());
  CloseHandle(held);
  EXPECT_EQ(ScratchFolder::ReadFileBytes(m_folder / L"quillora.dat"), before);
  EXPECT_FALSE(ScratchFolder::Exists(m_folder / L"quillora.dat.tmp")) << "no temporary file is left behind";
}

// A login or logout whose record cannot be written leaves the record as the
// file holds it: what the windows show from it is what the next start reads.
TEST_F(ClientStateTest, AChangeThatCannotBeSavedIsUndone) {
  const std::wstring dat = m_folder / L"quillora.dat";
  HANDLE held = INVALID_HANDLE_VALUE;
  struct Case {
    const char* what;
    uint8_t before;                          // the signed-in flag the file holds
    std::function<void()> blockBeforeStart;  // run before the state reads the record
    std::function<void()> blockAfterStart;   // run after
  } cases[] = {
      // Another program (a backup, a scanner) holds the record without sharing.
      {"record held open, sign-out", 1, [] {},
       [&] { held = CreateFileW(dat.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); }},
      {"a folder in the record's place, sign-in", 0, [&] { CreateDirectoryW(dat.c_str(), nullptr); }, [] {}},
  };
  for (const Case& c : cases) {
    DeleteFileW(dat.c_str());
    RemoveDirectoryW(dat.c_str());
    if (c.before == 1) {
      ClientState earlier(m_folder.path(), &m_hardware);
      ASSERT_TRUE(earlier.UpdateAccountRecord([](AccountRecord& record) {
        record.loggedIn = 1;
        SetRecordText(record.nickname, "before");
      }));
    }
    c.blockBeforeStart();
    ClientState state(m_folder.path(), &m_hardware);
    c.blockAfterStart();
    const AccountRecord kept = state.CopyAccountRecord();
    ASSERT_EQ(kept.loggedIn, c.before) << c.what;

    EXPECT_FALSE(state.UpdateAccountRecord([](AccountRecord& record) {
      record.loggedIn = record.loggedIn == 1 ? 0 : 1;
      SetRecordText(record.nickname, "after");
    })) << c.what;
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    const AccountRecord now = state.CopyAccountRecord();
    EXPECT_EQ(now.loggedIn, c.before) << c.what;
    EXPECT_EQ(RecordText(now.nickname), RecordText(kept.nickname)) << c.what;
    EXPECT_EQ(std::memcmp(&now, &kept, sizeof(now)), 0) << c.what << ": the record is not what it was";
    ClientState nextStart(m_folder.path(), &m_hardware);
    EXPECT_EQ(nextStart.account->loggedIn, now.loggedIn) << c.what << ": the next start disagrees";
  }
  RemoveDirectoryW(dat.c_str());
}

TEST_F(ClientStateTest, SavesFromSeveralThreadsAlwaysLeaveAWholeRecord) {
  ClientState state(m_folder.path(), &m_hardware);
  state.account->loggedIn = 1;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&state] {
      for (int i = 0; i < 20; ++i) state.SaveAccountRecord();
    });
  }
  for (std::thread& thread : threads) thread.join();
  ClientState reloaded(m_folder.path(), &m_hardware);
  EXPECT_EQ(reloaded.account->loggedIn, 1);
}

// Worker threads (the usage report) read the record while the UI thread
// changes it: every copy they take is one whole, sealed state of it.
TEST_F(ClientStateTest, ReadersCopyTheRecordWhole) {
  ClientState state(m_folder.path(), &m_hardware);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 200; ++i) {
      const char letter = i % 2 == 0 ? 'a' : 'b';
      state.UpdateAccountRecord([letter](AccountRecord& record) {
        record.loggedIn = letter == 'a' ? 1 : 0;
        SetRecordText(record.openid, std::string(49, letter));
        SetRecordText(record.nickname, std::string(149, letter));
      });
    }
    done = true;
  });
  int copies = 0;
  int torn = 0;
  while (!done || copies == 0) {
    const AccountRecord copy = state.CopyAccountRecord();
    ++copies;
    const std::string openid = RecordText(copy.openid);
    const std::string nickname = RecordText(copy.nickname);
    const bool fresh = openid.empty() && nickname.empty();
    const bool whole = fresh || (openid == std::string(49, openid[0]) && nickname == std::string(149, openid[0]) &&
                                 copy.loggedIn == (openid[0] == 'a' ? 1 : 0));
    if (!whole || copy.crc32 != ComputeAccountRecordCrc(copy)) ++torn;
  }
  writer.join();
  EXPECT_EQ(torn, 0) << "of " << copies << " copies";
  EXPECT_EQ(RecordText(state.CopyAccountRecord().openid), std::string(49, 'b'));
  ClientState reloaded(m_folder.path(), &m_hardware);
  EXPECT_EQ(RecordText(reloaded.account->openid), std::string(49, 'b'));
}
