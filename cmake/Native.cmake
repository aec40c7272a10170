# Native Linux build: the platform-free units and their tests, under
# AddressSanitizer and UBSan.
if(ZRCC_SANITIZE)
  set(ZRCC_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(zrcc_pure PUBLIC ${ZRCC_SAN_FLAGS})
  target_link_options(zrcc_pure PUBLIC ${ZRCC_SAN_FLAGS})
endif()

if(ZRCC_BUILD_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(cmake/PureTests.cmake)
  add_executable(zrcc_pure_tests ${ZRCC_PURE_TEST_SOURCES})
  target_link_libraries(zrcc_pure_tests PRIVATE zrcc_pure GTest::gtest GTest::gtest_main)
  target_include_directories(zrcc_pure_tests PRIVATE ${ZRCC_PURE_TEST_GENERATED_DIR})
  zrcc_warnings(zrcc_pure_tests)
  add_test(NAME pure_native COMMAND zrcc_pure_tests --gtest_brief=1)
endif()
