// A deployment can always be undone: killed at any point of a copy or of an
// undo, after Install and Uninstall, while the game holds its files open,
// after an update that was interrupted, the game ends byte for byte as it
// was before the first copy (the backup folder aside); and a record that
// cannot be read stops a copy before it changes anything.
#include "deploy/deployment.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "core/paths.h"
#include "core/sha256.h"
#include "core/update_rules.h"
#include "deploy/mod_state.h"
#include "deploy/scripts.h"
#include "win/test_support.h"

namespace zrcc {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;
// Every file below a folder with the SHA-256 of its bytes, every folder as "/".
using Tree = std::map<std::wstring, std::wstring>;

Tree Hashes(const std::wstring& folder, bool withBackup, const std::wstring& prefix = L"") {
  Tree tree;
  for (const std::wstring& name : test::ListNames(folder)) {
    if (prefix.empty() && !withBackup && name == kBackupFolderName) continue;
    const std::wstring path = JoinPath(folder, name);
    if (test::DirExists(path)) {
      tree[prefix + name] = L"/";
      for (auto& [inner, hash] : Hashes(path, withBackup, prefix + name + L"\\")) tree[inner] = hash;
    } else {
      tree[prefix + name] = Sha256Hex(ReadFileBytes(path));
    }
  }
  return tree;
}
Tree GameFiles(const std::wstring& folder) { return Hashes(folder, false); }

// A file held open as a running game holds its DLLs: others may read it,
// nobody may change, replace or delete it.
class HeldOpen {
 public:
  explicit HeldOpen(const std::wstring& path, DWORD share = FILE_SHARE_READ)
      : file_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  bool ok() const { return static_cast<bool>(file_); }

 private:
  UniqueHandle file_;
};

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The deployment tool, ended before step `endBefore` (0: run to the end).
test::ProcessResult DeploySteps(const std::wstring& arguments, unsigned long endBefore = 0) {
  return test::RunProcess(test::TestProgramFolder() + L"\\zrcc-deploy-steps.exe",
                          arguments + (endBefore ? L" " + std::to_wstring(endBefore) : std::wstring()));
}

unsigned long StepsOf(const test::ProcessResult& run) {
  return run.output.rfind("steps ", 0) == 0 ? std::stoul(run.output.substr(6)) : 0;
}

bool UndoOffered(const DeploymentHealth& health) {
  Game row;  // what the status column says does not matter
  row.deployment = health;
  return UndoCopyEnabled(LifecycleFactsOf(&row, PackageFacts{}));
}

// A package of `folders` times 100 small files and a few more, two of which
// replace the game's own DLLs; `version` makes every file's content its own.
constexpr int kShadersEach = 100;
void MakePackage(const std::wstring& package, const std::string& version, int folders) {
  test::CopyFileOrFail(test::Fixture(L"mod_080.dll"), package + L"\\ZandRivell.dll");
  if (version != "v1") WriteFileBytes(package + L"\\ZandRivell.dll", "ZandRivell " + version);
  WriteFileBytes(package + L"\\dxgi.dll", "the mod's proxy dxgi " + version);
  WriteFileBytes(package + L"\\d3d12.dll", "the mod's proxy d3d12 " + version);
  WriteFileBytes(package + L"\\setup_windows.bat", "@echo off\r\nren ZandRivell.dll winmm.dll\r\n");
  WriteFileBytes(package + L"\\Remove Zandrivell.bat", "@echo off\r\ndel winmm.dll\r\n");
  WriteFileBytes(package + L"\\Licenses\\LICENSE.txt", "licence");
  for (int folder = 0; folder < folders; ++folder) {
    const std::wstring inner = package + L"\\shaders\\set" + std::to_wstring(folder);
    test::MakeDirs(inner);
    for (int i = 0; i < kShadersEach; ++i) {
      WriteFileBytes(inner + L"\\s" + std::to_wstring(i) + L".bin",
                     version + " shader " + std::to_string(folder) + "/" + std::to_string(i) +
                         std::string(static_cast<size_t>(i % 7) * 13, 'x'));
    }
  }
}

class JournalTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    packages = std::make_unique<TempDir>();
    MakePackage(*packages / L"large", "v1", kLargeFolders);
    MakePackage(*packages / L"v1", "v1", 2);
    MakePackage(*packages / L"v2", "v2", 2);
  }
  static void TearDownTestSuite() { packages.reset(); }

  void SetUp() override {
    FreshGame();
    before = GameFiles(game);
  }

  // The game as it was before any copy: its executable, its own two DLLs
  // the package replaces, its data, and a folder of its own the package
  // also has.
  void FreshGame() {
    test::RemoveTree(dir / L"Halcyon");
    WriteFileBytes(game + L"\\Halcyon.exe", "MZ the game");
    WriteFileBytes(game + L"\\dxgi.dll", std::string("MZ the game's own dxgi\0\xff", 24));
    WriteFileBytes(game + L"\\d3d12.dll", "MZ the game's own d3d12, somewhat longer than the mod's");
    for (int i = 0; i < 5; ++i) WriteFileBytes(game + L"\\data\\level" + std::to_wstring(i) + L".pak", "level");
    WriteFileBytes(game + L"\\shaders\\own.txt", "the game's own shader notes");
  }

  // Update Zandrivell's copy, in this process, to its end.
  void CopyIn(const std::wstring& package) {
    DeploymentPlan plan;
    const DeployProblem problem = PrepareDeployment(package, game, plan);
    ASSERT_FALSE(problem) << test::Utf8(ProblemWords(problem));
    ASSERT_FALSE(CopyPlannedFiles(plan));
    ASSERT_TRUE(FinishDeployment(plan).Complete());
  }

  void ExpectUndoneExactly(const std::string& when) {
    const UndoOutcome outcome = UndoDeployment(game);
    EXPECT_TRUE(outcome.AllDone()) << when << ": " << test::Utf8(UndoSummaryText(game, outcome, WindowsSystemWords()))
                                   << test::Utf8(UndoProblemText(outcome.problem, WindowsSystemWords()));
    EXPECT_EQ(GameFiles(game), before) << when;
    EXPECT_FALSE(test::FileExists(DeploymentRecordPath(game))) << when;
  }

  static inline std::unique_ptr<TempDir> packages;
  static constexpr int kLargeFolders = 20;
  static std::wstring Large() { return *packages / L"large"; }  // 2,000 files and more
  static std::wstring V1() { return *packages / L"v1"; }
  static std::wstring V2() { return *packages / L"v2"; }
  TempDir dir;
  std::wstring game = dir / L"Halcyon\\bin";
  Tree before;
};

