#include "core/transport/portable/ServiceConfig.h"

#include "BuildConfig.h"

ServiceConfig& GetServiceConfig() {
  static ServiceConfig config{QUILLORA_DEFAULT_SPEECH_BASE_URL, QUILLORA_DEFAULT_MANAGEMENT_BASE_URL,
                              QUILLORA_DEFAULT_LOGIN_BASE_URL, QUILLORA_DEFAULT_RSA_PUBLIC_KEY_PEM,
                              QUILLORA_DEFAULT_CA_CERT_PEM};
  return config;
}
