#pragma once
// The component inventory: the player's libraries collected from its
// folders and Netscape's plug-ins folder, and their verification against a
// version list.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/core/paths.h"
#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"
#include "foundation/profile/profile_document.h"

// Empties ComponentFiles, then with a version list returns VerifyVersionList
// of componentFolder (an existing folder, as ReadComponentPath found it) and
// the list. Without one, collects every file of componentFolder (which the
// installed-components window then shows) and returns 0.
int32_t InventoryComponents(const FixedPath& componentFolder, const FixedPath* versionList);

// Appends the files of componentFolder to ComponentFiles and verifies them
// against the version-list file: 0 when every listed library is present with
// its version, n when pair n is the first that is not, VersionListUnusable
// (-3) when the file gives no pairs (missing, unreadable, without the section
// "DLL_Versions", or unbalanced). Files are collected only as far as the code
// needs them: none for a list without pairs, and no more once the files so
// far satisfy every pair.
int32_t VerifyVersionList(const FixedPath& componentFolder, const FixedPath& versionList);

// ComponentFiles: the full paths of the component files that the last
// inventory collected, in the order of collection. It lives for the whole
// process: it exists, empty, before the program's entry point runs, and its
// paths and block are released when the process ends. Each inventory empties
// it first; the installed-components window sorts it in place. A file found
// by two scans is in it twice.
//
// One thread only: two inventories must not run at the same time.

extern TypedArray<FixedPath> ComponentFiles;

// The component files the last inventory found but could not collect: their
// names lie outside the ANSI code page and their volume keeps no short name
// that the code page holds, so no ANSI call reaches them. Full paths as
// stored (UTF-8), in the order found; emptied with ComponentFiles.
extern std::vector<std::string> ComponentFilesLeftOut;

// Collecting the player's component files into ComponentFiles: the libraries
// of the component folder and of its subfolders "Components",
// "NewComponents" and "Plugins" (not of their subfolders), then the player's
// files anywhere below the current Netscape Navigator's plug-ins folder.

constexpr const char* ComponentsFolderName = "Components";
constexpr const char* NewComponentsFolderName = "NewComponents";
constexpr const char* PluginsFolderName = "Plugins";

// Asked after each scan but the last, with the context given; true ends the
// collection there.
typedef bool (*CollectedEnough)(void* context);

// Appends to ComponentFiles, in the order of the five scans, the component
// files found. A folder that cannot be walked adds nothing and the scans
// after it still run, unless enough says the files so far will do.
// ComponentFiles is not emptied first.
void CollectComponentFiles(const FixedPath& componentFolder, CollectedEnough enough = nullptr,
                           void* context = nullptr);

// Appends every file of folder (not of its subfolders) whose extension equals
// extension (SharedLibraryExtension for the scans) without regard to case,
// from the last file found to the first. A file that does not fit in
// ComponentFiles is left out.
void AddLibrariesInFolder(const FixedPath& folder, const char* extension);

// The current Navigator's plug-ins folder, ending in a backslash: the value
// "Plugins Directory" of the key named by Navigator's "CurrentVersion" and
// "Main". False when a key or value is missing or empty, or the folder's
// text is longer than a path holds.
bool ReadNavigatorPluginsFolder(FixedPath& folder);

// Appends the player's files (IsPlayerPluginFileName) found anywhere below
// the current Navigator's plug-ins folder; nothing when it has none.
void AddNavigatorPluginFiles();

// The player's files in a Netscape plug-ins folder, told apart from other
// browsers' plug-ins by the leading characters of their names, compared
// without regard to case.

// True when fileName (a bare file name) begins with "NpQuillframe3" and its
// extension begins with ".dll", or begins with "Quillframe3.class" or with
// "QFX3 runtime". Only these leading characters count: npquillframe3x.DLL and
// Quillframe3.classes are the player's too.
bool IsPlayerPluginFileName(const char* fileName);

// Verification of collected component files against a version list: the
// section "DLL_Versions" of a profile document, whose i-th "DLL" entry (a
// library name, or a piece of one) is paired with its i-th "Version" entry
// (the dotted product version text the library must have, such as 3.0.1.27).
// Keys are compared with case; other keys and sections are ignored.
//
// A pair is satisfied when some file whose name contains the library name
// (with case) has exactly the listed version text; a file without a product
// version has the text "0". Pairs are checked in order and the first one
// that fails is reported by its number, 1 for the first.

