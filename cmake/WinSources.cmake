# Windows-side units of the product (everything but the entry point).
set(ZRCC_WIN_SOURCES
  src/ui/dialogs.cpp
  src/helpers/app_folder.cpp
  src/helpers/data_file.cpp
)
