# Tests of the platform-free units. The same sources run natively and, in the
# Windows build, under Wine (where wchar_t is 16 bits wide).
file(GLOB ZRCC_PURE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/pure/*.cpp)
