list(APPEND ZRCC_WIN_SOURCES
  src/discovery/steam_manifests.cpp
  src/discovery/folder_intake.cpp
  src/discovery/launchers.cpp
  src/discovery/find_games.cpp
)
