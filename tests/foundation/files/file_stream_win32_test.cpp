#include "foundation/files/file_stream.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "support/path_of.h"
#include "support/temp_folder_win32.h"

namespace {

// The size the file system reports, read without opening the file (an open
// stream may refuse to share it).
int64_t SizeOnDisk(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Pattern(size_t length, int seed = 0) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>('a' + (i + seed) % 26);
  return bytes;
}

Status WriteAll(FileStream& stream, const std::string& bytes, uint32_t* count = nullptr) {
  uint32_t written = static_cast<uint32_t>(bytes.size());
  Status status = stream.Write(bytes.data(), &written);
  if (count) *count = written;
  return status;
}

TEST(FourCharacterCodeTest, PacksTheFirstCharacterHighest) {
  EXPECT_EQ(FourCharacterCode("QFX_"), 0x5146585Fu);
  EXPECT_EQ(FourCharacterCode("TEXT"), 0x54455854u);
}

TEST(FileStreamTest, ConstructedStreamIsClosedInReadWriteModeWithoutBuffer) {
  FileStream stream(PathOf("C:\\any\\file.txt"));
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(stream.Mode(), FileStream::ModeReadWrite);
  EXPECT_EQ(stream.BufferSize(), 0u);
  EXPECT_EQ(stream.Pending(), 0u);
  EXPECT_FALSE(stream.HasBuffer());
  EXPECT_STREQ(stream.Path().Text(), "C:\\any\\file.txt");
}

TEST(FileStreamTest, CreateMakesAnEmptyFileAndLeavesTheStreamClosed) {
  TempFolder folder;
  FileStream stream(PathOf(folder / "new.ini"));
  EXPECT_EQ(stream.Create(FourCharacterCode("QFX_"), FourCharacterCode("TEXT")), StatusOk);
  EXPECT_EQ(SizeOnDisk(folder / "new.ini"), 0);
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(stream.Mode(), FileStream::ModeReadWrite);
}

TEST(FileStreamTest, CreateOnAnExistingFileFailsAndKeepsIt) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "old.ini", "kept"));
  FileStream stream(PathOf(folder / "old.ini"));
  EXPECT_EQ(stream.Create(0, 0), StatusIoError);
  EXPECT_EQ(ReadTextFile(folder / "old.ini"), "kept");
}

TEST(FileStreamTest, CreateInAMissingFolderFails) {
  TempFolder folder;
  FileStream stream(PathOf(folder / "missing\\new.ini"));
  EXPECT_EQ(stream.Create(0, 0), StatusIoError);
}

TEST(FileStreamTest, OpenOfAMissingFileFailsInEveryModeAndCreatesNothing) {
  TempFolder folder;
  for (int32_t mode : {0, 1, 2, 3, 4, 9}) {
    {
      FileStream stream(PathOf(folder / "missing.txt"));
      EXPECT_EQ(stream.Open(mode, FileStream::StandardBufferSize), StatusOpenFailed) << mode;
      EXPECT_FALSE(stream.IsOpen()) << mode;
    }  // the destructor of a stream that never opened does nothing
    EXPECT_FALSE(PathExists(folder / "missing.txt")) << mode;
  }
}

TEST(FileStreamTest, OpenKeepsTheBufferSizeOnlyForWriteAndReadWrite) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "x"));
  const struct {
    int32_t mode;
    uint32_t bufferSize;
  } cases[] = {
      {0, 0},
      {FileStream::ModeRead, 0},
      {FileStream::ModeWrite, FileStream::StandardBufferSize},
      {FileStream::ModeReadWrite, FileStream::StandardBufferSize},
      {FileStream::ModeReadWriteShared, 0},
  };
  for (const auto& c : cases) {
    FileStream stream(PathOf(folder / "f.txt"));
    ASSERT_EQ(stream.Open(c.mode, FileStream::StandardBufferSize), StatusOk) << c.mode;
    EXPECT_TRUE(stream.IsOpen());
    EXPECT_EQ(stream.Mode(), c.mode);
    EXPECT_EQ(stream.BufferSize(), c.bufferSize) << c.mode;
    EXPECT_EQ(stream.Close(), StatusOk) << c.mode;
    EXPECT_FALSE(stream.IsOpen());
  }
}

