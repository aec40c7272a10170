// Copies that can be taken back: what a copy replaces is kept, what it
// wrote is recorded, and Undo follows the record, never outside the game's
// executable folder.
#include "deploy/deployment.h"

#include <gtest/gtest.h>

#include <map>

#include "core/paths.h"
#include "core/sha256.h"
#include "deploy/copy_deploy.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;
using Tree = std::map<std::wstring, std::string>;

// Every file below `folder` with its bytes, and every folder (with "/").
Tree Snapshot(const std::wstring& folder, const std::wstring& prefix = L"") {
  Tree tree;
  for (const std::wstring& name : test::ListNames(folder)) {
    const std::wstring path = JoinPath(folder, name);
    if (test::DirExists(path)) {
      tree[prefix + name + L"/"] = "";
      for (auto& [inner, bytes] : Snapshot(path, prefix + name + L"\\")) tree[inner] = bytes;
    } else {
      tree[prefix + name] = ReadFileBytes(path);
    }
  }
  return tree;
}

class DeploymentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFileBytes(game + L"\\Halcyon.exe", "MZ game");
    WriteFileBytes(game + L"\\dxgi.dll", gamesOwnDxgi);
    WriteFileBytes(package + L"\\ZandRivell.dll", test::ReadFileBytes(test::Fixture(L"mod_080.dll")));
    WriteFileBytes(package + L"\\dxgi.dll", "the mod's proxy dxgi");
    WriteFileBytes(package + L"\\shaders\\a.bin", "shader");
    WriteFileBytes(package + L"\\Licenses\\LICENSE.txt", "licence");
  }

  // Copy Zandrivell's way: keep, copy through the shell (its questions
  // answered with `answer`), record.
  void ShellCopy(int answer, int questions = 1) {
    DeploymentPlan plan;
    const DeployProblem problem = PrepareDeployment(package, game, plan);
    ASSERT_FALSE(problem) << test::Utf8(ProblemWords(problem));
    {
      test::ShellDialogAnswerer answerer(answer);
      CopyPlanWithShell(plan);
      EXPECT_EQ(answerer.answered(), questions) << "one question for each file of the game's: dxgi.dll...";
    }
    ASSERT_FALSE(FinishDeployment(plan).recordProblem);
  }

  TempDir dir;
  std::wstring game = dir / L"Halcyon\\bin";
  std::wstring package = dir / L"package";
  const std::string gamesOwnDxgi = std::string("MZ the game's own dxgi\0\xff\x01", 25);
};

TEST_F(DeploymentTest, UndoTakesOutWhatTheCopyWroteAndPutsTheOriginalBackByteForByte) {
  const Tree before = Snapshot(game);
  ShellCopy(IDYES);
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), "the mod's proxy dxgi");
  const LoadedRecord loaded = LoadDeploymentRecord(game);
  ASSERT_EQ(loaded.found, RecordFound::Valid) << test::Utf8(loaded.problem);
  ASSERT_EQ(loaded.record.written.size(), 3u);
  for (const WrittenFile& file : loaded.record.written) {
    const std::string bytes = ReadFileBytes(JoinPath(package, file.path));
    EXPECT_EQ(file.size, bytes.size());
    EXPECT_EQ(file.sha256, Sha256Hex(bytes)) << test::Utf8(file.path);
  }
  ASSERT_EQ(loaded.record.kept.size(), 1u);
  EXPECT_EQ(ReadFileBytes(JoinPath(JoinPath(game + L"\\.zandrivell-backup", loaded.record.kept[0].backup), L"dxgi.dll")),
            gamesOwnDxgi);
  EXPECT_EQ(loaded.record.made, std::vector<std::wstring>{L"shaders"});
  EXPECT_EQ(CheckDeployment(game).health, RecordHealth::Intact);

  const UndoOutcome outcome = UndoDeployment(game);
  EXPECT_FALSE(outcome.problem);
  EXPECT_EQ(outcome.removed, 3);
  EXPECT_EQ(outcome.restored, 1);
  EXPECT_TRUE(outcome.changed.empty() && outcome.stillKept.empty() && outcome.failures.empty());
  EXPECT_EQ(Snapshot(game), before) << "the folder is as it was, backup and record gone";
}

