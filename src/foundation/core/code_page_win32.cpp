// Conversions over MultiByteToWideChar and WideCharToMultiByte: the ANSI code
// page and UTF-8 both pass through UTF-16, the only route Windows offers
// between two code pages.
#include "foundation/core/code_page.h"

#include <windows.h>

namespace {

// text in code page as wide characters into wide; false when it fails
// (with MB_ERR_INVALID_CHARS in flags, also when text is not in code page).
bool ToWide(UINT codePage, const char* text, std::wstring* wide, DWORD flags = 0) {
  wide->clear();
  if (!text || !*text) return true;
  const int count = MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
  if (count <= 1) return false;
  wide->resize(static_cast<size_t>(count));
  if (MultiByteToWideChar(codePage, flags, text, -1, &(*wide)[0], count) != count) {
    wide->clear();
    return false;
  }
  wide->resize(static_cast<size_t>(count - 1));
  return true;
}

// wide in code page into out; with lost given, look-alikes are refused and
// *lost says whether some character had no form of its own there.
bool FromWide(UINT codePage, const wchar_t* wide, std::string* out, BOOL* lost) {
  out->clear();
  if (!wide || !*wide) return true;
  // UTF-8 holds every character and takes neither the flag nor the answer.
  const bool exact = lost && codePage != CP_UTF8;
  const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
  const int bytes = WideCharToMultiByte(codePage, flags, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return false;
  out->resize(static_cast<size_t>(bytes));
  if (WideCharToMultiByte(codePage, flags, wide, -1, &(*out)[0], bytes, nullptr, exact ? lost : nullptr) != bytes) {
    out->clear();
    return false;
  }
  out->resize(static_cast<size_t>(bytes - 1));
  return true;
}

// The ANSI code page, named as the conversions need it: CP_UTF8 where the
// system runs with UTF-8 as its ANSI code page.
UINT AnsiCodePage() { return GetACP() == CP_UTF8 ? CP_UTF8 : CP_ACP; }

}  // namespace

bool AnsiToUtf8(const char* ansi, String& out) {
  out.Put(nullptr, 0, 0);
  if (!ansi || !*ansi) return true;
  std::wstring wide;
  std::string utf8;
  if (!ToWide(AnsiCodePage(), ansi, &wide) || !FromWide(CP_UTF8, wide.c_str(), &utf8, nullptr)) return false;
  if (!out.Assign(utf8.c_str())) {
    out.Put(nullptr, 0, 0);
    return false;
  }
  return true;
}

std::string Utf8OfAnsi(const char* ansi) {
  std::wstring wide;
  std::string utf8;
  if (!ToWide(AnsiCodePage(), ansi, &wide) || !FromWide(CP_UTF8, wide.c_str(), &utf8, nullptr))
    return std::string(ansi ? ansi : "");
  return utf8;
}

std::string Utf8OfWide(const wchar_t* text) {
  std::string utf8;
  return FromWide(CP_UTF8, text, &utf8, nullptr) ? utf8 : std::string();
}

std::wstring WideOfAnsi(const char* ansi) {
  std::wstring wide;
  return ToWide(AnsiCodePage(), ansi, &wide) ? wide : std::wstring();
}

std::wstring WideOfUtf8(const char* utf8) {
  std::wstring wide;
  return ToWide(CP_UTF8, utf8, &wide, MB_ERR_INVALID_CHARS) ? wide : std::wstring();
}

bool ExactAnsiOfUtf8(const char* utf8, std::string* ansi) {
  std::wstring wide;
  if (ToWide(CP_UTF8, utf8, &wide, MB_ERR_INVALID_CHARS) && ExactAnsiOfWide(wide.c_str(), ansi)) return true;
  ansi->clear();
  return false;
}

bool ExactAnsiOfWide(const wchar_t* wide, std::string* ansi) {
  BOOL lost = FALSE;
  if (FromWide(AnsiCodePage(), wide, ansi, &lost) && !lost) return true;
  ansi->clear();
  return false;
}

std::string DisplayAnsiOfUtf8(const char* utf8) {
  std::wstring wide;
  std::string ansi;
  BOOL lost = FALSE;
  if (!utf8 || !ToWide(CP_UTF8, utf8, &wide, MB_ERR_INVALID_CHARS) ||
      !FromWide(AnsiCodePage(), wide.c_str(), &ansi, &lost))
    return std::string(utf8 ? utf8 : "");
  return ansi;
}
