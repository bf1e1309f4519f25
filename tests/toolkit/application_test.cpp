#include "toolkit/application.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/platform.h"
#include "support/path_of.h"
#include "toolkit/context.h"
#include "toolkit/path_parts_cases.h"

namespace {

void* Handle(uintptr_t value) { return reinterpret_cast<void*>(value); }

TEST(ModuleTableTest, AddAndFind) {
  ModuleTable table;
  FixedPath path = UncutPathOf("C:\\Tools\\panel.exe");
  ASSERT_TRUE(AddModule(table, Handle(0x400000), 25001, &path));
  EXPECT_EQ(FindModuleHandle(table, 25001), Handle(0x400000));
  EXPECT_EQ(FindModuleHandle(table, 7), nullptr);
  FixedPath found = UncutPathOf("previous");
  ASSERT_TRUE(FindModuleFile(table, 25001, found));
  EXPECT_STREQ(found.Text(), "C:\\Tools\\panel.exe");
  // The table keeps a copy of its own.
  EXPECT_NE(table.entries[0].path, &path);
  EXPECT_EQ(table.entries[0].path->mark, 1);
  FixedPath untouched = UncutPathOf("untouched");
  EXPECT_FALSE(FindModuleFile(table, 7, untouched));
  EXPECT_STREQ(untouched.Text(), "untouched");
}

TEST(ModuleTableTest, APairIsRegisteredOnceButAKeyMayHaveSeveralHandles) {
  ModuleTable table;
  FixedPath first = UncutPathOf("C:\\first.dll");
  FixedPath second = UncutPathOf("C:\\second.dll");
  ASSERT_TRUE(AddModule(table, Handle(0x1000), 5, &first));
  EXPECT_FALSE(AddModule(table, Handle(0x1000), 5, &second));
  EXPECT_EQ(ModuleCount(table), 1u);
  ASSERT_TRUE(AddModule(table, Handle(0x2000), 5, &second));
  EXPECT_EQ(FindModuleHandle(table, 5), Handle(0x1000));
  FixedPath found;
  ASSERT_TRUE(FindModuleFile(table, 5, found));
  EXPECT_STREQ(found.Text(), "C:\\first.dll");
  // Removal takes the earlier entry; the later one then answers.
  ASSERT_TRUE(RemoveModule(table, 5));
  EXPECT_EQ(FindModuleHandle(table, 5), Handle(0x2000));
}

TEST(ModuleTableTest, RemovingTheFirstOfThreeKeepsTheOthersPackedInOrder) {
  ModuleTable table;
  FixedPath paths[] = {UncutPathOf("C:\\a.dll"), UncutPathOf("C:\\b.dll"), UncutPathOf("C:\\c.dll")};
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(AddModule(table, Handle(0x1000 * (i + 1)), 10 + i, &paths[i]));
  ASSERT_TRUE(RemoveModule(table, 10));
  EXPECT_EQ(table.entries[0].handle, Handle(0x2000));
  EXPECT_EQ(table.entries[0].key, 11);
  EXPECT_STREQ(table.entries[0].path->Text(), "C:\\b.dll");
  EXPECT_EQ(table.entries[1].handle, Handle(0x3000));
  EXPECT_EQ(table.entries[1].key, 12);
  EXPECT_STREQ(table.entries[1].path->Text(), "C:\\c.dll");
  EXPECT_EQ(table.entries[2].handle, nullptr);
  EXPECT_EQ(table.entries[2].key, 0);
  EXPECT_EQ(table.entries[2].path, nullptr);
  EXPECT_EQ(ModuleCount(table), 2u);
  EXPECT_FALSE(RemoveModule(table, 10));
}

TEST(ModuleTableTest, AFullTableRefusesMoreAndShiftsOnRemoval) {
  ModuleTable table;
  FixedPath path = UncutPathOf("C:\\m.dll");
  for (uint32_t i = 0; i < ModuleTable::Size; ++i) {
    ASSERT_TRUE(AddModule(table, Handle(0x1000 + i), static_cast<int32_t>(i), &path));
  }
  EXPECT_FALSE(AddModule(table, Handle(0x9999), 9999, &path));
  ASSERT_TRUE(RemoveModule(table, 255));  // the very last entry
  EXPECT_EQ(table.entries[ModuleTable::Size - 1].handle, nullptr);
  ASSERT_TRUE(RemoveModule(table, 0));
  EXPECT_EQ(table.entries[0].key, 1);
  EXPECT_EQ(table.entries[253].key, 254);
  EXPECT_EQ(table.entries[254].handle, nullptr);
  EXPECT_EQ(ModuleCount(table), 254u);
  ASSERT_TRUE(AddModule(table, Handle(0x9999), 9999, &path));
  EXPECT_EQ(table.entries[254].key, 9999);
}

TEST(ModuleTableTest, RefusesNoHandleNoPathAndAPathThatCannotBeCopiedWhole) {
  ModuleTable table;
  FixedPath path = UncutPathOf("C:\\m.dll");
  EXPECT_FALSE(AddModule(table, nullptr, 1, &path));
  EXPECT_FALSE(AddModule(table, Handle(0x1000), 1, nullptr));
  FixedPath deep = UncutPathOf("C:" + std::string(255, 'd') + "\\m");  // a directory of 256
  EXPECT_FALSE(AddModule(table, Handle(0x1000), 1, &deep));
  EXPECT_EQ(ModuleCount(table), 0u);
  EXPECT_EQ(table.entries[0].path, nullptr);
}

TEST(ModuleTableTest, KeyZeroMatchesOnlyARegisteredModule) {
  ModuleTable table;
  EXPECT_EQ(FindModuleHandle(table, 0), nullptr);
  EXPECT_FALSE(RemoveModule(table, 0));
  FixedPath out;
  EXPECT_FALSE(FindModuleFile(table, 0, out));
  FixedPath path = UncutPathOf("C:\\zero.dll");
  ASSERT_TRUE(AddModule(table, Handle(0x1000), 0, &path));
  EXPECT_EQ(FindModuleHandle(table, 0), Handle(0x1000));
  ASSERT_TRUE(RemoveModule(table, 0));
  EXPECT_FALSE(RemoveModule(table, 0));
}

}  // namespace

