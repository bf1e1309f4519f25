#pragma once
// A run that describes its changes instead of making them ("/whatif"): the
// primitives that remove, write, set and start ask ChangesAreDescribed()
// and, when it is true, change nothing and note here what they would have
// changed. The primitives that read ask the notes in turn, so that every
// later step of the run sees the installation as the described changes
// would leave it: a folder that would be removed is gone, a settings file
// that would be rewritten holds its new text, a registry value that would be
// removed is absent. A run that describes therefore takes the same path
// through its steps, and names the same changes in the same order, as the
// run that makes them.
//
// Paths are the program's ANSI texts, compared without regard to case and
// to the form of their separators; registry keys are paths below
// HKEY_LOCAL_MACHINE, compared the same way.

#include <string>

void DescribeChanges(bool on);
bool ChangesAreDescribed();
// Forgets every note (the described run is over).
void ForgetDescribedChanges();

// The file system as the described changes would leave it.
enum class PathWouldBe {
  AsItIs,  // no described change touched the path: what the disk says holds
  Gone,    // removed, itself or with a folder above it
  File,    // written whole: a file holding the noted bytes
};

// path, a file or a folder with everything in it, would be removed.
void NoteRemovedPath(const char* path);
// Everything inside folder would be removed; the folder itself stays.
void NoteRemovedContents(const char* folder);
// The file at path would be replaced whole by bytes.
void NoteWrittenFile(const char* path, const std::string& bytes);
// What the notes make of path; bytes, when given, receives a written file's
// bytes.
PathWouldBe WhatPathWouldBe(const char* path, std::string* bytes = nullptr);

// The registry as the described changes would leave it.
enum class RegistryWouldBe {
  AsItIs,  // no described change touched it: what the registry says holds
  Gone,    // removed (a key: itself or a key above it)
  Made,    // a key made, or a value set to the noted text
};

void NoteKeyMade(const std::string& key);
void NoteKeyRemoved(const std::string& key);
void NoteValueSet(const std::string& key, const std::string& valueName, const std::string& text);
void NoteValueRemoved(const std::string& key, const std::string& valueName);
RegistryWouldBe WhatKeyWouldBe(const std::string& key);
// text, when given, receives a set value's text.
RegistryWouldBe WhatValueWouldBe(const std::string& key, const std::string& valueName, std::string* text = nullptr);
// Whether a key the notes made lies directly below key: a key with subkeys
// cannot be removed.
bool KeyWouldHaveMadeSubkeys(const std::string& key);
