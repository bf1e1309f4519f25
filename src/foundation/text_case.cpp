#include "foundation/text_case.h"

namespace {

char Folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (Folded(*a) != Folded(*b)) return false;
    if (*a == '\0') return true;
  }
}

bool StartsWithIgnoringCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (Folded(*text) != Folded(*prefix)) return false;  // also at the end of text
  }
  return true;
}
