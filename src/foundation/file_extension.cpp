#include "foundation/file_extension.h"

#include <cstring>

const char* FileExtension(const char* text) {
  const char* end = text + strlen(text);
  for (const char* p = end; p > text;) {
    --p;
    if (*p == '.') return p;
    if (*p == '\\' || *p == '/' || *p == ':') break;
  }
  return end;
}
