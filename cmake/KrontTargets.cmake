# The options every target of ours builds with: the language level, the
# warnings, Qt without the API it deprecated before 6.4, and -Werror on demand
# (CI switches it on). Qt's and GoogleTest's headers come through their
# imported targets as system headers, so their own warnings never count.
option(KRONT_WERROR "Treat compiler warnings as errors" OFF)
add_library(kront_options INTERFACE)
target_compile_features(kront_options INTERFACE cxx_std_20)
target_compile_options(kront_options INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wpedantic
  $<$<BOOL:${KRONT_WERROR}>:-Werror>)
target_compile_definitions(kront_options INTERFACE QT_DISABLE_DEPRECATED_BEFORE=0x060400)

# Every subsystem folder is one library per layer. Sources are picked up by
# glob so that a new file needs no edit here; a folder of headers only
# becomes an interface library that only forwards its dependencies.

function(kront_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h
       ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE kront_options)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

function(kront_core_library name dir)
  kront_library(${name} ${dir} ${ARGN})
endfunction()

function(kront_ui_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  kront_library(${name} ${dir} DEPS ${ARG_DEPS} Qt6::Widgets)
endfunction()

# Stages a folder of defaults (templates, help pages, means list) into
# share/kront/<folder> of the build tree, where a program run from bin/ finds
# them as an installed one does; copied again whenever one of its files changes.
function(kront_stage_defaults target source_dir folder comment)
  file(GLOB files CONFIGURE_DEPENDS ${source_dir}/*)
  set(stamp ${CMAKE_BINARY_DIR}/share/kront/${folder}/.copied)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${source_dir} ${CMAKE_BINARY_DIR}/share/kront/${folder}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${files}
    COMMENT "${comment}")
  add_custom_target(${target} ALL DEPENDS ${stamp})
endfunction()
