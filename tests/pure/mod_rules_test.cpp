#include "core/mod_rules.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

std::wstring ExeFolderOf(const std::wstring& path, const std::wstring& exeFolder) {
  Game game;
  game.path = path;
  game.exeFolder = exeFolder;
  return ExeFolderPath(game);
}

TEST(ModRules, ExeFolderJoinsWithExactlyOneSeparator) {
  EXPECT_EQ(ExeFolderOf(L"D:\\Games\\Alpha", L"bin\\x64"), L"D:\\Games\\Alpha\\bin\\x64");
  EXPECT_EQ(ExeFolderOf(L"D:\\Games\\Alpha", L""), L"D:\\Games\\Alpha\\");
  EXPECT_EQ(ExeFolderOf(L"D:\\Games\\Alpha\\", L"bin"), L"D:\\Games\\Alpha\\bin");
  EXPECT_EQ(ExeFolderOf(L"D:/Games/Alpha/", L"bin"), L"D:/Games/Alpha/bin");
  EXPECT_EQ(ExeFolderOf(L"", L"bin"), L"bin");
}

TEST(ModRules, DllCandidatesEndInDotDllInAnyCase) {
  EXPECT_TRUE(IsDllCandidateName(L"dxgi.dll"));
  EXPECT_TRUE(IsDllCandidateName(L"mod.DLL"));
  EXPECT_TRUE(IsDllCandidateName(L".dll"));
  EXPECT_FALSE(IsDllCandidateName(L"dll"));
  EXPECT_FALSE(IsDllCandidateName(L"mod.dll.bak"));
  EXPECT_FALSE(IsDllCandidateName(L"mod.dl"));
  EXPECT_FALSE(IsDllCandidateName(L""));
}

TEST(ModRules, PlainNameIsTheWholeNameInAnyCase) {
  EXPECT_TRUE(IsPlainModDllName(L"zandrivell.dll"));
  EXPECT_TRUE(IsPlainModDllName(L"ZANDRIVELL.DLL"));
  EXPECT_TRUE(IsPlainModDllName(L"ZandRivell.dll"));
  EXPECT_FALSE(IsPlainModDllName(L"zandrivell.dll.old"));
  EXPECT_FALSE(IsPlainModDllName(L"my_zandrivell.dll"));
  EXPECT_FALSE(IsPlainModDllName(L"zandrivell"));
}

TEST(ModRules, StateFollowsTheFoundDllThePlainNameAndTheFileVersion) {
  EXPECT_EQ(DecideModState(false, false, L""), ModState::None);
  EXPECT_EQ(DecideModState(false, true, L"1.0"), ModState::None);
  EXPECT_EQ(DecideModState(true, true, L""), ModState::Copied);
  EXPECT_EQ(DecideModState(true, true, L"1.0"), ModState::Copied);
  EXPECT_EQ(DecideModState(true, false, L"1.0"), ModState::Installed);
  EXPECT_EQ(DecideModState(true, false, L""), ModState::None);
}

}  // namespace
}  // namespace zrcc
