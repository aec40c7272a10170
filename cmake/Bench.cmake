# The loading benchmark, run through scripts/bench.sh under Wine. It reports
# figures and asserts nothing, so it is no test; it is built with the rest so
# that it never falls behind the code it measures.
# Its hidden game list is the tests' own.
zrcc_windows_executable(zrcc_bench bench/zrcc_bench.cpp tests/win/hidden_list_window.cpp)
target_include_directories(zrcc_bench PRIVATE tests)
if(TARGET zrcc_fixtures)
  # The generated library copies its executables and DLLs from the fixtures.
  add_dependencies(zrcc_bench zrcc_fixtures)
endif()

# The shown-window half of the benchmark: drives the real program from
# outside, in its own process and shown window (scripts/bench.sh copies it
# beside each list it loads).
zrcc_windows_executable(zrcc_shown_bench bench/zrcc_shown_bench.cpp)
add_dependencies(zrcc_shown_bench ZandRivellCC)
