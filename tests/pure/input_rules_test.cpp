// The deployment buttons' rule and tooltips, Tab order and the window's keys.
#include <gtest/gtest.h>

#include "core/button_rules.h"
#include "core/control_ids.h"
#include "core/input_rules.h"

namespace zrcc {
namespace {

TEST(ButtonRules, DeploymentButtonsFollowTheRowsTexts) {
  struct Case {
    DeploymentFacts facts;
    bool copy, install, uninstall;
  } cases[] = {
      {{true, L"Copied", L"1.2.3", true}, false, true, false},
      {{true, L"", L"", false}, false, false, false},
      {{true, L"", L"", true}, true, false, false},
      {{true, L"Installed", L"1.2.3", true}, false, false, true},
      {{true, L"Installed", L"1.2.3", false}, false, false, true},
      {{true, L"Copied", L"1.2.3", false}, false, false, false},
      {{true, L"installed", L"1.2.3", true}, false, false, false},
      {{false, L"Copied", L"", true}, false, false, false},
      {{true, L"", L"", true, true}, false, false, false},  // the game's drive is absent
  };
  for (const Case& c : cases) {
    const DeploymentButtons b = DecideDeploymentButtons(c.facts);
    EXPECT_EQ(b.copy, c.copy);
    EXPECT_EQ(b.install, c.install);
    EXPECT_EQ(b.uninstall, c.uninstall);
    // A button that cannot be pressed says what it needs, not what it does.
    for (auto [button, enabled] : {std::pair{DeploymentButton::Copy, b.copy},
                                   std::pair{DeploymentButton::Install, b.install},
                                   std::pair{DeploymentButton::Uninstall, b.uninstall}}) {
      DeploymentFacts ready = c.facts;
      ready.rowSelected = true;
      ready.packageSet = true;
      ready.driveAbsent = false;
      ready.status = button == DeploymentButton::Uninstall ? L"Installed" : L"Copied";
      ready.version = button == DeploymentButton::Copy ? L"" : L"1";
      EXPECT_EQ(DeploymentTip(button, c.facts) == DeploymentTip(button, ready), enabled);
    }
  }
  EXPECT_EQ(DeploymentTip(DeploymentButton::Install, {true, L"", L"", false}),
            DeploymentTip(DeploymentButton::Copy, {true, L"", L"", false}))
      << "both need the package folder first";
}

TEST(InputRules, TabVisitsEveryUsableControlOnceInOrderEitherWay) {
  const std::vector<bool> usable = {true, false, true, true, false, true};
  for (bool backwards : {false, true}) {
    std::vector<size_t> visited;
    std::optional<size_t> at;
    for (int step = 0; step < 8; ++step) {
      at = NextTabStop(usable, at, backwards);
      ASSERT_TRUE(at);
      visited.push_back(*at);
    }
    const std::vector<size_t> forward = {0, 2, 3, 5, 0, 2, 3, 5};
    const std::vector<size_t> back = {5, 3, 2, 0, 5, 3, 2, 0};
    EXPECT_EQ(visited, backwards ? back : forward);
  }
  EXPECT_EQ(NextTabStop({true, false, true}, 1, false), 2u) << "from a control that just became disabled";
  EXPECT_FALSE(NextTabStop({false, false}, std::nullopt, false));
}

TEST(InputRules, KeysStandForTheCommandsOfTheirPlace) {
  EXPECT_EQ(KeyCommand(WindowKey::F5, FocusOn::Elsewhere, 0), kIdRefreshButton);
  EXPECT_EQ(KeyCommand(WindowKey::F5, FocusOn::Button, kIdCopyButton), kIdRefreshButton);
  EXPECT_EQ(KeyCommand(WindowKey::Delete, FocusOn::GameList, 0), kIdDeleteButton);
  EXPECT_EQ(KeyCommand(WindowKey::Delete, FocusOn::Elsewhere, 0), 0);
  EXPECT_EQ(KeyCommand(WindowKey::Enter, FocusOn::GameList, 0), kIdOpenButton);
  EXPECT_EQ(KeyCommand(WindowKey::Enter, FocusOn::Button, kIdCopyButton), kIdCopyButton);
  EXPECT_EQ(KeyCommand(WindowKey::Enter, FocusOn::Elsewhere, 0), 0);
  EXPECT_EQ(KeyCommand(WindowKey::Other, FocusOn::GameList, 0), 0);
}

TEST(InputRules, TypedLettersFindTheNextRowThatBeginsWithThem) {
  const std::vector<std::wstring> rows = {L"C:\\Games\\Alpha", L"D:\\Beta", L"c:\\games\\alpine", L"C:\\Games"};
  const auto find = [&](size_t start, std::wstring_view typed, bool partial, bool wrap) {
    return FindTypedRow(rows.size(), start, typed, partial, wrap, [&](size_t i) { return rows[i]; });
  };
  EXPECT_EQ(find(0, L"c:\\games\\al", true, true), 0u) << "letters compared without case";
  EXPECT_EQ(find(1, L"C:\\GAMES\\AL", true, true), 2u) << "from the start row on";
  EXPECT_EQ(find(3, L"c:\\games\\al", true, true), 0u) << "round to the top";
  EXPECT_FALSE(find(3, L"c:\\games\\al", true, false)) << "not round without wrap";
  EXPECT_EQ(find(0, L"c:\\games", false, true), 3u) << "a whole text only, unless partial";
  EXPECT_EQ(find(9, L"d", true, true), 1u) << "a start past the end begins at the top";
  EXPECT_FALSE(find(0, L"E", true, true));
  EXPECT_FALSE(FindTypedRow(0, 0, L"C", true, true, [](size_t) { return std::wstring(); }));
}

}  // namespace
}  // namespace zrcc
