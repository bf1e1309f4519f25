#pragma once
// Where the component manager downloads components from:
// - the site list file "QFXDownloadSites.txt" in the component folder: the
//   value of every "site" entry of its section "Download Sites", in order;
// - the control panel's own settings beside the program: the default, beta
//   and development sites the control panel offers, with the built-in sites
//   standing in for any that is missing or empty;
// - the program-wide site list: the sites of the site list file as last
//   loaded. An empty element marks a removed site and is never written.

#include <cstdint>

#include "foundation/core/paths.h"
#include "foundation/core/status.h"
#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"
#include "foundation/profile/profile_document.h"

// The site list file, in the component folder.
constexpr const char* DownloadSitesFileName = "QFXDownloadSites.txt";
constexpr const char* DownloadSitesSectionName = "Download Sites";
constexpr const char* SiteKey = "site";

// The control panel's own settings, beside the program.
constexpr const char* SiteSettingsFileName = "ControlPanelv306.ini";
constexpr const char* RegistryValuesSectionName = "RegistryValues";
constexpr const char* AdditionalDownloadValueKey = "RegKeyAddDownload_Value";  // never read
constexpr const char* SiteValuesSectionName = "DownloadSitesValues";
constexpr const char* DefaultSiteKey = "Default";
constexpr const char* BetaSiteKey = "Beta";
constexpr const char* FirstDevelopmentSiteKey = "Development1";
constexpr const char* SecondDevelopmentSiteKey = "Development2";

// The built-in sites, on the vendor's component server.
constexpr const char* BuiltInDefaultSite = "https://components.corvalent.com/QuillframeComponents/";
constexpr const char* BuiltInBetaSite = "https://components.corvalent.com/QuillframeComponentsBeta/";
constexpr const char* BuiltInFirstDevelopmentSite = "https://components.corvalent.com/QuillframeComponentsDev1/";
constexpr const char* BuiltInSecondDevelopmentSite = "https://components.corvalent.com/QuillframeComponentsDev2/";

// The site text that stands for the default site in EditSiteList.
constexpr const char* DefaultSiteWord = "Default";
// The buffer a configured site is read into.
constexpr uint32_t SiteBufferBytes = 2048;

// The program-wide site list: empty at start-up, released at exit.
extern TypedArray<String> SiteList;

// The path of the control panel's settings beside the program; empty when
// it cannot be formed.
FixedPath SiteSettingsPath();

// Writes the control panel's settings with the built-in sites
// when force is true or the file does not exist; an existing file is
// otherwise left alone. The status of the write, StatusOk when nothing had to
// be written; StatusIoError when the settings lock (settings_lock.h) could
// not be taken.
Status WriteDefaultSiteSettings(bool force);
// The same for a settings file at path.
Status WriteDefaultSiteSettingsAt(const FixedPath& path, bool force);

// The value of key in the section "DownloadSitesValues" of the settings file
// at settings, or builtIn when the file lacks it, holds it empty, or holds it
// longer than the buffer takes (a cut site would be another site). True when
// it came from the file.
bool ReadConfiguredSite(const FixedPath& settings, const char* key, const char* builtIn,
                        char (&site)[SiteBufferBytes]);

// Copies the registry value name "Additional Download URL" into valueName and
// the public beta site into site (either may be none; each copy is cut to
// its buffer). The site is the configured "Beta" value, or the built-in beta
// site when that is missing or empty. True when it came from
// the file.
bool BetaSiteSettings(char* valueName, uint32_t valueNameBytes, char* site, uint32_t siteBytes);

// Empties list, then fills it with the "site" values of the file at path in
// file order. False when the file has no section "Download Sites".
bool LoadSiteList(const FixedPath& path, TypedArray<String>& list);
// LoadSiteList with the reason: StatusOk; StatusNotFound when the file or its
// section is missing (no sites); StatusOpenFailed, StatusIoError,
// StatusNoMemory or StatusForeignText when an existing file cannot be read
// whole.
Status ReadSites(const FixedPath& path, TypedArray<String>& list);

// Puts the non-empty elements of list, in order, as the "site" entries of the
// section "Download Sites" of the file at path (the section is made when
// missing; its other entries are dropped; the file's other sections are
// kept) and replaces the file. False when an existing file cannot be read
// whole or the file cannot be written; the file is then as it was.
bool SaveSiteList(const FixedPath& path, const TypedArray<String>& list);

// Adds site (none: the empty text) at the front of the component folder's
// site list file, unless it is listed already, or (add false) removes every
// copy of it. The site "Default" stands for the configured default site.
// The program-wide site list is loaded from the file
// first (emptied when there is no file) and holds the result. An existing
// file changes by the site's line alone: a new site's line goes first in the
// last "Download Sites" section (the section is added at the end when
// missing), a removed site's lines go; every other byte stays, and a file
// that needs no change is not written. A missing file is made in the
// writer's form. The whole edit holds the settings lock (settings_lock.h). 1 when the lock could not be taken, an
// existing file could not be read whole or the file could not be written (it
// is then as it was), else 0, also when there is no component folder.
int32_t EditSiteList(const char* site, bool add);

// The download-site list in a profile document and in memory: the portable
// half of the site files.

// Appends a copy of the value of every "site" entry of the last "Download
// Sites" section of document to list, in order; entries under other keys are
// passed over. StatusNotFound when there is no such section; StatusNoMemory
// when a copy could not be made (the list then holds the sites before it).
Status CollectSites(ProfileDocument& document, TypedArray<String>& list);

// Makes the last "Download Sites" section of document (added when missing)
// hold exactly one "site" entry per non-empty element of list, in order.
// False when memory runs out; the section may then hold only some sites.
bool PutSites(ProfileDocument& document, const TypedArray<String>& list);

// True when an element of list holds exactly site (an emptied element holds
// the empty text).
bool ListsSite(const TypedArray<String>& list, const char* site);
// Inserts a copy of site at position 0 unless it is listed already. False
// when it was not listed and could not be inserted.
bool AddSite(TypedArray<String>& list, const char* site);
// Empties every element that holds exactly site; the elements stay in place.
void RemoveSite(TypedArray<String>& list, const char* site);

// Fills an empty document with the built-in contents of the control panel's
// settings. False when memory runs out.
bool BuildDefaultSiteSettings(ProfileDocument& document);
