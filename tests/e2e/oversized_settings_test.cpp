// Settings files too large for the program's memory: an option that reads or
// edits one gives its failure code and changes nothing, instead of ending
// the program. The files are sparse: their size costs the disk nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/folder_files_win32.h"
#include "support/player_installation_win32.h"
#include "support/process_win32.h"
#include "support/temp_folder_win32.h"

namespace {

// A file a 32-bit process can read once, but not hold three times over as
// an edit does (the text read, its copy to edit, the copy to compare): the
// memory runs out in the middle of the option, not at its first read.
constexpr LONGLONG OversizedBytes = 500LL << 20;

// Writes text at the start of the file at path and makes the file bytes
// long, the rest a hole of NULs (which a settings file may end in).
bool WriteSparseFile(const std::string& path, const std::string& text, LONGLONG bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  LARGE_INTEGER end;
  end.QuadPart = bytes;
  const bool made = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size() && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return made;
}

// What the test compares of a file it cannot read whole cheaply: its size,
// its first bytes and the time it was last written.
struct FileMark {
  LONGLONG size = -1;
  FILETIME written = {};
  std::string start;

  bool operator==(const FileMark& other) const {
    return size == other.size && CompareFileTime(&written, &other.written) == 0 && start == other.start;
  }
};

FileMark MarkOf(const std::string& path, size_t startBytes) {
  FileMark mark;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return mark;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size)) mark.size = size.QuadPart;
  GetFileTime(file, nullptr, nullptr, &mark.written);
  mark.start.resize(startBytes);
  DWORD read = 0;
  if (!ReadFile(file, &mark.start[0], static_cast<DWORD>(startBytes), &read, nullptr)) read = 0;
  mark.start.resize(read);
  CloseHandle(file);
  return mark;
}

TEST(OversizedSettingsTest, AnOptionOutOfMemoryGivesItsFailureCodeAndChangesNothing) {
  if (sizeof(void*) > 4)
    GTEST_SKIP() << "a 64-bit process holds a settings file of " << (OversizedBytes >> 20)
                 << " MB many times over: its memory does not run out";
  PlayerInstallation player;
  ASSERT_TRUE(player.Install());
  const struct {
    const char* option;
    const char* argument;
    const char* file;
    const char* text;
    bool foretold;  // "/whatif" first, which gives the same code
  } cases[] = {
      {"-cu+", "", "QuillframeConfig.ini", "[ComponentMgrOptions]\r\nCheckForUpdates = 0\r\n", true},
      {"-lu", " 1700000000", "QuillframeConfig.ini", "[ComponentMgrOptions]\r\nLastUpdateCheckTime = 5\r\n",
       false},
      {"-ds+", " https://b.example/", "QFXDownloadSites.txt", "[Download Sites]\r\nsite = https://a.example/\r\n",
       false},
  };
  TempFolder logs;
  for (const auto& c : cases) {
    const std::string arguments = std::string(c.option) + c.argument;
    const std::string path = player.ComponentFolder() + "\\" + c.file;
    ASSERT_TRUE(WriteSparseFile(path, c.text, OversizedBytes)) << arguments;
    const FileMark before = MarkOf(path, 64);
    if (c.foretold) {
      ProgramRun foretold = RunProgram(ControlPanelProgram(), "/whatif " + arguments);
      EXPECT_EQ(WithoutCarriageReturns(foretold.output), "would change nothing\n1\n") << arguments;
    }
    const std::string log = logs / (std::string(c.option) + ".log");
    ProgramRun run = RunProgram(ControlPanelProgram(), "/log \"" + log + "\" " + arguments);
    EXPECT_TRUE(run.ended) << arguments;
    EXPECT_EQ(WithoutCarriageReturns(run.output), "1\n") << arguments << "\n" << run.errors;
    EXPECT_EQ(run.exitCode, 1) << arguments;
    EXPECT_TRUE(MarkOf(path, 64) == before) << arguments << ": the file as it was";
    EXPECT_EQ(FilesIn(player.ComponentFolder()), std::vector<std::string>{c.file}) << arguments << ": no other file";
    const std::string logText = ReadTextFile(log);
    const size_t why = logText.find(std::string("stopped ") + c.option +
                                    ": out of memory (a file it reads may be too large for this program); its "
                                    "failure code 1");
    EXPECT_NE(why, std::string::npos) << arguments << "\n" << logText;
    EXPECT_NE(logText.find("result code 1", why), std::string::npos) << arguments << "\n" << logText;
    RemovePath(path);
  }
}

}  // namespace
