#include "support/record_sorter.h"

#include <climits>
#include <cstring>

namespace {

// Ranges of 15 or fewer records are finished by insertion sort.
constexpr int32_t InsertionSortBelow = 16;
// Pending ranges: the smaller part is always sorted first, so each pushed
// range is at least as large as everything above it, and 32 suffice for any
// count that fits in 32 bits.
constexpr int32_t PendingRangeLimit = 32;

struct RecordRun {
  uint8_t* base;
  RecordComparator compare;
  uint8_t temporary[SortedRecordBytes];

  uint8_t* At(int32_t index) { return base + static_cast<size_t>(index) * SortedRecordBytes; }
  int32_t Compare(int32_t a, int32_t b) { return compare(At(a), At(b), 0); }
  void Swap(int32_t a, int32_t b) {
    if (a == b) return;
    memcpy(temporary, At(a), SortedRecordBytes);
    memcpy(At(a), At(b), SortedRecordBytes);
    memcpy(At(b), temporary, SortedRecordBytes);
  }
};

void InsertionSort(RecordRun& run, int32_t lo, int32_t end) {
  for (int32_t i = lo + 1; i < end; ++i) {
    for (int32_t j = i; j > lo && run.Compare(j - 1, j) < 0; --j) run.Swap(j - 1, j);
  }
}

// Partitions [lo, end) around the median of its first, middle and last
// records, which ends at the returned position. Sets *rightStart to the first
// record of the right part.
int32_t Partition(RecordRun& run, int32_t lo, int32_t end, int32_t* rightStart) {
  run.Swap(lo, lo + (end - lo) / 2);
  int32_t i = lo + 1;
  int32_t j = end - 1;
  if (run.Compare(i, j) < 0) run.Swap(i, j);
  if (run.Compare(lo, j) < 0) run.Swap(lo, j);
  if (run.Compare(i, lo) < 0) run.Swap(i, lo);
  // The pivot stays at lo until the scans meet.
  for (;;) {
    ++i;
    while (i < end && run.Compare(i, lo) > 0) ++i;
    --j;
    while (j >= lo && run.Compare(j, lo) < 0) --j;
    if (i > end - 1) i = end;
    if (j < lo) j = lo;
    if (i > j) break;
    run.Swap(i, j);
  }
  run.Swap(lo, j);
  *rightStart = i;
  return j;
}

void Quicksort(RecordRun& run, int32_t lo, int32_t end) {
  int32_t pendingLo[PendingRangeLimit];
  int32_t pendingEnd[PendingRangeLimit];
  int32_t pending = 0;
  for (;;) {
    if (end - lo < InsertionSortBelow) {
      InsertionSort(run, lo, end);
      if (pending == 0) return;
      --pending;
      lo = pendingLo[pending];
      end = pendingEnd[pending];
      continue;
    }
    int32_t rightStart = 0;
    const int32_t pivot = Partition(run, lo, end, &rightStart);
    if (pivot - lo > end - rightStart) {
      pendingLo[pending] = lo;
      pendingEnd[pending] = pivot;
      lo = rightStart;
    } else {
      pendingLo[pending] = rightStart;
      pendingEnd[pending] = end;
      end = pivot;
    }
    ++pending;
  }
}

}  // namespace

int32_t DefaultRecordComparator(const void* first, const void* second, int32_t) {
  const uint8_t* a = static_cast<const uint8_t*>(first);
  const uint8_t* b = static_cast<const uint8_t*>(second);
  for (int32_t i = 0; i < SortedRecordBytes; ++i) {
    if (a[i] != b[i]) return static_cast<int32_t>(b[i]) - static_cast<int32_t>(a[i]);
  }
  return 0;
}

RecordSorter::~RecordSorter() { ReleaseRecordSorter(*this); }

void InitRecordSorter(RecordSorter& sorter) {
  sorter.ready = InitGrowArray(sorter.indexes, 4, 0, 0, 1, false) ? 1 : 0;
  sorter.comparator = nullptr;
  sorter.records = nullptr;
}

bool SortRecords(RecordSorter& sorter, GrowArray* records) {
  return SortRecordsWith(sorter, records, DefaultRecordComparator);
}

bool SortRecordsWith(RecordSorter& sorter, GrowArray* records, RecordComparator comparator) {
  if (!comparator || !sorter.ready || !records || records->elementSize != SortedRecordBytes) return false;
  const uint32_t n = records->count;
  if (n > 1 && !records->block) return false;
  if (n > static_cast<uint32_t>(INT32_MAX)) return false;
  sorter.records = records;
  sorter.comparator = comparator;
  if (n < 2) return true;
  RecordRun run;
  run.base = static_cast<uint8_t*>(records->block);
  run.compare = sorter.comparator;
  if (n == 2) {
    if (run.Compare(0, 1) < 0) run.Swap(0, 1);
    return true;
  }
  Quicksort(run, 0, static_cast<int32_t>(n));
  return true;
}

void ReleaseRecordSorter(RecordSorter& sorter) {
  ReleaseGrowArray(sorter.indexes);
  sorter.ready = 0;
  sorter.records = nullptr;
}
