list(APPEND ZRCC_WIN_SOURCES
  src/ui/package.cpp
  src/ui/notices.cpp
  src/ui/game_list_pane.cpp
  src/ui/main_window.cpp
  src/ui/window_input.cpp
  src/ui/commands.cpp
  src/ui/row_commands.cpp
  src/ui/row_tooltip.cpp
  src/ui/deploy_checks.cpp
  src/ui/busy_look.cpp
  src/ui/mod_lifecycle.cpp
  src/ui/settings.cpp
  src/ui/startup_geometry.cpp
  src/ui/startup.cpp
)