// A game update puts its own files back over the copied ones: the refresh
// notices, and Undo leaves the game's new file alone and keeps the original.
TEST_F(DeploymentTest, FilesChangedSinceTheCopyAreNoticedAndLeftInPlace) {
  ShellCopy(IDYES);
  WriteFileBytes(game + L"\\dxgi.dll", "the game's dxgi after an update");
  WriteFileBytes(game + L"\\shaders\\note.txt", "the user's own file");
  const DeploymentHealth health = CheckDeployment(game);
  EXPECT_EQ(health.health, RecordHealth::Damaged);
  EXPECT_EQ(health.changed, std::vector<std::wstring>{L"dxgi.dll"});

  const UndoOutcome outcome = UndoDeployment(game);
  EXPECT_EQ(outcome.removed, 2);
  EXPECT_EQ(outcome.restored, 0);
  EXPECT_EQ(outcome.changed, std::vector<std::wstring>{L"dxgi.dll"});
  EXPECT_EQ(outcome.stillKept, std::vector<std::wstring>{L"dxgi.dll"});
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), "the game's dxgi after an update");
  EXPECT_EQ(ReadFileBytes(game + L"\\shaders\\note.txt"), "the user's own file");
  // The original stays kept, and recorded, for a later undo.
  const LoadedRecord left = LoadDeploymentRecord(game);
  ASSERT_EQ(left.found, RecordFound::Valid);
  ASSERT_EQ(left.record.kept.size(), 1u);
  EXPECT_EQ(ReadFileBytes(game + L"\\.zandrivell-backup\\" + left.record.kept[0].backup + L"\\dxgi.dll"), gamesOwnDxgi);
}

// The user says no to replacing the game's file: it is not the copy's, so it
// is neither recorded nor kept, and Undo never touches it.
TEST_F(DeploymentTest, AFileTheUserWouldNotReplaceStaysTheGamesOwn) {
  ShellCopy(IDNO);
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), gamesOwnDxgi);
  const LoadedRecord loaded = LoadDeploymentRecord(game);
  ASSERT_EQ(loaded.found, RecordFound::Valid);
  EXPECT_EQ(loaded.record.written.size(), 2u);
  EXPECT_TRUE(loaded.record.kept.empty());
  EXPECT_EQ(test::ListNames(game + L"\\.zandrivell-backup"), std::vector<std::wstring>{L"deployed.ini"});
  const UndoOutcome outcome = UndoDeployment(game);
  EXPECT_EQ(outcome.removed, 2);
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), gamesOwnDxgi);
  EXPECT_FALSE(test::DirExists(game + L"\\.zandrivell-backup"));
}

// The backup folder removed by hand: the mod's file whose original is gone
// stays in place (the game is never left with neither) and is named, and
// stays recorded; the other original goes back.
TEST_F(DeploymentTest, AReplacementWhoseOriginalIsMissingIsLeftInPlaceAndNamed) {
  WriteFileBytes(package + L"\\d3d12.dll", "the mod's proxy d3d12");
  WriteFileBytes(game + L"\\d3d12.dll", "the game's own d3d12");
  ShellCopy(IDYES, 2);
  const LoadedRecord loaded = LoadDeploymentRecord(game);
  ASSERT_EQ(loaded.record.kept.size(), 2u);
  const std::wstring backup = game + L"\\.zandrivell-backup\\" + loaded.record.kept[0].backup;
  ASSERT_TRUE(DeleteFileW((backup + L"\\dxgi.dll").c_str()));
  const UndoOutcome outcome = UndoDeployment(game);
  EXPECT_EQ(outcome.originalMissing, std::vector<std::wstring>{L"dxgi.dll"});
  EXPECT_EQ(ReadFileBytes(game + L"\\dxgi.dll"), "the mod's proxy dxgi");
  EXPECT_EQ(ReadFileBytes(game + L"\\d3d12.dll"), "the game's own d3d12");
  EXPECT_EQ(CheckDeployment(game).health, RecordHealth::Intact) << "still recorded, for when the original is back";
}