TEST(FileStreamTest, OpenOnAnOpenStreamFailsAndKeepsTheFirstHandle) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "abc"));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeRead, 0), StatusOk);
  EXPECT_EQ(stream.Open(FileStream::ModeWrite, 0), StatusOpenFailed);
  EXPECT_EQ(stream.Mode(), FileStream::ModeRead);
  char bytes[8];
  uint32_t count = sizeof bytes;
  EXPECT_EQ(stream.Read(bytes, &count), StatusOk);
  EXPECT_EQ(std::string(bytes, count), "abc");
}

TEST(FileStreamTest, ModesShareTheFileAsTheirSharingAllows) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "x"));
  const struct {
    int32_t held, second;
    bool opens;
  } cases[] = {
      {1, 1, true},  {1, 2, false}, {1, 3, false}, {1, 4, false}, {2, 1, false},
      {2, 2, true},  {2, 4, false}, {3, 1, false}, {3, 3, false}, {4, 1, false},
      {4, 2, false}, {4, 4, true},
      // A handle without access neither needs nor grants sharing.
      {0, 1, true},  {1, 0, true},   {3, 0, true},
  };
  for (const auto& c : cases) {
    FileStream holder(PathOf(folder / "f.txt"));
    ASSERT_EQ(holder.Open(c.held, 0), StatusOk);
    FileStream second(PathOf(folder / "f.txt"));
    EXPECT_EQ(second.Open(c.second, 0), c.opens ? StatusOk : StatusOpenFailed)
        << "mode " << c.second << " while mode " << c.held << " holds the file";
    EXPECT_EQ(second.IsOpen(), c.opens);
  }
}

TEST(FileStreamTest, SizeWorksOnClosedAndOpenStreams) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "five.txt", "12345"));
  FileStream missing(PathOf(folder / "missing.txt"));
  EXPECT_EQ(missing.Size(), 0u);
  EXPECT_FALSE(missing.IsOpen());

  FileStream closed(PathOf(folder / "five.txt"));
  EXPECT_EQ(closed.Size(), 5u);
  EXPECT_FALSE(closed.IsOpen());  // opened for the call only
  FileStream writer(PathOf(folder / "five.txt"));
  EXPECT_EQ(writer.Open(FileStream::ModeWrite, 0), StatusOk);  // the file was released again

  FileStream open(PathOf(folder / "empty.txt"));
  ASSERT_TRUE(WriteTextFile(folder / "empty.txt", ""));
  ASSERT_EQ(open.Open(FileStream::ModeReadWriteShared, 0), StatusOk);
  EXPECT_EQ(open.Size(), 0u);
  EXPECT_EQ(WriteAll(open, "abc"), StatusOk);
  EXPECT_EQ(open.Size(), 3u);
  EXPECT_TRUE(open.IsOpen());
}

TEST(FileStreamTest, ReadReturnsTheBytesAndThenZeroAtTheEnd) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "hello"));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeRead, FileStream::StandardBufferSize), StatusOk);
  char bytes[16];
  uint32_t count = 3;
  EXPECT_EQ(stream.Read(bytes, &count), StatusOk);
  EXPECT_EQ(std::string(bytes, count), "hel");
  count = sizeof bytes;
  EXPECT_EQ(stream.Read(bytes, &count), StatusOk);
  EXPECT_EQ(std::string(bytes, count), "lo");
  count = sizeof bytes;
  EXPECT_EQ(stream.Read(bytes, &count), StatusOk);
  EXPECT_EQ(count, 0u);
}

TEST(FileStreamTest, ReadAndWriteFailWithoutTheAccessOrAnOpenFile) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "hello"));
  char bytes[8];
  uint32_t count = sizeof bytes;

  FileStream reader(PathOf(folder / "f.txt"));
  ASSERT_EQ(reader.Open(FileStream::ModeRead, 0), StatusOk);
  EXPECT_EQ(WriteAll(reader, "x"), StatusIoError);

  FileStream writer(PathOf(folder / "g.txt"));
  ASSERT_TRUE(WriteTextFile(folder / "g.txt", "hello"));
  ASSERT_EQ(writer.Open(FileStream::ModeWrite, 0), StatusOk);
  EXPECT_EQ(writer.Read(bytes, &count), StatusIoError);
  EXPECT_EQ(count, 0u);

  FileStream closed(PathOf(folder / "f.txt"));
  count = sizeof bytes;
  EXPECT_EQ(closed.Read(bytes, &count), StatusIoError);
  EXPECT_EQ(WriteAll(closed, "x"), StatusIoError);
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), "hello");
}

