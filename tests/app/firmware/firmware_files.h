// Generated firmware files for the tests and the benchmarks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "FirmwareSplit.h"

namespace testfiles {

using Bytes = std::vector<std::uint8_t>;

// A System Exclusive message of the given length (0xF0 first, 0xF7 last), its data bytes
// drawn from the index so that neighbouring messages differ; never an end message.
inline Bytes Message(std::size_t index, std::size_t length) {
  Bytes message(length);
  message[0] = 0xF0;
  for (std::size_t i = 1; i + 1 < length; ++i) {
    message[i] = static_cast<std::uint8_t>((index * 7 + i * 3) & 0x7F);
  }
  if (length > 14 && message[13] == '0') {
    message[13] = '/';
  }
  message[length - 1] = 0xF7;
  return message;
}

// Two messages, the second one from byte 10 of the file on, with its byte at `position`
// replaced by `byte`.
inline Bytes SecondMessageWith(std::size_t position, std::uint8_t byte) {
  Bytes file = Message(0, 10);
  Bytes second = Message(1, 20);
  second[position] = byte;
  file.insert(file.end(), second.begin(), second.end());
  return file;
}

// The message that ends a firmware: "0" "1" at positions 13 and 14.
inline Bytes EndMessage(std::size_t length) {
  Bytes message = Message(0, length);
  message[13] = '0';
  message[14] = '1';
  return message;
}

// count System Exclusive messages of assorted lengths (2 to 141 bytes), the last one the end
// message, then junkAfterEnd
// bytes that no load may read (long runs without 0xF7, and stray 0xF7 bytes).
inline Bytes Firmware(std::size_t count, std::size_t junkAfterEnd) {
  Bytes file;
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const Bytes message = Message(i, 2 + (i * 37) % 140);
    file.insert(file.end(), message.begin(), message.end());
  }
  const Bytes end = EndMessage(16 + count % 100);
  file.insert(file.end(), end.begin(), end.end());
  for (std::size_t i = 0; i < junkAfterEnd; ++i) {
    file.push_back(i % 400 == 399 ? 0xF7 : 0x42);
  }
  return file;
}

// The messages of a file up to and including its end message (or its last 0xF7).
inline std::vector<Bytes> MessagesOf(const Bytes& file) {
  std::vector<Bytes> messages;
  Bytes current;
  for (const std::uint8_t byte : file) {
    current.push_back(byte);
    if (byte != 0xF7) {
      continue;
    }
    messages.push_back(current);
    current.clear();
    if (messages.back().size() > 15 && messages.back()[13] == '0' && messages.back()[14] == '1') {
      break;
    }
  }
  return messages;
}

// The largest file the store holds: 100001 messages of 141 bytes, no end message.
inline Bytes FullStore() {
  Bytes file;
  file.reserve(100001 * 141);
  for (std::size_t i = 0; i < 100001; ++i) {
    const Bytes message = Message(i, 141);
    file.insert(file.end(), message.begin(), message.end());
  }
  return file;
}

// Hands a file held in memory over in blocks of blockBytes bytes (the last one shorter), as
// a stream reads a file, starting at the file's first byte.
inline firmware::ReadBlock BlocksOf(std::span<const std::uint8_t> file, std::size_t blockBytes) {
  auto next = std::make_shared<std::size_t>(0);
  return [file, blockBytes, next] {
    const std::size_t count = std::min(blockBytes, file.size() - *next);
    const std::span<const std::uint8_t> block = file.subspan(*next, count);
    *next += count;
    return block;
  };
}

}  // namespace testfiles