// A record that cannot be written (a full disk) stops the copy before it:
// the originals kept for it go again, and nothing of the game's changed.
TEST_F(DeploymentTest, ACopyWhoseRecordCannotBeWrittenChangesNothing) {
  const Tree before = Snapshot(game);
  test::MakeDirs(game + L"\\.zandrivell-backup\\deployed.ini.saving");  // where the record is written first
  DeploymentPlan plan;
  EXPECT_EQ(PrepareDeployment(package, game, plan).fault, DeployFault::RecordNotWritten);
  RemoveDirectoryW((game + L"\\.zandrivell-backup\\deployed.ini.saving").c_str());
  RemoveDirectoryW((game + L"\\.zandrivell-backup").c_str());  // it held nothing else
  EXPECT_EQ(Snapshot(game), before);
}

// Records that lead outside the folder, or into it through a link, are never
// followed: the file they name outside survives Undo.
TEST_F(DeploymentTest, HostileRecordsAreNeverFollowedOutsideTheFolder) {
  const std::wstring outside = dir / L"outside";
  const std::string victim = "a file outside the game";
  WriteFileBytes(outside + L"\\victim.dll", victim);
  WriteFileBytes(outside + L"\\backup\\20240101-000000\\victim.dll", "planted");
  const std::wstring record = game + L"\\.zandrivell-backup\\deployed.ini";
  const std::string written = "|" + test::Utf8(Sha256Hex(victim)) + "|";
  const std::string size = std::to_string(victim.size());
  test::FolderLink link(game + L"\\linked", L"../../outside");
  ASSERT_TRUE(link.ok());

  const std::string ignoredRecords[] = {
      "Written=" + size + written + "..\\..\\outside\\victim.dll",
      "Written=" + size + written + "C:\\Windows\\victim.dll",
      "Written=" + size + written + "dxgi.dll:stream",
  };
  for (const std::string& line : ignoredRecords) {
    WriteFileBytes(record, "Format=1\r\n" + line + "\r\nEnd=1\r\n");
    EXPECT_EQ(CheckDeployment(game).health, RecordHealth::Ignored) << line;
    EXPECT_TRUE(UndoDeployment(game).problem) << line;
  }
  // Well formed, but through a link: the file is not the copy's to remove,
  // and nothing is put back through it.
  WriteFileBytes(game + L"\\.zandrivell-backup\\20240101-000000\\linked\\new.dll", "kept");
  WriteFileBytes(record, "Format=1\r\nWritten=" + size + written +
                             "linked\\victim.dll\r\nKept=20240101-000000|linked\\new.dll\r\nEnd=2\r\n");
  EXPECT_EQ(CheckDeployment(game).changed, std::vector<std::wstring>{L"linked\\victim.dll"});
  const UndoOutcome outcome = UndoDeployment(game);
  EXPECT_EQ(outcome.removed, 0);
  EXPECT_EQ(outcome.restored, 0);
  EXPECT_FALSE(FileExists(outside + L"\\new.dll"));
  // The backup folder itself a link elsewhere: no record at all is read there.
  test::RemoveTree(game + L"\\.zandrivell-backup");
  WriteFileBytes(outside + L"\\backup\\deployed.ini", "Format=1\r\nKept=20240101-000000|victim.dll\r\nEnd=1\r\n");
  test::FolderLink backupLink(game + L"\\.zandrivell-backup", L"../../outside/backup");
  ASSERT_TRUE(backupLink.ok());
  EXPECT_EQ(CheckDeployment(game).health, RecordHealth::Ignored);
  EXPECT_TRUE(UndoDeployment(game).problem);
  EXPECT_EQ(ReadFileBytes(outside + L"\\victim.dll"), victim);
  EXPECT_EQ(ReadFileBytes(outside + L"\\backup\\20240101-000000\\victim.dll"), "planted");
}

}  // namespace
}  // namespace zrcc
