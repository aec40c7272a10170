list(APPEND ZRCC_PURE_SOURCES
  src/helpers/catalogue.cpp
  src/helpers/text.cpp
  src/helpers/paths.cpp
  src/helpers/game_list_file.cpp
  src/helpers/size_text.cpp
)
list(APPEND ZRCC_WIN_SOURCES
  src/helpers/app_folder.cpp
  src/helpers/data_file.cpp
  src/helpers/game_rows.cpp
  src/helpers/background_job.cpp
  src/helpers/loader.cpp
  src/helpers/refresh_pool.cpp
)
