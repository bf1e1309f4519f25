#include "shell/status_document.h"

#include <utility>

#include "foundation/core/code_page.h"
#include "foundation/core/json_text.h"
#include "foundation/core/strings.h"

namespace {

// Set when a literal could not be written for want of memory: the document
// is then not printed at all, rather than printed with a field missing.
bool literalFailed = false;

// A JSON string literal of text; bytes that are not UTF-8 become U+FFFD.
std::string Literal(const std::string& text) {
  String literal;
  // The text is checked once, by the writer; only a text it refuses is
  // mended and written again.
  if (AppendJsonString(literal, text.c_str()) || AppendJsonString(literal, ValidUtf8(text).c_str()))
    return literal.TextOrEmpty();
  literalFailed = true;
  return "\"\"";
}

std::string Literal(const std::optional<std::string>& text) { return text ? Literal(*text) : "null"; }

std::string Literal(bool value) { return value ? "true" : "false"; }

std::string Literal(uint64_t value) { return std::to_string(value); }

// Members of one object, each on its own line at one depth.
class ObjectText {
 public:
  explicit ObjectText(int depth) : depth_(depth) {}
  ObjectText& Member(const char* name, const std::string& valueText) {
    text_ += (text_.empty() ? "{\n" : ",\n") + std::string(2 * (depth_ + 1), ' ') + Literal(std::string(name)) +
             ": " + valueText;
    return *this;
  }
  std::string Text() const { return text_.empty() ? "{}" : text_ + "\n" + std::string(2 * depth_, ' ') + "}"; }

 private:
  int depth_;
  std::string text_;
};

// Adds name: text when there is a text; an absent member is left out.
void OptionalMember(ObjectText& object, const char* name, const std::optional<std::string>& text) {
  if (text) object.Member(name, Literal(*text));
}

std::string ArrayText(const std::vector<std::string>& items, int depth) {
  if (items.empty()) return "[]";
  std::string text = "[";
  for (size_t i = 0; i < items.size(); ++i)
    text += (i ? ",\n" : "\n") + std::string(2 * (depth + 1), ' ') + items[i];
  return text + "\n" + std::string(2 * depth, ' ') + "]";
}

std::string UpdateVersionListText(const InstallationState& state) {
  if (!state.updateVersionListFile) return "null";
  ObjectText list(1);
  list.Member("file", Literal(state.updateVersionListFile));
  if (!state.updateVersionListError.empty()) return list.Member("error", Literal(state.updateVersionListError)).Text();
  std::vector<std::string> fragments;
  for (const InstallationState::Fragment& fragment : state.fragments)
    fragments.push_back(ObjectText(3)
                            .Member("name", Literal(fragment.name))
                            .Member("version", Literal(fragment.version))
                            .Member("value", Literal(fragment.value))
                            .Text());
  return list.Member("fragments", ArrayText(fragments, 2)).Text();
}

std::string DownloadSitesText(const InstallationState& state) {
  ObjectText sites(1);
  sites.Member("file", Literal(state.sitesFile)).Member("present", Literal(state.sitesPresent));
  if (!state.sitesError.empty()) return sites.Member("error", Literal(state.sitesError)).Text();
  std::vector<std::string> items;
  for (const std::string& site : state.sites) items.push_back(Literal(site));
  return sites.Member("sites", ArrayText(items, 2))
      .Member("defaultSite", Literal(state.defaultSite))
      .Member("includesDefault", Literal(state.sitesIncludeDefault))
      .Text();
}

std::string ResourcesText(const InstallationState& state) {
  ObjectText resources(1);
  resources.Member("folder", Literal(state.resourcesFolder)).Member("exists", Literal(state.resourcesExist));
  if (!state.resourcesError.empty()) return resources.Member("error", Literal(state.resourcesError)).Text();
  return resources.Member("fileCount", Literal(state.resourceFiles))
      .Member("sizeBytes", Literal(state.resourceBytes))
      .Text();
}

}  // namespace

std::string StatusDocument(const InstallationState& state) {
  literalFailed = false;
  std::vector<std::string> components;
  for (const InstallationState::Component& component : state.components) {
    ObjectText item(2);
    item.Member("path", Literal(component.path));
    OptionalMember(item, "shortPath", component.shortPath);
    components.push_back(item.Member("version", Literal(component.version)).Text());
  }
  ObjectText player(1);
  player.Member("registered", Literal(state.playerRegistered)).Member("componentPath", Literal(state.componentPath));
  OptionalMember(player, "componentShortPath", state.componentShortPath);
  player.Member("componentFolderExists", Literal(state.componentFolderExists));
  ObjectText application(1);
  application.Member("applicationPath", Literal(state.applicationPath));
  OptionalMember(application, "applicationShortPath", state.applicationShortPath);
  application.Member("folderExists", Literal(state.applicationFolderExists));
  ObjectText document(0);
  document.Member("schemaVersion", std::to_string(StatusSchemaVersion))
      .Member("controlPanelVersion", Literal(state.controlPanelVersion))
      .Member("player", player.Text())
      .Member("application", application.Text())
      .Member("components", ArrayText(components, 1));
  // Present only when there are such paths, as a reader of an older
  // document expects.
  for (const auto& paths : {std::make_pair("componentsLeftOut", &state.componentsLeftOut),
                            std::make_pair("pendingRemoval", &state.pendingRemoval)}) {
    if (paths.second->empty()) continue;
    std::vector<std::string> items;
    for (const std::string& path : *paths.second) items.push_back(Literal(path));
    document.Member(paths.first, ArrayText(items, 1));
  }
  document.Member("updateVersionList", UpdateVersionListText(state))
      .Member("settings", ObjectText(1)
                              .Member("file", Literal(state.settingsFile))
                              .Member("present", Literal(state.settingsPresent))
                              .Member("readable", Literal(state.settingsReadable))
                              .Member("checkForUpdates", Literal(state.checkForUpdates))
                              .Member("lastUpdateCheckTime", Literal(state.lastUpdateCheckTime))
                              .Text())
      .Member("downloadSites", DownloadSitesText(state))
      .Member("beta", ObjectText(1).Member("additionalDownloadUrl", Literal(state.additionalDownloadUrl)).Text())
      .Member("resources", ResourcesText(state));
  if (literalFailed) return std::string();
  return document.Text() + "\n";
}
