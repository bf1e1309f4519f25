#include "toolkit/application.h"

#include <windows.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>

#include "toolkit/context.h"
#include "toolkit/path_parts.h"

namespace {

std::string ModuleFileName() {
  char file[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, file, MAX_PATH);
  EXPECT_GT(length, 0u);
  return std::string(file, length);
}

TEST(ToolkitAppWin32Test, StartUpRegistersTheProcessInstanceWithItsFile) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  ASSERT_TRUE(ToolkitStartUp(instance));
  EXPECT_EQ(ModuleHandleForKey(ProgramModuleKey), instance);
  FixedPath file;
  ASSERT_TRUE(ModuleFileForKey(ProgramModuleKey, file));
  EXPECT_EQ(std::string(file.Text()), ModuleFileName());
  EXPECT_TRUE(ContextLockExists());

  ASSERT_TRUE(ToolkitStartUp(instance));
  ASSERT_TRUE(ToolkitShutDown());
  EXPECT_EQ(ModuleHandleForKey(ProgramModuleKey), instance);
  ASSERT_TRUE(ToolkitShutDown());
  EXPECT_EQ(CurrentContext(), nullptr);
  EXPECT_FALSE(ContextLockExists());
  EXPECT_FALSE(ToolkitShutDown());
  EXPECT_FALSE(ContextLockExists());
}

TEST(ToolkitAppWin32Test, SetToProgramFileNamesAFileInTheProgramsFolder) {
  std::string program = ModuleFileName();
  std::string folder = program.substr(0, program.find_last_of('\\') + 1);
  FixedPath path;
  path.SetText("C:\\previous.txt");
  ASSERT_TRUE(SetToProgramFile(path, "ControlPanelv306.ini"));
  EXPECT_EQ(std::string(path.Text()), folder + "ControlPanelv306.ini");
  ASSERT_TRUE(SetToProgramFile(path, nullptr));
  EXPECT_EQ(std::string(path.Text()), program);
  EXPECT_FALSE(SetToProgramFile(path, std::string(260, 'n').c_str()));
  EXPECT_EQ(std::string(path.Text()), program);
}

}  // namespace
