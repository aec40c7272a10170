#include "core/deployment_text.h"

#include <gtest/gtest.h>

#include "core/paths.h"

namespace zrcc {
namespace {

std::wstring Words(uint32_t error) { return L"<system words " + std::to_wstring(error) + L">"; }

// Undo's closing box names the folder without the stray backslash of an
// executable folder that is the game folder itself, says "in part" whenever
// anything was left, and names every file left with its reason.
TEST(DeploymentText, UndoSaysWhatWasLeftAndNamesTheFolderCleanly) {
  UndoOutcome done;
  done.removed = 6;
  done.restored = 1;
  EXPECT_EQ(UndoSummaryText(L"D:\\Games\\Halcyon\\", done, Words),
            L"ZandRivell was taken out of D:\\Games\\Halcyon: 6 files removed, 1 original put back.");
  EXPECT_EQ(FolderForDisplay(L"D:\\"), L"D:\\") << "a drive root keeps its backslash";

  UndoOutcome left = done;
  left.failures = {{L"dxgi.dll", 32}};
  left.originalMissing = {L"d3d12.dll"};
  const std::wstring text = UndoSummaryText(L"D:\\Games\\Halcyon\\", left, Words);
  EXPECT_EQ(text.rfind(L"ZandRivell was taken out of D:\\Games\\Halcyon in part: ", 0), 0u) << text.c_str();
  EXPECT_NE(text.find(L"\n    dxgi.dll: <system words 32>"), std::wstring::npos);
  EXPECT_NE(text.find(L"\n    d3d12.dll"), std::wstring::npos);
  EXPECT_EQ(text.find(L"Halcyon\\:"), std::wstring::npos);
  EXPECT_EQ(text.find(L"Halcyon\\\\"), std::wstring::npos);
}

// Every problem names its file and carries the system's words; a record
// that cannot be read or followed says that nothing was changed.
TEST(DeploymentText, ProblemsNameTheFileAndTheReason) {
  for (const DeployFault fault : {DeployFault::PackageUnreadable, DeployFault::KeepFailed, DeployFault::RecordUnreadable,
                                  DeployFault::RecordNotWritten, DeployFault::FileNotCopied}) {
    const std::wstring text = DeployProblemText({fault, L"D:\\x\\deployed.ini", 33, {}}, Words);
    EXPECT_NE(text.find(L"D:\\x\\deployed.ini"), std::wstring::npos) << static_cast<int>(fault);
    EXPECT_NE(text.find(L"<system words 33>"), std::wstring::npos) << static_cast<int>(fault);
  }
  const std::wstring cut = DeployProblemText({DeployFault::RecordNotUsed, L"D:\\x\\deployed.ini", 0,
                                              L"it was cut short (no end line)"},
                                             Words);
  EXPECT_NE(cut.find(L"D:\\x\\deployed.ini: it was cut short (no end line)."), std::wstring::npos);
  EXPECT_NE(cut.find(L"Nothing in the game was changed."), std::wstring::npos);
  EXPECT_NE(UndoProblemText({DeployFault::RecordUnreadable, L"D:\\x\\deployed.ini", 32, {}}, Words)
                .find(L"Nothing was changed."),
            std::wstring::npos);
  EXPECT_EQ(DeployProblemText({}, Words), L"");
}

}  // namespace
}  // namespace zrcc