TEST_F(JournalTest, ACopyOfALargePackageKilledAtAnyPointIsUndoneExactly) {
  const test::ProcessResult whole = DeploySteps(L"copy " + Quoted(Large()) + L" " + Quoted(game));
  ASSERT_EQ(whole.exitCode, 0u) << whole.output;
  const unsigned long steps = StepsOf(whole);
  ASSERT_GT(steps, static_cast<unsigned long>(kLargeFolders * kShadersEach));
  ExpectUndoneExactly("after the whole copy");

  // Before the second original is kept, before the record, half-way
  // through the files, before the record is confirmed with every file there.
  for (const unsigned long at : {2ul, 3ul, steps / 2, steps}) {
    FreshGame();
    const test::ProcessResult killed = DeploySteps(L"copy " + Quoted(Large()) + L" " + Quoted(game), at);
    ASSERT_EQ(killed.exitCode, 9u) << at << ": " << killed.output;
    const DeploymentHealth health = CheckDeployment(game);
    if (at > 3) {
      EXPECT_EQ(health.health, RecordHealth::Interrupted) << at;
      EXPECT_TRUE(UndoOffered(health)) << at;
      ExpectUndoneExactly("killed before step " + std::to_string(at));
    } else {
      // Killed before the record: only copies in the backup were made.
      EXPECT_EQ(health.health, RecordHealth::None) << at;
      EXPECT_EQ(GameFiles(game), before) << at;
    }
  }
}

TEST_F(JournalTest, AnUndoKilledAtAnyPointIsFinishedByTheNext) {
  CopyIn(V1());
  const Tree copied = GameFiles(game);
  const test::ProcessResult whole = DeploySteps(L"undo " + Quoted(game));
  ASSERT_EQ(whole.exitCode, 0u) << whole.output;
  EXPECT_EQ(GameFiles(game), before);
  const unsigned long steps = StepsOf(whole);
  ASSERT_GT(steps, 200ul);

  // Before the first original goes back, between the two, half-way through
  // the mod's files, before the record that is left is written.
  for (const unsigned long at : {1ul, 2ul, steps / 2, steps}) {
    FreshGame();
    CopyIn(V1());
    const test::ProcessResult killed = DeploySteps(L"undo " + Quoted(game), at);
    ASSERT_EQ(killed.exitCode, 9u) << at << ": " << killed.output;
    // Never a place with neither the game's file nor the mod's.
    const Tree now = GameFiles(game);
    for (const auto& [path, hash] : before) {
      const auto found = now.find(path);
      EXPECT_TRUE(found != now.end() && (found->second == hash || found->second == copied.at(path)))
          << at << ": " << test::Utf8(path);
    }
    EXPECT_TRUE(UndoOffered(CheckDeployment(game))) << at;
    ExpectUndoneExactly("undo killed before step " + std::to_string(at));
  }
}

