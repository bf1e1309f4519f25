#pragma once
// Comparing and printing toolkit rectangles in test expectations.

#include <ostream>

#include "toolkit/dialogs.h"

inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

inline std::ostream& operator<<(std::ostream& out, const Rect& r) {
  return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
