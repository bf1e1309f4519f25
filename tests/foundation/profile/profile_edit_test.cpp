#include "foundation/profile/profile_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_text.h"
#include "foundation/profile/profile_values.h"

namespace {

// Every entry a reader finds, as "[section] key=value" in text order.
std::vector<std::string> EntriesOf(const std::string& text) {
  ProfileDocument document;
  ReadProfileText(document, text.data(), static_cast<uint32_t>(text.size()));
  std::vector<std::string> entries;
  for (int32_t s = 0; s < document.sections.count; ++s) {
    const ProfileSection& section = document.sections[s];
    for (int32_t e = 0; e < section.entries.count; ++e)
      entries.push_back("[" + std::string(section.name.TextOrEmpty()) + "] " + section.entries[e].Key() + "=" +
                        section.entries[e].Value());
  }
  return entries;
}

// The value a reader's lookup gives, or "(none)".
std::string LookUp(const std::string& text, const char* section, const char* key) {
  ProfileDocument document;
  ReadProfileText(document, text.data(), static_cast<uint32_t>(text.size()));
  char value[256];
  return CopyProfileValue(document, section, key, value, sizeof value) ? value : "(none)";
}

constexpr char Managed[] =
    "; managed by IT - do not edit\r\n"
    "[ComponentMgrOptions]\r\n"
    "; 0 = off\r\n"
    "CheckForUpdates=1\r\n"
    "# note\r\n"
    "LastUpdateCheckTime=5\r\n"
    "\r\n"
    "[Proxy]\r\n"
    "Host=proxy.corp\r\n";

enum class Edit { Set, Add, InsertFirst, Remove };

struct Case {
  const char* what;
  std::string before;
  Edit edit;
  const char* section;
  const char* key;
  const char* value;
  std::string after;  // Unchanged: the text stays as it was, and the edit says so
};

const std::string Unchanged = "(unchanged)";

const Case Cases[] = {
    // Setting a value changes the bytes of that value only.
    {"comments of both kinds, text before the header, a foreign section", Managed, Edit::Set,
     "ComponentMgrOptions", "CheckForUpdates", "0",
     "; managed by IT - do not edit\r\n[ComponentMgrOptions]\r\n; 0 = off\r\nCheckForUpdates=0\r\n# note\r\n"
     "LastUpdateCheckTime=5\r\n\r\n[Proxy]\r\nHost=proxy.corp\r\n"},
    {"LF line ends and spacing kept", "[A]\nkey   =\t old value  \nother=x\n", Edit::Set, "A", "key", "new",
     "[A]\nkey   =\t new\nother=x\n"},
    {"the reader's entry: the last key of the last section of the name",
     "[A]\nk = 1\n[B]\nk = 2\n[A]\nk = 3\nk = 4\n", Edit::Set, "A", "k", "9",
     "[A]\nk = 1\n[B]\nk = 2\n[A]\nk = 3\nk = 9\n"},
    {"a longer value in a line without a line end", "[A]\nk = 1", Edit::Set, "A", "k", "12345",
     "[A]\nk = 12345"},
    {"a missing key is not added by a set", "[A]\nother = 1\n", Edit::Set, "A", "k", "1", Unchanged},
    {"a missing section is not added by a set", "[B]\nk = 1\n", Edit::Set, "A", "k", "1", Unchanged},
    {"a comment that reads as an entry with an empty key is not the key",
     "[A]\n; k = old\n", Edit::Set, "A", "k", "new", Unchanged},
    // Adding goes to the end of the section, before its blank lines.
    {"a key added before the section's blank lines", "; top\r\n[A]\r\nx = 1\r\n\r\n\r\n[B]\r\ny = 2\r\n",
     Edit::Add, "A", "k", "v", "; top\r\n[A]\r\nx = 1\r\nk = v\r\n\r\n\r\n[B]\r\ny = 2\r\n"},
    {"a key added after the last line of content, comments included",
     "[A]\nx = 1\n# trailing note\n\n", Edit::Add, "A", "k", "v", "[A]\nx = 1\n# trailing note\nk = v\n\n"},
    {"a key added to an empty last section without a line end", "[Other]\nz = 1\n[A]", Edit::Add, "A", "k", "v",
     "[Other]\nz = 1\n[A]\nk = v\n"},
    {"a missing section added at the end", "; only a comment\n[Proxy]\nHost=proxy.corp", Edit::Add,
     "ComponentMgrOptions", "CheckForUpdates", "0",
     "; only a comment\n[Proxy]\nHost=proxy.corp\n[ComponentMgrOptions]\nCheckForUpdates = 0\n"},
    {"an empty file gets the writer's line end", "", Edit::Add, "A", "k", "v", "[A]\r\nk = v\r\n"},
    {"nothing is added behind a NUL at the end", std::string("[A]\r\nx = 1\r\n\0\0", 14), Edit::Add, "B", "k", "v",
     std::string("[A]\r\nx = 1\r\n[B]\r\nk = v\r\n\0\0", 26)},
    // Sites: a new one goes first in its section; a removed one takes its line only.
    {"a new site first, after the header, foreign lines kept",
     "http://above.example/\r\n[Download Sites]\r\nsite = https://a.example/\r\n; mirror below\r\n", Edit::InsertFirst,
     "Download Sites", "site", "https://new.example/",
     "http://above.example/\r\n[Download Sites]\r\nsite = https://new.example/\r\nsite = https://a.example/\r\n"
     "; mirror below\r\n"},
    {"a new site into a missing section", "[Other]\nx = 1\n", Edit::InsertFirst, "Download Sites", "site",
     "https://new.example/", "[Other]\nx = 1\n[Download Sites]\nsite = https://new.example/\n"},
    {"every copy of a site removed, its lines only",
     "[Download Sites]\nsite = https://a.example/\n# keep\n  site=https://a.example/\nsite = https://b.example/\n"
     "site = https://a.example/x\n",
     Edit::Remove, "Download Sites", "site", "https://a.example/",
     "[Download Sites]\n# keep\nsite = https://b.example/\nsite = https://a.example/x\n"},
    {"removing from the last section of the name only",
     "[Download Sites]\nsite = s\n[Download Sites]\nsite = s", Edit::Remove, "Download Sites", "site", "s",
     "[Download Sites]\nsite = s\n[Download Sites]\n"},
    {"removing a site that is not listed", "[Download Sites]\nsite = s\n", Edit::Remove, "Download Sites", "site",
     "t", Unchanged},
};

TEST(ProfileEditTest, EachEditChangesOnlyItsLine) {
  for (const Case& c : Cases) {
    std::string text = c.before;
    bool changed = true;
    switch (c.edit) {
      case Edit::Set: changed = SetProfileTextValue(text, c.section, c.key, c.value); break;
      case Edit::Add: AddProfileTextValue(text, c.section, c.key, c.value); break;
      case Edit::InsertFirst: InsertFirstProfileTextValue(text, c.section, c.key, c.value); break;
      case Edit::Remove: changed = RemoveProfileTextValues(text, c.section, c.key, c.value) > 0; break;
    }
    if (c.after == Unchanged) {
      EXPECT_FALSE(changed) << c.what;
      EXPECT_EQ(text, c.before) << c.what;
      continue;
    }
    EXPECT_TRUE(changed) << c.what;
    EXPECT_EQ(text, c.after) << c.what;
    // A set or added value is the one a lookup gives.
    if (c.edit == Edit::Set || c.edit == Edit::Add) EXPECT_EQ(LookUp(text, c.section, c.key), c.value) << c.what;
  }
}

// What a reader reads after an edit is what it read before, but for the one
// entry edited.
TEST(ProfileEditTest, TheReaderSeesOnlyTheEditedEntryChange) {
  std::string text = Managed;
  std::vector<std::string> before = EntriesOf(text);
  ASSERT_TRUE(SetProfileTextValue(text, "ComponentMgrOptions", "LastUpdateCheckTime", "0"));
  std::vector<std::string> after = EntriesOf(text);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] == "[ComponentMgrOptions] LastUpdateCheckTime=5")
      EXPECT_EQ(after[i], "[ComponentMgrOptions] LastUpdateCheckTime=0");
    else
      EXPECT_EQ(after[i], before[i]);
  }

  AddProfileTextValue(text, "Proxy", "Port", "8080");
  after = EntriesOf(text);
  EXPECT_EQ(after.back(), "[Proxy] Port=8080");
  after.pop_back();
  before = EntriesOf(Managed);
  ASSERT_EQ(after.size(), before.size());
}

TEST(ProfileEditTest, NewLinesTakeTheFilesFirstLineEnd) {
  EXPECT_EQ(LineEndOf("[A]\r\nx = 1\n"), "\r\n");
  EXPECT_EQ(LineEndOf("[A]\nx = 1\r\n"), "\n");
  EXPECT_EQ(LineEndOf("[A]\rx = 1\r"), "\r");
  EXPECT_EQ(LineEndOf("[A]"), "\r\n");
  EXPECT_EQ(LineEndOf(""), "\r\n");
}

}  // namespace
