# Resources linked into ZandRivellCC.exe: the version block and the
# application manifest (common controls 6, per-monitor DPI awareness, long
# paths).
set(ZRCC_PRODUCT_RESOURCES ${CMAKE_SOURCE_DIR}/res/ZandRivellCC.rc)
