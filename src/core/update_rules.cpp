#include "core/update_rules.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"

namespace zrcc {

namespace {

bool HoldsMod(const Game& game) { return game.modState == ModState::Copied || game.modState == ModState::Installed; }

// A version for the user: the text the list shows, else the fixed numbers.
std::wstring ShownVersion(const std::wstring& text, const std::optional<FileVersionNumbers>& numbers) {
  if (!text.empty()) return text;
  return numbers ? VersionNumbersText(*numbers) : L"an unknown version";
}

std::wstring JoinedNames(const std::vector<std::wstring>& names) {
  constexpr size_t kShown = 5;
  std::wstring text;
  for (size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? L", " : L"") + names[i];
  if (names.size() > kShown) text += L" and " + std::to_wstring(names.size() - kShown) + L" more";
  return text;
}

double Channel(uint32_t colour, int shift) {
  const double c = static_cast<double>((colour >> shift) & 0xFF) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(uint32_t colour) {
  return 0.2126 * Channel(colour, 0) + 0.7152 * Channel(colour, 8) + 0.0722 * Channel(colour, 16);
}

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }

}  // namespace

bool IsOutdated(const Game& game, const PackageFacts& package) {
  return package.set && HoldsMod(game) && IsOlderVersion(game.modFileVersion, package.numbers);
}

bool DiffersFromPackage(const Game& game, const PackageFacts& package) {
  if (!package.set || !HoldsMod(game)) return false;
  return game.modFileVersion != package.numbers || game.modVersion != package.version ||
         game.buildVersion != package.build;
}

LifecycleFacts LifecycleFactsOf(const Game* game, const PackageFacts& package) {
  if (!game) return {};
  return {true,
          game->modState,
          IsOutdated(*game, package),
          DiffersFromPackage(*game, package),
          game->deployment.health,
          package.set,
          game->deployment.health != RecordHealth::None && LowerKey(game->copyFolder) != LowerKey(game->exeFolder)};
}

bool UpdateEnabled(const LifecycleFacts& facts) {
  if (!facts.rowSelected || !facts.packageSet) return false;
  // A copy that was interrupted is finished by copying again, whatever the
  // files that did arrive make the row show.
  const bool redeploy = !facts.recordElsewhere &&
                        ((facts.state == ModState::Copied && facts.record == RecordHealth::Damaged) ||
                         facts.record == RecordHealth::Interrupted);
  return facts.outdated || facts.differs || redeploy;
}

bool UndoCopyEnabled(const LifecycleFacts& facts) {
  // Whatever the status column says: after Install and Uninstall the copy's
  // files and the kept originals are still there to be dealt with, and after
  // a crash the status shows only the files that happened to arrive.
  return facts.rowSelected && (facts.record == RecordHealth::Intact || facts.record == RecordHealth::Damaged ||
                               facts.record == RecordHealth::Interrupted);
}

std::wstring OutdatedTipLine(const Game& game, const PackageFacts& package) {
  if (!IsOutdated(game, package)) return {};
  return L"ZandRivell " + ShownVersion(game.modVersion, game.modFileVersion) + L" is in this game; the package holds " +
         ShownVersion(package.version, package.numbers) + L".";
}

std::wstring DeploymentTipLine(const Game& game) {
  if (game.deployment.health != RecordHealth::None && LowerKey(game.copyFolder) != LowerKey(game.exeFolder)) {
    const std::wstring where = game.copyFolder.empty() ? L"the game folder itself" : game.copyFolder;
    return L"ZandRivell's last copy went into " + where +
           L", not into the executable folder: \"Undo Copy\" takes it out of there.";
  }
  switch (game.deployment.health) {
    case RecordHealth::Damaged:
      if (game.modState != ModState::Copied) return {};
      return L"Files ZandRivell copied here have changed or are gone (" + JoinedNames(game.deployment.changed) +
             L"), by a game update perhaps. \"Update Zandrivell\" copies them again.";
    case RecordHealth::Ignored:
      return L"The record of the last copy (" + std::wstring(kBackupFolderName) + L"\\" + kRecordFileName +
             L") is not used: " + game.deployment.problem + L".";
    case RecordHealth::Interrupted:
      return L"The last copy was interrupted. \"Undo Copy\" takes it back out; \"Update Zandrivell\" finishes it.";
    case RecordHealth::None:
    case RecordHealth::Intact:
      break;
  }
  return {};
}

std::wstring UpdateQuestion(const Game& game, const PackageFacts& package) {
  const std::wstring where = game.name.empty() ? game.path : game.name;
  const std::wstring to = ShownVersion(package.version, package.numbers);
  if (!IsOutdated(game, package) && !DiffersFromPackage(game, package)) {
    return L"Copy ZandRivell " + to + L" into " + where + L" again?\n\n" +
           (game.deployment.health == RecordHealth::Interrupted ? L"The last copy was interrupted."
                                                                 : L"Files of the last copy have changed or are gone.");
  }
  std::wstring question = L"Update ZandRivell in " + where + L" from " +
                          ShownVersion(game.modVersion, game.modFileVersion) + L" to " + to + L"?";
  if (game.modState == ModState::Installed) {
    question += L"\n\nThe removal script runs first, then the package is copied, then its setup script runs.";
  }
  return question;
}

std::wstring GameCountText(int32_t games, int32_t outdated) {
  std::wstring text = L"Games: " + std::to_wstring(games);
  if (outdated > 0) text += L" (" + std::to_wstring(outdated) + L" outdated)";
  return text;
}

CellColours OutdatedCellColours(bool highContrast, uint32_t themeLinkText, uint32_t themeWindow) {
  if (highContrast) return {themeLinkText, themeWindow};
  return {Rgb(140, 45, 0), Rgb(255, 228, 181)};
}

double ContrastRatio(uint32_t first, uint32_t second) {
  const double a = Luminance(first), b = Luminance(second);
  return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace zrcc
