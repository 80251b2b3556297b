#include "core/transport/portable/ServiceConfig.h"

#include "BuildConfig.h"

ServiceConfig DefaultServiceConfig() {
  return ServiceConfig{QUILLORA_DEFAULT_SPEECH_BASE_URL, QUILLORA_DEFAULT_MANAGEMENT_BASE_URL,
                       QUILLORA_DEFAULT_LOGIN_BASE_URL, QUILLORA_DEFAULT_RSA_PUBLIC_KEY_PEM,
                       QUILLORA_DEFAULT_CA_CERT_PEM};
}

namespace {

void TakeSetting(const ServiceSettings& settings, const char* key, std::string& field) {
  const auto found = settings.find(key);
  if (found != settings.end() && !found->second.empty()) field = found->second;
}

void TakeOverride(const std::optional<std::string>& value, std::string& field) {
  if (value) field = *value;
}

}  // namespace

ServiceConfig ResolveServiceConfig(const ServiceConfig& defaults, const ServiceSettings& settings,
                                   const ServiceOverrides& overrides) {
  ServiceConfig resolved = defaults;
  // The settings name addresses only: the key and the trusted authority are the build's.
  TakeSetting(settings, "speech", resolved.speechBaseUrl);
  TakeSetting(settings, "management", resolved.managementBaseUrl);
  TakeSetting(settings, "login", resolved.loginBaseUrl);

  TakeOverride(overrides.speechBaseUrl, resolved.speechBaseUrl);
  TakeOverride(overrides.managementBaseUrl, resolved.managementBaseUrl);
  TakeOverride(overrides.loginBaseUrl, resolved.loginBaseUrl);
  TakeOverride(overrides.rsaPublicKeyPem, resolved.rsaPublicKeyPem);
  TakeOverride(overrides.caCertPem, resolved.caCertPem);
  return resolved;
}
