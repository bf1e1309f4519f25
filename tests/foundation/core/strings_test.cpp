#include "foundation/core/strings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "foundation/core/platform.h"

namespace {

constexpr uint32_t All = String::AllCharacters;

std::string TextOf(const String& s) { return s.TextOrEmpty(); }

// A String holding text in a block of exactly its length plus one.
void Load(String& s, const char* text) { ASSERT_TRUE(s.Assign(text)); }

TEST(StringTest, StartsWithoutABlock) {
  String s;
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(s.Flags(), 0u);
  EXPECT_EQ(s.Length(), 0u);
  EXPECT_STREQ(s.TextOrEmpty(), "");
}

TEST(StringTest, AppendingGrowsToTheRequestedLengthPlusOneAtLeastDoubling) {
  String s;
  ASSERT_TRUE(s.Append("abc"));
  EXPECT_EQ(s.Capacity(), 4u);
  const uint32_t expected[] = {9, 9, 9, 9, 9, 19};  // after the 4th to 9th character
  for (uint32_t capacity : expected) {
    ASSERT_TRUE(s.AppendCharacter('x'));
    EXPECT_EQ(s.Capacity(), capacity) << s.Length();
  }
  while (s.Length() < 19) ASSERT_TRUE(s.Append("y"));
  EXPECT_EQ(s.Capacity(), 39u);
  EXPECT_EQ(TextOf(s), "abcxxxxxx" + std::string(10, 'y'));
  EXPECT_GE(platform::HeapBlockSize(s.Text()), 39u);
}

TEST(StringTest, AppendingOneCharacterAtATimeGrowsLogarithmically) {
  String s;
  const uint32_t total = 100000;
  uint32_t growths = 0, capacity = 0;
  for (uint32_t i = 0; i < total; ++i) {
    // The position is known, so the append does not measure the text.
    ASSERT_TRUE(s.Fill(static_cast<char>('a' + i % 26), 1, i));
    if (s.Capacity() != capacity) {
      ++growths;
      EXPECT_GE(s.Capacity(), 2 * capacity) << "after " << i << " characters";
      capacity = s.Capacity();
    }
  }
  EXPECT_LE(growths, 20u);  // log2(100000) is about 17
  ASSERT_EQ(s.Length(), total);
  EXPECT_EQ(s.Text()[total - 1], static_cast<char>('a' + (total - 1) % 26));
}

struct PutCase {
  const char* start;  // none: an empty String
  const char* text;
  uint32_t count, position;
  bool ok;
  const char* result;  // none: still no block
};

TEST(StringTest, Put) {
  const PutCase cases[] = {
      {"abcdef", "", All, 3, true, "abc"},
      {"abcdef", nullptr, All, 3, true, "abc"},
      {"abcdef", "xyz", 0, 2, true, "ab"},
      {"abcdef", "", All, 40, true, "abcdef"},  // past the block: nothing to end
      {"abc", "xyz", All, 0, true, "xyz"},
      {"abc", "de", All, 3, true, "abcde"},
      {"abcdef", "XY", All, 2, true, "abXY"},
      {"abc", "hello", 2, 1, true, "ahe"},
      {"abc", "hi", 5, 0, true, "hi"},
      {nullptr, "abc", All, 0, true, "abc"},
      {nullptr, nullptr, All, 0, true, nullptr},
      {nullptr, "", All, 0, true, nullptr},
      {nullptr, "abc", 0, 4, true, nullptr},
  };
  for (const auto& c : cases) {
    String s;
    if (c.start) Load(s, c.start);
    EXPECT_EQ(s.Put(c.text, c.count, c.position), c.ok) << (c.start ? c.start : "(none)") << " " << c.position;
    if (c.result) {
      EXPECT_EQ(TextOf(s), c.result) << (c.start ? c.start : "(none)") << " " << c.position;
      EXPECT_LT(s.Length(), s.Capacity());
    } else {
      EXPECT_EQ(s.Text(), nullptr);
      EXPECT_EQ(s.Flags(), 0u);
    }
  }
}

TEST(StringTest, PutWithACountPadsAShorterTextWithZeros) {
  String s;
  ASSERT_TRUE(s.Put("hi", 5, 0));
  EXPECT_EQ(s.Capacity(), 6u);
  EXPECT_EQ(memcmp(s.Text(), "hi\0\0\0\0", 6), 0);
}

TEST(StringTest, PutPastTheTextKeepsTheTextUpToItsTerminator) {
  String s;
  Load(s, "abc");
  ASSERT_TRUE(s.Put("x", All, 10));
  EXPECT_EQ(s.Capacity(), 12u);
  EXPECT_EQ(TextOf(s), "abc");
  EXPECT_EQ(s.Text()[10], 'x');
}

TEST(StringTest, WritingPastTheStartOfAnEmptyStringLeavesItsTextEmpty) {
  String put, filled;
  ASSERT_TRUE(put.Put("x", All, 5));
  EXPECT_EQ(put.Capacity(), 7u);
  EXPECT_EQ(TextOf(put), "");
  EXPECT_EQ(put.Text()[5], 'x');
  ASSERT_TRUE(filled.Fill('y', 2, 3));
  EXPECT_EQ(TextOf(filled), "");
  EXPECT_EQ(filled.Text()[4], 'y');
}

struct OverlapCase {
  uint32_t from;  // offset of the source within "abcdef"
  uint32_t count, position;
  const char* result;
};

TEST(StringTest, PutOfItsOwnText) {
  const OverlapCase cases[] = {
      {2, All, 0, "cdef"},
      {0, All, 0, "abcdef"},
      {0, All, 6, "abcdefabcdef"},  // the block must move to grow
      {3, All, 6, "abcdefdef"},
      {1, 2, 4, "abcdbc"},
      {4, All, 1, "aef"},
      {5, All, 3, "abcf"},
      {0, 2, 0, "ab"},
      {0, 9, 0, "abcdef"},
      {2, 8, 0, "cdef"},
      {1, 0, 2, "ab"},
  };
  for (const auto& c : cases) {
    String s;
    Load(s, "abcdef");
    EXPECT_TRUE(s.Put(s.Text() + c.from, c.count, c.position)) << c.from << " " << c.position;
    EXPECT_EQ(TextOf(s), c.result) << c.from << " " << c.position;
    EXPECT_LT(s.Length(), s.Capacity());
  }
}

TEST(StringTest, AssigningItsOwnTextChangesNothing) {
  String s;
  Load(s, "abcdef");
  const char* block = s.Text();
  uint32_t flags = s.Flags();
  EXPECT_TRUE(s.Put(s.Text(), All, 0));
  EXPECT_EQ(s.Text(), block);
  EXPECT_EQ(s.Flags(), flags);
  EXPECT_TRUE(s.PutString(s, 0));
  EXPECT_EQ(s.Text(), block);
  EXPECT_EQ(TextOf(s), "abcdef");
}

TEST(StringTest, PutString) {
  String s, other, empty;
  Load(s, "abcdef");
  Load(other, "XY");
  ASSERT_TRUE(s.PutString(other, 2));
  EXPECT_EQ(TextOf(s), "abXY");
  EXPECT_EQ(TextOf(other), "XY");
  ASSERT_TRUE(s.PutString(s, s.Length()));
  EXPECT_EQ(TextOf(s), "abXYabXY");
  ASSERT_TRUE(s.AppendString(other));
  EXPECT_EQ(TextOf(s), "abXYabXYXY");
  ASSERT_TRUE(s.PutString(empty, 3));
  EXPECT_EQ(TextOf(s), "abX");
  ASSERT_TRUE(empty.PutString(other, 0));
  EXPECT_EQ(TextOf(empty), "XY");
}

TEST(StringTest, Fill) {
  String s;
  EXPECT_TRUE(s.Fill('x', 0, 0));
  EXPECT_EQ(s.Text(), nullptr);
  ASSERT_TRUE(s.Fill('x', 3, 0));
  EXPECT_EQ(TextOf(s), "xxx");
  EXPECT_EQ(s.Capacity(), 4u);
  ASSERT_TRUE(s.Fill('y', 1, 3));
  EXPECT_EQ(TextOf(s), "xxxy");
  EXPECT_EQ(s.Capacity(), 9u);
  ASSERT_TRUE(s.Fill('z', 2, 1));
  EXPECT_EQ(TextOf(s), "xzz");
  EXPECT_EQ(s.Capacity(), 9u);
  ASSERT_TRUE(s.Fill('w', 12, 0));  // from the start the old text is not kept
  EXPECT_EQ(TextOf(s), std::string(12, 'w'));
  EXPECT_EQ(s.Capacity(), 19u);
}

TEST(StringTest, ReserveKeepsOrEmptiesTheText) {
  String s;
  Load(s, "abcdef");
  ASSERT_TRUE(s.Reserve(20, true));
  EXPECT_EQ(s.Capacity(), 21u);
  EXPECT_EQ(TextOf(s), "abcdef");
  ASSERT_TRUE(s.Reserve(3, true));  // keeping a shorter block cuts the text
  EXPECT_EQ(s.Capacity(), 4u);
  EXPECT_EQ(TextOf(s), "abc");
  ASSERT_TRUE(s.Reserve(10, false));
  EXPECT_EQ(s.Capacity(), 11u);
  EXPECT_EQ(TextOf(s), "");
  EXPECT_GE(platform::HeapBlockSize(s.Text()), 11u);

  String empty;
  ASSERT_TRUE(empty.Reserve(0, false));
  EXPECT_NE(empty.Text(), nullptr);
  EXPECT_EQ(empty.Capacity(), 1u);
  EXPECT_FALSE(empty.Reserve(String::CapacityMask, false));  // beyond what the flags can hold
  EXPECT_EQ(empty.Capacity(), 1u);
}

TEST(StringTest, EnsureRoom) {
  String s;
  Load(s, "abcdef");  // capacity 7
  const char* block = s.Text();
  ASSERT_TRUE(s.EnsureRoom(6, true));
  EXPECT_EQ(s.Text(), block);
  EXPECT_EQ(s.Capacity(), 7u);
  ASSERT_TRUE(s.EnsureRoom(7, true));
  EXPECT_EQ(s.Capacity(), 15u);
  EXPECT_EQ(TextOf(s), "abcdef");
  ASSERT_TRUE(s.EnsureRoom(100, false));
  EXPECT_EQ(s.Capacity(), 101u);
  EXPECT_EQ(TextOf(s), "");
}

TEST(StringTest, ClearReleasesAndEmpties) {
  String s;
  Load(s, "abc");
  s.Clear();
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(s.Flags(), 0u);
  s.Clear();
  EXPECT_EQ(s.Flags(), 0u);
}

TEST(StringTest, AReadOnlyStringRefusesEveryChange) {
  const char source[] = "fixed text";
  String s;
  s.Attach(source, true);
  EXPECT_EQ(s.Text(), source);
  EXPECT_EQ(s.Capacity(), 11u);
  EXPECT_EQ(s.Flags(), String::ReadOnlyFlag | String::NotOwnedFlag | 11u);
  String other;
  Load(other, "x");
  EXPECT_FALSE(s.Append("more"));
  EXPECT_FALSE(s.Assign("other"));
  EXPECT_FALSE(s.Put(nullptr, All, 0));
  EXPECT_FALSE(s.AppendCharacter('!'));
  EXPECT_FALSE(s.Fill('!', 1, 0));
  EXPECT_FALSE(s.AppendString(other));
  EXPECT_FALSE(s.Reserve(3, true));
  EXPECT_FALSE(s.EnsureRoom(40, true));
  EXPECT_FALSE(s.Fill('!', 0, 0));
  EXPECT_TRUE(s.EnsureRoom(5, true));  // already room: nothing to change
  EXPECT_EQ(s.Text(), source);
  EXPECT_STREQ(source, "fixed text");

  // It still serves as a source.
  ASSERT_TRUE(other.PutString(s, 1));
  EXPECT_EQ(TextOf(other), "xfixed text");

  // Clear empties it without releasing the caller's text.
  s.Clear();
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(s.Flags(), 0u);
  EXPECT_STREQ(source, "fixed text");
}

TEST(StringTest, ANotOwnedStringWritesInPlaceButNeverGrows) {
  char buffer[] = "abcdef";
  String s;
  s.Attach(buffer, false);
  EXPECT_EQ(s.Flags(), String::NotOwnedFlag | 7u);
  ASSERT_TRUE(s.Put("XY", All, 1));
  EXPECT_STREQ(buffer, "aXY");
  EXPECT_EQ(s.Text(), buffer);
  ASSERT_TRUE(s.Fill('z', 3, 3));
  EXPECT_STREQ(buffer, "aXYzzz");

  EXPECT_FALSE(s.Append("g"));
  EXPECT_FALSE(s.Fill('z', 1, 6));
  EXPECT_FALSE(s.EnsureRoom(7, true));
  EXPECT_EQ(s.Text(), buffer);
  EXPECT_EQ(s.Flags(), String::NotOwnedFlag | 7u);
  EXPECT_STREQ(buffer, "aXYzzz");

  // Reserve allocates nothing; it only tells whether n is below the length.
  EXPECT_TRUE(s.Reserve(5, false));
  EXPECT_FALSE(s.Reserve(6, true));
  EXPECT_EQ(s.Text(), buffer);
  EXPECT_STREQ(buffer, "aXYzzz");
  s.Clear();
  EXPECT_STREQ(buffer, "aXYzzz");
}

TEST(StringTest, AttachReleasesAnOwnedBlockAndAcceptsNone) {
  String s;
  Load(s, "owned");
  s.Attach("borrowed", true);
  EXPECT_EQ(TextOf(s), "borrowed");
  s.Attach(nullptr, true);
  EXPECT_EQ(s.Text(), nullptr);
  EXPECT_EQ(s.Flags(), 0u);
}

TEST(StringTest, AFixedCapacityStringIsTreatedLikeANotOwnedOneWhenGrowing) {
  String s;
  Load(s, "abc");
  s.SetFixedCapacity(true);
  EXPECT_EQ(s.Flags(), String::FixedCapacityFlag | 4u);
  ASSERT_TRUE(s.Put("xy", All, 0));
  EXPECT_EQ(TextOf(s), "xy");
  EXPECT_FALSE(s.Append("zw"));
  EXPECT_FALSE(s.Reserve(10, true));
  EXPECT_EQ(TextOf(s), "xy");
  EXPECT_EQ(s.Flags(), String::FixedCapacityFlag | 4u);
  // Owned all the same: Clear (here by the destructor) releases the block.
}

TEST(StringTest, FlagSettersKeepTheOtherBits) {
  String s;
  Load(s, "abc");
  s.SetReadOnly(true);
  s.SetNotOwned(true);
  EXPECT_EQ(s.Flags(), String::ReadOnlyFlag | String::NotOwnedFlag | 4u);
  s.SetCapacity(3);
  EXPECT_EQ(s.Flags(), String::ReadOnlyFlag | String::NotOwnedFlag | 3u);
  s.SetCapacity(4 | String::ReadOnlyFlag);  // flag bits of the argument are ignored
  EXPECT_EQ(s.Capacity(), 4u);
  s.SetReadOnly(false);
  s.SetNotOwned(false);
  EXPECT_EQ(s.Flags(), 4u);
}

TEST(StringTest, SwapExchangesBlocksOfPlainStrings) {
  String a, b;
  Load(a, "first");
  Load(b, "second one");
  const char* blockA = a.Text();
  const char* blockB = b.Text();
  ASSERT_TRUE(a.Swap(b));
  EXPECT_EQ(a.Text(), blockB);
  EXPECT_EQ(b.Text(), blockA);
  EXPECT_EQ(a.Capacity(), 11u);
  EXPECT_EQ(b.Capacity(), 6u);

  String empty;
  ASSERT_TRUE(empty.Swap(a));
  EXPECT_EQ(TextOf(empty), "second one");
  EXPECT_EQ(a.Text(), nullptr);
  EXPECT_EQ(a.Flags(), 0u);
}

TEST(StringTest, SwapExchangesBlocksOfReadOnlyStrings) {
  const char first[] = "first", second[] = "second";
  String a, b;
  a.Attach(first, true);
  b.Attach(second, true);
  ASSERT_TRUE(a.Swap(b));
  EXPECT_EQ(a.Text(), second);
  EXPECT_EQ(b.Text(), first);
  EXPECT_EQ(a.Capacity(), 7u);
}

TEST(StringTest, SwapCopiesTextsWhenABlockCannotChangeHands) {
  char buffer[] = "borrowed text";
  String borrowed, plain;
  borrowed.Attach(buffer, false);
  Load(plain, "plain");
  plain.Reserve(20, true);
  const char* plainBlock = plain.Text();
  ASSERT_TRUE(borrowed.Swap(plain));
  EXPECT_EQ(borrowed.Text(), buffer);
  EXPECT_STREQ(buffer, "plain");
  EXPECT_EQ(plain.Text(), plainBlock);
  EXPECT_EQ(TextOf(plain), "borrowed text");
  EXPECT_EQ(borrowed.Flags(), String::NotOwnedFlag | 14u);
  EXPECT_EQ(plain.Flags(), 21u);
}

TEST(StringTest, SwapRefusesWhatCannotBeExchanged) {
  const char fixedText[] = "read only";
  char buffer[] = "abc";
  struct Case {
    const char* name;
    void (*prepare)(String& a, String& b, const char* fixedText, char* buffer);
  };
  const Case cases[] = {
      {"read-only with plain",
       [](String& a, String& b, const char* t, char*) {
         a.Attach(t, true);
         b.Assign("plain");
       }},
      {"plain with read-only",
       [](String& a, String& b, const char* t, char*) {
         a.Assign("plain");
         b.Attach(t, true);
       }},
      {"other too long for a borrowed block",
       [](String& a, String& b, const char*, char* buf) {
         a.Attach(buf, false);
         b.Assign("longer");
       }},
      {"borrowed text too long for the other",
       [](String& a, String& b, const char*, char* buf) {
         a.Attach(buf, false);
         b.Assign("ab");
       }},
      {"borrowed with empty",
       [](String& a, String&, const char*, char* buf) { a.Attach(buf, false); }},
  };
  for (const auto& c : cases) {
    String a, b;
    c.prepare(a, b, fixedText, buffer);
    const char* textA = a.Text();
    const char* textB = b.Text();
    std::string before = TextOf(a) + "|" + TextOf(b);
    uint32_t flagsA = a.Flags(), flagsB = b.Flags();
    EXPECT_FALSE(a.Swap(b)) << c.name;
    EXPECT_EQ(a.Text(), textA) << c.name;
    EXPECT_EQ(b.Text(), textB) << c.name;
    EXPECT_EQ(a.Flags(), flagsA) << c.name;
    EXPECT_EQ(b.Flags(), flagsB) << c.name;
    EXPECT_EQ(TextOf(a) + "|" + TextOf(b), before) << c.name;
  }
}

TEST(StringTest, PutOfItsOwnTextIntoABorrowedBlockStaysInIt) {
  char buffer[] = "abcdef";
  String s;
  s.Attach(buffer, false);
  ASSERT_TRUE(s.Put(buffer + 3, All, 1));
  EXPECT_EQ(s.Text(), buffer);
  EXPECT_STREQ(buffer, "adef");
  EXPECT_FALSE(s.Put(buffer, All, 4));  // would have to grow
  EXPECT_STREQ(buffer, "adef");
}

}  // namespace

namespace {

struct CaseCase {
  const char* a;
  const char* b;
  bool equal;
};

TEST(EqualIgnoringCaseTest, FoldsOnlyLetters) {
  const CaseCase cases[] = {
      {".dll", ".DLL", true}, {"*.*", "*.*", true},  {"", "", true},   {".dll", ".dl", false},
      {".dl", ".dll", false}, {"[", "{", false},      {"@", "`", false}, {"\xC4", "\xE4", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EqualIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(StartsWithIgnoringCaseTest, ComparesLettersOnlyWithoutCase) {
  const struct {
    const char* text;
    const char* prefix;
    bool starts;
  } cases[] = {
      {"ABCdef", "abc", true},
      {"abc", "", true},
      {"ab", "abc", false},
      // Only A-Z fold: "[" (after Z) is not "{" (after z).
      {"[", "{", false},
      {"\xC4", "\xE4", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StartsWithIgnoringCase(c.text, c.prefix), c.starts) << c.text << " / " << c.prefix;
}

}  // namespace
