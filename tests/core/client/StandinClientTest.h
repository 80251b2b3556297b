#pragma once

// A fixture whose client state talks to a fresh stand-in instance: its
// endpoints point at it (the program's too, restored afterwards) and the state
// lives in a scratch folder with fixed hardware strings and loaded settings.
#include "core/base/WorkerThread.h"
#include "core/client/ClientState.h"
#include "tests/core/client/FixedHardwareStrings.h"
#include "tests/support/MessageWindow.h"
#include "tests/support/ProgramEndpoints.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

class StandinClientTest : public testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(m_instance);
    // The test's own state and the program's (whose trusted authority every
    // transfer reads) both point at the instance.
    const ServiceConfig endpoints = m_programEndpoints.Change([this](ServiceConfig& config) {
      config.speechBaseUrl = m_instance.urls().speechHttps;
      config.managementBaseUrl = m_instance.urls().managementHttps;
      config.loginBaseUrl = m_instance.urls().login;
      config.rsaPublicKeyPem = m_instance.rsaPublicPem();
      config.caCertPem = m_instance.caPem();
    });
    m_state = std::make_unique<ClientState>(m_folder.path(), &m_hardware);
    m_state->UseEndpoints(endpoints);
    m_state->LoadSettings();
  }

  // Runs a thread procedure on its own thread and waits for it.
  static DWORD RunThread(LPTHREAD_START_ROUTINE procedure, void* parameter) {
    HANDLE thread = CreateThread(nullptr, 0, procedure, parameter, 0, nullptr);
    EXPECT_NE(thread, nullptr);
    if (thread == nullptr) return ~0u;
    EXPECT_EQ(WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD code = ~0u;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
  }

  // Runs a worker's work on a worker thread and waits for it; its result.
  static DWORD RunWorker(const std::function<DWORD(const StopToken&)>& work) {
    DWORD result = ~0u;
    WorkerThread worker;
    EXPECT_TRUE(worker.Start([&](const StopToken& stop) { result = work(stop); }));
    EXPECT_TRUE(worker.Join(60000));
    return result;
  }

  // Request-log entries of one path, oldest first.
  Json::Value RequestsOf(const std::string& path) const {
    Json::Value found(Json::arrayValue);
    for (const Json::Value& entry : m_instance.Requests()) {
      if (entry["path"].asString() == path) found.append(entry);
    }
    return found;
  }

  ScopedProgramEndpoints m_programEndpoints;
  standin::Instance m_instance;
  ScratchFolder m_folder;
  FixedHardwareStrings m_hardware;
  std::unique_ptr<ClientState> m_state;
  MessageWindow m_window;
};
