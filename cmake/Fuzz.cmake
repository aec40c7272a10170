# libFuzzer targets for every parser of outside input (clang only).
set(ZRCC_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
target_compile_options(zrcc_pure PUBLIC ${ZRCC_FUZZ_FLAGS})
target_link_options(zrcc_pure PUBLIC -fsanitize=address,undefined)

include(cmake/FuzzTargets.cmake)
foreach(name IN LISTS ZRCC_FUZZ_TARGETS)
  add_executable(fuzz_${name} tests/fuzz/fuzz_${name}.cpp)
  target_link_libraries(fuzz_${name} PRIVATE zrcc_pure)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  zrcc_warnings(fuzz_${name})
endforeach()
