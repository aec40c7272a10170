# SQLite, compiled in from its published amalgamation, which
# scripts/fetch-sqlite.sh (run by scripts/install-deps.sh) lays in
# build/deps/sqlite: the Amazon Games launcher keeps its list of games in an
# SQLite database, read with SQLite itself. Third-party code: built with its
# own settings and without the tree's warning policy.
set(ZRCC_SQLITE_DIR ${CMAKE_SOURCE_DIR}/build/deps/sqlite CACHE PATH "Folder holding sqlite3.c and sqlite3.h")
if(NOT EXISTS ${ZRCC_SQLITE_DIR}/sqlite3.c OR NOT EXISTS ${ZRCC_SQLITE_DIR}/sqlite3.h)
  message(FATAL_ERROR "SQLite's sources are not in ${ZRCC_SQLITE_DIR}: run scripts/fetch-sqlite.sh")
endif()
add_library(zrcc_sqlite STATIC ${ZRCC_SQLITE_DIR}/sqlite3.c)
target_include_directories(zrcc_sqlite SYSTEM PUBLIC ${ZRCC_SQLITE_DIR})
# No extension loading (no DLL is ever loaded from a database's say), no
# double-quoted string literals, no memory statistics nobody reads.
target_compile_definitions(zrcc_sqlite PRIVATE SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0 SQLITE_DEFAULT_MEMSTATUS=0
  SQLITE_OMIT_DEPRECATED SQLITE_THREADSAFE=1)
if(MSVC)
  target_compile_options(zrcc_sqlite PRIVATE /w)
else()
  target_compile_options(zrcc_sqlite PRIVATE -w
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
endif()
