# Tests of the platform-free units. The same sources run natively and, in the
# Windows build, under Wine (where wchar_t is 16 bits wide).
set(ZRCC_PURE_TEST_SOURCES
  tests/pure/catalogue_test.cpp
  tests/pure/text_test.cpp
  tests/pure/game_list_file_test.cpp
)
