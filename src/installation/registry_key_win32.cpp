// RegistryKey over the advapi32 registry functions.
#include "installation/registry_key.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "foundation/core/code_page.h"
#include "foundation/core/strings.h"
#include "foundation/core/what_if.h"

namespace {

// A value that keeps growing between asking its size and reading it is given
// up after this many tries.
constexpr int ReadAttempts = 4;

HKEY KeyOf(void* handle) { return static_cast<HKEY>(handle); }

// The player is a 32-bit program and keeps its keys in the 32-bit view of the
// registry; its keys are opened there, whatever this program's own bitness.
constexpr REGSAM PlayerView = KEY_WOW64_32KEY;
// The access RegOpenKeyA and RegCreateKeyA ask for.
constexpr REGSAM FullAccess = MAXIMUM_ALLOWED;

REGSAM ViewFlag(RegistryView view) { return view == RegistryView::System ? KEY_WOW64_64KEY : PlayerView; }

// result as the registry call's outcome: true for success, else false with
// the reason in GetLastError.
bool Succeeded(LONG result) {
  if (result == ERROR_SUCCESS) return true;
  SetLastError(static_cast<DWORD>(result));
  return false;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// Expands the environment references ("%ProgramFiles%") of text in place, as
// every program that reads a REG_EXPAND_SZ value does. False when memory
// runs out or the expansion fails.
bool ExpandInPlace(String& text) {
  DWORD needed = ExpandEnvironmentStringsA(text.TextOrEmpty(), nullptr, 0);
  if (needed == 0 || needed >= String::CapacityMask) return false;
  String expanded;
  if (!expanded.Reserve(needed, false)) return false;
  DWORD written = ExpandEnvironmentStringsA(text.TextOrEmpty(), expanded.Block(), needed);
  // The variables may change between the two calls: a larger need is a failure.
  if (written == 0 || written > needed) return false;
  expanded.Block()[written - 1] = '\0';
  return text.Assign(expanded.Block());
}

// The same for a wide-character text.
bool ExpandInPlace(std::wstring& text) {
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return false;
  std::wstring expanded(needed, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), &expanded[0], needed);
  if (written == 0 || written > needed) return false;
  expanded.resize(written - 1);
  text = expanded;
  return true;
}

}  // namespace

RegistryKey::~RegistryKey() { Close(); }

bool RegistryKey::Open(const char* path, const RegistryKey* parent) { return Take(path, parent, Access::Open); }

bool RegistryKey::Create(const char* path, const RegistryKey* parent) { return Take(path, parent, Access::Create); }

bool RegistryKey::OpenForReading(const char* path, const RegistryKey* parent) {
  return Take(path, parent, Access::Read);
}

bool RegistryKey::Take(const char* path, const RegistryKey* parent, Access access) {
  // An empty path would hand back the base key itself, which is not ours to close.
  if ((parent && !parent->IsOpen()) || !path || !*path) return false;
  const std::string fullPath = parent ? parent->path_ + "\\" + path : std::string(path);
  const bool describing = ChangesAreDescribed();
  const RegistryWouldBe wouldBe = describing ? WhatKeyWouldBe(fullPath) : RegistryWouldBe::AsItIs;
  if (wouldBe == RegistryWouldBe::Gone && access != Access::Create) return false;
  HKEY base = parent ? KeyOf(parent->handle_) : HKEY_LOCAL_MACHINE;
  HKEY key = nullptr;
  LONG result = ERROR_FILE_NOT_FOUND;
  const REGSAM view = ViewFlag(view_);
  if (base && wouldBe != RegistryWouldBe::Gone) {
    // A run that describes its changes makes no key: it opens one that is there.
    result = access == Access::Create && !describing
                 ? RegCreateKeyExA(base, path, 0, nullptr, 0, FullAccess | view, nullptr, &key, nullptr)
                 : RegOpenKeyExA(base, path, 0, (access == Access::Read ? KEY_READ : FullAccess) | view, &key);
  }
  const bool madeOnlyDescribed =
      describing && result != ERROR_SUCCESS && (access == Access::Create || wouldBe == RegistryWouldBe::Made);
  if (result != ERROR_SUCCESS && !madeOnlyDescribed) return Succeeded(result);
  Close();  // after the open, so that a key may open a path below itself
  handle_ = result == ERROR_SUCCESS ? key : nullptr;
  path_ = fullPath;
  madeOnlyDescribed_ = madeOnlyDescribed;
  readOnly_ = access == Access::Read;
  if (madeOnlyDescribed && wouldBe != RegistryWouldBe::Made) NoteKeyMade(fullPath);
  return true;
}

