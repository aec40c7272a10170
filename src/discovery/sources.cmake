list(APPEND ZRCC_PURE_SOURCES
  src/discovery/exe_match.cpp
  src/discovery/steam_manifest_text.cpp
)
list(APPEND ZRCC_WIN_SOURCES
  src/discovery/exe_detection.cpp
  src/discovery/steam_manifests.cpp
  src/discovery/folder_intake.cpp
)
