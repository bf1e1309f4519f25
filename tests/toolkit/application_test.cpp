#include "toolkit/application.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/core/paths.h"
#include "support/path_of.h"
#include "toolkit/context.h"
#include "toolkit/module_table.h"

namespace {

// A module handle made from a number, as the tests register them.
void* Handle(uintptr_t value) { return reinterpret_cast<void*>(value); }

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
  ASSERT_NE(ReadProgramFileName(programFile, sizeof programFile), 0u);
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
