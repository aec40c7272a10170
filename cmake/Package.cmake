# `package`: the release archive for Windows users. It writes
# <ZRCC_DIST_DIR>/ZandRivellCC-<version>-win64.zip with the two executables,
# the user guide, the licence and the notices of the libraries linked into
# them, and SHA256SUMS beside it. scripts/package.sh builds it in release
# mode; the version in the name is the one the version resource carries.
set(ZRCC_DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Folder that receives the release archive")
find_program(ZRCC_PYTHON NAMES python3 python)
if(NOT ZRCC_PYTHON OR NOT TARGET zrcc-inspect)
  message(STATUS "No Python or no zrcc-inspect: the package target is not available")
  return()
endif()

set(ZRCC_ARCHIVE ${ZRCC_DIST_DIR}/ZandRivellCC-${PROJECT_VERSION}-win64.zip)
add_custom_target(package
  COMMAND ${ZRCC_PYTHON} ${CMAKE_SOURCE_DIR}/release/make_archive.py
    --out ${ZRCC_ARCHIVE} --source-dir ${CMAKE_SOURCE_DIR}
    ZandRivellCC.exe=$<TARGET_FILE:ZandRivellCC>
    zrcc-inspect.exe=$<TARGET_FILE:zrcc-inspect>
    README.txt=${CMAKE_SOURCE_DIR}/release/README.txt
    LICENSE=${CMAKE_SOURCE_DIR}/LICENSE
    THIRD-PARTY-NOTICES.txt=${CMAKE_SOURCE_DIR}/release/THIRD-PARTY-NOTICES.txt
  VERBATIM)
add_dependencies(package ZandRivellCC zrcc-inspect)
