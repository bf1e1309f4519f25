#pragma once
// RegistryKey: the owner of one open registry key, closed when the owner goes.
// The program's only user of the advapi32 registry functions. Keys are named
// by a path below a parent key, HKEY_LOCAL_MACHINE when no parent is given,
// and are opened and created with the full access of RegOpenKeyA and
// RegCreateKeyA, in the 32-bit view of the registry, where the 32-bit player
// keeps them (KEY_WOW64_32KEY): a 64-bit build of this program reads and
// writes the same keys as the 32-bit one. The system's own keys are opened
// in its view (RegistryView::System).
//
// The player's values the program writes are REG_SZ strings; the system's
// keys get the types the system reads (SetExpandString, SetNumber). Reads take REG_SZ and
// REG_EXPAND_SZ values (installers store paths with either type), the latter
// with its environment references expanded; they stop at the value's first
// NUL and always end the text with one, whether or not the value was stored
// with its terminator. Values of any other type read as absent.
//
// In a run that describes its changes (what_if.h) the keys and values are
// set and removed in the notes of that run only, and every read sees them
// as those notes would leave them.

#include <cstdint>
#include <string>
#include <vector>

class String;

// Which view of the registry a key is opened in on 64-bit Windows.
enum class RegistryView {
  // The 32-bit view, where the 32-bit player keeps its keys.
  Player,
  // The 64-bit view (KEY_WOW64_64KEY), the system's own: the services' keys
  // below HKLM\SYSTEM, such as the Event Log's sources. That part of the
  // registry is the same in both views (it is not redirected); the view is
  // named all the same, so that nothing leans on it, and 32-bit Windows
  // passes the flag over.
  System,
};

class RegistryKey {
 public:
  explicit RegistryKey(RegistryView view = RegistryView::Player) : view_(view) {}
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Opens the existing key path below parent (a key already open), or below
  // HKEY_LOCAL_MACHINE. A key held before is closed once the new one is open
  // (so parent may be this key); a failed open keeps it. False when the key
  // cannot be opened, and for a missing or empty path, which would name the
  // parent itself. Here and in the writes below, a failure leaves the
  // registry's reason in GetLastError (ERROR_ACCESS_DENIED for a run without
  // the right).
  bool Open(const char* path, const RegistryKey* parent = nullptr);
  // Opens the key path, making it (and any missing keys above it) first when
  // it does not exist. False as for Open.
  bool Create(const char* path, const RegistryKey* parent = nullptr);
  // Opens the existing key path like Open, with read access only (KEY_READ),
  // for walking keys this program never changes.
  bool OpenForReading(const char* path, const RegistryKey* parent = nullptr);
  void Close();
  // Open, also as a key that only a run describing its changes has made
  // (what_if.h): such a key has no handle, and reads see only what that run
  // would have set in it.
  bool IsOpen() const { return handle_ != nullptr || madeOnlyDescribed_; }

  // Whether the key path below HKEY_LOCAL_MACHINE exists: present, missing,
  // or unknown when it exists but cannot be opened (or the answer is another
  // error).
  enum class Presence { Present, Missing, Unknown };
  static Presence KeyPresence(const char* path);

  // The number of subkeys of this key; false when it cannot be asked.
  bool CountSubkeys(uint32_t* count) const;
  // The name of the subkey at index into buffer of capacity bytes; false
  // when there is no such subkey or its name does not fit.
  bool SubkeyName(uint32_t index, char* buffer, uint32_t capacity) const;

  // Reads the whole string value into text. False, with text unchanged, when
  // the value is absent, is not a string, or memory runs out.
  bool ReadString(const char* valueName, String* text) const;
  // Reads the string value into buffer of capacity bytes. False, with the
  // buffer unchanged, when the value is absent, is not a string, or its
  // text and terminator do not fit.
  bool ReadString(const char* valueName, char* buffer, uint32_t capacity) const;
  // Reads the whole string value through the wide-character call, so that
  // characters outside the ANSI code page come through as stored; with
  // expand, environment references of a REG_EXPAND_SZ value are expanded as
  // ReadString does. False, text unchanged, as for ReadString.
  bool ReadWideString(const char* valueName, std::wstring* text, bool expand) const;
  // Reads the whole string value as UTF-8 through the wide-character call, so
  // that characters outside the ANSI code page come through as stored (the
  // ANSI reads turn them into look-alikes or "?"). Environment references are
  // not expanded: the text is the value as stored. False, utf8 unchanged, as
  // for ReadString.
  bool ReadStoredUtf8(const char* valueName, std::string* utf8) const;
  // Reads a REG_MULTI_SZ value through the wide-character call into texts,
  // one text per string of the list (empty strings included, up to the
  // list's closing NUL). False, texts unchanged, when the value is absent, is
  // of another type, or memory runs out.
  bool ReadWideStringList(const char* valueName, std::vector<std::wstring>* texts) const;
  // Reads a REG_DWORD value. False, number unchanged, when the value is
  // absent or of another type.
  bool ReadNumber(const char* valueName, uint32_t* number) const;
  // Stores text as a REG_SZ value without its terminating zero, the form the
  // player's own programs write. No text stores an empty string.
  bool SetString(const char* valueName, const char* text);
  // Stores a REG_EXPAND_SZ value through the wide-character call (a path
  // outside the ANSI code page as it is), and a REG_DWORD value. A run that
  // describes its changes sets neither (false): what uses them, the program's
  // own registration, is never part of such a run.
  bool SetExpandString(const char* valueName, const std::wstring& text);
  bool SetNumber(const char* valueName, uint32_t number);
  bool DeleteValue(const char* valueName);
  // Removes the subkey name of this key; one that has subkeys of its own may stay.
  bool DeleteSubkey(const char* name);

 private:
  enum class Access { Open, Create, Read };
  // Open, Create and OpenForReading: takes the key path below parent with
  // that access in place of the key held.
  bool Take(const char* path, const RegistryKey* parent, Access access);

  // Whether a described run would have a subkey below the key at path.
  static bool WouldHaveSubkeys(const std::string& path);
  // The described state of valueName in this key.
  bool DescribedValue(const char* valueName, bool* present, std::string* text) const;

  RegistryView view_;
  void* handle_ = nullptr;  // the HKEY, none while closed
  // The key's path below HKEY_LOCAL_MACHINE, and whether it is a key that
  // only a run describing its changes has made.
  std::string path_;
  bool madeOnlyDescribed_ = false;
  bool readOnly_ = false;  // opened with OpenForReading: nothing is changed through it
};
