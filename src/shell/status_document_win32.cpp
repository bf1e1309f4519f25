// The installation's state as "/status" reports it, read from the registry
// and the files with the readers the options and the windows use.
#include "shell/status_document.h"

#include <windows.h>

#include <cstdio>

#include "foundation/core/ansi_paths.h"
#include "foundation/core/code_page.h"
#include "foundation/core/paths.h"
#include "foundation/core/platform_win32.h"
#include "foundation/core/strings.h"
#include "foundation/core/typed_array.h"
#include "foundation/files/product_version.h"
#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_file.h"
#include "foundation/profile/profile_values.h"
#include "foundation/trees/tree_contents.h"
#include "installation/installation.h"
#include "installation/registry_key.h"
#include "inventory/component_inventory.h"
#include "inventory/installed_components.h"
#include "settings/download_sites.h"
#include "settings/manager_options.h"
#include "settings/pending_removal.h"

namespace {

// A path of the program (ANSI code page) as UTF-8, by its true name: a part
// reached through its short form is given as stored.
std::string Utf8(const FixedPath& path) { return TruePathUtf8(path.Text()); }

// The short form of path when the program reaches it through one; none when
// its text is its true name.
std::optional<std::string> ShortPath(const FixedPath& path) {
  std::string shortPath = Utf8OfAnsi(path.Text());
  return shortPath == Utf8(path) ? std::nullopt : std::optional<std::string>(shortPath);
}

std::string StatusText(const char* what, Status status) {
  return std::string(what) + " (status " + std::to_string(status) + ")";
}

// The value as stored under keyPath, or none when it is missing.
std::optional<std::string> StoredValue(const char* keyPath, const char* valueName) {
  RegistryKey key;
  std::string value;
  if (!key.OpenForReading(keyPath) || !key.ReadStoredUtf8(valueName, &value)) return std::nullopt;
  return value;
}

std::optional<std::string> VersionText(uint32_t version) {
  char text[ProductVersionTextBytes] = "";  // the text is appended
  if (version == 0 || !AppendProductVersionText(version, text)) return std::nullopt;
  return std::string(text);
}

// A text read from document as UTF-8: as it is when the file began with the
// UTF-8 byte-order mark, else converted from the ANSI code page.
std::string DocumentText(const ProfileDocument& document, const char* text) {
  return document.utf8ByteOrderMark ? std::string(text ? text : "") : Utf8OfAnsi(text);
}

// The entry a reader of the component manager's options returns: the last of
// its key in the last section of its name.
std::optional<std::string> OptionValue(ProfileDocument& document, const char* key) {
  const std::optional<std::string> value = ProfileValueText(document, ManagerOptionsSectionName, key);
  return value ? std::optional<std::string>(DocumentText(document, value->c_str())) : std::nullopt;
}

void ReadComponents(const FixedPath& componentFolder, InstallationState& state) {
  InventoryComponents(componentFolder, nullptr);
  SortComponentFiles(ComponentFiles);
  for (int32_t i = 0; i < ComponentFiles.count; ++i)
    state.components.push_back(
        {Utf8(ComponentFiles[i]), VersionText(ReadProductVersion(ComponentFiles[i])), ShortPath(ComponentFiles[i])});
  state.componentsLeftOut = ComponentFilesLeftOut;
}

void ReadUpdateVersionList(const FixedPath& componentFolder, InstallationState& state) {
  ProfileDocument document;
  FixedPath file;
  Status read = StatusOk;
  if (!ReadUpdateVersionList(componentFolder, document, &file, &read)) return;
  state.updateVersionListFile = Utf8(file);
  if (read != StatusOk) {
    state.updateVersionListError = StatusText("the list cannot be read whole", read);
    return;
  }
  TypedArray<Fragment> fragments;
  if (!CollectFragments(document, fragments)) {
    state.updateVersionListError = "memory ran out while reading the list";
    return;
  }
  for (int32_t i = 0; i < fragments.count; ++i) {
    char version[ProductVersionTextBytes];
    FragmentVersionText(fragments[i].version->Value(), version);
    state.fragments.push_back({DocumentText(document, fragments[i].fileName->Value()), version,
                                DocumentText(document, fragments[i].version->Value())});
  }
}

void ReadManagerOptions(const FixedPath& componentFolder, InstallationState& state) {
  FixedPath file = componentFolder;
  if (file.AppendName(ManagerOptionsFileName) != StatusOk) return;
  state.settingsFile = Utf8(file);
  state.settingsPresent = file.Exists();
  if (!state.settingsPresent) return;
  ProfileDocument document;
  state.settingsReadable = ReadProfile(document, file) == StatusOk;
  if (!state.settingsReadable) return;
  state.checkForUpdates = OptionValue(document, CheckForUpdatesKey);
  state.lastUpdateCheckTime = OptionValue(document, LastUpdateCheckTimeKey);
}

void ReadDownloadSites(const FixedPath& componentFolder, const char* defaultSite, InstallationState& state) {
  FixedPath file = componentFolder;
  if (file.AppendName(DownloadSitesFileName) != StatusOk) return;
  state.sitesFile = Utf8(file);
  state.sitesPresent = file.Exists();
  TypedArray<String> sites;
  const Status read = ReadSites(file, sites);
  if (read != StatusOk && read != StatusNotFound) {
    state.sitesError = StatusText("the list cannot be read whole", read);
    return;
  }
  for (int32_t i = 0; i < sites.count; ++i)
    if (sites[i].Length() > 0) state.sites.push_back(Utf8OfAnsi(sites[i].Text()));
  state.sitesIncludeDefault = ListsSite(sites, defaultSite);
}

void ReadResources(const FixedPath& componentFolder, InstallationState& state) {
  FixedPath folder = componentFolder;
  if (folder.AppendName(ResourceCacheFolderName) != StatusOk) return;
  state.resourcesFolder = Utf8(folder);
  state.resourcesExist = folder.IsFolder();
  if (state.resourcesExist && !MeasureTree(folder, &state.resourceFiles, &state.resourceBytes))
    state.resourcesError = "the folder cannot be listed whole";
}

}  // namespace

