#include "core/exe_match.h"

#include <gtest/gtest.h>

#include <cwctype>

#include "core/exe_fallback.h"
#include "core/paths.h"

namespace zrcc {
namespace {

ExecutableCandidate Exe(const std::wstring& folder, const std::wstring& file, const std::wstring& product = L"") {
  return {file, folder, product};
}

TEST(ExeMatch, MatchKeyKeepsLowerCasedLettersAndDigitsOnly) {
  EXPECT_EQ(MatchKey(L"D:\\Games\\Iron Coast 2077"), L"dgamesironcoast2077");
  EXPECT_EQ(MatchKey(L"\\\\?\\C:\\Steam-Library/The_Wanderer 3!"), L"csteamlibrarythewanderer3");
  EXPECT_EQ(MatchKey(L" .\\/:?*"), L"");
#ifdef _WIN32
  // Beyond ASCII the runtime's own classification decides: accented letters
  // are kept (its towlower folds A to Z only), a surrogate half or a symbol
  // is dropped.
  EXPECT_EQ(MatchKey(L"Caf\u00C9\u2122"), L"caf\u00C9");
  EXPECT_EQ(MatchKey(std::wstring{L'a', static_cast<wchar_t>(0xD83C), static_cast<wchar_t>(0xDFAE)}), L"a");
#endif
}

TEST(ExeMatch, FileStemCutsFolderAndLastExtension) {
  EXPECT_EQ(FileStem(L"D:\\Games\\Foo\\bin\\Game.final.exe"), L"Game.final");
  EXPECT_EQ(FileStem(L"D:/Games/Foo/Game.exe"), L"Game");
  EXPECT_EQ(FileStem(L"D:\\Games\\Foo\\.exe"), L"");
  EXPECT_EQ(FileStem(L"README"), L"README");
  EXPECT_EQ(FileStem(L"D:\\Games.v2\\Foo"), L"Foo");  // a dot in a folder name is no extension
  EXPECT_EQ(FileStem(L"D:\\"), L"");
}

TEST(ExeMatch, IsExeNameIgnoresLetterCaseOfTheExtensionOnly) {
  EXPECT_TRUE(IsExeName(L"Game.exe"));
  EXPECT_TRUE(IsExeName(L"Game.EXE"));
  EXPECT_TRUE(IsExeName(L"g.ExE"));
  EXPECT_TRUE(IsExeName(L".exe"));
  EXPECT_FALSE(IsExeName(L"exe"));
  EXPECT_FALSE(IsExeName(L"Game.exe.bak"));
  EXPECT_FALSE(IsExeName(L"Gameexe"));
  EXPECT_FALSE(IsExeName(L"Game.ex"));
  EXPECT_FALSE(IsExeName(L""));
}

TEST(ExeMatch, CandidateFullPathJoinsWithOneBackslash) {
  EXPECT_EQ(CandidateFullPath(Exe(L"D:\\Games\\Foo", L"Foo.exe")), L"D:\\Games\\Foo\\Foo.exe");
  EXPECT_EQ(CandidateFullPath(Exe(L"D:\\", L"D.exe")), L"D:\\D.exe");
  EXPECT_EQ(CandidateFullPath(Exe(L"D:/Games/", L"Foo.exe")), L"D:/Games/Foo.exe");
}

TEST(ExeMatch, FileNamePassRunsOverTheWholeListBeforeProductNames) {
  const std::wstring halcyon = L"D:\\Games\\Halcyon";
  const std::vector<ExecutableCandidate> list = {
      Exe(halcyon, L"unins000.exe", L"Halcyon"),  // product matches, but only in the second pass
      Exe(halcyon + L"\\x64", L"Halcyon.exe"),
  };
  EXPECT_EQ(ChooseExecutable(halcyon, list), 1u);
  EXPECT_EQ(ChooseExecutable(halcyon, {list[0]}), 0u);
}

TEST(ExeMatch, FileStemKeyMustOccurInTheWholePathKey) {
  EXPECT_EQ(ChooseExecutable(L"D:\\Games\\Iron Coast 2077",
                             {Exe(L"D:\\Games\\Iron Coast 2077\\bin\\x64", L"IronCoast2077.exe")}),
            0u);
  EXPECT_EQ(ChooseExecutable(L"E:\\The Wanderer 3", {Exe(L"E:\\The Wanderer 3\\bin", L"wanderer3.exe")}), 0u);
  // gamex64 is not part of "...game".
  EXPECT_EQ(ChooseExecutable(L"D:\\Games\\Game", {Exe(L"D:\\Games\\Game", L"Game_x64.exe")}), std::nullopt);
  // Parent folders and the drive letter count.
  EXPECT_EQ(ChooseExecutable(L"D:\\Games\\Foo", {Exe(L"D:\\Games\\Foo", L"D.exe")}), 0u);
  EXPECT_EQ(ChooseExecutable(L"C:\\Steam\\common\\Foo", {Exe(L"C:\\Steam\\common\\Foo", L"steam.exe")}), 0u);
  // Letter case and punctuation do not matter.
  EXPECT_EQ(ChooseExecutable(L"D:\\Games\\FOO-Bar", {Exe(L"D:\\Games\\FOO-Bar", L"foo_bar.EXE")}), 0u);
}

TEST(ExeMatch, ProductNamePassAndEmptyKeys) {
  const std::wstring foo = L"D:\\Games\\Foo";
  EXPECT_EQ(ChooseExecutable(foo, {Exe(foo, L"launcher.exe", L"Foo")}), 0u);
  EXPECT_EQ(ChooseExecutable(foo, {Exe(foo, L"launcher.exe", L"Foo Game")}), std::nullopt);
  // An empty stem or product key matches nothing, although "" occurs in every text.
  EXPECT_EQ(ChooseExecutable(foo, {Exe(foo, L".exe"), Exe(foo, L"--.exe", L"!!")}), std::nullopt);
  EXPECT_EQ(ChooseExecutable(foo, {Exe(foo, L".exe", L"Games")}), 0u);
  // A game path without letters or digits matches nothing.
  EXPECT_EQ(ChooseExecutable(L"\\\\?\\", {Exe(L"\\\\?\\", L"a.exe", L"a")}), std::nullopt);
  EXPECT_EQ(ChooseExecutable(foo, {}), std::nullopt);
}

// Packaged Unreal games, each layout given as the walk would list it (paths
// below the game folder, product names) with the executable that must win.
TEST(ExeMatch, PackagedGameLauncherGivesWayToTheRealGame) {
  struct Layout {
    const char* what;
    std::vector<std::pair<std::wstring, std::wstring>> files;  // path below the game, ProductName
    std::wstring chosen;
  };
  const std::wstring bootstrap = L"BootstrapPackagedGame";
  const std::wstring shipping = L"Ironveil\\Binaries\\Win64\\Ironveil-Win64-Shipping.exe";
  const std::wstring crash = L"Engine\\Binaries\\Win64\\CrashReportClient.exe";
  const std::vector<Layout> layouts = {
      {"launcher, engine tools and the shipping build",
       {{crash, L""}, {shipping, L"Ironveil"}, {L"Ironveil.exe", bootstrap}}, shipping},
      {"any launcher, WinGDK, other letter case",
       {{L"Ironveil.exe", L""}, {L"ironveil\\BINARIES\\WinGDK\\Ironveil-WinGDK-SHIPPING.EXE", L""}},
       L"ironveil\\BINARIES\\WinGDK\\Ironveil-WinGDK-SHIPPING.EXE"},
      {"several builds: the one named after the launcher",
       {{L"Tools\\Binaries\\Win64\\Editor-Win64-Shipping.exe", L""}, {shipping, L""}, {L"Ironveil.exe", L""}},
       shipping},
      {"several builds, none named after the launcher: the first",
       {{L"A\\Binaries\\Win64\\A-Win64-Shipping.exe", L""}, {L"B\\Binaries\\Win64\\B-Win64-Shipping.exe", L""},
        {L"Ironveil.exe", L""}},
       L"A\\Binaries\\Win64\\A-Win64-Shipping.exe"},
      {"a bootstrap launcher and one renamed build",
       {{L"Ironveil\\Binaries\\Win64\\IronveilGame.exe", L""}, {L"Ironveil.exe", bootstrap}},
       L"Ironveil\\Binaries\\Win64\\IronveilGame.exe"},
      {"a renamed build behind a launcher that is no bootstrap",
       {{L"Ironveil\\Binaries\\Win64\\IronveilGame.exe", L""}, {L"Ironveil.exe", L"Ironveil"}}, L"Ironveil.exe"},
      {"a bootstrap launcher and two renamed builds",
       {{L"Ironveil\\Binaries\\Win64\\Alt1.exe", L""}, {L"Ironveil\\Binaries\\WinGDK\\Alt2.exe", L""},
        {L"Ironveil.exe", bootstrap}},
       L"Ironveil.exe"},
      {"the engine's own shipping tool does not count",
       {{L"Engine\\Binaries\\Win64\\Tool-Win64-Shipping.exe", L""}, {L"Ironveil.exe", bootstrap}}, L"Ironveil.exe"},
      {"not the layout: too deep, too shallow, other platform",
       {{L"x\\Ironveil\\Binaries\\Win64\\I-Win64-Shipping.exe", L""}, {L"Binaries\\Win64\\I-Win64-Shipping.exe", L""},
        {L"Ironveil\\Binaries\\Linux\\I-Win64-Shipping.exe", L""}, {L"Ironveil.exe", bootstrap}},
       L"Ironveil.exe"},
      {"a launcher in a subfolder keeps its choice",
       {{shipping, L""}, {L"bin\\Ironveil.exe", L""}}, L"bin\\Ironveil.exe"},
  };
  for (const std::wstring& game : {std::wstring(L"D:\\Games\\Ironveil"), std::wstring(L"D:\\Games\\Ironveil\\")}) {
    for (const Layout& layout : layouts) {
      std::vector<ExecutableCandidate> list;
      for (const auto& [below, product] : layout.files) {
        const size_t cut = below.find_last_of(L'\\');
        const std::wstring folder = cut == std::wstring::npos ? game : JoinPath(game, below.substr(0, cut));
        list.push_back(Exe(folder, below.substr(cut + 1), product));
      }
      const auto chosen = ChooseExecutable(game, list);
      ASSERT_TRUE(chosen) << layout.what;
      EXPECT_EQ(CandidateFullPath(list[*chosen]), JoinPath(game, layout.chosen)) << layout.what;
      // A launcher that names the executable detection matches, in its own
      // letter case, gets the same real game behind it.
      if (const auto matched = MatchExecutable(game, list)) {
        std::wstring named = CandidateFullPath(list[*matched]);
        for (wchar_t& c : named) c = static_cast<wchar_t>(std::towupper(c));
        const ExecutableChoice byLauncher = LauncherNamedExecutable(game, list, named);
        EXPECT_EQ(byLauncher.index, chosen) << layout.what;
        EXPECT_EQ(byLauncher.how, ExeChoice::Launcher) << layout.what;
      }
      EXPECT_EQ(LauncherNamedExecutable(game, list, JoinPath(game, L"Gone.exe")).index, std::nullopt);
    }
  }
}

// The mod's DLL is 64-bit and a build for the developers is not the one
// players run: a 32-bit or Development or Debug build gives way to a sounder
// build of the same executable, whichever rule chose it, and to nothing else.
TEST(ExeMatch, ASoundBuildWinsOverA32BitOrDevelopmentOne) {
  const std::wstring game = L"D:\\Games\\Kestrel";
  auto built = [&](const std::wstring& below, PeMachine machine) {
    const size_t cut = below.find_last_of(L'\\');
    return ExecutableCandidate{below.substr(cut + 1), JoinPath(game, below.substr(0, cut)), L"", machine};
  };
  auto chosenFolder = [&](const std::vector<ExecutableCandidate>& list) {
    const ExecutableChoice choice = DecideExecutable(game, list);
    return choice.index ? list[*choice.index].folder.substr(game.size()) : L"<none>";
  };
  constexpr PeMachine x86 = PeMachine::X86, x64 = PeMachine::X64;
  // By file name, in walk order.
  EXPECT_EQ(chosenFolder({built(L"Windows32\\Kestrel.exe", x86), built(L"Windows64\\Kestrel.exe", x64)}),
            L"\\Windows64");
  EXPECT_EQ(chosenFolder({built(L"bin\\Debug\\Kestrel.exe", x64), built(L"bin\\Release\\Kestrel.exe", x64)}),
            L"\\bin\\Release");
  EXPECT_EQ(chosenFolder({built(L"Kestrel_Debug.exe", x64), built(L"Kestrel.exe", x86),
                          built(L"x64\\Kestrel_x64.exe", x64)}),
            L"\\x64") << "32-bit counts worse than Debug, and both give way to the sound build";
  // By the fallback: the 32-bit build's folder gives way even when its name says nothing.
  EXPECT_EQ(chosenFolder({built(L"AJ_32Bit\\ks.exe", x86), built(L"AJ_64Bit\\ks.exe", x64)}), L"\\AJ_64Bit");
  // Nothing sounder of the same executable: the choice stands.
  EXPECT_EQ(chosenFolder({built(L"bin\\Kestrel.exe", x86), built(L"tools\\Editor.exe", x64)}), L"\\bin");
  EXPECT_EQ(chosenFolder({built(L"bin\\Kestrel.exe", x86), built(L"x64\\KestrelSetup.exe", x64)}), L"\\bin")
      << "never an installer";
  EXPECT_EQ(chosenFolder({built(L"Kestrel\\Binaries\\Win64\\Kestrel-Win64-Development.exe", x64),
                          built(L"Kestrel\\Binaries\\Win64\\Kestrel-Win64-Shipping.exe", x64)}),
            L"\\Kestrel\\Binaries\\Win64");
  EXPECT_TRUE(IsDevelopmentBuild(game, built(L"Kestrel\\Binaries\\Win64\\Kestrel-Win64-Development.exe", x64)));
  EXPECT_FALSE(IsDevelopmentBuild(game, built(L"Debugger\\Kestrel.exe", x64)));
  // Unknown machines (no PE header read) are never taken for 32-bit builds.
  const std::vector<ExecutableCandidate> unknown = {built(L"a\\Kestrel.exe", PeMachine::Unknown),
                                                    built(L"b\\Kestrel.exe", x64)};
  EXPECT_EQ(PreferSoundBuild(game, unknown, 0), 0u);
}

}  // namespace
}  // namespace zrcc
