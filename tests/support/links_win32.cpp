#include "support/links_win32.h"

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

typedef char*(CDECL* UnixFileNameFunction)(const WCHAR*);
typedef WCHAR*(CDECL* DosFileNameFunction)(const char*);

template <typename Function>
Function WineFunction(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

// The Unix path of a Windows path (whose last part need not exist yet).
std::string UnixPathOf(const std::string& path) {
  auto toUnix = WineFunction<UnixFileNameFunction>("wine_get_unix_file_name");
  if (!toUnix) return std::string();
  int count = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::vector<WCHAR> wide(count > 0 ? count : 1);
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), count);
  char* unixPath = toUnix(wide.data());
  if (!unixPath) return std::string();
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// The Windows path of a Unix path.
std::string DosPathOf(const std::string& unixPath) {
  auto toDos = WineFunction<DosFileNameFunction>("wine_get_dos_file_name");
  if (!toDos) return std::string();
  WCHAR* dosPath = toDos(unixPath.c_str());
  if (!dosPath) return std::string();
  char narrow[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, dosPath, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, dosPath);
  return narrow;
}

// Starts a Unix program under Wine. Wine runs it detached, so callers wait
// for its effect rather than for the program.
bool StartUnixProgram(const std::string& program, const std::vector<std::string>& arguments) {
  std::string image = DosPathOf(program);
  if (image.empty()) return false;
  std::string commandLine = "\"" + program + "\"";
  for (const auto& argument : arguments) commandLine += " \"" + argument + "\"";
  std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
  mutableLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(image.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return false;
  // Wine starts a Unix program without a process object and leaves stale
  // values in process: its handles must not be waited on or closed (closing
  // them closed this program's own standard output).
  return true;
}

// Waits up to ten seconds for path to exist (or, with exists false, to be gone).
bool AwaitPath(const std::string& path, bool exists) {
  for (int i = 0; i < 500; ++i) {
    if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists) return true;
    Sleep(20);
  }
  return false;
}

// Waits up to ten seconds for the link to be gone; false when it is still
// there. A link whose target is gone is invisible to Windows calls, so its
// removal is awaited through the folder's listing.
bool AwaitLinkGone(const std::string& path) {
  size_t slash = path.find_last_of('\\');
  std::string folder = path.substr(0, slash), name = path.substr(slash + 1);
  for (int i = 0; i < 500; ++i) {
    bool listed = false;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
      do listed = listed || lstrcmpiA(entry.cFileName, name.c_str()) == 0;
      while (FindNextFileA(search, &entry));
      FindClose(search);
    }
    if (!listed) return true;
    Sleep(20);
  }
  return false;
}

std::string FinalPathOf(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  char finalPath[MAX_PATH * 2] = {};
  DWORD length = GetFinalPathNameByHandleA(file, finalPath, sizeof finalPath, 0);
  CloseHandle(file);
  return length < sizeof finalPath ? std::string(finalPath, length) : std::string();
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The mount-point form of REPARSE_DATA_BUFFER (a header of the driver kit).
struct MountPointReparseData {
  DWORD tag;
  WORD dataLength;
  WORD reserved;
  WORD substituteNameOffset;
  WORD substituteNameLength;
  WORD printNameOffset;
  WORD printNameLength;
  WCHAR names[MAX_PATH * 2 + 8];
};
constexpr DWORD MountPointHeaderBytes = 8;  // tag, dataLength, reserved

// Makes link a new empty folder and turns it into a junction to the folder
// target, as "mklink /J" does; no privilege is needed. A link left half made
// is removed.
bool MakeJunction(const std::string& link, const std::string& target) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(target.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full || !CreateDirectoryA(link.c_str(), nullptr)) return false;
  const std::wstring printName(full, full + length);
  const std::wstring substituteName = L"\\??\\" + printName;
  MountPointReparseData data = {};
  data.tag = IO_REPARSE_TAG_MOUNT_POINT;
  data.substituteNameLength = static_cast<WORD>(substituteName.size() * sizeof(WCHAR));
  data.printNameOffset = static_cast<WORD>(data.substituteNameLength + sizeof(WCHAR));
  data.printNameLength = static_cast<WORD>(printName.size() * sizeof(WCHAR));
  memcpy(data.names, substituteName.c_str(), data.substituteNameLength + sizeof(WCHAR));
  memcpy(reinterpret_cast<char*>(data.names) + data.printNameOffset, printName.c_str(),
         data.printNameLength + sizeof(WCHAR));
  // The four name fields, then both names with their terminators.
  data.dataLength = static_cast<WORD>(4 * sizeof(WORD) + data.printNameOffset + data.printNameLength + sizeof(WCHAR));
  HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  DWORD returned = 0;
  const bool made = folder != INVALID_HANDLE_VALUE &&
                    DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &data, MountPointHeaderBytes + data.dataLength,
                                    nullptr, 0, &returned, nullptr);
  if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
  if (!made) RemoveDirectoryA(link.c_str());
  return made;
}

}  // namespace

