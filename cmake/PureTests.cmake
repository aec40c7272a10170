# Tests of the platform-free units. The same sources run natively and, in the
# Windows build, under Wine (where wchar_t is 16 bits wide).
file(GLOB ZRCC_PURE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/pure/*.cpp)

# The list of game file names the table of names is tested against, taken
# into a header the tests include.
set(ZRCC_GAME_FILES_DOC ${CMAKE_SOURCE_DIR}/tests/data/game-files.md)
file(READ ${ZRCC_GAME_FILES_DOC} ZRCC_GAME_FILES_DOC_TEXT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZRCC_GAME_FILES_DOC})
set(ZRCC_PURE_TEST_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated-tests)
configure_file(${CMAKE_SOURCE_DIR}/tests/pure/game_files_doc.h.in ${ZRCC_PURE_TEST_GENERATED_DIR}/game_files_doc.h @ONLY)
