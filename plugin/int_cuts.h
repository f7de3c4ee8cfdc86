// PortMidi takes most numbers as 32-bit values; the host passes 64-bit ones.
#pragma once

#include <cstdint>

// The low 32 bits of a host integer, read as signed.
inline std::int32_t Low32(std::int64_t value) {
  return static_cast<std::int32_t>(value);
}
