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
