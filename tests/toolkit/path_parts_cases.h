#pragma once
// Paths with the parts the C runtime's _splitpath gives for them, and parts
// with the path its _makepath joins from them. Shared by the portable tests
// and by the Windows test that checks the same table against the runtime.

struct SplitCase {
  const char* path;
  const char* drive;
  const char* directory;
  const char* name;
  const char* extension;
};

inline constexpr SplitCase SplitCases[] = {
    {"C:\\dir\\file.txt", "C:", "\\dir\\", "file", ".txt"},
    {"file.txt", "", "", "file", ".txt"},
    {"C:file", "C:", "", "file", ""},
    {"C:", "C:", "", "", ""},
    {"C", "", "", "C", ""},
    {"", "", "", "", ""},
    {"\\\\server\\share\\a.b.c", "", "\\\\server\\share\\", "a.b", ".c"},
    {"dir.ext/sub/name", "", "dir.ext/sub/", "name", ""},
    {"a/b\\c", "", "a/b\\", "c", ""},
    {"C:\\dir\\", "C:", "\\dir\\", "", ""},
    {"\\", "", "\\", "", ""},
    {".profile", "", "", "", ".profile"},
    {"name.", "", "", "name", "."},
    {"C:\\a..b", "C:", "\\", "a.", ".b"},
    {":x", "", "", ":x", ""},
    {"x:\\y:z", "x:", "\\", "y:z", ""},
    {"C:\\Tools\\ControlPanelv306.ini", "C:", "\\Tools\\", "ControlPanelv306", ".ini"},
};

struct JoinCase {
  const char* drive;  // none when null, for every part
  const char* directory;
  const char* name;
  const char* extension;
  const char* path;
};

inline constexpr JoinCase JoinCases[] = {
    {"C:", "\\dir", "file", "txt", "C:\\dir\\file.txt"},
    {"C:", "\\dir\\", "file", ".txt", "C:\\dir\\file.txt"},
    {"C", "dir/", "file", ".txt", "C:dir/file.txt"},
    {"CDE", "x", "y", nullptr, "C:x\\y"},
    {nullptr, nullptr, "name", nullptr, "name"},
    {"", "", "", "", ""},
    {nullptr, nullptr, nullptr, nullptr, ""},
    {"D:", nullptr, "x", nullptr, "D:x"},
    {nullptr, "\\a\\", nullptr, "ext", "\\a\\.ext"},
    {nullptr, "a", nullptr, nullptr, "a\\"},
    {nullptr, nullptr, "file", ".", "file."},
    {nullptr, nullptr, "sub\\panel.ini", nullptr, "sub\\panel.ini"},
};
