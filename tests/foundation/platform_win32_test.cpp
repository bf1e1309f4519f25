// Where the program's libraries come from: the system libraries from the
// system folder only, the player's libraries by their full path.
#include "foundation/platform_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/fixtures_win32.h"
#include "support/temp_folder_win32.h"

namespace {

std::string ModuleFolder(HMODULE module) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  std::string text(path, length < MAX_PATH ? length : 0);
  return text.substr(0, text.find_last_of('\\'));
}

std::string SystemFolder() {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

HMODULE ModuleOf(FARPROC function) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(function), &module);
  return module;
}

TEST(SystemFunctionTest, FindsEachLibrarysFunctionsInTheSystemFolderOnly) {
  const struct {
    SystemLibrary library;
    const char* function;
  } cases[] = {
      {SystemLibrary::Version, "GetFileVersionInfoSizeA"},
      {SystemLibrary::Version, "VerQueryValueA"},
      {SystemLibrary::Shell, "SHFileOperationA"},
      {SystemLibrary::Shell, "DragQueryFileA"},
      {SystemLibrary::User, "MessageBoxA"},
  };
  for (const auto& c : cases) {
    FARPROC function = SystemFunction(c.library, c.function);
    ASSERT_NE(function, nullptr) << c.function;
    EXPECT_EQ(SystemFunction(c.library, c.function), function) << c.function << " found again alike";
    EXPECT_STRCASEEQ(ModuleFolder(ModuleOf(function)).c_str(), SystemFolder().c_str()) << c.function;
  }
}

TEST(SystemFunctionTest, GivesNoneForAFunctionTheLibraryLacks) {
  EXPECT_EQ(SystemFunction(SystemLibrary::Version, "NoSuchFunction"), nullptr);
  EXPECT_EQ(SystemFunction(SystemLibrary::User, "GetFileVersionInfoSizeA"), nullptr);
}

// A library given by a relative path is the one in the current folder made
// full, never one found elsewhere; one that is no library loads as none.
TEST(LoadLibraryByFullPathTest, LoadsTheNamedFileOnly) {
  TempFolder folder;
  ASSERT_TRUE(CopyFixture("PlayerControl.dll", folder / "AxQuillframe3.dll"));
  ASSERT_TRUE(CopyFixture("DamagedLibrary.dll", folder / "AxQuillframeOld.dll"));
  char previous[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));

  HMODULE byFullPath = LoadLibraryByFullPath((folder / "AxQuillframe3.dll").c_str());
  HMODULE byRelativePath = LoadLibraryByFullPath("AxQuillframe3.dll");
  HMODULE damaged = LoadLibraryByFullPath((folder / "AxQuillframeOld.dll").c_str());
  HMODULE missing = LoadLibraryByFullPath((folder / "Missing.dll").c_str());
  SetCurrentDirectoryA(previous);

  ASSERT_NE(byFullPath, nullptr);
  EXPECT_EQ(byRelativePath, byFullPath);
  EXPECT_EQ(damaged, nullptr);
  EXPECT_EQ(missing, nullptr);
  FreeLibrary(byRelativePath);
  FreeLibrary(byFullPath);
}

}  // namespace