TEST(FileStreamTest, SmallBufferedWritesReachTheFileOnlyAtClose) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize), StatusOk);
  EXPECT_FALSE(stream.HasBuffer());  // allocated at the first write only
  std::string expected;
  for (int i = 0; i < 10; ++i) {
    std::string part = Pattern(100, i);
    uint32_t count = 0;
    EXPECT_EQ(WriteAll(stream, part, &count), StatusOk);
    EXPECT_EQ(count, 100u);
    expected += part;
  }
  EXPECT_TRUE(stream.HasBuffer());
  EXPECT_EQ(stream.Pending(), 1000u);
  EXPECT_EQ(SizeOnDisk(folder / "f.txt"), 0);
  EXPECT_EQ(stream.Close(), StatusOk);
  EXPECT_FALSE(stream.HasBuffer());
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), expected);
}

TEST(FileStreamTest, AWriteLargerThanTheBufferGoesStraightToTheFile) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize), StatusOk);
  const std::string big = Pattern(70000);
  uint32_t count = 0;
  EXPECT_EQ(WriteAll(stream, big, &count), StatusOk);
  EXPECT_EQ(count, 70000u);
  EXPECT_FALSE(stream.HasBuffer());
  EXPECT_EQ(stream.Pending(), 0u);
  EXPECT_EQ(SizeOnDisk(folder / "f.txt"), 70000);
  stream.Close();
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), big);
}

// Writes through a stream with a buffer of 16 bytes: what is on disk and what
// waits after the last write, and the file after Close.
TEST(FileStreamTest, AWriteThatDoesNotFitFillsFlushesAndThenBuffersOrWrites) {
  const struct {
    const char* name;
    std::vector<size_t> writes;
    int64_t onDisk;
    uint32_t pending, lastCount;
  } cases[] = {
      {"fits exactly", {10, 6}, 0, 16, 6},
      {"remainder buffered", {10, 10}, 16, 4, 10},
      {"remainder written", {10, 30}, 40, 0, 30},
      {"remainder of buffer size written", {10, 22}, 32, 0, 22},
      {"buffer size on fresh stream written", {16}, 16, 0, 16},
      {"one short of buffer size buffered", {15}, 0, 15, 15},
      {"overflow twice", {10, 10, 10}, 16, 14, 10},
      {"zero bytes", {0}, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
    std::string expected;
    {
      FileStream stream(PathOf(folder / "f.txt"));
      ASSERT_EQ(stream.Open(FileStream::ModeReadWrite, 16), StatusOk);
      uint32_t count = 0;
      for (size_t i = 0; i < c.writes.size(); ++i) {
        std::string part = Pattern(c.writes[i], static_cast<int>(i * 7));
        EXPECT_EQ(WriteAll(stream, part, &count), StatusOk) << c.name;
        expected += part;
      }
      EXPECT_EQ(SizeOnDisk(folder / "f.txt"), c.onDisk) << c.name;
      EXPECT_EQ(stream.Pending(), c.pending) << c.name;
      EXPECT_EQ(count, c.lastCount) << c.name;
    }  // the destructor closes and flushes
    EXPECT_EQ(ReadTextFile(folder / "f.txt"), expected) << c.name;
  }
}

TEST(FileStreamTest, FlushWritesThePendingBytesAndReleasesTheBuffer) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize), StatusOk);
  EXPECT_EQ(stream.Flush(), StatusOk);  // nothing pending
  ASSERT_EQ(WriteAll(stream, "line one\r\n"), StatusOk);
  EXPECT_EQ(stream.Flush(), StatusOk);
  EXPECT_FALSE(stream.HasBuffer());
  EXPECT_EQ(stream.Pending(), 0u);
  EXPECT_EQ(SizeOnDisk(folder / "f.txt"), 10);
  ASSERT_EQ(WriteAll(stream, "line two\r\n"), StatusOk);
  EXPECT_TRUE(stream.HasBuffer());  // a fresh buffer for the next writes
  stream.Close();
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), "line one\r\nline two\r\n");
}

