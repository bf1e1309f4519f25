#include "foundation/core/what_if.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/core/paths.h"
#include "foundation/log/operations_log.h"

namespace {

// Every test starts and ends with a run that makes its changes.
class WhatIfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetDescribedChanges();
    DescribeChanges(true);
  }
  void TearDown() override {
    DescribeChanges(false);
    ForgetDescribedChanges();
    SetLogEventWriter(nullptr);
    SetChangeLineWriter(nullptr);
  }
};

TEST_F(WhatIfTest, PathsAreAsTheLatestNoteThatReachesThemLeavesThem) {
  NoteRemovedPath("");  // names nothing
  NoteRemovedPath(nullptr);
  NoteRemovedPath("C:\\Root\\Player\\");
  NoteWrittenFile("c:/root/other/QuillframeConfig.ini", "[A]\r\n");
  NoteRemovedContents("C:\\Root\\Cache");
  NoteRemovedPath("C:\\Root\\Sites.txt");
  NoteWrittenFile("C:\\Root\\Sites.txt", "new");
  const struct {
    const char* path;
    PathWouldBe wouldBe;
    std::string bytes;
  } cases[] = {
      {"C:\\Root\\Player", PathWouldBe::Gone, ""},
      {"c:\\ROOT\\player\\Resources\\a.bin", PathWouldBe::Gone, ""},
      {"C:\\Root\\PlayerTwo", PathWouldBe::AsItIs, ""},  // a name that only begins alike
      {"C:\\Root", PathWouldBe::AsItIs, ""},
      {"C:\\Root\\Other\\quillframeconfig.INI", PathWouldBe::File, "[A]\r\n"},
      {"C:\\Root\\Cache", PathWouldBe::AsItIs, ""},  // its contents go, the folder stays
      {"C:\\Root\\Cache\\x\\y", PathWouldBe::Gone, ""},
      {"C:\\Root\\Sites.txt", PathWouldBe::File, "new"},  // removed, then made again
      {"\\\\server\\share\\x", PathWouldBe::AsItIs, ""},
  };
  for (const auto& c : cases) {
    std::string bytes;
    EXPECT_EQ(WhatPathWouldBe(c.path, &bytes), c.wouldBe) << c.path;
    EXPECT_EQ(bytes, c.bytes) << c.path;
  }
}

TEST_F(WhatIfTest, FixedPathsSeeTheNotesOnlyWhileChangesAreDescribed) {
  FixedPath file;
  file.SetText("Z:\\nowhere\\made.ini");
  NoteWrittenFile(file.Text(), "x");
  EXPECT_TRUE(file.Exists());
  EXPECT_FALSE(file.IsFolder());
  DescribeChanges(false);
  EXPECT_FALSE(file.Exists());
}

TEST_F(WhatIfTest, RegistryKeysAndValuesAsTheNotesLeaveThem) {
  const std::string player = "Software\\Quillframe\\Quillframe3";
  NoteValueSet(player, "Additional Download URL", "https://beta/");
  EXPECT_EQ(WhatKeyWouldBe("SOFTWARE\\Quillframe"), RegistryWouldBe::Made) << "a key above a set value is there";
  std::string text;
  EXPECT_EQ(WhatValueWouldBe(player, "additional download url", &text), RegistryWouldBe::Made);
  EXPECT_EQ(text, "https://beta/");
  EXPECT_EQ(WhatValueWouldBe(player, "Component Path"), RegistryWouldBe::AsItIs);
  NoteValueRemoved(player, "Additional Download URL");
  EXPECT_EQ(WhatValueWouldBe(player, "Additional Download URL"), RegistryWouldBe::Gone);
  EXPECT_TRUE(KeyWouldHaveMadeSubkeys("Software\\Quillframe"));

  NoteKeyRemoved("Software\\Quillframe");
  EXPECT_EQ(WhatKeyWouldBe(player), RegistryWouldBe::Gone) << "with the key above it";
  EXPECT_EQ(WhatValueWouldBe(player, "Component Path"), RegistryWouldBe::Gone);
  EXPECT_FALSE(KeyWouldHaveMadeSubkeys("Software\\Quillframe"));
  EXPECT_EQ(WhatKeyWouldBe("Software\\QuillframeOther"), RegistryWouldBe::AsItIs);

  NoteKeyMade(player);
  EXPECT_EQ(WhatKeyWouldBe(player), RegistryWouldBe::Made);
  EXPECT_EQ(WhatValueWouldBe(player, "Component Path"), RegistryWouldBe::Gone) << "a key made again is empty";
}

std::vector<std::string> heard;
void Hear(const std::string& text, bool) { heard.push_back(text); }
void HearEvent(LogEventKind kind, const std::string& text, bool) {
  // What a describing run reports changes nothing: a note.
  heard.push_back((kind == LogEventKind::Note ? "" : "change: ") + text);
}

// A change is the log's event in a run that makes it, and "would ..." in the
// log and on the change lines in a run that describes it.
TEST_F(WhatIfTest, ChangesAreReportedAsWhatWouldBeDone) {
  heard.clear();
  SetLogEventWriter(HearEvent);
  SetChangeLineWriter(Hear);
  const int before = DescribedChangeCount();
  LogChange(LogEventKind::Removed, "removed folder \"C:\\P\"", "remove folder \"C:\\P\"");
  LogEvent("kept \"C:\\Root\": it holds other files");
  EXPECT_EQ(DescribedChangeCount(), before + 1);
  DescribeChanges(false);
  LogChangeUtf8(LogEventKind::Removed, "removed folder \"C:\\P\"", "remove folder \"C:\\P\"");
  EXPECT_EQ(heard, (std::vector<std::string>{"would remove folder \"C:\\P\"", "would remove folder \"C:\\P\"",
                                             "kept \"C:\\Root\": it holds other files",
                                             "change: removed folder \"C:\\P\""}));
}

}  // namespace
