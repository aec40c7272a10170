# JSON for Modern C++ (nlohmann/json, header-only), which the platform-free
# core reads launcher files with and zrcc-inspect writes its output with:
# Debian's nlohmann-json3-dev natively through its CMake package; for the
# cross build only its one header folder is exposed to the cross compiler,
# never the host's /usr/include as a whole.
find_package(nlohmann_json 3 QUIET)
if(NOT nlohmann_json_FOUND AND CMAKE_CROSSCOMPILING AND EXISTS /usr/include/nlohmann/json.hpp)
  set(ZRCC_JSON_INCLUDE ${CMAKE_BINARY_DIR}/json-include)
  file(MAKE_DIRECTORY ${ZRCC_JSON_INCLUDE})
  file(CREATE_LINK /usr/include/nlohmann ${ZRCC_JSON_INCLUDE}/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${ZRCC_JSON_INCLUDE})
  set(nlohmann_json_FOUND TRUE)
endif()
if(NOT nlohmann_json_FOUND)
  message(FATAL_ERROR "nlohmann_json (Debian: nlohmann-json3-dev) is needed: the core reads launcher files with it")
endif()
