#include "maintenance/uninstall_outcome.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UninstallOutcome, TheCheckWinsOverTheStepsResult) {
  const struct {
    bool uninstalled;
    int32_t verification;
    int32_t outcome;
  } cases[] = {
      {true, NothingLeft, 0},   {false, NothingLeft, 1},
      {true, ComponentFolderLeft, -1}, {false, ComponentFolderLeft, -1},
      {true, InstallRootLeft, -2},     {false, InstallRootLeft, -2},
      {true, TechnologyKeyLeft, -3},   {false, TechnologyKeyLeft, -3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UninstallOutcome(c.uninstalled, c.verification), c.outcome) << c.uninstalled << " " << c.verification;
}

TEST(UninstallOutcome, EachOutcomeHasItsBox) {
  const struct {
    int32_t outcome;
    const char* caption;
    const char* text;
  } cases[] = {
      {0, "Uninstall", "Success"},
      {-1, "Uninstall Failure", "Couldn't delete directory"},
      {-2, "Uninstall Failure", "Couldn't delete root directory"},
      {-3, "Uninstall Failure", "Couldn't delete registry entries"},
      {1, "Uninstall Failure", "Explorer or Netscape are possibly running."},
  };
  for (const auto& c : cases) {
    UninstallReport report = UninstallOutcomeReport(c.outcome);
    EXPECT_STREQ(report.caption, c.caption) << c.outcome;
    EXPECT_STREQ(report.text, c.text) << c.outcome;
  }
}

TEST(UninstallOutcome, TheQuestionBeginsWithATab) {
  EXPECT_STREQ(UninstallQuestionCaption, "Uninstall");
  EXPECT_EQ(std::string(UninstallQuestionText),
            "\tAre you sure you want to Uninstall?\n(Please Exit Netscape and/or Explorer before clicking Yes)");
}

}  // namespace
