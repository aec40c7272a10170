list(APPEND ZRCC_PURE_SOURCES
  src/ui/settings_rules.cpp
  src/ui/window_geometry.cpp
  src/ui/layout.cpp
  src/ui/button_rules.cpp
  src/ui/input_rules.cpp
)
list(APPEND ZRCC_WIN_SOURCES
  src/ui/dialogs.cpp
  src/ui/window_handles.cpp
  src/ui/main_window.cpp
  src/ui/commands.cpp
  src/ui/startup.cpp
  src/ui/settings.cpp
  src/ui/startup_geometry.cpp
  src/ui/window_input.cpp
)
