#pragma once
// The reference order of the tests of the installed-components window: the
// record sorter, which sorts the 261-byte component records in place the way
// the window's order was first defined (a sort of whole records, then a
// stable exchange sort by file name). The window sorts in O(n log n) its own
// way; its test compares the two on random data.

#include <cstdint>

#include "toolkit/grow_array.h"

// RecordSorter: an in-place sort of an array of 261-byte records (the size of
// a FixedPath), viewed through a GrowArray. Records are moved whole through
// one temporary record; the sort allocates nothing while it runs and is not
// stable.
//
// A comparator returns a negative number when the first record belongs after
// the second, 0 when they are equal, and a positive number when the first
// belongs before the second. After a sort no record and its successor compare
// negative.

constexpr int32_t SortedRecordBytes = 261;

typedef int32_t (*RecordComparator)(const void* first, const void* second, int32_t extra);

// Ascending byte order of the whole 261 bytes: at the first position where
// the records differ, (byte of second) - (byte of first), bytes unsigned.
int32_t DefaultRecordComparator(const void* first, const void* second, int32_t extra);

struct RecordSorter {
  GrowArray indexes;                   // 4-byte elements, growth step 1; kept for an index mode
  RecordComparator comparator = nullptr;
  GrowArray* records = nullptr;        // the records being sorted, or none
  uint8_t ready = 0;                   // the index array was created

  RecordSorter() = default;
  ~RecordSorter();
  RecordSorter(const RecordSorter&) = delete;
  RecordSorter& operator=(const RecordSorter&) = delete;
};

// Creates the index array (empty, nothing allocated) and sets ready to the
// result; comparator and records none.
void InitRecordSorter(RecordSorter& sorter);
// Sorts every record of records in place with DefaultRecordComparator. False,
// with nothing moved, when the sorter is not ready, records is none, or its
// elements are not 261-byte records.
bool SortRecords(RecordSorter& sorter, GrowArray* records);
// The same sort with another comparator, which the sorter keeps.
bool SortRecordsWith(RecordSorter& sorter, GrowArray* records, RecordComparator comparator);
// Releases the index array and forgets the records.
void ReleaseRecordSorter(RecordSorter& sorter);
