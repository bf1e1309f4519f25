// Where the program's libraries come from: the system libraries from the
// system folder only, the player's libraries by their full path.
#include "foundation/core/platform_win32.h"

#include <windows.h>

#include <delayimp.h>

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

// The hooks of the runtime's delay-load helper, through which ControlPanel.exe
// reaches the window libraries: each library comes from the system folder,
// and a listed function that cannot be had becomes a stand-in returning 0.
DelayLoadInfo DelayLoadOf(const char* library, const char* function) {
  DelayLoadInfo info = {};
  info.cb = sizeof info;
  info.szDll = library;
  info.dlp.fImportByName = TRUE;
  info.dlp.szProcName = function;
  return info;
}

TEST(DelayLoadHooksTest, TheWindowLibrariesComeFromTheSystemFolderOnly) {
  for (const char* library : {"user32.dll", "gdi32.dll", "winmm.dll", "USER32.DLL"}) {
    DelayLoadInfo info = DelayLoadOf(library, "Anything");
    auto module = reinterpret_cast<HMODULE>(__pfnDliNotifyHook2(dliNotePreLoadLibrary, &info));
    ASSERT_NE(module, nullptr) << library;
    EXPECT_STRCASEEQ(ModuleFolder(module).c_str(), SystemFolder().c_str()) << library;
  }
  // Other libraries and other notifications are left to the helper.
  DelayLoadInfo other = DelayLoadOf("shell32.dll", "DragFinish");
  EXPECT_EQ(__pfnDliNotifyHook2(dliNotePreLoadLibrary, &other), nullptr);
  DelayLoadInfo user = DelayLoadOf("user32.dll", "GetDC");
  EXPECT_EQ(__pfnDliNotifyHook2(dliStartProcessing, &user), nullptr);
  EXPECT_EQ(__pfnDliNotifyHook2(dliNotePreGetProcAddress, &user), nullptr);
}

TEST(DelayLoadHooksTest, AListedFunctionThatCannotBeHadReturnsZero) {
  DelayLoadInfo getDc = DelayLoadOf("user32.dll", "GetDC");
  auto standIn = reinterpret_cast<HDC(WINAPI*)(HWND)>(
      reinterpret_cast<void*>(__pfnDliFailureHook2(dliFailGetProc, &getDc)));
  ASSERT_NE(standIn, nullptr);
  EXPECT_EQ(standIn(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234))), nullptr);
  DelayLoadInfo clock = DelayLoadOf("winmm.dll", "timeGetTime");
  auto noArguments = reinterpret_cast<DWORD(WINAPI*)()>(
      reinterpret_cast<void*>(__pfnDliFailureHook2(dliFailGetProc, &clock)));
  ASSERT_NE(noArguments, nullptr);
  EXPECT_EQ(noArguments(), 0u);
  DelayLoadInfo create = DelayLoadOf("user32.dll", "CreateWindowExA");
  auto twelveArguments = reinterpret_cast<decltype(&CreateWindowExA)>(
      reinterpret_cast<void*>(__pfnDliFailureHook2(dliFailGetProc, &create)));
  ASSERT_NE(twelveArguments, nullptr);
  EXPECT_EQ(twelveArguments(0, "STATIC", "", 0, 1, 2, 3, 4, nullptr, nullptr, nullptr, nullptr), nullptr);
  // Calls through the stand-ins left the stack as it was: this frame's
  // locals are still intact.
  EXPECT_STREQ(getDc.dlp.szProcName, "GetDC");
  EXPECT_STREQ(create.szDll, "user32.dll");

  // A library of the helper's own is no business of the hook.
  DelayLoadInfo other = DelayLoadOf("shell32.dll", "DragFinish");
  EXPECT_EQ(__pfnDliFailureHook2(dliFailGetProc, &other), nullptr);
  EXPECT_EQ(__pfnDliFailureHook2(dliFailLoadLib, &getDc), nullptr);
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

  const auto wide = [](const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); };
  HMODULE byFullPath = LoadLibraryByFullPath(wide(folder / "AxQuillframe3.dll").c_str());
  HMODULE byRelativePath = LoadLibraryByFullPath(L"AxQuillframe3.dll");
  HMODULE damaged = LoadLibraryByFullPath(wide(folder / "AxQuillframeOld.dll").c_str());
  HMODULE missing = LoadLibraryByFullPath(wide(folder / "Missing.dll").c_str());
  SetCurrentDirectoryA(previous);

  ASSERT_NE(byFullPath, nullptr);
  EXPECT_EQ(byRelativePath, byFullPath);
  EXPECT_EQ(damaged, nullptr);
  EXPECT_EQ(missing, nullptr);
  FreeLibrary(byRelativePath);
  FreeLibrary(byFullPath);
}

}  // namespace
