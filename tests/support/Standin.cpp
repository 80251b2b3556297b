// Client of the stand-in supervisor's JSON control API, over plain HTTP on
// 127.0.0.1 through libcurl. Built only for Windows, where the tests that use
// the stand-ins run; the host build compiles this file to nothing.
#ifdef _WIN32

#include "tests/support/Standin.h"

#include <curl/curl.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace standin {
namespace {

size_t AppendReply(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// One control request; true with the reply body when the supervisor answered 200.
bool Call(const std::string& method, const std::string& url, const std::string& body, std::string* reply,
          std::string* error) {
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    *error = "curl_easy_init failed";
    return false;
  }
  reply->clear();
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, method.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, 10000L);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, 60000L);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, AppendReply);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, reply);
  if (method == "POST") {
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
  }
  CURLcode result = curl_easy_perform(curl.get());
  if (result != CURLE_OK) {
    *error = method + " " + url + ": " + curl_easy_strerror(result);
    return false;
  }
  long status = 0;
  curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status != 200) {
    *error = method + " " + url + ": HTTP " + std::to_string(status) + " " + *reply;
    return false;
  }
  return true;
}

bool ParseJson(const std::string& text, Json::Value* value, std::string* error) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), value, &errors)) {
    *error = "supervisor reply is not JSON: " + errors;
    return false;
  }
  return true;
}

std::string Member(const Json::Value& object, const char* name) {
  const Json::Value& value = object[name];
  return value.isString() ? value.asString() : std::string();
}

std::string EscapeQueryValue(const std::string& text) {
  std::ostringstream out;
  const char* hex = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if (isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.') {
      out << c;
    } else {
      out << '%' << hex[c >> 4] << hex[c & 15];
    }
  }
  return out.str();
}

}  // namespace

bool InCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

Instance::Instance() : Instance(false) {}

Instance::Instance(bool onFixedPorts) {
  const char* control = std::getenv("QUILLORA_STANDIN");
  if (control == nullptr || *control == '\0') {
    m_error = "QUILLORA_STANDIN is not set (run the tests through tools/test.sh)";
    return;
  }
  m_control = control;
  std::string reply;
  Json::Value made;
  bool created = Call("POST", m_control + "/instances", onFixedPorts ? "{\"fixed\":true}" : "{}", &reply, &m_error);
  // The fixed ports: a fixed instance left by a crashed test of this run is
  // released; ports held by another run are waited for.
  for (int attempt = 0; onFixedPorts && !created && attempt < 120; ++attempt) {
    if (m_error.find("HTTP 409") != std::string::npos) {
      std::string ignored;
      Call("DELETE", m_control + "/instances/fixed", "", &ignored, &ignored);
    } else if (m_error.find("HTTP 503") == std::string::npos) {
      break;
    }
    Sleep(1000);
    created = Call("POST", m_control + "/instances", "{\"fixed\":true}", &reply, &m_error);
  }
  if (!created || !ParseJson(reply, &made, &m_error)) return;
  const Json::Value& urls = made["urls"];
  m_urls.speechHttp = Member(urls, "speechHttp");
  m_urls.speechHttps = Member(urls, "speechHttps");
  m_urls.managementHttps = Member(urls, "managementHttps");
  m_urls.managementHttp = Member(urls, "managementHttp");
  m_urls.login = Member(urls, "login");
  m_caPem = Member(made, "caPem");
  m_rsaPublicPem = Member(made, "rsaPublicPem");
  m_id = Member(made, "id");
  if (m_id.empty()) m_error = "supervisor made no instance: " + reply;
}

Instance::~Instance() {
  if (m_id.empty()) return;
  std::string reply, error;
  Call("DELETE", m_control + "/instances/" + m_id, "", &reply, &error);
}

bool Instance::ok() const { return !m_id.empty(); }
const std::string& Instance::error() const { return m_error; }
const Urls& Instance::urls() const { return m_urls; }
const std::string& Instance::caPem() const { return m_caPem; }
const std::string& Instance::rsaPublicPem() const { return m_rsaPublicPem; }

bool Instance::Script(const std::string& path, const std::string& faultJson) {
  if (!ok()) return false;
  std::string body = "{\"path\":" + Json::valueToQuotedString(path.c_str()) + ",\"fault\":" + faultJson + "}";
  std::string reply;
  return Call("POST", m_control + "/instances/" + m_id + "/script", body, &reply, &m_error);
}

Json::Value Instance::Requests() const {
  std::string reply;
  Json::Value log;
  if (!ok() || !Call("GET", m_control + "/instances/" + m_id + "/requests", "", &reply, &m_error) ||
      !ParseJson(reply, &log, &m_error)) {
    return Json::Value();
  }
  return log;
}

int Instance::Count(const std::string& path) const {
  std::string reply;
  Json::Value count;
  if (!ok() ||
      !Call("GET", m_control + "/instances/" + m_id + "/count?path=" + EscapeQueryValue(path), "", &reply, &m_error) ||
      !ParseJson(reply, &count, &m_error) || !count["count"].isInt()) {
    return -1;
  }
  return count["count"].asInt();
}

}  // namespace standin

#endif  // _WIN32