namespace {

bool PartsAreEmpty(const PathParts& parts) {
  return !parts.drive[0] && !parts.directory[0] && !parts.name[0] && !parts.extension[0];
}

// The program's folder with its trailing backslash, as the platform reports it.
std::string ProgramFolder() {
  char file[260];
  EXPECT_NE(platform::ReadProgramFileName(file, sizeof file), 0u);
  std::string text(file);
  return text.substr(0, text.find_last_of("\\/") + 1);
}

TEST(PathPartsTest, SplitPartsFollowsTheRuntimeRules) {
  for (const SplitCase& c : SplitCases) {
    PathParts parts;
    memset(&parts, 'J', sizeof parts);  // whatever was there before is cleared
    ASSERT_TRUE(SplitParts(UncutPathOf(c.path), parts)) << c.path;
    EXPECT_STREQ(parts.drive, c.drive) << c.path;
    EXPECT_STREQ(parts.directory, c.directory) << c.path;
    EXPECT_STREQ(parts.name, c.name) << c.path;
    EXPECT_STREQ(parts.extension, c.extension) << c.path;
  }
}

TEST(PathPartsTest, SetFromPartsFollowsTheRuntimeRules) {
  for (const JoinCase& c : JoinCases) {
    FixedPath path = UncutPathOf("previous");
    EXPECT_TRUE(SetFromParts(path, c.drive, c.directory, c.name, c.extension)) << c.path;
    EXPECT_STREQ(path.Text(), c.path);
  }
}

TEST(PathPartsTest, CopyByPartsReproducesEveryPath) {
  for (const SplitCase& c : SplitCases) {
    FixedPath copy = UncutPathOf("previous");
    FixedPath original = UncutPathOf(c.path);
    ASSERT_TRUE(CopyByParts(copy, &original)) << c.path;
    EXPECT_STREQ(copy.Text(), c.path);
  }
  FixedPath full = UncutPathOf("C:\\" + std::string(200, 'd') + "\\" + std::string(50, 'n') + ".ext");
  FixedPath copy;
  ASSERT_TRUE(CopyByParts(copy, &full));
  EXPECT_STREQ(copy.Text(), full.Text());
  // A path copied onto itself stays as it is.
  ASSERT_TRUE(CopyByParts(full, &full));
  EXPECT_STREQ(copy.Text(), full.Text());
}

TEST(PathPartsTest, CopyByPartsOfNoneFailsAndKeepsThePath) {
  FixedPath path = UncutPathOf("C:\\kept");
  EXPECT_FALSE(CopyByParts(path, nullptr));
  EXPECT_STREQ(path.Text(), "C:\\kept");
}

TEST(PathPartsTest, APartTooLongForItsFieldIsRefusedNotCut) {
  const struct {
    const char* what;
    std::string path;
    bool fits;
  } cases[] = {
      {"directory of 255", "C:" + std::string(254, 'd') + "\\n", true},
      {"directory of 256", "C:" + std::string(255, 'd') + "\\n", false},
      {"name of 255", "\\" + std::string(255, 'n') + ".e", true},
      {"name of 256", "\\" + std::string(256, 'n') + ".e", false},
      {"extension of 255", "\\n." + std::string(254, 'e'), true},
      {"extension of 256", "\\n." + std::string(255, 'e'), false},
  };
  for (const auto& c : cases) {
    FixedPath original = UncutPathOf(c.path);
    PathParts parts;
    EXPECT_EQ(SplitParts(original, parts), c.fits) << c.what;
    FixedPath copy = UncutPathOf("previous");
    EXPECT_EQ(CopyByParts(copy, &original), c.fits) << c.what;
    if (c.fits) {
      EXPECT_STREQ(copy.Text(), original.Text()) << c.what;
    } else {
      EXPECT_TRUE(PartsAreEmpty(parts)) << c.what;
      EXPECT_STREQ(copy.Text(), "") << c.what;
    }
  }
}

TEST(PathPartsTest, SetFromPartsRefusesA260CharacterPathAndLeavesItEmpty) {
  const std::string name259(259, 'n');
  const std::string name258(258, 'n');
  const std::string name260(260, 'n');
  const struct {
    const char* what;
    const char *drive, *directory, *name, *extension;
    bool joined;
    size_t length;
  } cases[] = {
      {"a name of 259", nullptr, nullptr, name259.c_str(), nullptr, true, 259},
      {"a name of 260", nullptr, nullptr, name260.c_str(), nullptr, false, 0},
      {"parts adding up to 259", "C:", "\\", name258.c_str() + 3, ".", true, 259},
      {"parts adding up to 260", "C:", "\\", name258.c_str() + 2, ".", false, 0},
      // The ":", "\" and "." that joining adds count as well.
      {"a one-letter drive", "C", nullptr, name258.c_str(), nullptr, false, 0},
      {"a directory without backslash", nullptr, "d", name258.c_str(), nullptr, false, 0},
      {"an extension without dot", nullptr, nullptr, name258.c_str(), "e", false, 0},
      {"a long drive adding up to 260", "C:\\drive\\", nullptr, name258.c_str() + 7, nullptr, false, 0},
  };
  for (const auto& c : cases) {
    FixedPath path = UncutPathOf("previous");
    EXPECT_EQ(SetFromParts(path, c.drive, c.directory, c.name, c.extension), c.joined) << c.what;
    EXPECT_EQ(strlen(path.Text()), c.length) << c.what;
  }
}

TEST(PathPartsTest, SetFromPartsMayTakeAPartFromThePathItself) {
  FixedPath path = UncutPathOf("settings");
  ASSERT_TRUE(SetFromParts(path, "C:", "\\dir", path.text, "ini"));
  EXPECT_STREQ(path.Text(), "C:\\dir\\settings.ini");
}

TEST(PathPartsTest, ClearPathAndFitsPath) {
  FixedPath path = UncutPathOf("C:\\x");
  ClearPath(path);
  EXPECT_STREQ(path.Text(), "");
  EXPECT_EQ(path.mark, 1);

  EXPECT_FALSE(FitsPath(nullptr));
  EXPECT_TRUE(FitsPath(""));
  EXPECT_TRUE(FitsPath(std::string(259, 'a').c_str()));
  EXPECT_FALSE(FitsPath(std::string(260, 'a').c_str()));
}

TEST(PathPartsTest, SetToProgramFileFindsFilesBesideTheProgram) {
  char programFile[260];
  ASSERT_NE(platform::ReadProgramFileName(programFile, sizeof programFile), 0u);
  const std::string folder = ProgramFolder();
  const struct {
    const char* name;
    std::string expected;
  } cases[] = {
      {nullptr, programFile},
      {"ControlPanelv306.ini", folder + "ControlPanelv306.ini"},
      {"sub\\settings.txt", folder + "sub\\settings.txt"},
      {"noextension", folder + "noextension"},
  };
  for (const auto& c : cases) {
    FixedPath path = UncutPathOf("previous");
    ASSERT_TRUE(SetToProgramFile(path, c.name)) << (c.name ? c.name : "(none)");
    EXPECT_EQ(std::string(path.Text()), c.expected);
  }
}

TEST(PathPartsTest, SetToProgramFileKeepsThePreviousPathWhenTheNameDoesNotFit) {
  const std::string longNames[] = {std::string(260, 'n'), std::string(259, 'n'),
                                   std::string(260 - ProgramFolder().size(), 'n')};
  for (const std::string& name : longNames) {
    FixedPath path = UncutPathOf("C:\\previous\\path.txt");
    EXPECT_FALSE(SetToProgramFile(path, name.c_str())) << name.size();
    EXPECT_STREQ(path.Text(), "C:\\previous\\path.txt") << name.size();
  }
  FixedPath path;
  const std::string longest(259 - ProgramFolder().size(), 'n');
  ASSERT_TRUE(SetToProgramFile(path, longest.c_str()));
  EXPECT_EQ(std::string(path.Text()), ProgramFolder() + longest);
}

#if !defined(_WIN32)
// On the host the program's file name can be chosen.
TEST(PathPartsTest, SetToProgramFileForAProgramAtAGivenPlace) {
  platform::SetHostProgramFileName("C:\\Tools\\panel.exe");
  FixedPath path;
  EXPECT_TRUE(SetToProgramFile(path, "ControlPanelv306.ini"));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\ControlPanelv306.ini");
  EXPECT_TRUE(SetToProgramFile(path, nullptr));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\panel.exe");
  EXPECT_FALSE(SetToProgramFile(path, std::string(260, 'n').c_str()));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\panel.exe");

  // A program in a folder too deep to split cannot name a file beside it.
  platform::SetHostProgramFileName(("C:" + std::string(255, 'd') + "\\p.exe").c_str());
  EXPECT_FALSE(SetToProgramFile(path, "x.ini"));
  EXPECT_STREQ(path.Text(), "C:\\Tools\\panel.exe");
  platform::SetHostProgramFileName("C:\\Corvalent\\ControlPanel.exe");
}
#endif

}  // namespace

