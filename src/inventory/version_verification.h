#pragma once
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

#include <cstdint>

#include "foundation/fixed_path.h"
#include "foundation/heap_string.h"
#include "foundation/profile_document.h"
#include "foundation/typed_array.h"

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

// The whole check of a parsed version list against files: VersionListUnusable,
// EveryComponentVerified, or the number of the first failing pair.
int32_t VerifyVersionDocument(ProfileDocument& document, const TypedArray<FixedPath>& files,
                              ProductVersionReader readVersion);
