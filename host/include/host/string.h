// Reference-counted byte strings that carry their text encoding, as the framework and the
// plugin exchange them. The encodings are CoreFoundation's numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/object.h"

namespace host {

enum Encoding : std::uint32_t {
  kEncodingMacRoman = 0,
  kEncodingUTF16 = 0x0100,
  kEncodingISOLatin1 = 0x0201,
  kEncodingWindowsLatin1 = 0x0500,
  kEncodingASCII = 0x0600,
  kEncodingUTF8 = 0x08000100,
  kEncodingUnknown = 0xFFFF,
};

class String {
 public:
  // A new string with its first reference.
  static Ref<String> Make(std::string bytes, std::uint32_t encoding = kEncodingUTF8);

  const std::string& Bytes() const { return bytes_; }
  std::uint32_t Encoding() const { return encoding_; }
  void SetEncoding(std::uint32_t encoding) { encoding_ = encoding; }
  // The text re-encoded (iconv); raises UnsupportedFormatException for an encoding it
  // cannot convert and bytes that are not valid in their own encoding. Mac Roman is iconv's
  // MACINTOSH, Windows Latin 1 its CP1252; UTF-16 is little-endian (host order) unless the
  // text starts with a byte-order mark, and is written without one; 0xFFFF (no known
  // encoding) converts to nothing.
  Ref<String> ConvertedTo(std::uint32_t encoding) const;
  // The text as UTF-8 for display.
  std::string ToUtf8() const;

  void AddRef() { ++refCount_; }
  void Release();
  std::int64_t RefCount() const { return refCount_; }

 private:
  String(std::string bytes, std::uint32_t encoding)
      : bytes_(std::move(bytes)), encoding_(encoding) {}

  std::string bytes_;
  std::uint32_t encoding_;
  std::int64_t refCount_ = 1;
};

// Nil stands for the empty string wherever a text is expected.
inline std::string_view BytesOf(const Ref<String>& s) {
  return s ? std::string_view(s->Bytes()) : std::string_view();
}

}  // namespace host