bool RegistryKey::WouldHaveSubkeys(const std::string& path) {
  if (KeyWouldHaveMadeSubkeys(path)) return true;
  RegistryKey key;
  uint32_t count = 0;
  if (!key.OpenForReading(path.c_str()) || !key.handle_ || !key.CountSubkeys(&count)) return false;
  for (uint32_t index = 0; index < count; ++index) {
    char name[MAX_PATH];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(KeyOf(key.handle_), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS ||
        WhatKeyWouldBe(path + "\\" + name) != RegistryWouldBe::Gone)
      return true;
  }
  return false;
}

bool RegistryKey::DescribedValue(const char* valueName, bool* present, std::string* text) const {
  if (!ChangesAreDescribed()) return false;
  const RegistryWouldBe wouldBe = WhatValueWouldBe(path_, valueName ? valueName : "", text);
  if (wouldBe == RegistryWouldBe::AsItIs && !madeOnlyDescribed_) return false;
  *present = wouldBe == RegistryWouldBe::Made;
  return true;
}

RegistryKey::Presence RegistryKey::KeyPresence(const char* path) {
  if (!path || !*path) return Presence::Unknown;
  if (ChangesAreDescribed()) {
    const RegistryWouldBe wouldBe = WhatKeyWouldBe(path);
    if (wouldBe == RegistryWouldBe::Gone) return Presence::Missing;
    if (wouldBe == RegistryWouldBe::Made) return Presence::Present;
  }
  HKEY key = nullptr;
  LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, FullAccess | PlayerView, &key);
  if (result == ERROR_SUCCESS) {
    RegCloseKey(key);
    return Presence::Present;
  }
  return result == ERROR_FILE_NOT_FOUND ? Presence::Missing : Presence::Unknown;
}

bool RegistryKey::CountSubkeys(uint32_t* count) const {
  if (!handle_ || !count) return false;
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(KeyOf(handle_), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  *count = subkeys;
  return true;
}

bool RegistryKey::SubkeyName(uint32_t index, char* buffer, uint32_t capacity) const {
  if (!handle_ || !buffer || capacity == 0) return false;
  DWORD length = capacity;
  return RegEnumKeyExA(KeyOf(handle_), index, buffer, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void RegistryKey::Close() {
  if (handle_) RegCloseKey(KeyOf(handle_));
  handle_ = nullptr;
  madeOnlyDescribed_ = false;
  readOnly_ = false;
  path_.clear();
}

bool RegistryKey::ReadString(const char* valueName, String* text) const {
  bool present = false;
  std::string described;
  if (text && DescribedValue(valueName, &present, &described)) return present && text->Assign(described.c_str());
  if (!handle_ || !text) return false;
  for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(KeyOf(handle_), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (!IsStringType(type) || size >= String::CapacityMask) return false;
    // One byte more than the value, for the terminator a value stored
    // without one lacks.
    String data;
    if (!data.Reserve(size, false)) return false;
    DWORD read = size;
    LONG result =
        RegQueryValueExA(KeyOf(handle_), valueName, nullptr, &type, reinterpret_cast<BYTE*>(data.Block()), &read);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS || !IsStringType(type) || read > size) return false;
    data.Block()[read] = '\0';
    if (type == REG_EXPAND_SZ && !ExpandInPlace(data)) return false;
    return text->Assign(data.Text());
  }
  return false;
}

bool RegistryKey::ReadString(const char* valueName, char* buffer, uint32_t capacity) const {
  if (!buffer) return false;
  String text;
  if (!ReadString(valueName, &text)) return false;
  uint32_t length = text.Length();
  if (length >= capacity) return false;
  memcpy(buffer, text.TextOrEmpty(), length + 1);
  return true;
}

bool RegistryKey::ReadWideString(const char* valueName, std::wstring* text, bool expand) const {
  bool present = false;
  std::string described;
  if (text && DescribedValue(valueName, &present, &described)) {
    if (!present) return false;
    *text = WideOfAnsi(described.c_str());
    return true;
  }
  if (!handle_ || !text) return false;
  const std::wstring name = WideOfAnsi(valueName);
  if (valueName && *valueName && name.empty()) return false;
  const wchar_t* wideName = name.empty() ? nullptr : name.c_str();
  for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(KeyOf(handle_), wideName, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        !IsStringType(type))
      return false;
    // Room for a terminator the value may lack.
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    const LONG result =
        RegQueryValueExW(KeyOf(handle_), wideName, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &bytes);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS || !IsStringType(type)) return false;
    // Up to the first NUL, as the other reads.
    value.resize(wcslen(value.c_str()));
    if (expand && type == REG_EXPAND_SZ && !ExpandInPlace(value)) return false;
    *text = value;
    return true;
  }
  return false;
}

