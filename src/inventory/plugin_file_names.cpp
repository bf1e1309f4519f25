#include "inventory/plugin_file_names.h"

#include "foundation/file_extension.h"
#include "foundation/file_list.h"
#include "foundation/text_case.h"

namespace {

constexpr const char* PluginLibraryPrefix = "NpQuillframe3";
constexpr const char* JavaClassPrefix = "Quillframe3.class";
constexpr const char* RuntimePrefix = "QFX3 runtime";

}  // namespace

bool IsPlayerPluginFileName(const char* fileName) {
  if (!fileName) return false;
  if (StartsWithIgnoringCase(fileName, PluginLibraryPrefix) &&
      StartsWithIgnoringCase(FileExtension(fileName), SharedLibraryExtension))
    return true;
  return StartsWithIgnoringCase(fileName, JavaClassPrefix) || StartsWithIgnoringCase(fileName, RuntimePrefix);
}
