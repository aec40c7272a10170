# Resources linked into ZandRivellCC.exe: the version block and the
# application manifest (common controls 6, per-monitor DPI awareness, long
# paths).
#
# The version is written once, in project(VERSION) of CMakeLists.txt. It
# reaches the version block and the manifest through two files configured
# into the build tree, and the release archive's name through the same
# variable, so the three cannot disagree. A missing part counts as 0.
foreach(part MAJOR MINOR PATCH TWEAK)
  set(ZRCC_VERSION_${part} ${PROJECT_VERSION_${part}})
  if("${ZRCC_VERSION_${part}}" STREQUAL "")
    set(ZRCC_VERSION_${part} 0)
  endif()
endforeach()
set(ZRCC_VERSION_FOUR ${ZRCC_VERSION_MAJOR}.${ZRCC_VERSION_MINOR}.${ZRCC_VERSION_PATCH}.${ZRCC_VERSION_TWEAK})
set(ZRCC_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/res/zrcc_version.h.in ${ZRCC_GENERATED_DIR}/zrcc_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/res/ZandRivellCC.manifest.in ${ZRCC_GENERATED_DIR}/ZandRivellCC.manifest @ONLY)

set(ZRCC_PRODUCT_RESOURCES ${CMAKE_SOURCE_DIR}/res/ZandRivellCC.rc)
# The resource compiler finds both generated files through this include
# folder; the manifest is no #include, so its dependency is named here.
set_source_files_properties(${ZRCC_PRODUCT_RESOURCES} PROPERTIES
  INCLUDE_DIRECTORIES ${ZRCC_GENERATED_DIR}
  OBJECT_DEPENDS "${ZRCC_GENERATED_DIR}/zrcc_version.h;${ZRCC_GENERATED_DIR}/ZandRivellCC.manifest")