constexpr const char* VersionListSectionName = "DLL_Versions";
constexpr const char* LibraryNameKey = "DLL";
constexpr const char* LibraryVersionKey = "Version";
// The version text of a file that has no product version.
constexpr const char* NoVersionText = "0";

// The verification codes: 0, the number of the failing pair, or this when the
// list gives no pairs (missing, unreadable, no section, no "DLL" entry, or
// different numbers of names and versions).
constexpr int32_t EveryComponentVerified = 0;
constexpr int32_t VersionListUnusable = -3;

// The product version number of a file, 0 when it has none.
typedef uint32_t (*ProductVersionReader)(const FixedPath& file);

// The names and versions of a version list, each in its own entry order.
struct VersionPairs {
  TypedArray<String> names;
  TypedArray<String> versions;

  // The number of pairs: the number of names when it equals the number of
  // versions, else 0.
  int32_t Count() const { return names.count == versions.count ? names.count : 0; }
};

// Appends the "DLL" and "Version" values of the last section "DLL_Versions"
// of document to pairs. A value that cannot be copied is left out.
void CollectVersionPairs(ProfileDocument& document, VersionPairs& pairs);

// True when text (textLength characters) contains part (partLength
// characters), byte for byte. The empty part is contained in every text.
bool ContainsText(const char* text, uint32_t textLength, const char* part, uint32_t partLength);

// The number of the first pair that no file of files satisfies, or 0 when
// every pair is satisfied. Each file's version is read at most once.
// rememberFiles false reads a file's name and version afresh at every test,
// as the check does when it has no memory for what it learnt.
int32_t FindUnsatisfiedPair(const VersionPairs& pairs, const TypedArray<FixedPath>& files,
                            ProductVersionReader readVersion, bool rememberFiles = true);

// What the check needs of one file: its name and, once read, its version.
struct FileFacts {
  // Where the name starts in the path's text (at its end when the path has no
  // file name): an offset, as the files' block may move when files are added.
  uint32_t nameStart;
  uint32_t nameLength;
  uint64_t namePairs;
  uint32_t version;
  bool versionRead;
};

// FindUnsatisfiedPair over files that are collected in steps. Each Check goes
// on where the last one stopped, with the files appended since (files only
// grow between checks), and gives what FindUnsatisfiedPair of all the files
// so far gives: it makes the same tests in the same order, so it reads no
// version that FindUnsatisfiedPair would not, and none twice. Once it gives 0
// it always does: more files never undo a satisfied pair.
class PairCheck {
 public:
  PairCheck(const VersionPairs& pairs, const TypedArray<FixedPath>& files, ProductVersionReader readVersion,
            bool rememberFiles = true);
  PairCheck(const PairCheck&) = delete;
  PairCheck& operator=(const PairCheck&) = delete;

  int32_t Check();

 private:
  void LearnNewFiles();
  // The facts of file i; when nothing is remembered, valid until the next call.
  FileFacts& FactsAt(int32_t i);
  uint32_t VersionOf(int32_t i, FileFacts& facts);

  const VersionPairs& pairs_;
  const TypedArray<FixedPath>& files_;
  ProductVersionReader readVersion_;
  TypedArray<FileFacts> facts_;
  FileFacts scratch_{};
  bool remembered_;
  int32_t pair_ = 0;  // the first pair not yet satisfied
  int32_t file_ = 0;  // the first file not yet tested against it
};

// Collects files into the array that a check reads, asking enough (with
// check as its context) after each step whether the files so far will do:
// CollectComponentFiles for "-v", a test's own steps otherwise.
typedef void (*FileCollector)(void* context, CollectedEnough enough, void* check);

// The whole check of a parsed version list against files: VersionListUnusable
// when the list gives no pairs (nothing is collected then), otherwise
// EveryComponentVerified or the number of the first failing pair. With
// collect, files are first collected into files, only as far as the check
// needs them; without it, files is checked as it is.
int32_t VerifyVersionDocument(ProfileDocument& document, const TypedArray<FixedPath>& files,
                              ProductVersionReader readVersion, FileCollector collect = nullptr,
                              void* context = nullptr);
