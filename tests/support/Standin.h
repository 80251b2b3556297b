#pragma once
// Test access to the stand-in services (tools/standins): each Instance is a
// fresh, isolated set of stand-in servers made by the supervisor whose control
// address is in the environment variable QUILLORA_STANDIN. Windows build only.

#include <gtest/gtest.h>
#include <json/json.h>

#include <string>

namespace standin {

struct Urls {
  std::string speechHttp;       // "http://127.0.0.1:P"   (speech service base address; "/colud/..." follows)
  std::string speechHttps;      // "https://127.0.0.1:P"
  std::string managementHttps;  // "https://127.0.0.1:P/" (client-management base URL, ends with "/")
  std::string managementHttp;   // "http://127.0.0.1:P/"
  std::string login;            // "http://127.0.0.1:P/"  (login service base URL)
};

class Instance {  // a fresh, isolated set of stand-in servers for one test
 public:
  Instance();   // asks the supervisor ($QUILLORA_STANDIN) for a new instance
  // With `onFixedPorts`: the instance that the programs as built talk to (the
  // fixed ports of the build's default addresses, the committed development
  // keys), for end-to-end tests of Quillora.exe. One exists at a time on the
  // machine: this waits up to two minutes while another run holds the ports.
  explicit Instance(bool onFixedPorts);
  ~Instance();  // releases it (servers stop)
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const;  // false when no supervisor is reachable; error() says why
  const std::string& error() const;
  const Urls& urls() const;
  const std::string& caPem() const;         // CA that signed this instance's HTTPS certificates
  const std::string& rsaPublicPem() const;  // management envelope public key (PEM)

  // Scripts the next replies of one path, e.g.
  // Script("/colud/tts/text2voice.php", R"({"http_status":500})"). The fault
  // vocabulary is documented in tools/standins/README.md. False (and error()
  // set) when the supervisor refused the fault.
  bool Script(const std::string& path, const std::string& faultJson);
  // The request log (method, path, query, form fields, decoded text...); null on failure.
  Json::Value Requests() const;
  // Requests seen on one path; -1 when the supervisor could not be asked.
  int Count(const std::string& path) const;

 private:
  std::string m_control;  // supervisor base address, "http://127.0.0.1:P"
  std::string m_id;       // empty when no instance was made
  mutable std::string m_error;
  Urls m_urls;
  std::string m_caPem;
  std::string m_rsaPublicPem;
};

// True when the environment variable CI is "true": a missing stand-in is then a failure.
bool InCi();

}  // namespace standin

// Skips the test (outside CI) or fails it (in CI) when the instance has no servers.
#define STANDIN_OR_SKIP(instance)                                               \
  do {                                                                          \
    if (!(instance).ok()) {                                                     \
      if (::standin::InCi()) {                                                  \
        FAIL() << "stand-in services unavailable: " << (instance).error();      \
      } else {                                                                  \
        GTEST_SKIP() << "stand-in services unavailable: " << (instance).error(); \
      }                                                                         \
    }                                                                           \
  } while (0)
