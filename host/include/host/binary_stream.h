// Reading a file as raw bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/modal.h"
#include "host/object.h"

namespace host {

class BinaryStream : public Object {
 public:
  static const ClassDescription& Class();
  // Opens an existing file, read-only or for reading and writing. A nil file raises
  // NilObjectException; a file that can't be opened raises IOException with its path and
  // the system's reason.
  static Ref<BinaryStream> Open(const Ref<FolderItem>& file, bool readWrite);
  ~BinaryStream() override;

  // Only the order of multi-byte values depends on it; single bytes read the same.
  bool LittleEndian() const { return littleEndian_; }
  void SetLittleEndian(bool value) { littleEndian_ = value; }

  // The file's length in bytes, as it was when opened.
  std::uint64_t Length() const { return length_; }
  // The byte at the current position, which moves on by one. Reading at or past the end
  // answers 0 and sets EndOfFile. Buffered: reading a byte costs next to nothing. Reading a
  // closed stream raises IOException.
  std::uint8_t ReadUInt8();
  // True once a read found no byte left.
  bool EndOfFile() const { return endOfFile_; }
  std::uint64_t Position() const { return position_; }
  // Closing twice is harmless.
  void Close();

 private:
  BinaryStream(std::FILE* file, std::uint64_t length, std::string path);
  bool Refill();

  std::FILE* file_;
  std::uint64_t length_;
  std::string path_;
  std::vector<std::uint8_t> buffer_;
  std::size_t bufferPos_ = 0;
  std::size_t bufferEnd_ = 0;
  std::uint64_t position_ = 0;
  bool littleEndian_ = false;
  bool endOfFile_ = false;
};

}  // namespace host
