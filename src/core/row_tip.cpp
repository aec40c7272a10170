#include "core/row_tip.h"

#include <vector>

#include "core/drive_rules.h"

namespace zrcc {

std::wstring RowTip(const RowTipFacts& facts) {
  std::vector<std::wstring> lines;
  if (facts.driveAbsent) lines.push_back(AbsentDriveTip(facts.path));
  if (facts.noExecutableChosen) {
    lines.push_back(L"No executable of this game was recognised: ZandRivell would go into the game folder itself.");
    lines.push_back(L"To choose the executable's folder: right-click the row, Choose Executable Folder...");
  }
  for (const std::wstring* line : {&facts.outdated, &facts.deployment, &facts.antiCheat}) {
    if (!line->empty()) lines.push_back(*line);
  }
  if (facts.runs32Bit) lines.push_back(L"Runs as a 32-bit program: the ZandRivell DLL (64-bit) cannot load into it.");
  lines.insert(lines.end(), facts.upscalers.begin(), facts.upscalers.end());
  std::wstring text;
  for (const std::wstring& line : lines) {
    if (!text.empty()) text += L"\r\n";
    text += line;
  }
  return text;
}

}  // namespace zrcc