TEST(FileStreamTest, ReadOnABufferedStreamSeesTheBufferedWritesFirst) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "0123456789"));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeReadWrite, FileStream::StandardBufferSize), StatusOk);
  ASSERT_EQ(WriteAll(stream, "abcd"), StatusOk);
  EXPECT_EQ(stream.Pending(), 4u);
  char bytes[16];
  uint32_t count = sizeof bytes;
  EXPECT_EQ(stream.Read(bytes, &count), StatusOk);
  EXPECT_EQ(std::string(bytes, count), "456789");  // the read follows the flushed write
  EXPECT_FALSE(stream.HasBuffer());
  stream.Close();
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), "abcd456789");
}

TEST(FileStreamTest, OpenNeitherTruncatesNorCreates) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", "0123456789"));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize), StatusOk);
  ASSERT_EQ(WriteAll(stream, "ab"), StatusOk);
  stream.Close();
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), "ab23456789");
}

TEST(FileStreamTest, SyncAndCloseReportTheirOutcome) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
  const struct {
    int32_t mode;
    Status sync;
  } cases[] = {
      {FileStream::ModeRead, StatusOk},  // nothing to write back
      {FileStream::ModeWrite, StatusOk},
      {FileStream::ModeReadWrite, StatusOk},
      {FileStream::ModeReadWriteShared, StatusOk},
      {0, StatusIoError},  // a handle without access cannot be written back
  };
  for (const auto& c : cases) {
    FileStream stream(PathOf(folder / "f.txt"));
    ASSERT_EQ(stream.Open(c.mode, FileStream::StandardBufferSize), StatusOk) << c.mode;
    EXPECT_EQ(stream.Sync(), c.sync) << c.mode;
    EXPECT_EQ(stream.Close(), StatusOk) << c.mode;
    EXPECT_EQ(stream.Close(), StatusIoError) << c.mode;  // nothing left to close
    EXPECT_EQ(stream.Sync(), StatusIoError) << c.mode;
  }
}

TEST(FileStreamTest, SyncWritesTheBufferedBytes) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
  FileStream stream(PathOf(folder / "f.txt"));
  ASSERT_EQ(stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize), StatusOk);
  ASSERT_EQ(WriteAll(stream, "abc"), StatusOk);
  EXPECT_EQ(stream.Sync(), StatusOk);
  EXPECT_EQ(SizeOnDisk(folder / "f.txt"), 3);
  EXPECT_FALSE(stream.HasBuffer());
}

