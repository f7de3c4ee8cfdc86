#include "fake_alsa_encoder.h"

namespace fake_portmidi::detail {
namespace {

constexpr int kSysEx = 0xF0;
constexpr int kEndOfSysEx = 0xF7;

}  // namespace

std::optional<int> AlsaByteEncoder::DataBytes(int status) {
  switch (status >> 4) {
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB:
    case 0xE:
      return 2;
    case 0xC:
    case 0xD:
      return 1;
    default:
      break;
  }
  switch (status) {
    case 0xF1:
    case 0xF3:
      return 1;
    case 0xF2:
      return 2;
    case 0xF6:
    case 0xF8:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFE:
    case 0xFF:
      return 0;
    default:
      return std::nullopt;
  }
}

std::optional<EncodedEvent> AlsaByteEncoder::Feed(std::uint8_t byte) {
  if (byte >= 0xF8) {
    if (DataBytes(byte)) {
      return EncodedEvent{{byte}, false};
    }
    return std::nullopt;
  }
  const bool status = (byte & 0x80) != 0;
  if (status && !(byte == kEndOfSysEx && status_ == kSysEx)) {
    status_ = byte;
    message_.assign(1, byte);
    awaited_ = byte == kSysEx ? 0 : DataBytes(byte).value_or(0);
  } else if (status_ == kSysEx) {
    message_.push_back(byte);
    if (byte == kEndOfSysEx || message_.size() >= kSysExPart) {
      EncodedEvent part{std::move(message_), true};
      message_.clear();
      if (byte == kEndOfSysEx) {
        status_ = 0;
      }
      return part;
    }
    return std::nullopt;
  } else if (awaited_ > 0) {
    message_.push_back(byte);
    --awaited_;
  } else if (status_ >= 0x80 && status_ < 0xF0) {
    message_.assign({static_cast<std::uint8_t>(status_), byte});
    awaited_ = *DataBytes(status_) - 1;
  } else {
    return std::nullopt;
  }
  if (status_ == kSysEx || awaited_ > 0) {
    return std::nullopt;
  }
  std::optional<EncodedEvent> event;
  if (DataBytes(status_)) {
    event = EncodedEvent{message_, false};
  }
  if (status_ >= 0xF0) {
    status_ = 0;
  }
  return event;
}

}  // namespace fake_portmidi::detail
