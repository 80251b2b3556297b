#pragma once
// The endpoints record: where the remote services live and what the transport
// trusts, and the one resolution that makes it from its three sources. Holds
// plain values only; the program's resolved record is owned by the client
// state (ClientState::endpoints), set once at start-up.

#include <map>
#include <optional>
#include <string>

struct ServiceConfig {
  std::string speechBaseUrl;      // speech service, no trailing "/"; "/colud/..." paths follow
  std::string managementBaseUrl;  // client-management service, ends with "/" (the HttpClient base URL)
  std::string loginBaseUrl;       // login service, plain HTTP, ends with "/"
  std::string rsaPublicKeyPem;    // client-management envelope key (PEM)
  std::string caCertPem;          // CA certificates trusted for HTTPS (PEM); empty = the system's store
};

// The build's defaults (cmake/Config.cmake).
ServiceConfig DefaultServiceConfig();

// Section "service" of the settings file as read: key to value (UTF-8). The
// keys "speech", "management" and "login" name another installation of the
// services (a company's own servers, a test bench); an empty value, or any
// other key, changes nothing.
using ServiceSettings = std::map<std::string, std::string>;

// The test variant's overrides as read, each unset when its source is absent:
// the addresses from QUILLORA_TEST_SPEECH_URL, QUILLORA_TEST_MANAGEMENT_URL and
// QUILLORA_TEST_LOGIN_URL, the key and trusted-authority texts from the files
// that QUILLORA_TEST_RSA_KEY_FILE and QUILLORA_TEST_CA_FILE name. A set text
// replaces the field even when empty (an empty authority text means the
// system's store).
struct ServiceOverrides {
  std::optional<std::string> speechBaseUrl;
  std::optional<std::string> managementBaseUrl;
  std::optional<std::string> loginBaseUrl;
  std::optional<std::string> rsaPublicKeyPem;
  std::optional<std::string> caCertPem;
};

// The endpoints the program uses, from lowest to highest precedence:
//   1. the build's defaults,
//   2. the settings file's section "service",
//   3. the test variant's overrides,
// so a test's stand-in address is never beaten by a settings file left beside
// the program. Pure: reads nothing but its arguments.
ServiceConfig ResolveServiceConfig(const ServiceConfig& defaults, const ServiceSettings& settings,
                                   const ServiceOverrides& overrides);
