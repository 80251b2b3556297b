# Imported targets for the dependencies. The host build takes Debian's native
# packages for the few libraries its Windows-free units use.
if(QUILLORA_HOST)
  find_package(ZLIB REQUIRED)
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
  add_library(deps::crypto ALIAS OpenSSL::Crypto)
  add_library(deps::jsoncpp ALIAS PkgConfig::JSONCPP)
  add_library(deps::zlib ALIAS ZLIB::ZLIB)
  return()
endif()

# Imported targets for the cross-built static dependencies of the Windows build.
# tools/build-deps.sh builds them into a cache outside the checkout and prints
# its prefix; QUILLORA_DEPS_DIR names it (the test script passes it in).
set(QUILLORA_DEPS_DIR "" CACHE PATH "Prefix of the cross-built dependencies (tools/build-deps.sh)")
if(NOT QUILLORA_DEPS_DIR)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/build-deps.sh
    OUTPUT_VARIABLE deps_dir OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE deps_rc)
  if(NOT deps_rc EQUAL 0)
    message(FATAL_ERROR "tools/build-deps.sh failed; see its messages above")
  endif()
  set(QUILLORA_DEPS_DIR "${deps_dir}" CACHE PATH "" FORCE)
endif()
if(NOT EXISTS "${QUILLORA_DEPS_DIR}/.complete")
  message(FATAL_ERROR "QUILLORA_DEPS_DIR=${QUILLORA_DEPS_DIR} is not a finished dependency build")
endif()
set(QUILLORA_FFMPEG_EXE "${QUILLORA_DEPS_DIR}/bin/ffmpeg.exe")

function(quillora_import name lib)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION "${QUILLORA_DEPS_DIR}/lib/${lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${QUILLORA_DEPS_DIR}/include"
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

# zlib from Debian's libz-mingw-w64-dev, linked statically: its import library
# would make every program need zlib1.dll, which Windows does not ship. A cache
# variable of our own, so a build folder that once found the import library
# through find_package(ZLIB) does not keep it.
find_library(QUILLORA_ZLIB_STATIC NAMES libz.a REQUIRED)
find_path(QUILLORA_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
add_library(deps::zlib STATIC IMPORTED GLOBAL)
set_target_properties(deps::zlib PROPERTIES
  IMPORTED_LOCATION "${QUILLORA_ZLIB_STATIC}"
  INTERFACE_INCLUDE_DIRECTORIES "${QUILLORA_ZLIB_INCLUDE_DIR}")
find_path(STB_INCLUDE_DIR stb/stb_image.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_library(deps::stb INTERFACE IMPORTED GLOBAL)
# Only the stb folder, so the host's other headers do not shadow mingw's.
target_include_directories(deps::stb INTERFACE "${CMAKE_BINARY_DIR}/stb-include")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/stb-include")
file(CREATE_LINK "${STB_INCLUDE_DIR}/stb" "${CMAKE_BINARY_DIR}/stb-include/stb" SYMBOLIC)

quillora_import(deps::crypto libcrypto.a ws2_32 gdi32 crypt32 advapi32 user32 bcrypt)
quillora_import(deps::ssl libssl.a deps::crypto)
quillora_import(deps::curl libcurl.a deps::ssl deps::crypto deps::zlib ws2_32 crypt32 bcrypt advapi32)
set_property(TARGET deps::curl APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB)
quillora_import(deps::jsoncpp libjsoncpp.a)
quillora_import(deps::mp3lame libmp3lame.a)
quillora_import(deps::avutil libavutil.a bcrypt user32)
quillora_import(deps::swresample libswresample.a deps::avutil)
quillora_import(deps::avcodec libavcodec.a deps::swresample deps::avutil deps::mp3lame ole32 user32)
quillora_import(deps::avformat libavformat.a deps::avcodec deps::avutil ws2_32 secur32)
