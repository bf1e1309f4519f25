#include "settings/download_sites.h"

#include <cstring>
#include <new>

namespace {

// Adds key = value to section; false when memory runs out.
bool AddValue(ProfileSection& section, const char* key, const char* value) {
  ProfileEntry* entry = nullptr;
  return section.AddEntry(key, &entry) == StatusOk && entry->SetValue(value) == StatusOk;
}

}  // namespace

Status CollectSites(ProfileDocument& document, TypedArray<String>& list) {
  ProfileSection* section = nullptr;
  if (document.FindSection(DownloadSitesSectionName, &section, false) != StatusOk) return StatusNotFound;
  for (int32_t i = 0; i < section->EntryCount(); ++i) {
    const ProfileEntry& entry = section->entries[i];
    if (strcmp(entry.Key(), SiteKey) != 0) continue;
    if (!AppendTextCopy(list, entry.Value())) return StatusNoMemory;
  }
  return StatusOk;
}

bool PutSites(ProfileDocument& document, const TypedArray<String>& list) {
  ProfileSection* section = nullptr;
  if (document.FindSection(DownloadSitesSectionName, &section, true) != StatusOk) return false;
  section->ClearEntries();
  for (int32_t i = 0; i < list.count; ++i) {
    if (list[i].Length() == 0) continue;  // a removed site
    if (!AddValue(*section, SiteKey, list[i].Text())) return false;
  }
  return true;
}

bool ListsSite(const TypedArray<String>& list, const char* site) {
  for (int32_t i = 0; i < list.count; ++i) {
    if (strcmp(list[i].TextOrEmpty(), site) == 0) return true;
  }
  return false;
}

bool AddSite(TypedArray<String>& list, const char* site) {
  if (ListsSite(list, site)) return true;
  return list.Insert(0, [site](void* slot) {
    String* copy = new (slot) String();
    if (copy->Assign(site)) return true;
    copy->~String();
    return false;
  });
}

void RemoveSite(TypedArray<String>& list, const char* site) {
  for (int32_t i = 0; i < list.count; ++i) {
    if (strcmp(list[i].TextOrEmpty(), site) == 0) list[i].Clear();
  }
}

bool BuildDefaultSiteSettings(ProfileDocument& document) {
  ProfileSection* section = nullptr;
  if (document.AddSection(RegistryValuesSectionName, &section) != StatusOk ||
      !AddValue(*section, AdditionalDownloadValueKey, BuiltInFirstDevelopmentSite)) {
    return false;
  }
  // Sections move when the array grows: take the new one by its own pointer.
  if (document.AddSection(SiteValuesSectionName, &section) != StatusOk) return false;
  return AddValue(*section, DefaultSiteKey, BuiltInDefaultSite) &&
         AddValue(*section, BetaSiteKey, BuiltInBetaSite) &&
         AddValue(*section, FirstDevelopmentSiteKey, BuiltInFirstDevelopmentSite) &&
         AddValue(*section, SecondDevelopmentSiteKey, BuiltInSecondDevelopmentSite);
}
