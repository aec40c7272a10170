#include "core/update_rules.h"

#include <gtest/gtest.h>

namespace zrcc {
namespace {

FileVersionNumbers V(uint16_t a, uint16_t b, uint16_t c, uint16_t d = 0) { return {{a, b, c, d}}; }

Game GameWith(ModState state, const std::wstring& version, std::optional<FileVersionNumbers> numbers) {
  Game game;
  game.path = L"D:\\Games\\Halcyon";
  game.modState = state;
  game.modVersion = version;
  game.buildVersion = L"build 1";
  game.modFileVersion = numbers;
  return game;
}

const PackageFacts kPackage{true, L"0.8.0", L"build 1", V(0, 8, 0)};

// The fixed version is compared number by number: 0.10 is newer than 0.9,
// which text would call older.
TEST(UpdateRules, OlderGoesByTheFourNumbersAndNeverByAGuess) {
  EXPECT_TRUE(IsOlderVersion(V(0, 6, 2), V(0, 8, 0)));
  EXPECT_TRUE(IsOlderVersion(V(0, 9, 0), V(0, 10, 0)));
  EXPECT_TRUE(IsOlderVersion(V(1, 2, 3, 4), V(1, 2, 3, 5)));
  EXPECT_FALSE(IsOlderVersion(V(0, 10, 0), V(0, 9, 0)));
  EXPECT_FALSE(IsOlderVersion(V(0, 8, 0), V(0, 8, 0)));
  EXPECT_FALSE(IsOlderVersion(std::nullopt, V(0, 8, 0)));
  EXPECT_FALSE(IsOlderVersion(V(0, 6, 2), std::nullopt));

  EXPECT_TRUE(IsOutdated(GameWith(ModState::Installed, L"0.6.2", V(0, 6, 2)), kPackage));
  EXPECT_TRUE(IsOutdated(GameWith(ModState::Copied, L"0.6.2", V(0, 6, 2)), kPackage));
  EXPECT_FALSE(IsOutdated(GameWith(ModState::None, L"", V(0, 6, 2)), kPackage)) << "no mod, nothing outdated";
  EXPECT_FALSE(IsOutdated(GameWith(ModState::Installed, L"0.6.2", std::nullopt), kPackage));
  PackageFacts unset = kPackage;
  unset.set = false;
  EXPECT_FALSE(IsOutdated(GameWith(ModState::Installed, L"0.6.2", V(0, 6, 2)), unset));
}

TEST(UpdateRules, UpdateAndUndoAreOfferedWhereTheyHaveSomethingToDo) {
  const Game old = GameWith(ModState::Installed, L"0.6.2", V(0, 6, 2));
  const Game same = GameWith(ModState::Copied, L"0.8.0", V(0, 8, 0));
  Game rebuilt = same;
  rebuilt.buildVersion = L"build 2";
  Game unreadable = same;
  unreadable.modFileVersion.reset();
  Game updatedByTheGame = same;
  updatedByTheGame.deployment = {RecordHealth::Damaged, {L"dxgi.dll"}, {}, {}};
  Game recorded = same;
  recorded.deployment.health = RecordHealth::Intact;
  Game ignored = same;
  ignored.deployment = {RecordHealth::Ignored, {}, L"line 3: the path \"..\" leads outside the folder", {}};

  EXPECT_TRUE(UpdateEnabled(LifecycleFactsOf(&old, kPackage)));
  EXPECT_FALSE(UpdateEnabled(LifecycleFactsOf(&same, kPackage)));
  EXPECT_TRUE(UpdateEnabled(LifecycleFactsOf(&rebuilt, kPackage)));
  EXPECT_TRUE(UpdateEnabled(LifecycleFactsOf(&unreadable, kPackage)));
  EXPECT_TRUE(UpdateEnabled(LifecycleFactsOf(&updatedByTheGame, kPackage)));
  EXPECT_FALSE(UpdateEnabled(LifecycleFactsOf(nullptr, kPackage)));
  PackageFacts unset = kPackage;
  unset.set = false;
  EXPECT_FALSE(UpdateEnabled(LifecycleFactsOf(&old, unset)));

  EXPECT_TRUE(UndoCopyEnabled(LifecycleFactsOf(&recorded, unset)));
  EXPECT_TRUE(UndoCopyEnabled(LifecycleFactsOf(&updatedByTheGame, kPackage)));
  EXPECT_FALSE(UndoCopyEnabled(LifecycleFactsOf(&same, kPackage))) << "nothing recorded";
  EXPECT_FALSE(UndoCopyEnabled(LifecycleFactsOf(&ignored, kPackage)));
  // A record with work left is undone whatever the status column says: after
  // Install, after Uninstall (no mod seen at all), after a crash mid-copy.
  for (const ModState state : {ModState::Installed, ModState::None, ModState::Copied}) {
    for (const RecordHealth health : {RecordHealth::Intact, RecordHealth::Damaged, RecordHealth::Interrupted}) {
      Game game = GameWith(state, L"", std::nullopt);
      game.deployment.health = health;
      EXPECT_TRUE(UndoCopyEnabled(LifecycleFactsOf(&game, unset))) << static_cast<int>(state);
    }
  }
  // An interrupted copy is finished by Update, whatever arrived of it.
  Game interrupted = same;
  interrupted.deployment.health = RecordHealth::Interrupted;
  EXPECT_TRUE(UpdateEnabled(LifecycleFactsOf(&interrupted, kPackage)));
  EXPECT_FALSE(UpdateEnabled(LifecycleFactsOf(&interrupted, unset)));
  EXPECT_NE(UpdateQuestion(interrupted, kPackage).find(L"interrupted"), std::wstring::npos);
  interrupted.modState = ModState::None;
  EXPECT_NE(DeploymentTipLine(interrupted).find(L"The last copy was interrupted."), std::wstring::npos)
      << "said whatever the status";
}

TEST(UpdateRules, TextsNameTheVersionsAndWhatChanged) {
  const Game old = GameWith(ModState::Installed, L"0.6.2", V(0, 6, 2));
  EXPECT_EQ(OutdatedTipLine(old, kPackage), L"ZandRivell 0.6.2 is in this game; the package holds 0.8.0.");
  EXPECT_EQ(OutdatedTipLine(GameWith(ModState::Installed, L"0.8.0", V(0, 8, 0)), kPackage), L"");
  // The setup script moves the copied files on purpose: no news then.
  Game installed = GameWith(ModState::Installed, L"0.8.0", V(0, 8, 0));
  installed.deployment = {RecordHealth::Damaged, {L"ZandRivell.dll"}, {}, {}};
  EXPECT_EQ(DeploymentTipLine(installed), L"");
  // The count keeps its plain form unless something is outdated.
  EXPECT_EQ(GameCountText(12, 0), L"Games: 12");
  EXPECT_EQ(GameCountText(12, 3), L"Games: 12 (3 outdated)");
}

TEST(UpdateRules, OutdatedCellReadsWell) {
  EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
  const CellColours plain = OutdatedCellColours(false, 0, 0);
  EXPECT_GE(ContrastRatio(plain.text, plain.background), 4.5);
  // It must stand out from the list's black on white.
  EXPECT_GE(ContrastRatio(plain.background, 0x000000), 4.5);
  EXPECT_NE(plain.background, 0xFFFFFFu);
}

}  // namespace
}  // namespace zrcc
