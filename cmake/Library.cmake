# quillora_concern_folders(<var> <root> [EXCLUDE <names...>])
# Sets <var> to the concern folders directly under <root> (absolute paths),
# in name order, leaving out the named ones. A layer groups its code by concern
# (ui/base, ui/draw, ...), each folder with an optional portable/ sub-folder
# for its units without Windows calls.
function(quillora_concern_folders var root)
  cmake_parse_arguments(arg "" "" "EXCLUDE" ${ARGN})
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS ${root}/*)
  set(found "")
  foreach(child IN LISTS children)
    get_filename_component(leaf ${child} NAME)
    if(IS_DIRECTORY ${child} AND NOT leaf IN_LIST arg_EXCLUDE)
      list(APPEND found ${child})
    endif()
  endforeach()
  list(SORT found)
  set(${var} ${found} PARENT_SCOPE)
endfunction()

# quillora_library(<name> DIRS <folders...> [LIBS <targets...>])
# A static library of every .cpp in the given folders (not their subfolders).
# Folders of units that make no Windows call are built by the host build too.
function(quillora_library name)
  cmake_parse_arguments(arg "" "" "DIRS;LIBS" ${ARGN})
  set(sources "")
  foreach(dir IN LISTS arg_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${arg_LIBS} PRIVATE quillora_warnings)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${arg_LIBS})
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  endif()
endfunction()
