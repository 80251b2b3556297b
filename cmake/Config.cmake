# Build settings that the implementer chooses: where the services live and the
# management service's RSA public key. The defaults point at the local stand-ins
# (tools/standins) on fixed loopback ports; tests inject their own at run time.
set(QUILLORA_SPEECH_BASE_URL "https://127.0.0.1:18543" CACHE STRING
    "Speech service base address (followed by /colud/...)")
set(QUILLORA_MANAGEMENT_BASE_URL "https://127.0.0.1:18544/" CACHE STRING
    "Client-management service base URL (the HttpClient base URL)")
set(QUILLORA_LOGIN_BASE_URL "http://127.0.0.1:18182/" CACHE STRING
    "Login service base URL (plain HTTP)")
set(QUILLORA_RSA_PUBLIC_KEY_FILE "${CMAKE_SOURCE_DIR}/tools/standins/dev-keys/management-public.pem" CACHE FILEPATH
    "PEM public key of the client-management service")
set(QUILLORA_CA_CERT_FILE "${CMAKE_SOURCE_DIR}/tools/standins/dev-keys/dev-ca.pem" CACHE FILEPATH
    "PEM CA certificate(s) trusted for HTTPS; empty uses the system's store")

function(quillora_read_pem var file)
  if(file AND EXISTS "${file}")
    file(READ "${file}" text)
  else()
    set(text "")
  endif()
  # Inside a C string literal of a one-line #define in the generated header.
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\n" "\\n" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

quillora_read_pem(QUILLORA_RSA_PUBLIC_KEY_PEM "${QUILLORA_RSA_PUBLIC_KEY_FILE}")
quillora_read_pem(QUILLORA_CA_CERT_PEM "${QUILLORA_CA_CERT_FILE}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${QUILLORA_RSA_PUBLIC_KEY_FILE}" "${QUILLORA_CA_CERT_FILE}")
configure_file(${CMAKE_SOURCE_DIR}/cmake/BuildConfig.h.in ${CMAKE_BINARY_DIR}/generated/BuildConfig.h @ONLY)
