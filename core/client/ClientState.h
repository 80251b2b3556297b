#pragma once
// The program's client state (ClientState): the installation's files and
// settings, the device identifier, the resolved service endpoints, the
// transport to the client-management service, the usage reports on their way,
// the main window and the account record with its lock. Owns the record, the
// endpoints, the transport and the reports.

#include "core/client/UsageReport.h"
#include "core/client/portable/AccountRecord.h"
#include "core/transport/HttpClient.h"
#include "core/transport/portable/ServiceConfig.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class HardwareStringSource;

// Starts the updater program hidden with its parameters; true when it started.
using UpdaterLauncher = std::function<bool(const std::wstring& path, const std::wstring& parameters)>;

// What every part of the program needs about the installation and the
// signed-in user: the files next to the executable, the settings, the device
// identifier, the transport to the client-management service, the main window
// and the account record. The program has one (GetClientState); its fields are
// written during start-up before the background threads run, or by the UI
// thread, and read by the threads without a lock; only the account record has
// a lock of its own (changes, copies and file writes).
class ClientState {
 public:
  // Paths lie in `folder` (with its trailing backslash); empty means the
  // executable's folder. Reads "quillora.dat" when it holds a valid record,
  // and writes a fresh one when there is none. `hardware` gives the device
  // identifier's hardware strings (null: this machine's); borrowed.
  explicit ClientState(const std::wstring& folder = std::wstring(), HardwareStringSource* hardware = nullptr);
  ~ClientState();
  ClientState(const ClientState&) = delete;
  ClientState& operator=(const ClientState&) = delete;

  // Reads "quillora.ini" (writing back defaults, the shown version and a new
  // device identifier where needed). Returns 1.
  int LoadSettings();

  // Stores the record's CRC and writes the whole file, through a temporary
  // file renamed into place so that a failed write leaves the previous file.
  // True only when all 1680 bytes reached the file.
  bool SaveAccountRecord();
  // Changes the record and saves it, both under the record's lock, so a
  // reader on another thread never sees half a change. How the program's
  // writers (login, logout) change the record once threads run. When the save
  // fails the change is undone: the record stays what the file holds (a failed
  // save leaves the previous file), so what the windows show from it is what
  // the next start reads. False then.
  bool UpdateAccountRecord(const std::function<void(AccountRecord&)>& change);
  // A consistent copy of the record, taken under its lock: how worker threads
  // (the usage report) read it.
  AccountRecord CopyAccountRecord() const;

  // Where the services live and what HTTPS trusts: the build's defaults until
  // start-up resolves the endpoints (ResolveServiceConfig) and hands them over
  // with UseEndpoints, before any thread runs. Every request reads them here.
  const ServiceConfig& endpoints() const { return m_endpoints; }
  // Takes the resolved endpoints; the transport's base URL and the envelope
  // key follow them. Called once, before the threads start.
  void UseEndpoints(ServiceConfig endpoints);

  HttpClient httpClient;                // base URL: the client-management service
  std::atomic<HWND> mainWindow{nullptr};  // set by the main window; threads poll it

  int softId = 0;    // [soft] id
  int version = 0;   // [soft] version, compared with the service's
  std::string rsaKeyText;  // PEM of the management envelope key
  std::string uuid;        // device identifier text (ANSI, 16 characters)
  std::string serverDate;  // the service's date from the start-up parameters; empty until then

  std::wstring driveUrlV2W;        // [soft] DriveUrlV2W: speech-to-text output folder; empty = not set
  std::wstring driveUrlW2V;        // [soft] DriveUrlW2V: text-to-speech output folder; empty = not set
  std::wstring lastTtsOutputPath;  // last text-to-speech result in the output folder
  std::wstring lastV2tOutputPath;  // last speech-to-text output file

  std::wstring exeFolder;    // with its trailing backslash
  std::wstring datPath;      // exeFolder + "quillora.dat"
  std::wstring channelPath;  // exeFolder + "channel.dat"
  std::wstring iniPath;      // exeFolder + "quillora.ini"
  std::wstring updaterPath;  // exeFolder + "Updrift.exe"

  // Owned; lives as long as the state. Once threads run, change it only
  // through UpdateAccountRecord and read it through CopyAccountRecord.
  std::unique_ptr<AccountRecord> account;
  UpdaterLauncher launchUpdater;           // ShellExecute "OPEN" hidden; tests replace it

 private:
  // Reads the stored record into `account`; false when missing or damaged.
  bool LoadAccountRecord();
  // Seals and writes the record; the caller holds m_lock.
  bool WriteAccountRecordLocked();

  ServiceConfig m_endpoints;                              // see endpoints()
  HardwareStringSource* m_hardware;                      // borrowed, or m_ownedHardware
  std::unique_ptr<HardwareStringSource> m_ownedHardware;  // this machine's, when none was given
  mutable std::mutex m_lock;  // guards the account record's changes, copies and file writes

 public:
  // Declared last, so it goes first: the reports still on their way use the rest.
  UsageReports usageReports;
};

// The program's one client state, made on first use (start-up does that before
// any window or thread exists).
ClientState& GetClientState();

// The folder of the running executable with its trailing backslash; empty
// when it cannot be read.
std::wstring GetExecutableFolder();

// The folder part (with its trailing backslash) of a module path read as
// GetModuleFileNameW reads it: a path that fills the buffer may be cut, so it
// is read again into a larger one until it fits.
using ModulePathReader = std::function<DWORD(wchar_t* buffer, DWORD capacity)>;
std::wstring ReadModuleFolder(const ModulePathReader& readPath);
