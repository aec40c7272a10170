list(APPEND ZRCC_WIN_SOURCES
  src/deploy/version_reader.cpp
  src/deploy/mod_state.cpp
  src/deploy/folder_size.cpp
  src/deploy/exe_detection.cpp
  src/deploy/game_file_scan.cpp
  src/deploy/copy_deploy.cpp
  src/deploy/copy_check.cpp
  src/deploy/scripts.cpp
  src/deploy/deployment.cpp
)
