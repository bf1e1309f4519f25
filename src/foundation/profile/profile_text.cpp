#include "foundation/profile/profile_text.h"

#include <cstring>

#include "foundation/profile/profile_scan.h"

namespace {

// Builds the document from what the scan finds.
struct DocumentBuilder {
  ProfileDocument& document;
  ProfileSection* section = nullptr;

  Status Section(const ProfileSpan& name, uint32_t) {
    return document.AddSection(name.text, &section, name.length);
  }
  Status Entry(const ProfileSpan& key, const ProfileSpan& value, uint32_t) {
    ProfileEntry* entry = nullptr;
    Status status = section->AddEntry(key.text, &entry, key.length);
    if (status == StatusOk) status = entry->SetValue(value.text, value.length);
    return status;
  }
  void EntriesEnd(uint32_t) {}
};

}  // namespace

Status ReadProfileText(ProfileDocument& document, const char* text, uint32_t length) {
  DocumentBuilder builder{document};
  return ScanProfileText(text, length, builder);
}

namespace {

constexpr char LineBreak[] = "\r\n";
constexpr char EntrySeparator[] = " = ";

bool SendText(ProfileTextSink sink, void* context, const char* text, uint32_t count) {
  return count == 0 || sink(context, text, count);
}

bool SendString(ProfileTextSink sink, void* context, const String& text) {
  return SendText(sink, context, text.TextOrEmpty(), text.Length());
}

}  // namespace

Status WriteProfileText(const ProfileDocument& document, ProfileTextSink sink, void* context) {
  for (int32_t si = 0; si < document.sections.count; ++si) {
    const ProfileSection& section = document.sections[si];
    if (!SendText(sink, context, "[", 1) || !SendString(sink, context, section.name) ||
        !SendText(sink, context, "]\r\n", 3)) {
      return StatusIoError;
    }
    for (int32_t ei = 0; ei < section.entries.count; ++ei) {
      const ProfileEntry& entry = section.entries[ei];
      if (!SendString(sink, context, entry.key) ||
          !SendText(sink, context, EntrySeparator, sizeof EntrySeparator - 1) ||
          !SendString(sink, context, entry.value) ||
          !SendText(sink, context, LineBreak, sizeof LineBreak - 1)) {
        return StatusIoError;
      }
    }
  }
  return SendText(sink, context, LineBreak, sizeof LineBreak - 1) ? StatusOk : StatusIoError;
}

namespace {

struct TextCollector {
  String* out;
  uint32_t length;
};

bool CollectText(void* context, const char* bytes, uint32_t count) {
  TextCollector* collector = static_cast<TextCollector*>(context);
  if (count > String::CapacityMask - 1 - collector->length) return false;
  if (!collector->out->Put(bytes, count, collector->length)) return false;
  collector->length += count;
  return true;
}

}  // namespace

Status ProfileTextOf(const ProfileDocument& document, String& out) {
  if (!out.Put(nullptr, 0, 0)) return StatusNoMemory;
  TextCollector collector{&out, 0};
  return WriteProfileText(document, CollectText, &collector) == StatusOk ? StatusOk : StatusNoMemory;
}
