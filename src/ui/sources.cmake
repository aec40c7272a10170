list(APPEND ZRCC_PURE_SOURCES
)
list(APPEND ZRCC_WIN_SOURCES
  src/ui/dialogs.cpp
  src/ui/window_handles.cpp
)
