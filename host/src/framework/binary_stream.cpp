#include "host/binary_stream.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "framework_internal.h"
#include "host/exception.h"

namespace host {
namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

const ClassDescription& BinaryStream::Class() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("BinaryStream", nullptr);
  return cls;
}

Ref<BinaryStream> BinaryStream::Open(const Ref<FolderItem>& file, bool readWrite) {
  if (!file)
    Raise("NilObjectException", "BinaryStream.Open was given no file");
  const std::string& path = file->Path();
  std::FILE* handle = std::fopen(path.c_str(), readWrite ? "r+b" : "rb");
  if (!handle) {
    const int error = errno;
    Raise("IOException", "can't open " + path + ": " + std::strerror(error), error);
  }
  struct stat info {};
  if (fstat(fileno(handle), &info) != 0 || !S_ISREG(info.st_mode)) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    std::fclose(handle);
    Raise("IOException", "can't open " + path + ": " + std::strerror(error), error);
  }
  return Ref<BinaryStream>::Adopt(
      new BinaryStream(handle, static_cast<std::uint64_t>(info.st_size), path));
}

BinaryStream::BinaryStream(std::FILE* file, std::uint64_t length, std::string path)
    : Object(Class()), file_(file), length_(length), path_(std::move(path)), buffer_(kBufferSize) {}

BinaryStream::~BinaryStream() {
  Close();
}

bool BinaryStream::Refill() {
  bufferPos_ = 0;
  bufferEnd_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (bufferEnd_ == 0 && std::ferror(file_)) {
    const int error = errno;
    Raise("IOException",
          "can't read " + path_ + " at byte " + std::to_string(position_) + ": " +
              std::strerror(error),
          error);
  }
  return bufferEnd_ > 0;
}

std::uint8_t BinaryStream::ReadUInt8() {
  if (bufferPos_ == bufferEnd_) {
    if (!file_)
      Raise("IOException", "can't read " + path_ + ": the stream is closed");
    if (!Refill()) {
      endOfFile_ = true;
      return 0;
    }
  }
  ++position_;
  return buffer_[bufferPos_++];
}

void BinaryStream::Close() {
  if (!file_)
    return;
  std::fclose(file_);
  file_ = nullptr;
  bufferPos_ = bufferEnd_ = 0;
}

}  // namespace host
