list(APPEND ZRCC_WIN_SOURCES
  src/helpers/data_file.cpp
  src/helpers/game_rows.cpp
  src/helpers/refresh_pool.cpp
  src/helpers/loader.cpp
)
