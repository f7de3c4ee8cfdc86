// Tables, the byte reader of files and number texts: the services a firmware load leans on.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/array.h"
#include "host/binary_stream.h"
#include "host/text.h"
#include "qt_modal_provider.h"

namespace {

template <class F>
std::string RaisedClass(F&& action) {
  try {
    action();
  } catch (const host::RaisedException& error) {
    return std::string(error.ClassName());
  }
  return "nothing raised";
}

TEST(Tables, AByteTableHoldsUpperBoundPlusOneEntriesAllZero) {
  auto table = host::CreateArray<std::uint8_t>(100, 140);
  EXPECT_EQ(table->UBound(1), 100);
  EXPECT_EQ(table->UBound(2), 140);
  for (std::int64_t i = 0; i <= 100; ++i) {
    for (std::uint8_t b : table->Row(i))
      ASSERT_EQ(b, 0);
    ASSERT_EQ(table->Row(i).size(), 141u);
  }
}

TEST(Tables, EntriesAndRowsAreTheSameStorage) {
  auto table = host::CreateArray<std::uint8_t>(2, 3);
  table->Set(1, 3, 0xF7);
  EXPECT_EQ(table->Row(1)[3], 0xF7);
  table->Row(2)[0] = 0xF0;
  EXPECT_EQ(table->Get(2, 0), 0xF0);
  EXPECT_EQ(table->Get(1, 2), 0);  // its neighbours untouched
  EXPECT_EQ(table->Get(2, 3), 0);
}

TEST(Tables, RefuseEveryIndexOutsideTheirBounds) {
  auto bytes = host::CreateArray<std::uint8_t>(2, 3);
  auto integers = host::CreateArray<std::int64_t>(100);
  EXPECT_EQ(RaisedClass([&] { bytes->Get(3, 0); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([&] { bytes->Get(0, 4); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([&] { bytes->Set(-1, 0, 1); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([&] { bytes->Row(3); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([&] { integers->Set(101, 1); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([&] { integers->Get(-1); }), "OutOfBoundsException");
  integers->Set(100, -5);
  EXPECT_EQ(integers->Get(100), -5);
}

TEST(Tables, AnUpperBoundOfMinusOneIsEmptyAndLowerIsRefused) {
  auto empty = host::CreateArray<std::int64_t>(-1);
  EXPECT_TRUE(empty->Entries().empty());
  EXPECT_EQ(RaisedClass([&] { empty->Get(0); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([] { host::CreateArray<std::int64_t>(-2); }), "OutOfBoundsException");
  EXPECT_EQ(RaisedClass([] { host::CreateArray<std::uint8_t>(1LL << 40, 1LL << 40); }),
            "OutOfMemoryException");
}

#if defined(__SANITIZE_ADDRESS__)
#define TFL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TFL_ASAN 1
#endif
#endif

// A table within the bounds the framework accepts, but more than the system will give: the
// program must say so, not crash on memory it never got.
TEST(Tables, ATableTheSystemCantGiveIsRefusedAsOutOfMemory) {
#ifdef TFL_ASAN
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  long pages = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  ASSERT_NE(statm, nullptr);
  ASSERT_EQ(std::fscanf(statm, "%ld", &pages), 1);
  std::fclose(statm);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_AS, &saved), 0);
  // Room for 64 MB more address space, then a 1 GB table.
  rlimit tight = saved;
  tight.rlim_cur =
      static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (rlim_t{64} << 20);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  std::string raised = "nothing raised";
  std::string text;
  try {
    host::CreateArray<std::uint8_t>((1 << 20) - 1, 1023);
  } catch (const host::RaisedException& error) {
    raised = error.ClassName();
    text = error.Exception()->message;
  } catch (const std::exception& error) {  // the limit must be lifted whatever went wrong
    raised = error.what();
  }
  setrlimit(RLIMIT_AS, &saved);
  EXPECT_EQ(raised, "OutOfMemoryException");
  EXPECT_NE(text.find("1073741824 bytes"), std::string::npos) << text;
#endif
}

TEST(Str, GivesPlainDecimal) {
  EXPECT_EQ(host::Str(-9999), "-9999");
  EXPECT_EQ(host::Str(0, ""), "0");
  EXPECT_EQ(host::Str(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(RaisedClass([] { host::Str(5, "#.00"); }), "UnsupportedFormatException");
}

TEST(FileDialogFilter, NamesEachFileTypeWithItsPatternsOnce) {
  EXPECT_EQ(host::DialogFilter({"Syx File (*.syx)", "SYX", {"syx"}}), "Syx File (*.syx)");
  EXPECT_EQ(host::DialogFilter({"Syx File", "SYX", {"syx"}}), "Syx File (*.syx)");
  EXPECT_EQ(host::DialogFilter({"MIDI", "", {"mid", "smf"}}), "MIDI (*.mid *.smf)");
}

class BinaryStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("binary_stream_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  host::Ref<host::FolderItem> File(const std::string& name, const std::string& bytes) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return host::FolderItem::Make(path.string());
  }

  std::filesystem::path dir_;
};

TEST_F(BinaryStreamTest, ReadsEveryByteInOrderThenAnswersZeroAtTheEnd) {
  const std::string content("\xF0\x00\x7F\xF7", 4);
  auto stream = host::BinaryStream::Open(File("four.syx", content), false);
  EXPECT_EQ(stream->Length(), 4u);
  for (char expected : content) {
    EXPECT_FALSE(stream->EndOfFile());
    EXPECT_EQ(stream->ReadUInt8(), static_cast<std::uint8_t>(expected));
  }
  EXPECT_FALSE(stream->EndOfFile());
  EXPECT_EQ(stream->ReadUInt8(), 0);
  EXPECT_TRUE(stream->EndOfFile());
  EXPECT_EQ(stream->Position(), 4u);
}

TEST_F(BinaryStreamTest, ReadsAcrossItsBufferBoundaries) {
  std::string content(600000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i)
    content[i] = static_cast<char>(i * 7);
  auto stream = host::BinaryStream::Open(File("big.syx", content), false);
  for (std::size_t i = 0; i < content.size(); ++i) {
    ASSERT_EQ(stream->ReadUInt8(), static_cast<std::uint8_t>(content[i])) << "byte " << i;
  }
  EXPECT_EQ(stream->ReadUInt8(), 0);
  EXPECT_TRUE(stream->EndOfFile());
}

TEST_F(BinaryStreamTest, AnEmptyFileHasLengthZero) {
  auto stream = host::BinaryStream::Open(File("empty.syx", ""), false);
  EXPECT_EQ(stream->Length(), 0u);
  EXPECT_EQ(stream->ReadUInt8(), 0);
  EXPECT_TRUE(stream->EndOfFile());
}

TEST_F(BinaryStreamTest, RefusesNoFileAMissingFileAndAFolder) {
  EXPECT_EQ(RaisedClass([] { host::BinaryStream::Open(nullptr, false); }), "NilObjectException");
  const auto missing = host::FolderItem::Make((dir_ / "missing.syx").string());
  EXPECT_FALSE(missing->Exists());
  try {
    host::BinaryStream::Open(missing, false);
    ADD_FAILURE() << "a missing file was opened";
  } catch (const host::RaisedException& error) {
    EXPECT_EQ(error.ClassName(), "IOException");
    EXPECT_NE(error.Exception()->message.find("missing.syx"), std::string::npos);
  }
  EXPECT_EQ(RaisedClass([&] { host::BinaryStream::Open(host::FolderItem::Make(dir_), false); }),
            "IOException");
  // Opening a named pipe must not wait for a writer: it is refused at once, saying why.
  const auto pipe = dir_ / "pipe.syx";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  try {
    host::BinaryStream::Open(host::FolderItem::Make(pipe.string()), true);
    ADD_FAILURE() << "a named pipe was opened";
  } catch (const host::RaisedException& error) {
    EXPECT_EQ(error.ClassName(), "IOException");
    EXPECT_EQ(error.Exception()->message, pipe.string() + " is a named pipe, not a regular file");
  }
}

TEST_F(BinaryStreamTest, HandsOverBlocksReadsAgainFromTheStartAndSeesItsFileChange) {
  std::string content(600000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i)
    content[i] = static_cast<char>(i * 7);
  const auto file = File("blocks.syx", content);
  auto stream = host::BinaryStream::Open(file, false);
  EXPECT_EQ(stream->ReadUInt8(), static_cast<std::uint8_t>(content[0]));
  std::string read(1, content[0]);
  for (auto block = stream->ReadBlock(); !block.empty(); block = stream->ReadBlock()) {
    read.append(block.begin(), block.end());
  }
  EXPECT_TRUE(read == content);
  EXPECT_TRUE(stream->EndOfFile());
  EXPECT_EQ(stream->Position(), content.size());

  stream->SetPosition(3);
  EXPECT_FALSE(stream->EndOfFile());
  EXPECT_EQ(stream->ReadUInt8(), static_cast<std::uint8_t>(content[3]));
  EXPECT_FALSE(stream->ChangedSinceOpen());
  std::ofstream(file->Path(), std::ios::binary | std::ios::app) << 'x';
  EXPECT_TRUE(stream->ChangedSinceOpen());
}

TEST_F(BinaryStreamTest, AClosedStreamRefusesToRead) {
  auto stream = host::BinaryStream::Open(File("one.syx", "x"), false);
  stream->Close();
  stream->Close();
  EXPECT_EQ(RaisedClass([&] { stream->ReadUInt8(); }), "IOException");
}

}  // namespace