bool RegistryKey::ReadWideStringList(const char* valueName, std::vector<std::wstring>* texts) const {
  if (!handle_ || !texts) return false;
  const std::wstring name = WideOfAnsi(valueName);
  for (int attempt = 0; attempt < ReadAttempts; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(KeyOf(handle_), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
      return false;
    // Room for the two terminators the value may lack.
    std::wstring list(bytes / sizeof(wchar_t) + 2, L'\0');
    const LONG result =
        RegQueryValueExW(KeyOf(handle_), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&list[0]), &bytes);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS || type != REG_MULTI_SZ) return false;
    list.resize(bytes / sizeof(wchar_t));
    if (!list.empty() && list.back() == L'\0') list.pop_back();  // the list's closing NUL
    std::vector<std::wstring> read;
    for (size_t start = 0; start < list.size();) {
      const size_t end = std::min(list.find(L'\0', start), list.size());
      read.push_back(list.substr(start, end - start));
      start = end + 1;
    }
    *texts = read;
    return true;
  }
  return false;
}

bool RegistryKey::ReadStoredUtf8(const char* valueName, std::string* utf8) const {
  std::wstring value;
  if (!utf8 || !ReadWideString(valueName, &value, false)) return false;
  *utf8 = Utf8OfWide(value.c_str());
  return true;
}

bool RegistryKey::SetString(const char* valueName, const char* text) {
  if (ChangesAreDescribed()) {
    if (!IsOpen() || readOnly_) return false;
    NoteValueSet(path_, valueName ? valueName : "", text ? text : "");
    return true;
  }
  if (!handle_) return false;
  const char* data = text ? text : "";
  DWORD length = static_cast<DWORD>(strlen(data));
  return RegSetValueExA(KeyOf(handle_), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), length) ==
         ERROR_SUCCESS;
}

bool RegistryKey::SetExpandString(const char* valueName, const std::wstring& text) {
  if (!handle_ || ChangesAreDescribed()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const std::wstring name = WideOfAnsi(valueName);
  // With its terminator, as the system's own expandable values are stored.
  const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  return Succeeded(RegSetValueExW(KeyOf(handle_), name.empty() ? nullptr : name.c_str(), 0, REG_EXPAND_SZ,
                                  reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

bool RegistryKey::SetNumber(const char* valueName, uint32_t number) {
  if (!handle_ || ChangesAreDescribed()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const DWORD value = number;
  return Succeeded(
      RegSetValueExA(KeyOf(handle_), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value));
}

bool RegistryKey::ReadNumber(const char* valueName, uint32_t* number) const {
  if (!handle_ || !number) return false;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(KeyOf(handle_), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return false;
  *number = value;
  return true;
}

bool RegistryKey::DeleteValue(const char* valueName) {
  if (ChangesAreDescribed()) {
    if (readOnly_) return false;
    bool present = false;
    std::string unused;
    if (!DescribedValue(valueName, &present, &unused))
      present = handle_ && RegQueryValueExA(KeyOf(handle_), valueName, nullptr, nullptr, nullptr, nullptr) ==
                               ERROR_SUCCESS;
    if (present) NoteValueRemoved(path_, valueName ? valueName : "");
    return present;
  }
  return handle_ && RegDeleteValueA(KeyOf(handle_), valueName) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteSubkey(const char* name) {
  // An empty name would remove this key itself.
  if (!IsOpen() || !name || !*name) return false;
  if (ChangesAreDescribed()) {
    if (readOnly_) return false;
    // What the removal would find: the subkey there, and none below it.
    const std::string subkey = path_ + "\\" + name;
    const RegistryWouldBe wouldBe = WhatKeyWouldBe(subkey);
    const bool there = wouldBe == RegistryWouldBe::Made ||
                       (wouldBe == RegistryWouldBe::AsItIs && KeyPresence(subkey.c_str()) == Presence::Present);
    if (!there || WouldHaveSubkeys(subkey)) return false;
    NoteKeyRemoved(subkey);
    return true;
  }
  if (!handle_) return false;
  return RegDeleteKeyExA(KeyOf(handle_), name, ViewFlag(view_), 0) == ERROR_SUCCESS;
}
