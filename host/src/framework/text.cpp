#include "host/text.h"

#include <string>

#include "host/exception.h"

namespace host {

std::string Str(std::int64_t n, std::string_view format) {
  if (!format.empty()) {
    Raise("UnsupportedFormatException",
          "Str supports only the empty format, not \"" + std::string(format) + "\"");
  }
  return std::to_string(n);
}

}  // namespace host
