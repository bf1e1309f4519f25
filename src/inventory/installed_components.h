#pragma once
// What the installed-components window lists, without the window: the
// component files in their display order with one line each, and the
// fragments of the player's update version list with one line each.
//
// Component order: by file name (the text after the last backslash), byte
// for byte with case (Z.dll before a.dll); files of the same name by their
// whole 261-byte record, that is by full path. Fragment order: by
// "FragmentFileName", byte for byte with case; of several sections naming the
// same file the first one is listed, and a section without either key is
// left out.

#include <cstdint>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"
#include "foundation/profile/profile_document.h"

// The update version list, in the folder "Resources" of the component folder
// under the first of these names that exists.
constexpr const char* UpdateVersionListNames[] = {"UpdateVersionList_v2.txt", "UpdateVersionList.txt",
                                                  "UpdateVersionListMac_v2.txt"};
// Reads the first update version list of componentFolder's "Resources"
// folder that exists into document (what could be parsed of it), its path
// into file and the reader's status into read, when given. False when there
// is none.
bool ReadUpdateVersionList(const FixedPath& componentFolder, ProfileDocument& document, FixedPath* file = nullptr,
                           Status* read = nullptr);

constexpr const char* FragmentFileNameKey = "FragmentFileName";
constexpr const char* FragmentVersionKey = "FragmentVersion_Win";

// The fixed lines of the two lists.
constexpr const char* NoComponentsLine = "No components are present.";
constexpr const char* NoVersionListLine = "UpdateVersionList file not found.";
// The version part of a file without a product version, and what follows a
// version; the mark that stands for the component folder in a path.
constexpr const char* NoVersionPart = "(   .   .   .   )    ";
constexpr const char* AfterVersionPart = ")    ";
constexpr const char* ComponentFolderMark = " [  ~  ] ";

// One fragment of the update version list: the two entries of its section,
// which stay in the document that was read.
struct Fragment {
  const ProfileEntry* fileName;
  const ProfileEntry* version;
};

// The fragments of document, one per distinct "FragmentFileName" (the first
// section naming it), in display order. False when memory ran out; the
// fragments found so far stay.
bool CollectFragments(ProfileDocument& document, TypedArray<Fragment>& fragments);

// Puts files in display order, in place. False, files unchanged, when memory
// for the order runs out.
bool SortComponentFiles(TypedArray<FixedPath>& files);

// The four numbers of a "FragmentVersion_Win" value: read as the C library's
// atoi reads (leading blanks, a sign, digits up to the first other
// character), reduced to 32 bits, one number per byte, most significant
// first, joined by "." ("50331931" gives "3.0.1.27", "0" gives "0.0.0.0").
// out holds at least 16 bytes.
void FragmentVersionText(const char* value, char* out);

// The component line of file: "(" version ")    " (or the placeholder when
// version is 0), then " [  ~  ] " and the rest of the path after the first
// occurrence of componentFolder, or the full path when it does not occur.
bool ComponentLine(const FixedPath& file, uint32_t version, const char* componentFolder, String& line);
// The same for a path of any length and form: the window's line of a file by
// its true name (UTF-8), whose folder is then given by its true name too.
bool ComponentLine(const char* file, uint32_t version, const char* componentFolder, String& line);

// The fragment line: the file name, " (", the version text, ")".
bool FragmentLine(const Fragment& fragment, String& line);

// The installed-components window: every collected component file with its
// product version on the left, every fragment of the player's update version
// list with its version on the right. Modal over the main window.

constexpr const char* InstalledComponentsTitle = "Installed Components";
constexpr const char* InstalledComponentsHeading = "\t\t\tINSTALLED COMPONENTS";
constexpr const char* VersionFileHeading = "\t\t\tVERSION FILE";
// Every control of the window has this id.
constexpr int32_t InstalledComponentsControlId = 600;

