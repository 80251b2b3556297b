# Build settings that the implementer chooses: where the services live and the
# management service's RSA public key. The defaults point at the local stand-ins
# (tools/standins) on their fixed loopback ports, read from the one file that
# holds them; tests inject their own at run time.
set(quillora_ports_file "${CMAKE_SOURCE_DIR}/tools/standins/ports.env")
file(STRINGS "${quillora_ports_file}" quillora_port_lines REGEX "^[A-Z_]+=[0-9]+$")
foreach(line IN LISTS quillora_port_lines)
  string(REGEX MATCH "^([A-Z_]+)=([0-9]+)$" _ "${line}")
  set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()
foreach(port STANDIN_SPEECH_HTTPS_PORT STANDIN_MANAGEMENT_HTTPS_PORT STANDIN_LOGIN_PORT)
  if(NOT DEFINED ${port})
    message(FATAL_ERROR "${quillora_ports_file} does not give ${port}")
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${quillora_ports_file}")

# Empty means the stand-ins' address, made from the ports above at every
# configure, so a port changed there reaches an existing build folder too.
set(QUILLORA_SPEECH_BASE_URL "" CACHE STRING
    "Speech service base address (followed by /colud/...); empty: the local stand-ins'")
set(QUILLORA_MANAGEMENT_BASE_URL "" CACHE STRING
    "Client-management service base URL (the HttpClient base URL); empty: the local stand-ins'")
set(QUILLORA_LOGIN_BASE_URL "" CACHE STRING
    "Login service base URL (plain HTTP); empty: the local stand-ins'")
if(NOT QUILLORA_SPEECH_BASE_URL)
  set(QUILLORA_SPEECH_BASE_URL "https://127.0.0.1:${STANDIN_SPEECH_HTTPS_PORT}")
endif()
if(NOT QUILLORA_MANAGEMENT_BASE_URL)
  set(QUILLORA_MANAGEMENT_BASE_URL "https://127.0.0.1:${STANDIN_MANAGEMENT_HTTPS_PORT}/")
endif()
if(NOT QUILLORA_LOGIN_BASE_URL)
  set(QUILLORA_LOGIN_BASE_URL "http://127.0.0.1:${STANDIN_LOGIN_PORT}/")
endif()
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
