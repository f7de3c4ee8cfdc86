#include "Module1.h"

namespace Module1 {

std::int64_t Cancel = 0;
host::Ref<host::ByteArray2D> FirmwareBuffer;
host::Ref<host::IntegerArray> FirmwareRow;
std::int64_t FirmwareLine = 0;
host::Ref<host::IntegerArray> MidiInCnt;
host::Ref<host::IntegerArray> MidiOutCnt;
std::int64_t MidiInID = 0;
std::int64_t MidiOutID = 0;
host::Ref<host::Object> MIDIOutput;
host::Ref<host::Object> MIDIPort;

// The tables are made once at their full size, so that loading and sending never allocate.
// FirmwareLine, MidiInID, MidiOutID, MIDIOutput and MIDIPort start at 0 or nil as they are.
void RunInitializers() {
  Cancel = 0;
  FirmwareBuffer = host::CreateArray<std::uint8_t>(kLastMessage, kLastMessageByte);
  FirmwareRow = host::CreateArray<std::int64_t>(kLastMessage);
  MidiInCnt = host::CreateArray<std::int64_t>(kLastPortRow);
  MidiOutCnt = host::CreateArray<std::int64_t>(kLastPortRow);
}

void RunFinalizers() {
  MIDIOutput = nullptr;
  MIDIPort = nullptr;
}

}  // namespace Module1
