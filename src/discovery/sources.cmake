list(APPEND ZRCC_WIN_SOURCES
  src/discovery/steam_manifests.cpp
  src/discovery/folder_intake.cpp
  src/discovery/launchers.cpp
  src/discovery/find_games.cpp
  src/discovery/launcher_common.cpp
  src/discovery/launcher_xml.cpp
  src/discovery/launcher_xbox.cpp
  src/discovery/launcher_ea.cpp
  src/discovery/launcher_ubisoft.cpp
  src/discovery/launcher_uninstall_list.cpp
  src/discovery/launcher_amazon.cpp
  src/discovery/launcher_heroic.cpp
  src/discovery/steam_launch.cpp
)
