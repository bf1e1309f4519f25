#pragma once
// The benchmark's profile: 1,000 sections of 100 entries each, 100,000
// entries in all, lines of the length the player's files have.

#include <cstdio>
#include <string>

constexpr int BenchSections = 1000;
constexpr int BenchEntriesPerSection = 100;

inline std::string BenchSectionName(int s) {
  char name[32];
  snprintf(name, sizeof name, "Components%04d", s);
  return name;
}

inline std::string BenchKey(int e) {
  char key[32];
  snprintf(key, sizeof key, "Library%03d", e);
  return key;
}

// The text in the writer's form (CR LF line ends).
inline std::string GenerateBenchProfile() {
  std::string text;
  for (int s = 0; s < BenchSections; ++s) {
    text += "[" + BenchSectionName(s) + "]\r\n";
    for (int e = 0; e < BenchEntriesPerSection; ++e) {
      char value[64];
      snprintf(value, sizeof value, "%d.%d.%d.%d http://components.example/%04d/%03d.dll", 3, s % 10,
               e % 7, s * BenchEntriesPerSection + e, s, e);
      text += BenchKey(e) + " = " + value + "\r\n";
    }
  }
  text += "\r\n";
  return text;
}
