#include "core/client/ClientState.h"

#include "core/base/BenchReport.h"
#include "core/base/DebugTrace.h"
#include "core/base/FileBytes.h"
#include "core/base/TextConversion.h"
#include "core/client/HardwareStrings.h"

#include <shellapi.h>

#include <utility>
#include <vector>

namespace {

const wchar_t kSoftSection[] = L"soft";
const wchar_t kConfigSection[] = L"config";
const wchar_t kShownVersion[] = L"1.0.0.8";
constexpr int kDefaultSoftId = 130;
constexpr int kDefaultVersion = 104;
constexpr DWORD kUuidCharacters = 39;        // the longest uuid text read from the settings
constexpr DWORD kFolderCharacters = 259;     // drive folders as the pages store them
const wchar_t kTemporarySuffix[] = L".tmp";  // the record is written here, then renamed

bool LaunchHidden(const std::wstring& path, const std::wstring& parameters) {
  const HINSTANCE result = ShellExecuteW(nullptr, L"OPEN", path.c_str(), parameters.c_str(), nullptr, SW_HIDE);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::wstring ReadProfileText(const wchar_t* section, const wchar_t* key, DWORD maxCharacters,
                             const std::wstring& file) {
  std::vector<wchar_t> buffer(maxCharacters + 1, L'\0');
  const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer.data(), maxCharacters + 1, file.c_str());
  return std::wstring(buffer.data(), length);
}

// Reads an integer key; a missing or non-positive value takes the default,
// which is written back.
int ReadPositiveSetting(const wchar_t* key, int fallback, const std::wstring& file) {
  const int value = static_cast<int>(GetPrivateProfileIntW(kSoftSection, key, 0, file.c_str()));
  if (value > 0) return value;
  WritePrivateProfileStringW(kSoftSection, key, std::to_wstring(fallback).c_str(), file.c_str());
  return fallback;
}

}  // namespace

std::wstring GetExecutableFolder() {
  return ReadModuleFolder([](wchar_t* buffer, DWORD capacity) { return GetModuleFileNameW(nullptr, buffer, capacity); });
}

std::wstring ReadModuleFolder(const ModulePathReader& readPath) {
  // Grows the buffer until the whole path fits: a cut path would name another folder.
  for (DWORD capacity = MAX_PATH; capacity <= 65536; capacity *= 2) {
    std::vector<wchar_t> buffer(capacity, L'\0');
    const DWORD length = readPath(buffer.data(), capacity);
    if (length == 0) return std::wstring();
    if (length < capacity) {
      std::wstring path(buffer.data(), length);
      const size_t slash = path.find_last_of(L"\\/");
      return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    }
  }
  return std::wstring();
}

ClientState& GetClientState() {
  // Never destroyed: background threads may still read it while the process ends.
  static ClientState* state = new ClientState();
  return *state;
}

ClientState::ClientState(const std::wstring& folder, HardwareStringSource* hardware)
    : launchUpdater(LaunchHidden), m_hardware(hardware) {
  UseEndpoints(DefaultServiceConfig());
  if (m_hardware == nullptr) {
    m_ownedHardware = std::make_unique<SystemHardwareStrings>();
    m_hardware = m_ownedHardware.get();
  }
  exeFolder = folder.empty() ? GetExecutableFolder() : folder;
  if (!exeFolder.empty() && exeFolder.back() != L'\\' && exeFolder.back() != L'/') exeFolder += L'\\';
  datPath = exeFolder + L"quillora.dat";
  channelPath = exeFolder + L"channel.dat";
  iniPath = exeFolder + L"quillora.ini";
  updaterPath = exeFolder + L"Updrift.exe";

  account = std::make_unique<AccountRecord>(MakeFreshAccountRecord());
  if (GetFileAttributesW(datPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
    account->softId = softId;  // still 0: settings are read later
    SaveAccountRecord();
  } else if (!LoadAccountRecord()) {
    // A damaged or foreign file counts as no record; it stays until the next save.
    DebugTrace(L"quillora.dat is not a valid account record; signed out");
  }
}

ClientState::~ClientState() = default;

void ClientState::UseEndpoints(ServiceConfig endpoints) {
  m_endpoints = std::move(endpoints);
  httpClient.SetBaseUrl(m_endpoints.managementBaseUrl);
  rsaKeyText = m_endpoints.rsaPublicKeyPem;
}

bool ClientState::LoadAccountRecord() {
  // One byte over the record size is read, so a longer file is seen as foreign.
  ByteBuffer stored;
  if (ReadWholeFile(datPath, kAccountRecordSize + 1, stored) != FileReadResult::kOk) return false;
  return DecodeAccountRecord(stored.bytes(), stored.size(), *account);
}

int ClientState::LoadSettings() {
  softId = ReadPositiveSetting(L"id", kDefaultSoftId, iniPath);
  version = ReadPositiveSetting(L"version", kDefaultVersion, iniPath);
  WritePrivateProfileStringW(kSoftSection, L"showVersion", kShownVersion, iniPath.c_str());
  driveUrlV2W = ReadProfileText(kSoftSection, L"DriveUrlV2W", kFolderCharacters, iniPath);
  driveUrlW2V = ReadProfileText(kSoftSection, L"DriveUrlW2V", kFolderCharacters, iniPath);

  BenchMark("settings_read");
  uuid = WideToAnsi(ReadProfileText(kConfigSection, L"uuid", kUuidCharacters, iniPath));
  if (uuid.empty() || !ValidateDeviceId(uuid, *m_hardware)) {
    uuid = GenerateDeviceId(*m_hardware);
    WritePrivateProfileStringW(kConfigSection, L"uuid", AnsiToWide(uuid).c_str(), iniPath.c_str());
  }
  return 1;
}

bool ClientState::SaveAccountRecord() {
  std::lock_guard<std::mutex> guard(m_lock);
  return WriteAccountRecordLocked();
}

bool ClientState::UpdateAccountRecord(const std::function<void(AccountRecord&)>& change) {
  std::lock_guard<std::mutex> guard(m_lock);
  const AccountRecord before = *account;
  change(*account);
  if (WriteAccountRecordLocked()) return true;
  *account = before;
  return false;
}

AccountRecord ClientState::CopyAccountRecord() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return *account;
}

bool ClientState::WriteAccountRecordLocked() {
  const std::vector<uint8_t> stored = SealAndEncodeAccountRecord(*account);

  DWORD error = 0;
  const bool ok = WriteFileReplacing(datPath, stored.data(), stored.size(), kTemporarySuffix, &error);
  if (!ok) DebugTrace(L"account record: writing %ls failed (error %lu)", datPath.c_str(), error);
  return ok;
}
