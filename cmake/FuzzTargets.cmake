# Names of the fuzz targets: tests/fuzz/fuzz_<name>.cpp
set(ZRCC_FUZZ_TARGETS
  game_list_reader
  steam_manifest
  exe_match
  pe_version
  deployment_record
  launcher_files
  game_files
  steam_appinfo
  launcher_entries
)
