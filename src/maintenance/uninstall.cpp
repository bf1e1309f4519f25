#include "maintenance/uninstall.h"

#include <cstring>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/files/folder_listing.h"

bool IsPlayerLibraryName(const char* fileName) {
  return fileName && StartsWithIgnoringCase(fileName, PlayerLibraryPrefix);
}

bool IsPlayerLibraryFileName(const char* fileName) {
  return IsPlayerLibraryName(fileName) && EqualIgnoringCase(FileExtension(fileName), SharedLibraryExtension);
}

bool JoinPluginPath(const char* folder, const char* name, char* out, size_t capacity) {
  if (capacity == 0) return false;
  memset(out, 0, capacity);
  if (!folder || !*folder || !name) return false;
  // The last byte is left NUL: the second NUL of the shell's double NUL.
  return JoinFolderAndName(folder, name, out, capacity - 1);
}

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
