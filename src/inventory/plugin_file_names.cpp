#include "inventory/plugin_file_names.h"

#include "foundation/file_extension.h"

namespace {

constexpr const char* PluginLibraryPrefix = "NpQuillframe3";
constexpr const char* PluginLibraryExtensionPrefix = ".dll";
constexpr const char* JavaClassPrefix = "Quillframe3.class";
constexpr const char* RuntimePrefix = "QFX3 runtime";

char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (LowerCase(*text) != LowerCase(*prefix)) return false;  // also at the end of text
  }
  return true;
}

bool IsPlayerPluginFileName(const char* fileName) {
  if (!fileName) return false;
  if (StartsWithIgnoringCase(fileName, PluginLibraryPrefix) &&
      StartsWithIgnoringCase(FileExtension(fileName), PluginLibraryExtensionPrefix))
    return true;
  return StartsWithIgnoringCase(fileName, JavaClassPrefix) || StartsWithIgnoringCase(fileName, RuntimePrefix);
}
