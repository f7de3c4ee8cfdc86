// Texts handed to the host as strings.
#pragma once

#include <cstdint>
#include <cstring>

#include "host_entries.h"

inline constexpr std::uint32_t kAsciiEncoding = 0x0600;
inline constexpr std::uint32_t kUtf8Encoding = 0x08000100;

// A host string of the NUL-terminated text; nil for a missing or empty text.
inline REALstring HostText(const char* text, std::uint32_t encoding) {
  if (text == nullptr || text[0] == '\0') {
    return nullptr;
  }
  return REALBuildUnicodeString(text, static_cast<std::int64_t>(std::strlen(text)), encoding);
}
