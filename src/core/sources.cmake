# The platform-free core: no unit here includes <windows.h> or anything
# outside the C++ standard library and this folder.
list(APPEND ZRCC_PURE_SOURCES
  src/core/catalogue.cpp
  src/core/text.cpp
  src/core/paths.cpp
  src/core/game_list_file.cpp
  src/core/size_text.cpp
  src/core/exe_match.cpp
  src/core/exe_fallback.cpp
  src/core/row_menu.cpp
  src/core/row_tip.cpp
  src/core/steam_manifest_text.cpp
  src/core/mod_rules.cpp
  src/core/package_rules.cpp
  src/core/pe_version.cpp
  src/core/version_block.cpp
  src/core/columns.cpp
  src/core/settings_keys.cpp
  src/core/settings_rules.cpp
  src/core/window_geometry.cpp
  src/core/layout.cpp
  src/core/button_rules.cpp
  src/core/drive_rules.cpp
  src/core/input_rules.cpp
  src/core/folder_nesting.cpp
  src/core/sha256.cpp
  src/core/file_version.cpp
  src/core/deployment_record.cpp
  src/core/update_rules.cpp
  src/core/launcher_files.cpp
  src/core/found_games.cpp
  src/core/xbox_gaming_root.cpp
  src/core/steam_appinfo.cpp
  src/core/ea_origin.cpp
  src/core/uninstall_rules.cpp
  src/core/launcher_json.cpp
)
