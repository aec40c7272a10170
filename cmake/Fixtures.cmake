# Small PE files with chosen version resources, built from
# tests/fixtures/<name>_dll.rc and <name>_exe.rc into <build>/fixtures/<name>.dll
# or .exe. "plain" DLL and EXE files without any version resource are built too.
# Tests copy them into folder trees they make at run time.
add_custom_target(zrcc_fixtures)
set(ZRCC_FIXTURE_DIR ${CMAKE_BINARY_DIR}/fixtures)

function(zrcc_pe_fixture name kind)
  set(target fixture_${name}_${kind})
  if(kind STREQUAL "dll")
    add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/tests/fixtures/stub_dll.c ${ARGN})
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
      RUNTIME_OUTPUT_DIRECTORY ${ZRCC_FIXTURE_DIR} LIBRARY_OUTPUT_DIRECTORY ${ZRCC_FIXTURE_DIR}
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fixtures-lib)
  else()
    add_executable(${target} ${CMAKE_SOURCE_DIR}/tests/fixtures/stub_exe.c ${ARGN})
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} RUNTIME_OUTPUT_DIRECTORY ${ZRCC_FIXTURE_DIR})
  endif()
  # No runtime and no start-up code: the fixtures are only ever read. (With
  # MSVC a Release build: Debug's run-time checks would need the runtime.)
  if(MSVC)
    target_compile_options(${target} PRIVATE /GS-)
    if(kind STREQUAL "dll")
      target_link_options(${target} PRIVATE /NODEFAULTLIB /NOENTRY)
    else()
      target_link_options(${target} PRIVATE /NODEFAULTLIB /ENTRY:FixtureEntry)
    endif()
  else()
    if(NOT kind STREQUAL "dll")
      target_link_options(${target} PRIVATE -nostartfiles -Wl,-e,FixtureEntry)
    endif()
    target_link_options(${target} PRIVATE -nostdlib -s)
  endif()
  target_link_libraries(${target} PRIVATE kernel32)
  add_dependencies(zrcc_fixtures ${target})
endfunction()

zrcc_pe_fixture(plain dll)
zrcc_pe_fixture(plain exe)
file(GLOB rc_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fixtures/*.rc)
foreach(rc IN LISTS rc_files)
  get_filename_component(stem ${rc} NAME_WE)
  string(REGEX MATCH "_(dll|exe)$" suffix ${stem})
  if(suffix)
    string(REGEX REPLACE "_(dll|exe)$" "" name ${stem})
    string(SUBSTRING ${suffix} 1 -1 kind)
    zrcc_pe_fixture(${name} ${kind} ${rc})
  endif()
endforeach()
