#include "maintenance/uninstall_outcome.h"

namespace {

constexpr const char* SuccessCaption = "Uninstall";

}  // namespace

int32_t UninstallOutcome(bool uninstalled, int32_t verification) {
  if (verification != NothingLeft) return verification;
  return uninstalled ? NothingLeft : UninstallStepFailed;
}

UninstallReport UninstallOutcomeReport(int32_t outcome) {
  switch (outcome) {
    case NothingLeft:
      return {SuccessCaption, "Success"};
    case ComponentFolderLeft:
      return {UninstallFailureCaption, "Couldn't delete directory"};
    case InstallRootLeft:
      return {UninstallFailureCaption, "Couldn't delete root directory"};
    case TechnologyKeyLeft:
      return {UninstallFailureCaption, "Couldn't delete registry entries"};
    default:
      return {UninstallFailureCaption, "Explorer or Netscape are possibly running."};
  }
}
