#include "host/binary_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "framework_internal.h"
#include "host/exception.h"

namespace host {
namespace {
// Large enough that reading a whole firmware file costs few system calls, small enough to
// stay in the processor's cache while a block is looked at.
constexpr std::size_t kBufferSize = 256 * 1024;

// What a file that is not a regular file is, in words; empty for a regular file.
std::string KindOfSpecialFile(mode_t mode) {
  if (S_ISREG(mode))
    return {};
  if (S_ISFIFO(mode))
    return "a named pipe";
  if (S_ISSOCK(mode))
    return "a socket";
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return "a device";
  if (S_ISDIR(mode))
    return "a folder";
  return "a special file";
}

[[noreturn]] void RaiseCantOpen(const std::string& path, int error) {
  Raise("IOException", "can't open " + path + ": " + std::strerror(error), error);
}

}  // namespace

const ClassDescription& BinaryStream::Class() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("BinaryStream", nullptr);
  return cls;
}

Ref<BinaryStream> BinaryStream::Open(const Ref<FolderItem>& file, bool readWrite) {
  if (!file)
    Raise("NilObjectException", "BinaryStream.Open was given no file");
  const std::string& path = file->Path();
  // Without O_NONBLOCK, opening a named pipe would wait for a writer, possibly for ever.
  const int descriptor =
      ::open(path.c_str(), (readWrite ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0)
    RaiseCantOpen(path, errno);
  struct stat info {};
  if (fstat(descriptor, &info) != 0) {
    const int error = errno;
    ::close(descriptor);
    RaiseCantOpen(path, error);
  }
  if (const std::string kind = KindOfSpecialFile(info.st_mode); !kind.empty()) {
    ::close(descriptor);
    Raise("IOException", path + " is " + kind + ", not a regular file", EINVAL);
  }
  // A regular file is read as usual, waiting for the disk when it must.
  const int flags = fcntl(descriptor, F_GETFL);
  FileState opened;
  if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
      !StateOf(descriptor, opened)) {
    const int error = errno;
    ::close(descriptor);
    RaiseCantOpen(path, error);
  }
  return Ref<BinaryStream>::Adopt(new BinaryStream(descriptor, opened, path));
}

bool BinaryStream::StateOf(int descriptor, FileState& state) {
  struct stat info {};
  if (fstat(descriptor, &info) != 0)
    return false;
  state.size = info.st_size;
  state.modified[0] = info.st_mtim.tv_sec;
  state.modified[1] = info.st_mtim.tv_nsec;
  state.statusChanged[0] = info.st_ctim.tv_sec;
  state.statusChanged[1] = info.st_ctim.tv_nsec;
  return true;
}

BinaryStream::BinaryStream(int descriptor, const FileState& opened, std::string path)
    : Object(Class()),
      descriptor_(descriptor),
      opened_(opened),
      length_(static_cast<std::uint64_t>(opened.size)),
      path_(std::move(path)),
      buffer_(kBufferSize) {}

BinaryStream::~BinaryStream() {
  Close();
}

bool BinaryStream::Refill() {
  if (descriptor_ < 0)
    Raise("IOException", "can't read " + path_ + ": the stream is closed");
  bufferPos_ = bufferEnd_ = 0;
  ssize_t count;
  do {
    count = ::read(descriptor_, buffer_.data(), buffer_.size());
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    const int error = errno;
    Raise("IOException",
          "can't read " + path_ + " at byte " + std::to_string(position_) + ": " +
              std::strerror(error),
          error);
  }
  bufferEnd_ = static_cast<std::size_t>(count);
  endOfFile_ = count == 0;
  return count > 0;
}

std::uint8_t BinaryStream::ReadUInt8() {
  if (bufferPos_ == bufferEnd_ && !Refill())
    return 0;
  ++position_;
  return buffer_[bufferPos_++];
}

std::span<const std::uint8_t> BinaryStream::ReadBlock() {
  if (bufferPos_ == bufferEnd_ && !Refill())
    return {};
  const std::span<const std::uint8_t> block(buffer_.data() + bufferPos_, bufferEnd_ - bufferPos_);
  position_ += block.size();
  bufferPos_ = bufferEnd_;
  return block;
}

void BinaryStream::SetPosition(std::uint64_t position) {
  if (descriptor_ < 0)
    Raise("IOException", "can't move in " + path_ + ": the stream is closed");
  if (::lseek(descriptor_, static_cast<off_t>(position), SEEK_SET) < 0) {
    const int error = errno;
    Raise("IOException",
          "can't move to byte " + std::to_string(position) + " of " + path_ + ": " +
              std::strerror(error),
          error);
  }
  bufferPos_ = bufferEnd_ = 0;
  position_ = position;
  endOfFile_ = false;
}

bool BinaryStream::ChangedSinceOpen() const {
  FileState now;
  return descriptor_ < 0 || !StateOf(descriptor_, now) || !(now == opened_);
}

void BinaryStream::Close() {
  if (descriptor_ < 0)
    return;
  ::close(descriptor_);
  descriptor_ = -1;
  bufferPos_ = bufferEnd_ = 0;
}

}  // namespace host
