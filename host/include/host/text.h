// Number to text conversion as the program uses it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// The plain decimal form of n ("-9999"). Only the empty format is supported; any other
// raises UnsupportedFormatException naming it.
std::string Str(std::int64_t n, std::string_view format = "");

}  // namespace host
