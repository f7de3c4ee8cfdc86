#include "host/string.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "host/exception.h"

namespace host {
namespace {

// iconv's names for the encodings strings carry. UTF-16 means host byte order (little-endian
// on every platform we run on) unless the text starts with a byte-order mark; 0xFFFF (no
// known encoding) has no name and can't be converted.
const char* IconvName(std::uint32_t encoding) {
  switch (encoding) {
    case kEncodingMacRoman:
      return "MACINTOSH";
    case kEncodingUTF16:
      return "UTF-16LE";
    case kEncodingISOLatin1:
      return "ISO-8859-1";
    case kEncodingWindowsLatin1:
      return "CP1252";
    case kEncodingASCII:
      return "ASCII";
    case kEncodingUTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}

std::string Hex(std::uint32_t encoding) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(encoding));
  return text;
}

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (Valid())
      iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool Valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

// Converts the whole input or reports the offset of the first byte it could not take.
bool Convert(iconv_t cd, std::string_view input, std::string& output, std::size_t& failedAt) {
  output.assign(input.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  std::size_t written = 0;
  while (inLeft > 0) {
    char* out = output.data() + written;
    std::size_t outLeft = output.size() - written;
    const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    written = output.size() - outLeft;
    if (rc != static_cast<std::size_t>(-1))
      break;
    if (errno != E2BIG) {
      failedAt = input.size() - inLeft;
      return false;
    }
    output.resize(output.size() * 2);
  }
  output.resize(written);
  return true;
}

}  // namespace

Ref<String> String::Make(std::string bytes, std::uint32_t encoding) {
  return Ref<String>::Adopt(new String(std::move(bytes), encoding));
}

void String::Release() {
  if (--refCount_ == 0)
    delete this;
}

Ref<String> String::ConvertedTo(std::uint32_t encoding) const {
  if (encoding == encoding_)
    return Make(bytes_, encoding_);
  const char* from = IconvName(encoding_);
  const char* to = IconvName(encoding);
  if (!from || !to) {
    Raise("UnsupportedFormatException", "cannot convert text from encoding " + Hex(encoding_) +
                                            " to " + Hex(encoding) +
                                            ": unsupported encoding; the text was kept as it is");
  }
  std::string_view input = bytes_;
  if (encoding_ == kEncodingUTF16 && input.size() >= 2) {
    if (input.starts_with("\xFF\xFE")) {
      input.remove_prefix(2);
    } else if (input.starts_with("\xFE\xFF")) {
      from = "UTF-16BE";
      input.remove_prefix(2);
    }
  }
  IconvHandle cd(to, from);
  if (!cd.Valid()) {
    Raise("UnsupportedFormatException",
          std::string("this system cannot convert text from ") + from + " to " + to);
  }
  std::string converted;
  std::size_t failedAt = 0;
  if (!Convert(cd.get(), input, converted, failedAt)) {
    Raise("UnsupportedFormatException",
          std::string("cannot convert text from ") + from + " to " + to + ": byte " +
              std::to_string(failedAt) +
              " is invalid or has no equivalent; the text was kept as it is");
  }
  return Make(std::move(converted), encoding);
}

std::string String::ToUtf8() const {
  if (encoding_ == kEncodingUTF8 || encoding_ == kEncodingASCII)
    return bytes_;
  try {
    return ConvertedTo(kEncodingUTF8)->Bytes();
  } catch (const RaisedException&) {
    // Text of no known encoding: show its ASCII and mark every other byte.
    std::string shown;
    for (unsigned char c : bytes_)
      shown += c < 0x80 ? std::string(1, char(c)) : "\xEF\xBF\xBD";
    return shown;
  }
}

}  // namespace host
