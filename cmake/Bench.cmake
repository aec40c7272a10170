# The loading benchmark, run through scripts/bench.sh under Wine. It reports
# figures and asserts nothing, so it is no test; it is built with the rest so
# that it never falls behind the code it measures.
# Its hidden game list is the tests' own.
add_executable(zrcc_bench bench/zrcc_bench.cpp tests/win/hidden_list_window.cpp)
target_link_libraries(zrcc_bench PRIVATE zrcc_win)
target_include_directories(zrcc_bench PRIVATE tests)
if(NOT MSVC)
  target_link_options(zrcc_bench PRIVATE -municode)
endif()
zrcc_warnings(zrcc_bench)
if(TARGET zrcc_fixtures)
  # The generated library copies its executables and DLLs from the fixtures.
  add_dependencies(zrcc_bench zrcc_fixtures)
endif()
