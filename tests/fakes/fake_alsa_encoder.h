// ALSA's byte encoder (snd_midi_event_encode_byte), which turns a byte stream into sequencer
// events: PortMidi's output feeds it every byte it sends, and a raw MIDI port feeds it what
// arrives. One model serves both sides of the double.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace fake_portmidi::detail {

// A sequencer event the encoder completed: a short message, or a part of a System Exclusive
// message (the first part begins with 0xF0, the last ends with 0xF7).
struct EncodedEvent {
  std::vector<std::uint8_t> bytes;
  bool sysex = false;
};

class AlsaByteEncoder {
 public:
  // The encoder's buffer, PortMidi's PM_DEFAULT_SYSEX_BUFFER_SIZE: a longer System Exclusive
  // message leaves it in parts of this many bytes.
  static constexpr std::size_t kSysExPart = 1024;

  // The data bytes a status takes; none for the statuses the sequencer has no event for
  // (0xF4, 0xF5, a lone 0xF7, 0xF9 and 0xFD).
  static std::optional<int> DataBytes(int status);

  // The event one more byte completes. A real-time byte is an event at once, also inside a
  // System Exclusive message, which leaves at its 0xF7 (or in parts of kSysExPart bytes); a
  // short message leaves when complete, and data bytes after it repeat its status (running
  // status) unless it was a system message. A status byte inside a System Exclusive message
  // drops the bytes not yet handed on.
  std::optional<EncodedEvent> Feed(std::uint8_t byte);

 private:
  std::vector<std::uint8_t> message_;  // the bytes of the message being gathered
  int status_ = 0;                     // its status byte, 0 for none
  int awaited_ = 0;                    // data bytes still missing from a short message
};

}  // namespace fake_portmidi::detail
