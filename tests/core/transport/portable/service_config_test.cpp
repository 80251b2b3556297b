// The endpoints' resolution: build defaults < settings file section "service"
// < the test variant's overrides, field by field.
#include "core/transport/portable/ServiceConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ServiceConfig kDefaults{"https://speech.default", "https://management.default/", "http://login.default/",
                              "default key", "default ca"};

struct ResolutionCase {
  const char* name;
  ServiceSettings settings;
  ServiceOverrides overrides;
  ServiceConfig expected;
};

TEST(ServiceConfigResolution, DefaultsThenSettingsThenTestOverrides) {
  const std::vector<ResolutionCase> cases = {
      {"nothing given keeps the build's defaults", {}, {}, kDefaults},
      {"settings replace the three addresses",
       {{"speech", "https://speech.site"}, {"management", "https://management.site/"}, {"login", "http://login.site/"}},
       {},
       {"https://speech.site", "https://management.site/", "http://login.site/", "default key", "default ca"}},
      {"an override beats the settings for the same address",
       {{"speech", "https://speech.site"}, {"management", "https://management.site/"}},
       {std::string("https://speech.test"), std::nullopt, std::nullopt, std::nullopt, std::nullopt},
       {"https://speech.test", "https://management.site/", "http://login.default/", "default key", "default ca"}},
      {"every override beats every setting",
       {{"speech", "https://speech.site"}, {"management", "https://management.site/"}, {"login", "http://login.site/"}},
       {std::string("https://speech.test"), std::string("https://management.test/"), std::string("http://login.test/"),
        std::string("test key"), std::string("test ca")},
       {"https://speech.test", "https://management.test/", "http://login.test/", "test key", "test ca"}},
      {"an empty setting keeps what was before it",
       {{"speech", ""}, {"login", "http://login.site/"}},
       {},
       {"https://speech.default", "https://management.default/", "http://login.site/", "default key", "default ca"}},
      {"the settings cannot change the key or the trusted authority, nor add keys",
       {{"rsa", "site key"}, {"ca", "site ca"}, {"caCertPem", "site ca"}},
       {},
       kDefaults},
      {"an override's empty authority text means the system's store",
       {},
       {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::string()},
       {"https://speech.default", "https://management.default/", "http://login.default/", "default key", ""}},
  };
  for (const ResolutionCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ServiceConfig resolved = ResolveServiceConfig(kDefaults, c.settings, c.overrides);
    EXPECT_EQ(resolved.speechBaseUrl, c.expected.speechBaseUrl);
    EXPECT_EQ(resolved.managementBaseUrl, c.expected.managementBaseUrl);
    EXPECT_EQ(resolved.loginBaseUrl, c.expected.loginBaseUrl);
    EXPECT_EQ(resolved.rsaPublicKeyPem, c.expected.rsaPublicKeyPem);
    EXPECT_EQ(resolved.caCertPem, c.expected.caCertPem);
  }
}

}  // namespace