namespace {

const ModuleTable& Modules() { return CurrentContext()->app->modules; }

TEST(ToolkitAppTest, StartUpRegistersTheProgramOnceAndTheLastShutDownUndoesIt) {
  void* instance = Handle(0x400000);
  ASSERT_TRUE(ToolkitStartUp(instance));
  ToolkitContext* context = CurrentContext();
  ASSERT_NE(context, nullptr);
  ASSERT_NE(context->app, nullptr);
  EXPECT_EQ(context->app->startCount, 1u);
  EXPECT_EQ(ModuleHandleForKey(ProgramModuleKey), instance);
  char programFile[260];
  ASSERT_NE(platform::ReadProgramFileName(programFile, sizeof programFile), 0u);
  FixedPath file;
  ASSERT_TRUE(ModuleFileForKey(ProgramModuleKey, file));
  EXPECT_STREQ(file.Text(), programFile);

  ASSERT_TRUE(ToolkitStartUp(instance));
  EXPECT_EQ(CurrentContext(), context);
  EXPECT_EQ(context->app->startCount, 2u);
  EXPECT_EQ(context->attachCount, 2u);
  EXPECT_EQ(ModuleCount(Modules()), 1u);

  ASSERT_TRUE(ToolkitShutDown());
  EXPECT_EQ(CurrentContext(), context);
  EXPECT_EQ(context->app->startCount, 1u);
  EXPECT_EQ(ModuleHandleForKey(ProgramModuleKey), instance);

  ASSERT_TRUE(ToolkitShutDown());
  EXPECT_EQ(CurrentContext(), nullptr);
  EXPECT_EQ(ModuleHandleForKey(ProgramModuleKey), nullptr);
  EXPECT_FALSE(ContextLockExists());
}

TEST(ToolkitAppTest, ShutDownWithoutAContextFailsAndLeavesNothingBehind) {
  EXPECT_FALSE(ToolkitShutDown());
  EXPECT_EQ(CurrentContext(), nullptr);
  EXPECT_FALSE(ContextLockExists());
  // A start-up afterwards works as the first one.
  ASSERT_TRUE(ToolkitStartUp(Handle(0x400000)));
  EXPECT_TRUE(ContextLockExists());
  EXPECT_TRUE(ToolkitShutDown());
  EXPECT_EQ(CurrentContext(), nullptr);
  EXPECT_FALSE(ContextLockExists());
}

TEST(ToolkitAppTest, StartUpWithoutInstanceRegistersNothing) {
  ASSERT_TRUE(ToolkitStartUp(nullptr));
  EXPECT_EQ(ModuleHandleForKey(ProgramModuleKey), nullptr);
  EXPECT_EQ(ModuleCount(Modules()), 0u);
  EXPECT_TRUE(ToolkitShutDown());
}

TEST(ToolkitAppTest, ModuleOperationsFailWithoutContextOrRecord) {
  FixedPath path = PathOf("C:\\m.dll");
  FixedPath out = PathOf("untouched");
  for (bool withContext : {false, true}) {
    if (withContext) ASSERT_TRUE(AttachContext());  // a context without a ToolkitApp
    EXPECT_FALSE(RegisterModule(Handle(0x1000), 1, &path)) << withContext;
    EXPECT_FALSE(UnregisterModule(1)) << withContext;
    EXPECT_EQ(ModuleHandleForKey(1), nullptr) << withContext;
    EXPECT_FALSE(ModuleFileForKey(1, out)) << withContext;
    EXPECT_STREQ(out.Text(), "untouched");
  }
  ASSERT_TRUE(DetachContext());
}

TEST(ToolkitAppTest, RegisteringAPairTwiceAndAKeyWithAnotherHandle) {
  ASSERT_TRUE(ToolkitStartUp(nullptr));
  FixedPath first = PathOf("C:\\first.dll");
  FixedPath second = PathOf("C:\\second.dll");
  ASSERT_TRUE(RegisterModule(Handle(0x1000), 7, &first));
  EXPECT_FALSE(RegisterModule(Handle(0x1000), 7, &second));
  EXPECT_EQ(ModuleCount(Modules()), 1u);
  EXPECT_TRUE(RegisterModule(Handle(0x2000), 7, &second));
  EXPECT_EQ(ModuleHandleForKey(7), Handle(0x1000));
  FixedPath out;
  ASSERT_TRUE(ModuleFileForKey(7, out));
  EXPECT_STREQ(out.Text(), "C:\\first.dll");
  EXPECT_FALSE(RegisterModule(nullptr, 8, &first));
  EXPECT_FALSE(RegisterModule(Handle(0x3000), 8, nullptr));
  // The last shut-down releases what is still registered.
  EXPECT_TRUE(ToolkitShutDown());
}

TEST(ToolkitAppTest, UnregisteringTheFirstOfThree) {
  ASSERT_TRUE(ToolkitStartUp(nullptr));
  FixedPath path = PathOf("C:\\m.dll");
  ASSERT_TRUE(RegisterModule(Handle(0x1000), 1, &path));
  ASSERT_TRUE(RegisterModule(Handle(0x2000), 2, &path));
  ASSERT_TRUE(RegisterModule(Handle(0x3000), 3, &path));
  ASSERT_TRUE(UnregisterModule(1));
  EXPECT_FALSE(UnregisterModule(1));
  const ModuleTable& modules = Modules();
  EXPECT_EQ(modules.entries[0].key, 2);
  EXPECT_EQ(modules.entries[0].handle, Handle(0x2000));
  EXPECT_EQ(modules.entries[1].key, 3);
  EXPECT_EQ(modules.entries[1].handle, Handle(0x3000));
  EXPECT_EQ(modules.entries[2].handle, nullptr);
  EXPECT_EQ(ModuleHandleForKey(1), nullptr);
  EXPECT_TRUE(ToolkitShutDown());
}

TEST(ToolkitAppTest, TheLastShutDownKeepsOtherModulesOnlyUntilTheRecordGoes) {
  ASSERT_TRUE(ToolkitStartUp(Handle(0x400000)));
  FixedPath path = PathOf("C:\\plugin.dll");
  ASSERT_TRUE(RegisterModule(Handle(0x5000), 44, &path));
  ASSERT_TRUE(UnregisterModule(ProgramModuleKey));
  // Shutting down without the program's registration is fine too.
  EXPECT_TRUE(ToolkitShutDown());
  EXPECT_EQ(ModuleHandleForKey(44), nullptr);
  EXPECT_EQ(CurrentContext(), nullptr);
}

TEST(ToolkitAppTest, DetachingTheContextUnderAStartedToolkitReleasesTheRecord) {
  ASSERT_TRUE(ToolkitStartUp(Handle(0x400000)));
  ASSERT_TRUE(DetachContext());
  EXPECT_EQ(CurrentContext(), nullptr);
  EXPECT_FALSE(ToolkitShutDown());
  EXPECT_FALSE(ContextLockExists());
}

}  // namespace
