# Windows test programs. Every Wine start costs about a second, so the cases
# are grouped into a few executables, each run as one CTest test.
include(cmake/PureTests.cmake)

function(zrcc_wine_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE zrcc_win ${ZRCC_GTEST_LIBS})
  target_include_directories(${name} PRIVATE tests)
  if(NOT MSVC)
    target_link_options(${name} PRIVATE -municode)
  endif()
  zrcc_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session
      ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;DISPLAY=:${ZRCC_XVFB_DISPLAY}")
  endif()
endfunction()

set(ZRCC_XVFB_DISPLAY 87 CACHE STRING "Xvfb display number used by the Wine tests")

if(CMAKE_CROSSCOMPILING)
  # Wine's background services inherit the output pipes of the first Wine
  # process; started here with all output sent to /dev/null they never keep
  # CTest waiting.
  add_test(NAME wine_session_start
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wine-session.sh start ${CMAKE_BINARY_DIR}/wineprefix ${ZRCC_XVFB_DISPLAY})
  add_test(NAME wine_session_stop
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wine-session.sh stop ${CMAKE_BINARY_DIR}/wineprefix ${ZRCC_XVFB_DISPLAY})
  set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine_session)
  set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine_session)
endif()

zrcc_wine_test(zrcc_pure_tests_win ${ZRCC_PURE_TEST_SOURCES} tests/win/gtest_main_win.cpp)
include(cmake/WinTestPrograms.cmake)
