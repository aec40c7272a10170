# Windows-side test programs: one per source folder, from tests/win/<folder>/
# (each is one Wine start). Test fixtures (PE files with chosen version
# resources) are generated from tests/fixtures/*.rc.
include(cmake/Fixtures.cmake)
foreach(area platform helpers discovery deploy ui inspect)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/${area}/*.cpp)
  if(sources)
    zrcc_wine_test(zrcc_${area}_tests tests/win/gtest_main_win.cpp tests/win/test_support.cpp
      tests/win/hidden_list_window.cpp ${sources})
    add_dependencies(zrcc_${area}_tests zrcc_fixtures)
  endif()
endforeach()
# The window tests also start the program itself, and compare the search of
# the PC with what zrcc-inspect says it would add.
if(TARGET zrcc_ui_tests)
  add_dependencies(zrcc_ui_tests ZandRivellCC)
  if(TARGET zrcc-inspect)
    add_dependencies(zrcc_ui_tests zrcc-inspect)
    target_link_libraries(zrcc_ui_tests PRIVATE nlohmann_json::nlohmann_json)
  endif()
endif()
if(TARGET zrcc_inspect_tests AND TARGET zrcc-inspect)
  add_dependencies(zrcc_inspect_tests zrcc-inspect)
  target_link_libraries(zrcc_inspect_tests PRIVATE nlohmann_json::nlohmann_json)
endif()
# The fault-injection test kills this save loop at random moments.
zrcc_windows_executable(zrcc-save-loop tests/win/tools/save_loop.cpp)
target_include_directories(zrcc-save-loop PRIVATE tests/win)
if(TARGET zrcc_helpers_tests)
  add_dependencies(zrcc_helpers_tests zrcc-save-loop)
  target_include_directories(zrcc_helpers_tests PRIVATE tests/win)
endif()
# The process test starts this stand-in for a game from a game folder.
zrcc_windows_executable(zrcc-wait-game tests/win/tools/wait_game.cpp)
if(TARGET zrcc_platform_tests)
  add_dependencies(zrcc_platform_tests zrcc-wait-game)
endif()
if(TARGET zrcc_ui_tests)
  add_dependencies(zrcc_ui_tests zrcc-wait-game)
endif()
# The kill tests of a deployment end this tool at chosen steps of a copy or
# an undo.
zrcc_windows_executable(zrcc-deploy-steps tests/win/tools/deploy_steps.cpp)
if(TARGET zrcc_deploy_tests)
  add_dependencies(zrcc_deploy_tests zrcc-deploy-steps)
endif()
# The end of the Windows session, as Wine gives it, while the window has
# unsaved work. It ends the Wine session of the tests (and starts its server
# again), so it runs alone.
if(CMAKE_CROSSCOMPILING AND TARGET zrcc_ui_tests)
  add_test(NAME session_end COMMAND bash ${CMAKE_SOURCE_DIR}/tests/win/session_end_test.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(session_end PROPERTIES FIXTURES_REQUIRED wine_session RUN_SERIAL TRUE
    ENVIRONMENT "${ZRCC_WINE_TEST_ENVIRONMENT}")
endif()
