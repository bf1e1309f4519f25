#include "foundation/json_text.h"

#include <windows.h>

#include <memory>
#include <new>

bool AnsiToUtf8(const char* ansi, String& out) {
  out.Put(nullptr, 0, 0);
  if (!ansi || !*ansi) return true;
  // Through UTF-16, the only route Windows offers between two code pages.
  const int wideCount = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  if (wideCount <= 0) return false;
  std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[wideCount]);
  if (!wide || MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.get(), wideCount) != wideCount) return false;
  const int byteCount = WideCharToMultiByte(CP_UTF8, 0, wide.get(), -1, nullptr, 0, nullptr, nullptr);
  if (byteCount <= 1) return false;
  // byteCount counts the terminator; Reserve(n) makes room for n + 1 bytes.
  if (!out.Reserve(static_cast<uint32_t>(byteCount - 1), false)) return false;
  if (WideCharToMultiByte(CP_UTF8, 0, wide.get(), -1, out.Block(), byteCount, nullptr, nullptr) != byteCount) {
    out.Put(nullptr, 0, 0);
    return false;
  }
  return true;
}

std::string Utf8OfAnsi(const char* ansi) {
  String utf8;
  return AnsiToUtf8(ansi, utf8) ? std::string(utf8.TextOrEmpty()) : std::string(ansi ? ansi : "");
}

std::string Utf8OfWide(const wchar_t* text) {
  if (!text || !*text) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return std::string();
  std::string utf8(static_cast<size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], bytes, nullptr, nullptr) != bytes) return std::string();
  utf8.resize(static_cast<size_t>(bytes - 1));
  return utf8;
}