bool IsRunningUnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

SymbolicLink::SymbolicLink(const std::string& link, const std::string& target, LinkKind kind)
    : link_(link), toFolder_(IsFolder(target)) {
  if (!IsRunningUnderWine() && kind == LinkKind::Junction) {
    made_ = toFolder_ && MakeJunction(link, target) && GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
    return;
  }
  if (!IsRunningUnderWine()) {
    DWORD flags = toFolder_ ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    // Developer mode allows links without elevation on newer systems.
    made_ = (CreateSymbolicLinkA(link.c_str(), target.c_str(), flags | 0x2) ||
             CreateSymbolicLinkA(link.c_str(), target.c_str(), flags)) &&
            GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES;
    return;
  }
  std::string unixTarget = UnixPathOf(target), unixLink = UnixPathOf(link);
  if (unixTarget.empty() || unixLink.empty() || !StartUnixProgram("/bin/ln", {"-s", unixTarget, unixLink})) return;
  made_ = AwaitPath(link, true);
  // Not seen in time: no link, and none left behind to appear later.
  if (!made_) StartUnixProgram("/bin/rm", {"-f", unixLink});
}

SymbolicLink::~SymbolicLink() {
  if (!made_) return;
  if (!IsRunningUnderWine()) {
    // Windows removes a link itself by these calls; Wine would reach its target.
    if (toFolder_)
      RemoveDirectoryA(link_.c_str());
    else
      DeleteFileA(link_.c_str());
    return;
  }
  std::string unixLink = UnixPathOf(link_);
  if (unixLink.empty() || !StartUnixProgram("/bin/rm", {"-f", unixLink}) || !AwaitLinkGone(link_))
    ADD_FAILURE() << "the link " << link_ << " could not be removed";
}

DriveMapping::DriveMapping(const std::string& folder) : folder_(folder) {
  DWORD used = GetLogicalDrives();
  char letter = 0;
  for (char candidate = 'R'; candidate <= 'Y' && !letter; ++candidate) {
    if (!(used & (1u << (candidate - 'A')))) letter = candidate;
  }
  if (!letter) return;
  std::string root = std::string(1, letter) + ":\\";
  if (!IsRunningUnderWine()) {
    std::string device = std::string(1, letter) + ":";
    if (DefineDosDeviceA(0, device.c_str(), folder.c_str()) && AwaitPath(root, true)) letter_ = letter;
    return;
  }
  const char* prefix = getenv("WINEPREFIX");
  std::string unixFolder = UnixPathOf(folder);
  if (!prefix || !*prefix || unixFolder.empty()) return;
  std::string link = std::string(prefix) + "/dosdevices/" + static_cast<char>(letter - 'A' + 'a') + ":";
  if (!StartUnixProgram("/bin/ln", {"-sfn", unixFolder, link})) return;
  if (AwaitPath(root, true)) {
    letter_ = letter;
    unixLink_ = link;
    return;
  }
  // Not seen in time: no link, and none left behind to appear later.
  StartUnixProgram("/bin/rm", {"-f", link});
}

DriveMapping::~DriveMapping() {
  if (!letter_) return;
  if (unixLink_.empty()) {
    std::string device = std::string(1, letter_) + ":";
    DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, device.c_str(), folder_.c_str());
    return;
  }
  if (!StartUnixProgram("/bin/rm", {"-f", unixLink_}) || !AwaitPath(Root(), false)) {
    ADD_FAILURE() << "the drive " << Root() << " could not be unmapped";
    return;
  }
  // Wine keeps its table of drives for up to a second and knows a drive's
  // root by its inode, which a folder made next may reuse; wait until the
  // folder is no longer seen as the root.
  std::string root = "\\\\?\\" + std::string(1, letter_) + ":";
  for (int i = 0; FinalPathOf(folder_).compare(0, root.size(), root) == 0; ++i) {
    if (i == 250) {
      ADD_FAILURE() << "Wine still takes " << folder_ << " for the root of " << Root();
      return;
    }
    Sleep(20);
  }
}

std::string DriveMapping::Root() const { return std::string(1, letter_) + ":\\"; }
