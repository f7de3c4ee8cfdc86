// The program's shared state: the firmware store, the port tables, the cancel flag of a
// transfer and the two plugin objects that must outlive a handler.
#pragma once

#include <cstdint>

#include "FirmwareSplit.h"
#include "host/array.h"
#include "host/object.h"

namespace Module1 {

// Upper bounds of the tables; a table with the upper bound N holds N + 1 entries. The
// store's shape is the one the firmware split fills.
inline constexpr std::int64_t kLastMessage = firmware::kRowCount - 1;
inline constexpr std::int64_t kLastMessageByte = firmware::kRowBytes - 1;
inline constexpr std::int64_t kLastPortRow = 100;

// How the output is opened, for OPEN's test and for every tick of a transfer alike.
inline constexpr std::int64_t kOutputBufferSize = 10000;
inline constexpr std::int64_t kOutputLatency = 0;

// 1 while a CANCEL waits for the next timer tick.
extern std::int64_t Cancel;
// Message i in row i, one byte an entry: (kLastMessage + 1) x (kLastMessageByte + 1).
extern host::Ref<host::ByteArray2D> FirmwareBuffer;
// For each message, the column of its closing 0xF7.
extern host::Ref<host::IntegerArray> FirmwareRow;
// Index of the last message loaded; -1 when the file held no 0xF7.
extern std::int64_t FirmwareLine;
// Menu row to device number, for the MIDI IN and MIDI OUT menus.
extern host::Ref<host::IntegerArray> MidiInCnt;
extern host::Ref<host::IntegerArray> MidiOutCnt;
// The chosen devices.
extern std::int64_t MidiInID;
extern std::int64_t MidiOutID;
// The current output stream (a PortMidiStreamQRX); replacing it closes the previous one.
extern host::Ref<host::Object> MIDIOutput;
// The MIDI system object (a PortMidiQRX) of the latest SEARCH.
extern host::Ref<host::Object> MIDIPort;

// Gives every global its starting value, in the alphabetical order of the names.
void RunInitializers();

// Lets go of the plugin objects while the plugin and its MIDI layer are still there: a
// stream still open when the window was closed mid-transfer is closed here, not during the
// process's exit, when the plugin's own state may already be gone.
void RunFinalizers();

}  // namespace Module1
