list(APPEND ZRCC_PURE_SOURCES
  src/deploy/mod_rules.cpp
  src/deploy/package_rules.cpp
  src/deploy/pe_version.cpp
  src/deploy/version_block.cpp
)
list(APPEND ZRCC_WIN_SOURCES
  src/deploy/version_reader.cpp
  src/deploy/mod_state.cpp
  src/deploy/folder_size.cpp
  src/deploy/copy_deploy.cpp
  src/deploy/scripts.cpp
)
