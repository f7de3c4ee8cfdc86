// Reading a file as raw bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/modal.h"
#include "host/object.h"

namespace host {

class BinaryStream : public Object {
 public:
  static const ClassDescription& Class();
  // Opens an existing regular file, read-only or for reading and writing. A nil file raises
  // NilObjectException; a file that can't be opened, or that is not a regular file (a named
  // pipe, a socket, a device, a folder), raises IOException with its path and the reason.
  // Never waits for another program: a named pipe is refused without blocking.
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
  // The next bytes of the file, as many as one buffer holds, read without a copy: valid until
  // the next read, seek or close. Empty at the end, which sets EndOfFile.
  std::span<const std::uint8_t> ReadBlock();
  // True once a read found no byte left.
  bool EndOfFile() const { return endOfFile_; }
  std::uint64_t Position() const { return position_; }
  // Moves to the given byte and clears EndOfFile.
  void SetPosition(std::uint64_t position);
  // Whether the open file was written to or resized since it was opened: its size,
  // modification or status-change time differ. (A file put in its place under the same name
  // is another file: this stream goes on reading the one it opened.) A closed stream answers
  // true.
  bool ChangedSinceOpen() const;
  // Closing twice is harmless.
  void Close();

 private:
  // The file's size and times, as fstat tells them.
  struct FileState {
    std::int64_t size = 0;
    std::int64_t modified[2] = {0, 0};
    std::int64_t statusChanged[2] = {0, 0};
    bool operator==(const FileState&) const = default;
  };
  BinaryStream(int descriptor, const FileState& opened, std::string path);
  static bool StateOf(int descriptor, FileState& state);
  bool Refill();

  int descriptor_;
  FileState opened_;
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