TEST(FileStreamTest, DeleteRemovesFilesReadOnlyOrNot) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "plain.txt", "x"));
  ASSERT_TRUE(WriteTextFile(folder / "locked.txt", "x"));
  ASSERT_TRUE(SetFileAttributesA((folder / "locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  for (const char* name : {"plain.txt", "locked.txt"}) {
    FileStream stream(PathOf(folder / name));
    EXPECT_EQ(stream.Delete(), StatusOk) << name;
    EXPECT_FALSE(PathExists(folder / name)) << name;
    EXPECT_EQ(stream.Delete(), StatusIoError) << name;  // gone now
  }
}

TEST(FileStreamTest, DeleteOfAMissingFileOrAFolderFails) {
  TempFolder folder;
  ASSERT_TRUE(MakeFolders(folder / "sub"));
  FileStream missing(PathOf(folder / "missing.txt"));
  EXPECT_EQ(missing.Delete(), StatusIoError);
  FileStream sub(PathOf(folder / "sub"));
  EXPECT_EQ(sub.Delete(), StatusIoError);
  EXPECT_TRUE(PathExists(folder / "sub"));
}

TEST(FileStreamTest, DestroyingAnOpenStreamClosesItAndWritesTheBuffer) {
  TempFolder folder;
  ASSERT_TRUE(WriteTextFile(folder / "f.txt", ""));
  {
    FileStream stream(PathOf(folder / "f.txt"));
    ASSERT_EQ(stream.Open(FileStream::ModeWrite, FileStream::StandardBufferSize), StatusOk);
    ASSERT_EQ(WriteAll(stream, "kept"), StatusOk);
  }
  EXPECT_EQ(ReadTextFile(folder / "f.txt"), "kept");
  FileStream again(PathOf(folder / "f.txt"));
  EXPECT_EQ(again.Open(FileStream::ModeWrite, 0), StatusOk);  // the handle was released
}

// A stream on the writing end of a pipe: once the reading end is gone, every
// write of the stream fails.
class BrokenWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static unsigned counter = 0;
    char name[96];
    snprintf(name, sizeof name, "\\\\.\\pipe\\cpanel-stream-%lu-%u", GetCurrentProcessId(), ++counter);
    reader_ = CreateNamedPipeA(name, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    ASSERT_NE(reader_, INVALID_HANDLE_VALUE);
    stream_.reset(new FileStream(PathOf(name)));
    ASSERT_EQ(stream_->Open(FileStream::ModeWrite, 16), StatusOk);
  }
  void TearDown() override { BreakPipe(); }

  // What reached the reading end so far.
  std::string Received() {
    std::string bytes;
    DWORD available = 0;
    while (PeekNamedPipe(reader_, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char chunk[64];
      DWORD read = 0;
      if (!ReadFile(reader_, chunk, sizeof chunk, &read, nullptr)) break;
      bytes.append(chunk, read);
    }
    return bytes;
  }
  void BreakPipe() {
    if (reader_ != INVALID_HANDLE_VALUE) CloseHandle(reader_);
    reader_ = INVALID_HANDLE_VALUE;
  }

  HANDLE reader_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<FileStream> stream_;
};

TEST_F(BrokenWriteTest, BufferedBytesReachTheReaderAtFlush) {
  ASSERT_EQ(WriteAll(*stream_, "abc"), StatusOk);
  EXPECT_EQ(Received(), "");
  EXPECT_EQ(stream_->Flush(), StatusOk);
  EXPECT_EQ(Received(), "abc");
}

TEST_F(BrokenWriteTest, AFailedFlushKeepsTheBuffer) {
  ASSERT_EQ(WriteAll(*stream_, "abcdef"), StatusOk);
  BreakPipe();
  EXPECT_EQ(stream_->Flush(), StatusIoError);
  EXPECT_TRUE(stream_->HasBuffer());
  EXPECT_EQ(stream_->Pending(), 6u);
}

TEST_F(BrokenWriteTest, AWriteBehindAFailedFlushTakesOnlyWhatFitsTheBuffer) {
  ASSERT_EQ(WriteAll(*stream_, "0123456789"), StatusOk);
  BreakPipe();
  uint32_t count = 0;
  // Six bytes fill the buffer; the flush fails, so the other four stay with
  // the caller rather than run past the buffer's end.
  EXPECT_EQ(WriteAll(*stream_, "abcdefghij", &count), StatusIoError);
  EXPECT_EQ(count, 6u);
  EXPECT_EQ(stream_->Pending(), 16u);
  count = 0;
  EXPECT_EQ(WriteAll(*stream_, "klmnopqrstuvwxyz0123", &count), StatusIoError);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(stream_->Pending(), 16u);
}

TEST_F(BrokenWriteTest, AWriteStraightToTheFileReportsTheFailure) {
  BreakPipe();
  uint32_t count = 99;
  EXPECT_EQ(WriteAll(*stream_, std::string(20, 'x'), &count), StatusIoError);  // larger than the buffer
  EXPECT_EQ(count, 0u);
  EXPECT_FALSE(stream_->HasBuffer());
}

TEST_F(BrokenWriteTest, CloseDiscardsWhatCouldNotBeWritten) {
  ASSERT_EQ(WriteAll(*stream_, "abc"), StatusOk);
  BreakPipe();
  EXPECT_EQ(stream_->Close(), StatusOk);  // the handle itself closes
  EXPECT_FALSE(stream_->IsOpen());
  EXPECT_FALSE(stream_->HasBuffer());
  EXPECT_EQ(stream_->Pending(), 0u);
}

}  // namespace
