# GoogleTest from Debian's googletest sources, built by the same compiler as the
# code under test. Windows test programs run under Wine through tools/wine-run,
# which expects the environment that tools/test.sh prepares.
enable_testing()
include(GoogleTest)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

if(NOT QUILLORA_HOST)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-run)
endif()

# Every program, test programs included, lands in one folder beside ffmpeg.exe,
# so the runners find it next to themselves as the product does.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
if(NOT QUILLORA_HOST)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  file(COPY_FILE ${QUILLORA_FFMPEG_EXE} ${CMAKE_BINARY_DIR}/bin/ffmpeg.exe ONLY_IF_DIFFERENT)
endif()

# The arguments both functions below take: DIR <folder> LIBS <targets...>
# [WINDOWS_ONLY] [MAIN <target>]. Sets arg_DIR, arg_LIBS, arg_MAIN and
# `sources`, the folder's *<suffix>.cpp files (none for a WINDOWS_ONLY folder
# in the host build).
macro(quillora_glob_programs suffix)
  cmake_parse_arguments(arg "WINDOWS_ONLY" "DIR;MAIN" "LIBS" ${ARGN})
  set(sources "")
  if(NOT (arg_WINDOWS_ONLY AND QUILLORA_HOST))
    file(GLOB sources CONFIGURE_DEPENDS ${arg_DIR}/*${suffix}.cpp)
  endif()
endmacro()

# quillora_add_tests(DIR <folder> LIBS <targets...> [WINDOWS_ONLY] [MAIN <target>])
# Makes one test program per <name>_test.cpp in the folder, linked with the
# shared test main (MAIN: another one, e.g. the main that installs the
# built-in controls), and registers each of its cases with CTest.
function(quillora_add_tests)
  quillora_glob_programs(_test ${ARGN})
  if(NOT arg_MAIN)
    set(arg_MAIN quillora_test_main)
  endif()
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${arg_DIR})
  string(REPLACE "/" "_" prefix "${rel}")
  foreach(src IN LISTS sources)
    get_filename_component(stem ${src} NAME_WE)
    set(target "${prefix}_${stem}")
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${arg_MAIN} ${arg_LIBS} quillora_warnings)
    # A test file whose cases need the keyboard focus of the shared desktop
    # (pop-ups that close when another test's window takes the focus) says so
    # with a line "// Test cases run alone" and runs with nothing beside it.
    file(STRINGS ${src} run_alone REGEX "^// Test cases run alone")
    set(serial FALSE)
    if(run_alone)
      set(serial TRUE)
    endif()
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
      PROPERTIES TIMEOUT 300 LABELS "${prefix}" RUN_SERIAL ${serial})
  endforeach()
endfunction()

# quillora_add_benchmarks(DIR <folder> LIBS <targets...> [WINDOWS_ONLY])
# One program per <name>_bench.cpp, built only on demand through the `bench`
# target (cmake --build --preset host --target bench); each prints its figures.
if(NOT TARGET bench)
  add_custom_target(bench)
endif()
function(quillora_add_benchmarks)
  quillora_glob_programs(_bench ${ARGN})
  foreach(src IN LISTS sources)
    get_filename_component(stem ${src} NAME_WE)
    add_executable(${stem} EXCLUDE_FROM_ALL ${src})
    target_link_libraries(${stem} PRIVATE ${arg_LIBS} quillora_warnings)
    target_include_directories(${stem} PRIVATE ${CMAKE_SOURCE_DIR})
    add_dependencies(bench ${stem})
  endforeach()
endfunction()
