# The Windows program, its Windows-side units and their tests (run under Wine
# when cross-compiled on Linux).
set(ZRCC_WIN_DEFINES UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00 WINVER=0x0A00)
target_compile_definitions(zrcc_pure PUBLIC ${ZRCC_WIN_DEFINES})

if(MSVC)
  # The runtime is chosen in CMakeLists.txt, before the first target.
  set(ZRCC_STATIC_LINK "")
else()
  # Only system DLLs may be imported: link the C and C++ runtimes statically.
  # No link time in the PE header, so that two builds of one commit give the
  # same bytes.
  set(ZRCC_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
  # Neither may the folders of the source and build trees end up in what the
  # compiler embeds (__FILE__, debug information): paths are recorded
  # relative to the tree. The build tree's map comes last so that it wins for
  # a build tree inside the source tree.
  target_compile_options(zrcc_pure PUBLIC
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
endif()


include(cmake/Sqlite.cmake)

add_library(zrcc_win STATIC ${ZRCC_WIN_SOURCES})
target_link_libraries(zrcc_win PUBLIC zrcc_pure zrcc_sqlite nlohmann_json::nlohmann_json
  comctl32 shell32 shlwapi ole32 uxtheme version gdi32 user32 kernel32 shcore)
target_link_options(zrcc_win PUBLIC ${ZRCC_STATIC_LINK})
zrcc_warnings(zrcc_win)

# The two executables that users get: a release build carries neither a
# symbol table nor the debug sections of the statically linked runtimes
# (that halves its size; a user's problem report is zrcc-inspect output, not
# a debugger session).
function(zrcc_release_executable target)
  if(NOT MSVC)
    target_link_options(${target} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  endif()
endfunction()

# Every Windows executable of the tree: the product, the inspector, the test
# programs, the save loop and the benchmark.
#   zrcc_windows_executable(<name> [WIN32] <sources...>)
# Their entry points are wmain or wWinMain: MinGW picks those only with
# -municode, MSVC by itself.
function(zrcc_windows_executable name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WIN32" "" "")
  set(subsystem "")
  if(arg_WIN32)
    set(subsystem WIN32)
  endif()
  add_executable(${name} ${subsystem} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE zrcc_win)
  if(NOT MSVC)
    target_link_options(${name} PRIVATE -municode)
  endif()
  zrcc_warnings(${name})
endfunction()

set(ZRCC_PRODUCT_RESOURCES "")
include(cmake/Product.cmake OPTIONAL)

# The program itself: a GUI-subsystem executable with its manifest and
# version resource.
zrcc_windows_executable(ZandRivellCC WIN32 src/ui/main.cpp ${ZRCC_PRODUCT_RESOURCES})
zrcc_release_executable(ZandRivellCC)

# zrcc-inspect: the disk-reading units from the command line, JSON out.
# JSON comes from cmake/Json.cmake.
zrcc_windows_executable(zrcc-inspect src/inspect/zrcc_inspect.cpp)
target_link_libraries(zrcc-inspect PRIVATE nlohmann_json::nlohmann_json)
zrcc_release_executable(zrcc-inspect)

if(ZRCC_BUILD_TESTS)
  set(ZRCC_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for this toolchain")
  if(EXISTS ${ZRCC_GTEST_SOURCE_DIR}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${ZRCC_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(ZRCC_GTEST_LIBS gtest)
  else()
    find_package(GTest)
    if(GTest_FOUND)
      set(ZRCC_GTEST_LIBS GTest::gtest)
    endif()
  endif()
  if(ZRCC_GTEST_LIBS)
    enable_testing()
    include(cmake/WinTests.cmake)
  else()
    message(WARNING "GoogleTest not found: the Windows tests are not built")
  endif()
endif()

include(cmake/Bench.cmake)
include(cmake/Package.cmake)
