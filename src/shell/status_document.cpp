#include "shell/status_document.h"

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

std::string UpdateVersionListText(const InstallationStatus& status) {
  if (!status.updateVersionListFile) return "null";
  ObjectText list(1);
  list.Member("file", Literal(status.updateVersionListFile));
  if (!status.updateVersionListError.empty()) return list.Member("error", Literal(status.updateVersionListError)).Text();
  std::vector<std::string> fragments;
  for (const InstallationStatus::Fragment& fragment : status.fragments)
    fragments.push_back(ObjectText(3)
                            .Member("name", Literal(fragment.name))
                            .Member("version", Literal(fragment.version))
                            .Member("value", Literal(fragment.value))
                            .Text());
  return list.Member("fragments", ArrayText(fragments, 2)).Text();
}

std::string DownloadSitesText(const InstallationStatus& status) {
  ObjectText sites(1);
  sites.Member("file", Literal(status.sitesFile)).Member("present", Literal(status.sitesPresent));
  if (!status.sitesError.empty()) return sites.Member("error", Literal(status.sitesError)).Text();
  std::vector<std::string> items;
  for (const std::string& site : status.sites) items.push_back(Literal(site));
  return sites.Member("sites", ArrayText(items, 2))
      .Member("defaultSite", Literal(status.defaultSite))
      .Member("includesDefault", Literal(status.sitesIncludeDefault))
      .Text();
}

std::string ResourcesText(const InstallationStatus& status) {
  ObjectText resources(1);
  resources.Member("folder", Literal(status.resourcesFolder)).Member("exists", Literal(status.resourcesExist));
  if (!status.resourcesError.empty()) return resources.Member("error", Literal(status.resourcesError)).Text();
  return resources.Member("fileCount", Literal(status.resourceFiles))
      .Member("sizeBytes", Literal(status.resourceBytes))
      .Text();
}

}  // namespace

std::string StatusDocument(const InstallationStatus& status) {
  literalFailed = false;
  std::vector<std::string> components;
  for (const InstallationStatus::Component& component : status.components) {
    ObjectText item(2);
    item.Member("path", Literal(component.path));
    OptionalMember(item, "shortPath", component.shortPath);
    components.push_back(item.Member("version", Literal(component.version)).Text());
  }
  ObjectText player(1);
  player.Member("registered", Literal(status.playerRegistered)).Member("componentPath", Literal(status.componentPath));
  OptionalMember(player, "componentShortPath", status.componentShortPath);
  player.Member("componentFolderExists", Literal(status.componentFolderExists));
  ObjectText application(1);
  application.Member("applicationPath", Literal(status.applicationPath));
  OptionalMember(application, "applicationShortPath", status.applicationShortPath);
  application.Member("folderExists", Literal(status.applicationFolderExists));
  ObjectText document(0);
  document.Member("schemaVersion", std::to_string(StatusSchemaVersion))
      .Member("controlPanelVersion", Literal(status.controlPanelVersion))
      .Member("player", player.Text())
      .Member("application", application.Text())
      .Member("components", ArrayText(components, 1));
  if (!status.componentsLeftOut.empty()) {
    std::vector<std::string> leftOut;
    for (const std::string& path : status.componentsLeftOut) leftOut.push_back(Literal(path));
    document.Member("componentsLeftOut", ArrayText(leftOut, 1));
  }
  document.Member("updateVersionList", UpdateVersionListText(status))
      .Member("settings", ObjectText(1)
                              .Member("file", Literal(status.settingsFile))
                              .Member("present", Literal(status.settingsPresent))
                              .Member("readable", Literal(status.settingsReadable))
                              .Member("checkForUpdates", Literal(status.checkForUpdates))
                              .Member("lastUpdateCheckTime", Literal(status.lastUpdateCheckTime))
                              .Text())
      .Member("downloadSites", DownloadSitesText(status))
      .Member("beta", ObjectText(1).Member("additionalDownloadUrl", Literal(status.additionalDownloadUrl)).Text())
      .Member("resources", ResourcesText(status));
  if (literalFailed) return std::string();
  return document.Text() + "\n";
}
