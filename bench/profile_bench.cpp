// Host benchmark of the profile documents (preset "bench": optimised, no
// sanitizers): parse, look up every key, and write a generated profile of
// 100,000 entries in 1,000 sections; the same parse through inih; and the
// peak memory of reading the file. Run by scripts/bench-profile.sh.
//   profile_bench FILE    writes the generated profile to FILE, then measures
#include <ini.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "foundation/profile/profile_document.h"
#include "foundation/profile/profile_text.h"
#include "profile_generator.h"

namespace {

constexpr int Rounds = 15;

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The median of Rounds runs of a measurement that times itself (so that
// releasing what a run built is left out of its time).
double Median(const std::function<double()>& measure) {
  std::vector<double> times;
  for (int i = 0; i < Rounds; ++i) times.push_back(measure());
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double MedianOf(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double MedianSeconds(const std::function<void()>& work) {
  return Median([&] { return Seconds(work); });
}

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// As the file layer does it: one block for the whole text, one read.
Status ReadProfileFile(ProfileDocument& document, const char* path) {
  FILE* file = fopen(path, "rb");
  if (!file) return StatusOpenFailed;
  fseek(file, 0, SEEK_END);
  const long size = ftell(file);
  fseek(file, 0, SEEK_SET);
  String text;
  Status status = StatusNoMemory;
  if (size > 0 && text.EnsureRoom(static_cast<uint32_t>(size), false)) {
    const size_t count = fread(text.Block(), 1, static_cast<size_t>(size), file);
    text.Block()[count] = '\0';
    status = ReadProfileText(document, text.Text(), static_cast<uint32_t>(count));
  }
  fclose(file);
  return status;
}

long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t length = strlen(field);
  while (std::getline(status, line)) {
    if (line.compare(0, length, field) == 0) return atol(line.c_str() + length + 1);
  }
  return -1;
}

// Peak resident memory of reading the file into a document, measured in a
// child process so that nothing freed earlier is reused.
double PeakMegabytesOfReading(const char* path) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak to the present size
    const long before = StatusKilobytes("VmRSS:");
    long peak = -1;
    {
      ProfileDocument document;
      if (ReadProfileFile(document, path) == StatusOk) peak = StatusKilobytes("VmHWM:");
    }
    const double megabytes = peak < 0 ? -1 : (peak - before) / 1024.0;
    if (write(pipeEnds[1], &megabytes, sizeof megabytes) != sizeof megabytes) _exit(1);
    _exit(0);
  }
  close(pipeEnds[1]);
  double megabytes = -1;
  if (read(pipeEnds[0], &megabytes, sizeof megabytes) != sizeof megabytes) megabytes = -1;
  close(pipeEnds[0]);
  waitpid(child, nullptr, 0);
  return megabytes;
}

struct InihCopies {
  std::vector<std::string> texts;
};

int CountEntry(void* user, const char*, const char*, const char*) {
  ++*static_cast<long*>(user);
  return 1;
}

// Keeps copies of every section name, key and value, as a document does.
int CopyEntry(void* user, const char* section, const char* name, const char* value) {
  InihCopies* copies = static_cast<InihCopies*>(user);
  if (copies->texts.empty() || copies->texts.back() != section) copies->texts.emplace_back(section);
  copies->texts.emplace_back(name);
  copies->texts.emplace_back(value);
  return 1;
}

bool SinkToFile(void* context, const char* bytes, uint32_t count) {
  return fwrite(bytes, 1, count, static_cast<FILE*>(context)) == count;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  {
    const std::string generated = GenerateBenchProfile();
    std::ofstream(path, std::ios::binary) << generated;
  }
  const double peakMegabytes = PeakMegabytesOfReading(path);

  const std::string text = ReadFile(path);
  const double megabytes = text.size() / (1024.0 * 1024.0);
  const long entries = long{BenchSections} * BenchEntriesPerSection;

  // Parse from memory, the whole read of the file, and the same parse
  // through inih (entries only counted, and entries copied), interleaved
  // round by round so that a busy machine slows all of them alike.
  std::vector<double> parseTimes, readTimes, inihCountTimes, inihCopyTimes, ratios;
  long counted = 0;
  for (int round = 0; round < 2 * Rounds; ++round) {
    {
      ProfileDocument document;
      parseTimes.push_back(Seconds([&] {
        if (ReadProfileText(document, text.data(), static_cast<uint32_t>(text.size())) != StatusOk) abort();
      }));
    }
    {
      ProfileDocument document;
      readTimes.push_back(Seconds([&] {
        if (ReadProfileFile(document, path) != StatusOk) abort();
      }));
    }
    counted = 0;
    inihCountTimes.push_back(Seconds([&] {
      if (ini_parse_string(text.c_str(), CountEntry, &counted) != 0) abort();
    }));
    {
      InihCopies copies;
      inihCopyTimes.push_back(Seconds([&] {
        if (ini_parse_string(text.c_str(), CopyEntry, &copies) != 0) abort();
      }));
    }
    ratios.push_back(parseTimes.back() / inihCountTimes.back());
  }
  if (counted != entries) abort();
  const double parse = MedianOf(parseTimes);
  const double readFile = MedianOf(readTimes);
  const double inihCount = MedianOf(inihCountTimes);
  const double inihCopy = MedianOf(inihCopyTimes);
  const double parseRatio = MedianOf(ratios);
  std::vector<double> copyRatios;
  for (size_t i = 0; i < parseTimes.size(); ++i) copyRatios.push_back(parseTimes[i] / inihCopyTimes[i]);
  const double parseCopyRatio = MedianOf(copyRatios);

  // Releasing a whole document, left out of the times above.
  const double release = Median([&] {
    ProfileDocument* built = new ProfileDocument;
    ReadProfileText(*built, text.data(), static_cast<uint32_t>(text.size()));
    return Seconds([&] { delete built; });
  });

  // Look up every key by section name and key.
  ProfileDocument document;
  if (ReadProfileText(document, text.data(), static_cast<uint32_t>(text.size())) != StatusOk) return 1;
  std::vector<std::string> sectionNames, keys;
  for (int s = 0; s < BenchSections; ++s) sectionNames.push_back(BenchSectionName(s));
  for (int e = 0; e < BenchEntriesPerSection; ++e) keys.push_back(BenchKey(e));
  size_t checksum = 0;
  const double lookups = MedianSeconds([&] {
    for (const std::string& name : sectionNames) {
      ProfileSection* section = nullptr;
      if (document.FindSection(name.c_str(), &section, false) != StatusOk) abort();
      for (const std::string& key : keys) {
        ProfileEntry* entry = nullptr;
        if (section->FindEntry(key.c_str(), &entry, false) != StatusOk) abort();
        checksum += entry->value.Length();
      }
    }
  });

  // Write the writer's form to a file.
  const std::string written = std::string(path) + ".written";
  const double write = MedianSeconds([&] {
    FILE* file = fopen(written.c_str(), "wb");
    if (!file || WriteProfileText(document, SinkToFile, file) != StatusOk) abort();
    fclose(file);
  });
  if (ReadFile(written.c_str()) != text) {
    fprintf(stderr, "the written text differs from the generated one\n");
    return 1;
  }
  remove(written.c_str());

  printf("profile: %ld entries in %d sections, %.2f MB (%zu bytes)\n", entries, BenchSections, megabytes,
         text.size());
  printf("parse (from memory)          %8.2f ms  %8.1f MB/s\n", parse * 1e3, megabytes / parse);
  printf("read (file, one read)        %8.2f ms  %8.1f MB/s\n", readFile * 1e3, megabytes / readFile);
  printf("release of the document      %8.2f ms\n", release * 1e3);
  printf("inih parse, entries counted  %8.2f ms  %8.1f MB/s\n", inihCount * 1e3, megabytes / inihCount);
  printf("inih parse, entries copied   %8.2f ms  %8.1f MB/s\n", inihCopy * 1e3, megabytes / inihCopy);
  printf("parse time / inih counted    %8.2f  (median of the rounds' ratios)\n", parseRatio);
  printf("parse time / inih copied     %8.2f\n", parseCopyRatio);
  printf("lookups of every key         %8.2f ms  %8.2f million lookups/s\n", lookups * 1e3,
         entries / lookups / 1e6);
  printf("write (file)                 %8.2f ms  %8.1f MB/s\n", write * 1e3, megabytes / write);
  printf("peak memory of reading       %8.2f MB  %8.2f MB per MB of file\n", peakMegabytes,
         peakMegabytes / megabytes);
  printf("(medians of %d runs, parses of %d; checksum %zu)\n", Rounds, 2 * Rounds, checksum);
  return 0;
}
