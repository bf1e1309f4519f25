#pragma once
// "/status": the state of a player installation as one JSON document
// (RFC 8259, UTF-8), read without changing anything, for the tools that
// administrators run on many machines. Its shape is published as a JSON
// Schema, docs/status.schema.json; StatusSchemaVersion changes with any
// change a reader of an older document would not expect.
//
// A part that cannot be read is an object with an "error" text in place of
// its value, never a failed run: the rest of the document is still there.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr int StatusSchemaVersion = 1;

// Every text here is UTF-8. A stored text that is missing is none (null).
struct InstallationState {
  std::optional<std::string> controlPanelVersion;  // "3.0.6.0"; none without a version resource

  bool playerRegistered = false;  // the player key is there
  std::optional<std::string> componentPath;  // "Component Path" as stored
  // The short form through which the program reaches a folder or file whose
  // true name the ANSI code page cannot hold; none otherwise.
  std::optional<std::string> componentShortPath;
  bool componentFolderExists = false;

  std::optional<std::string> applicationPath;  // "Application Path" as stored
  std::optional<std::string> applicationShortPath;
  bool applicationFolderExists = false;

  struct Component {
    std::string path;  // by its true name
    std::optional<std::string> version;  // none: the file has no product version
    std::optional<std::string> shortPath;
  };
  std::vector<Component> components;  // in the components window's order
  std::vector<std::string> componentsLeftOut;  // found, but no ANSI call reaches them
  // What of the player waits for the next restart to be removed.
  std::vector<std::string> pendingRemoval;

  struct Fragment {
    std::string name;     // "FragmentFileName"
    std::string version;  // "FragmentVersion_Win" as the window shows it
    std::string value;    // "FragmentVersion_Win" as stored
  };
  std::optional<std::string> updateVersionListFile;  // none: no list in use
  std::string updateVersionListError;                // not empty: the list could not be read whole
  std::vector<Fragment> fragments;

  std::optional<std::string> settingsFile;  // none without a component folder
  bool settingsPresent = false;
  bool settingsReadable = false;
  std::optional<std::string> checkForUpdates;
  std::optional<std::string> lastUpdateCheckTime;

  std::optional<std::string> sitesFile;  // none without a component folder
  bool sitesPresent = false;
  std::string sitesError;  // not empty: the list could not be read whole
  std::vector<std::string> sites;
  std::string defaultSite;
  bool sitesIncludeDefault = false;

  std::optional<std::string> additionalDownloadUrl;

  std::optional<std::string> resourcesFolder;  // none without a component folder
  bool resourcesExist = false;
  std::string resourcesError;  // not empty: the tree could not be listed whole
  uint64_t resourceFiles = 0;
  uint64_t resourceBytes = 0;
};

// The "/status" document of state, indented by two blanks a level, ending in a line
// end. Bytes of a text that are not UTF-8 are written as U+FFFD, so that the
// document always parses. Empty when memory ran out: no document is better
// than one with a field missing.
std::string StatusDocument(const InstallationState& state);

// Windows (status_document_win32.cpp).

// Reads the installation's state from the registry and the files; changes
// nothing (no file or key is made, no settings lock is taken).
InstallationState ReadInstallationState();

// Writes the document of ReadInstallationState to standard output; true
// when it was written whole, else false with the reason in failure.
bool PrintStatusDocument(std::string* failure);
