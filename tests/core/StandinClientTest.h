#pragma once

// A fixture whose client state talks to a fresh stand-in instance: the
// service configuration points at it (restored afterwards) and the state lives
// in a scratch folder with fixed hardware strings and loaded settings.
#include "core/ClientState.h"
#include "core/portable/ServiceConfig.h"
#include "tests/core/FixedHardwareStrings.h"
#include "tests/support/MessageWindow.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Standin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class StandinClientTest : public testing::Test {
 protected:
  void SetUp() override {
    STANDIN_OR_SKIP(instance_);
    saved_ = GetServiceConfig();
    ServiceConfig& config = GetServiceConfig();
    config.speechBaseUrl = instance_.urls().speechHttps;
    config.managementBaseUrl = instance_.urls().managementHttps;
    config.loginBaseUrl = instance_.urls().login;
    config.rsaPublicKeyPem = instance_.rsaPublicPem();
    config.caCertPem = instance_.caPem();
    state_ = std::make_unique<ClientState>(folder_.path(), &hardware_);
    state_->LoadSettings();
    restore_ = true;
  }
  void TearDown() override {
    if (restore_) GetServiceConfig() = saved_;
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

  // Request-log entries of one path, oldest first.
  Json::Value RequestsOf(const std::string& path) const {
    Json::Value found(Json::arrayValue);
    for (const Json::Value& entry : instance_.Requests()) {
      if (entry["path"].asString() == path) found.append(entry);
    }
    return found;
  }

  standin::Instance instance_;
  ScratchFolder folder_;
  FixedHardwareStrings hardware_;
  std::unique_ptr<ClientState> state_;
  MessageWindow window_;

 private:
  ServiceConfig saved_;
  bool restore_ = false;
};
