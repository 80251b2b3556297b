#pragma once

#include <string>

// Where the remote services live and what the transport trusts. The defaults
// are build settings (cmake/Config.cmake); tests replace the fields before the
// first request. Read-only once requests run.
struct ServiceConfig {
  std::string speechBaseUrl;      // speech service, no trailing "/"; "/colud/..." paths follow
  std::string managementBaseUrl;  // client-management service, ends with "/" (the HttpClient base URL)
  std::string loginBaseUrl;       // login service, plain HTTP, ends with "/"
  std::string rsaPublicKeyPem;    // client-management envelope key (PEM)
  std::string caCertPem;          // CA certificates trusted for HTTPS (PEM); empty = the system's store
};

// The program-wide configuration, filled with the build's defaults on first use.
ServiceConfig& GetServiceConfig();
