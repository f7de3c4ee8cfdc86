// PortMidiEventQRX: one timestamped short MIDI message held by value.
#include <cstdint>

#include "event_value.h"
#include "int_cuts.h"
#include "members.h"

namespace {

std::int64_t ByteOf(REALobject instance, int index) {
  return (static_cast<std::uint32_t>(EventValueOf(instance).message) >> (8 * index)) & 0xFF;
}

void SetByte(REALobject instance, int index, std::int64_t value) {
  const int shift = 8 * index;
  auto message = static_cast<std::uint32_t>(EventValueOf(instance).message);
  message &= ~(0xFFu << shift);
  message |= (static_cast<std::uint32_t>(value) & 0xFFu) << shift;
  EventValueOf(instance).message = static_cast<PmMessage>(message);
}

PmMessage PackBytes(std::int64_t byte0, std::int64_t byte1, std::int64_t byte2,
                    std::int64_t byte3) {
  const auto low8 = [](std::int64_t value) { return static_cast<std::uint32_t>(value) & 0xFFu; };
  return static_cast<PmMessage>(low8(byte0) | low8(byte1) << 8 | low8(byte2) << 16 |
                                low8(byte3) << 24);
}

}  // namespace

std::int64_t GetStatus(REALobject instance, PropertyParam) {
  return ByteOf(instance, 0);
}
std::int64_t GetData1(REALobject instance, PropertyParam) {
  return ByteOf(instance, 1);
}
std::int64_t GetData2(REALobject instance, PropertyParam) {
  return ByteOf(instance, 2);
}
std::int64_t GetData3(REALobject instance, PropertyParam) {
  return ByteOf(instance, 3);
}
std::int64_t GetWhen(REALobject instance, PropertyParam) {
  return EventValueOf(instance).timestamp;
}
std::int64_t GetRawMessage(REALobject instance, PropertyParam) {
  return EventValueOf(instance).message;
}

void SetData0(REALobject instance, PropertyParam, std::int64_t value) {
  SetByte(instance, 0, value);
}
void SetData1(REALobject instance, PropertyParam, std::int64_t value) {
  SetByte(instance, 1, value);
}
void SetData2(REALobject instance, PropertyParam, std::int64_t value) {
  SetByte(instance, 2, value);
}
void SetData3(REALobject instance, PropertyParam, std::int64_t value) {
  SetByte(instance, 3, value);
}
void SetWhen(REALobject instance, PropertyParam, std::int64_t value) {
  EventValueOf(instance).timestamp = Low32(value);
}
void SetRawMessage(REALobject instance, PropertyParam, std::int64_t value) {
  EventValueOf(instance).message = Low32(value);
}

void SetValues3(REALobject instance, std::int64_t status, std::int64_t data1, std::int64_t data2) {
  EventValueOf(instance).message = PackBytes(status, data1, data2, 0);
}

void SetValues4(REALobject instance, std::int64_t data0, std::int64_t data1, std::int64_t data2,
                std::int64_t data3) {
  EventValueOf(instance).message = PackBytes(data0, data1, data2, data3);
}

REALobject CurrentEvent() {
  return NewEventObject(CurrentPmEvent());
}
