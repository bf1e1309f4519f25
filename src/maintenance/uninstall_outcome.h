#pragma once
// What an uninstall left behind, as codes, and how the option "-u" and the
// window's uninstall command turn them into one outcome.

#include <cstdint>

// The codes of VerifyUninstall.
constexpr int32_t NothingLeft = 0;
constexpr int32_t ComponentFolderLeft = -1;
constexpr int32_t InstallRootLeft = -2;        // empty of files but still there
constexpr int32_t TechnologyKeyLeft = -3;      // or it could not be checked
// The outcome when the check found nothing but a step of the uninstall failed.
constexpr int32_t UninstallStepFailed = 1;

// The outcome of an uninstall: the check's code when it is not NothingLeft;
// otherwise NothingLeft when every step succeeded, else UninstallStepFailed.
int32_t UninstallOutcome(bool uninstalled, int32_t verification);

// The caption of every box that reports a failed uninstall.
constexpr const char* UninstallFailureCaption = "Uninstall Failure";

// The box the window shows for an outcome.
struct UninstallReport {
  const char* caption;
  const char* text;
};

// The report for outcome; an outcome not in the table reads as
// UninstallStepFailed.
UninstallReport UninstallOutcomeReport(int32_t outcome);

// The question the window asks before it uninstalls (it begins with a tab).
constexpr const char* UninstallQuestionCaption = "Uninstall";
constexpr const char* UninstallQuestionText =
    "\tAre you sure you want to Uninstall?\n(Please Exit Netscape and/or Explorer before clicking Yes)";
