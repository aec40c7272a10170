# Windows-side test programs (each is one Wine start).
zrcc_wine_test(zrcc_win_tests
  tests/win/gtest_main_win.cpp
  tests/win/test_support.cpp
  tests/win/data_file_test.cpp
  tests/win/utf8_corpus_test.cpp
)
