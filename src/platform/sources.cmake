list(APPEND ZRCC_WIN_SOURCES
  src/platform/ui_thread.cpp
  src/platform/app_folder.cpp
  src/platform/files.cpp
  src/platform/listing.cpp
  src/platform/background_job.cpp
  src/platform/dialogs.cpp
  src/platform/list_view.cpp
  src/platform/registry.cpp
  src/platform/processes.cpp
  src/platform/xml_reader.cpp
)