InstallationState ReadInstallationState() {
  InstallationState state;
  state.pendingRemoval = PendingRemovalPaths();
  char program[FixedPath::TextBytes];
  if (ReadProgramFileName(program, sizeof program) > 0) {
    FixedPath programFile;
    programFile.SetText(program);
    state.controlPanelVersion = VersionText(ReadProductVersion(programFile));
  }

  state.playerRegistered = RegistryKey::KeyPresence(PlayerKeyPath) == RegistryKey::Presence::Present;
  state.componentPath = StoredValue(PlayerKeyPath, ComponentPathValueName);
  FixedPath componentFolder;
  state.componentFolderExists = ReadComponentPath(componentFolder);
  if (state.componentFolderExists) state.componentShortPath = ShortPath(componentFolder);
  state.applicationPath = StoredValue(MakerKeyPath, ApplicationPathValueName);
  FixedPath applicationFolder;
  state.applicationFolderExists = ReadApplicationPath(applicationFolder);
  if (state.applicationFolderExists) state.applicationShortPath = ShortPath(applicationFolder);
  state.additionalDownloadUrl = StoredValue(PlayerKeyPath, AdditionalDownloadUrlValueName);

  // "Default" in the site list options stands for this site.
  char defaultSite[SiteBufferBytes];
  ReadConfiguredSite(SiteSettingsPath(), DefaultSiteKey, BuiltInDefaultSite, defaultSite);
  state.defaultSite = Utf8OfAnsi(defaultSite);

  if (!state.componentFolderExists) return state;
  ReadComponents(componentFolder, state);
  ReadUpdateVersionList(componentFolder, state);
  ReadManagerOptions(componentFolder, state);
  ReadDownloadSites(componentFolder, defaultSite, state);
  ReadResources(componentFolder, state);
  return state;
}

bool PrintStatusDocument(std::string* failure) {
  const std::string document = StatusDocument(ReadInstallationState());
  if (document.empty()) {
    if (failure) *failure = "the document could not be made (out of memory)";
    return false;
  }
  // Windows line ends, written in one piece: in text mode the C runtime
  // hands the system one write per line, which costs more than all the
  // reading before it.
  std::string text;
  text.reserve(document.size() + document.size() / 16);
  for (char c : document) {
    if (c == '\n') text += '\r';
    text += c;
  }
  fflush(stdout);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    if (failure) *failure = "there is no standard output";
    return false;
  }
  for (size_t done = 0; done < text.size();) {
    DWORD written = 0;
    if (!WriteFile(output, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr)) {
      if (failure) *failure = SystemErrorText(GetLastError());
      return false;
    }
    if (written == 0) {  // a short write that did not go on: no room
      if (failure) *failure = SystemErrorText(ERROR_DISK_FULL);
      return false;
    }
    done += written;
  }
  return true;
}