// Install renames the copied ZandRivell.dll, Uninstall deletes it: the row
// no longer says "Copied", and Undo still puts the game's own DLLs back.
TEST_F(JournalTest, CopyInstallUninstallThenUndoPutsTheGameBack) {
  CopyIn(V1());
  Game row;
  row.path = dir / L"Halcyon";
  row.exeFolder = L"bin";
  const ScriptFolders folders{game, row.path};
  ASSERT_TRUE(RunGameScript(GameScript::Setup, folders).ran);
  DetectModState(row);
  EXPECT_EQ(row.modState, ModState::Installed);
  EXPECT_TRUE(UndoCopyEnabled(LifecycleFactsOf(&row, PackageFacts{})));
  ASSERT_TRUE(RunGameScript(GameScript::Removal, folders).ran);
  DetectModState(row);
  EXPECT_EQ(row.modState, ModState::None);
  EXPECT_TRUE(UndoCopyEnabled(LifecycleFactsOf(&row, PackageFacts{}))) << "after Uninstall the status is empty";
  ExpectUndoneExactly("after Install and Uninstall");
}

TEST_F(JournalTest, ACopyThatFailsAndAnUndoWhileTheGameRunsAreFinishedByTheNextUndo) {
  // A copy that fails half-way (a full disk, a file in the way): the record
  // written before it lets Undo take back what did arrive.
  {
    DeploymentPlan plan;
    ASSERT_FALSE(PrepareDeployment(V1(), game, plan));
    const std::wstring blocked = JoinPath(game, plan.files[plan.files.size() / 2].path);
    test::MakeDirs(blocked);
    EXPECT_EQ(CopyPlannedFiles(plan).fault, DeployFault::FileNotCopied);
    EXPECT_FALSE(FinishDeployment(plan).Complete());
    EXPECT_EQ(CheckDeployment(game).health, RecordHealth::Interrupted);
    RemoveDirectoryW(blocked.c_str());  // the space freed again
  }
  ExpectUndoneExactly("after a copy that failed half-way");

  // Undo while the game runs: what it holds stays, recorded, for the next.
  CopyIn(V1());
  {
    const HeldOpen dxgi(game + L"\\dxgi.dll"), d3d12(game + L"\\d3d12.dll"), mod(game + L"\\ZandRivell.dll");
    ASSERT_TRUE(dxgi.ok() && d3d12.ok() && mod.ok());
    const UndoOutcome first = UndoDeployment(game);
    EXPECT_EQ(first.failures.size(), 3u) << test::Utf8(UndoSummaryText(game, first, WindowsSystemWords()));
    EXPECT_EQ(first.restored, 0);
    EXPECT_TRUE(UndoOffered(CheckDeployment(game)));
  }
  ExpectUndoneExactly("once the game has quit");
}

// The mod's own files, from either version, are never taken for the game's
// originals, however the update before was cut short.
TEST_F(JournalTest, AnUpdateKilledHalfWayThenUpdatedAndUndoneLeavesTheGameAsItWas) {
  CopyIn(V1());
  const test::ProcessResult killed =
      DeploySteps(L"copy " + Quoted(V2()) + L" " + Quoted(game), 2 * kShadersEach / 2);
  ASSERT_EQ(killed.exitCode, 9u) << killed.output;
  EXPECT_EQ(CheckDeployment(game).health, RecordHealth::Interrupted);
  CopyIn(V2());
  const LoadedRecord loaded = LoadDeploymentRecord(game);
  ASSERT_EQ(loaded.found, RecordFound::Valid);
  EXPECT_FALSE(loaded.record.Interrupted());
  ASSERT_EQ(loaded.record.kept.size(), 2u);
  for (const KeptFile& kept : loaded.record.kept) EXPECT_EQ(kept.sha256, before.at(kept.path)) << test::Utf8(kept.path);
  ExpectUndoneExactly("after the update done again");
}

// A record held open by another program, or cut short, stops an update
// before anything is changed, the backup included, and says which file.
TEST_F(JournalTest, ARecordThatCannotBeReadStopsTheUpdateWithNothingChanged) {
  CopyIn(V1());
  const Tree all = Hashes(game, true);
  const std::wstring record = DeploymentRecordPath(game);
  {
    const HeldOpen backupTool(record, 0);
    ASSERT_TRUE(backupTool.ok());
    DeploymentPlan plan;
    const ULONGLONG start = GetTickCount64();
    const DeployProblem problem = PrepareDeployment(V2(), game, plan);
    EXPECT_EQ(problem.fault, DeployFault::RecordUnreadable);
    EXPECT_EQ(problem.path, record);
    EXPECT_GE(GetTickCount64() - start, 2500u) << "a held record is waited for";
    EXPECT_EQ(UndoDeployment(game).problem.fault, DeployFault::RecordUnreadable);
  }
  EXPECT_EQ(Hashes(game, true), all);

  std::string bytes = ReadFileBytes(record);
  bytes.resize(bytes.rfind("End="));
  WriteFileBytes(record, bytes);
  const Tree cut = Hashes(game, true);
  DeploymentPlan plan;
  EXPECT_EQ(PrepareDeployment(V2(), game, plan).fault, DeployFault::RecordNotUsed);
  EXPECT_EQ(Hashes(game, true), cut);
}

}  // namespace
}  // namespace zrcc
