#include "foundation/core/what_if.h"

#include <cctype>
#include <vector>

namespace {

bool describing = false;

// A path or key in the form notes compare: case folded, "\" as the only
// separator, none at the end.
std::string Folded(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) c = c == '/' ? '\\' : static_cast<char>(tolower(static_cast<unsigned char>(c)));
  while (!folded.empty() && folded.back() == '\\') folded.pop_back();
  return folded;
}

// True when inner lies strictly inside outer.
bool IsInside(const std::string& inner, const std::string& outer) {
  return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '\\';
}

enum class PathChange { Removed, ContentsRemoved, Written };
struct PathNote {
  PathChange change;
  std::string path;  // folded
  std::string bytes;
};
std::vector<PathNote> pathNotes;

enum class RegistryChange { KeyMade, KeyRemoved, ValueSet, ValueRemoved };
struct RegistryNote {
  RegistryChange change;
  std::string key;        // folded
  std::string valueName;  // folded
  std::string text;
};
std::vector<RegistryNote> registryNotes;

}  // namespace

void DescribeChanges(bool on) { describing = on; }

bool ChangesAreDescribed() { return describing; }

void ForgetDescribedChanges() {
  pathNotes.clear();
  registryNotes.clear();
}

namespace {

// A note of no path would reach every path that begins with a separator.
void NotePath(PathChange change, const char* path, const std::string& bytes) {
  const std::string folded = Folded(path ? path : "");
  if (!folded.empty()) pathNotes.push_back({change, folded, bytes});
}

}  // namespace

void NoteRemovedPath(const char* path) { NotePath(PathChange::Removed, path, std::string()); }

void NoteRemovedContents(const char* folder) { NotePath(PathChange::ContentsRemoved, folder, std::string()); }

void NoteWrittenFile(const char* path, const std::string& bytes) { NotePath(PathChange::Written, path, bytes); }

PathWouldBe WhatPathWouldBe(const char* path, std::string* bytes) {
  if (!path || pathNotes.empty()) return PathWouldBe::AsItIs;
  const std::string folded = Folded(path);
  // The latest note that reaches the path decides.
  for (auto note = pathNotes.rbegin(); note != pathNotes.rend(); ++note) {
    const bool itself = note->path == folded;
    const bool inside = IsInside(folded, note->path);
    switch (note->change) {
      case PathChange::Removed:
        if (itself || inside) return PathWouldBe::Gone;
        break;
      case PathChange::ContentsRemoved:
        if (inside) return PathWouldBe::Gone;
        break;
      case PathChange::Written:
        if (itself) {
          if (bytes) *bytes = note->bytes;
          return PathWouldBe::File;
        }
        break;
    }
  }
  return PathWouldBe::AsItIs;
}

void NoteKeyMade(const std::string& key) { registryNotes.push_back({RegistryChange::KeyMade, Folded(key), {}, {}}); }

void NoteKeyRemoved(const std::string& key) {
  registryNotes.push_back({RegistryChange::KeyRemoved, Folded(key), {}, {}});
}

void NoteValueSet(const std::string& key, const std::string& valueName, const std::string& text) {
  registryNotes.push_back({RegistryChange::ValueSet, Folded(key), Folded(valueName), text});
}

void NoteValueRemoved(const std::string& key, const std::string& valueName) {
  registryNotes.push_back({RegistryChange::ValueRemoved, Folded(key), Folded(valueName), {}});
}

RegistryWouldBe WhatKeyWouldBe(const std::string& key) {
  const std::string folded = Folded(key);
  for (auto note = registryNotes.rbegin(); note != registryNotes.rend(); ++note) {
    if (note->change == RegistryChange::KeyRemoved && (note->key == folded || IsInside(folded, note->key)))
      return RegistryWouldBe::Gone;
    // A key made, or one a value was set in, is there; so are the keys above it.
    const bool there = note->change == RegistryChange::KeyMade || note->change == RegistryChange::ValueSet;
    if (there && (note->key == folded || IsInside(note->key, folded))) return RegistryWouldBe::Made;
  }
  return RegistryWouldBe::AsItIs;
}

RegistryWouldBe WhatValueWouldBe(const std::string& key, const std::string& valueName, std::string* text) {
  const std::string foldedKey = Folded(key);
  const std::string foldedName = Folded(valueName);
  for (auto note = registryNotes.rbegin(); note != registryNotes.rend(); ++note) {
    if (note->change == RegistryChange::KeyRemoved && (note->key == foldedKey || IsInside(foldedKey, note->key)))
      return RegistryWouldBe::Gone;
    if (note->key != foldedKey || note->valueName != foldedName) continue;
    if (note->change == RegistryChange::ValueRemoved) return RegistryWouldBe::Gone;
    if (note->change == RegistryChange::ValueSet) {
      if (text) *text = note->text;
      return RegistryWouldBe::Made;
    }
  }
  return RegistryWouldBe::AsItIs;
}

bool KeyWouldHaveMadeSubkeys(const std::string& key) {
  const std::string folded = Folded(key);
  for (const RegistryNote& note : registryNotes) {
    if (note.change != RegistryChange::KeyMade && note.change != RegistryChange::ValueSet) continue;
    if (IsInside(note.key, folded) && WhatKeyWouldBe(note.key) != RegistryWouldBe::Gone) return true;
  }
  return false;
}
