# Windows test programs. Every Wine start costs about a second, so the cases
# are grouped into a few executables, each run as one CTest test.
include(cmake/PureTests.cmake)

set(ZRCC_XVFB_DISPLAY 87 CACHE STRING "Xvfb display number used by the Wine tests")

if(CMAKE_CROSSCOMPILING)
  # The test programs run with the Wine environment that scripts/wine-env.sh
  # gives every script. CMake cannot source a shell file, so it takes the
  # values from that file's plain NAME=value lines; a value that sh would read
  # otherwise than CMake (quoted, expanded) is refused here.
  set(ZRCC_WINE_ENV_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/wine-env.sh)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZRCC_WINE_ENV_SCRIPT})
  foreach(var ZRCC_WINE_PREFIX_NAME ZRCC_WINEDEBUG ZRCC_WINEDLLOVERRIDES)
    file(STRINGS ${ZRCC_WINE_ENV_SCRIPT} line REGEX "^${var}=" LIMIT_COUNT 1)
    string(REGEX REPLACE "^${var}=" "" value "${line}")
    if(line STREQUAL "" OR value MATCHES "[\"'$`\\ ;]")
      message(FATAL_ERROR "${ZRCC_WINE_ENV_SCRIPT} must set ${var} as a plain NAME=value line")
    endif()
    set(${var} "${value}")
  endforeach()
  set(ZRCC_WINE_PREFIX ${CMAKE_BINARY_DIR}/${ZRCC_WINE_PREFIX_NAME})
  set(ZRCC_WINE_TEST_ENVIRONMENT WINEPREFIX=${ZRCC_WINE_PREFIX} WINEDEBUG=${ZRCC_WINEDEBUG}
    WINEDLLOVERRIDES=${ZRCC_WINEDLLOVERRIDES} DISPLAY=:${ZRCC_XVFB_DISPLAY})
endif()

function(zrcc_wine_test name)
  zrcc_windows_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE ${ZRCC_GTEST_LIBS})
  target_include_directories(${name} PRIVATE tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session
      ENVIRONMENT "${ZRCC_WINE_TEST_ENVIRONMENT}")
  endif()
endfunction()

if(CMAKE_CROSSCOMPILING)
  # Wine's background services inherit the output pipes of the first Wine
  # process; started here with all output sent to /dev/null they never keep
  # CTest waiting.
  add_test(NAME wine_session_start
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wine-session.sh start ${ZRCC_WINE_PREFIX} ${ZRCC_XVFB_DISPLAY})
  add_test(NAME wine_session_stop
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wine-session.sh stop ${ZRCC_WINE_PREFIX} ${ZRCC_XVFB_DISPLAY})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
  add_test(NAME wine_env COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wine-env-test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(wine_env PROPERTIES ENVIRONMENT "${ZRCC_WINE_TEST_ENVIRONMENT}")
endif()

zrcc_wine_test(zrcc_pure_tests_win ${ZRCC_PURE_TEST_SOURCES} tests/win/gtest_main_win.cpp)
target_include_directories(zrcc_pure_tests_win PRIVATE ${ZRCC_PURE_TEST_GENERATED_DIR})
include(cmake/WinTestPrograms.cmake)
