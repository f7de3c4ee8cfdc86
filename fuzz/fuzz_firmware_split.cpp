// Splits arbitrary bytes into a full-size store, handed over in blocks of a size the input
// picks, and checks that the split agrees with the byte-at-a-time reference, that an accepted
// file lands in the store byte for byte, inside its bounds, whole, with something to send and
// nothing in its messages that MIDI can't carry, and that a refused one says why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "FirmwareSplit.h"
#include "byte_splitter.h"
#include "firmware_files.h"

namespace {

void NoYield() {}

void Check(bool holds) {
  if (!holds) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::uint8_t> buffer(firmware::kRowCount * firmware::kRowBytes);
  static std::vector<std::int64_t> rowEnds(firmware::kRowCount);
  static std::int64_t lastMessage = 0;
  // Earlier inputs leave their bytes in the store, as earlier loads do in the program.
  lastMessage = -77;

  if (size == 0) {
    return 0;
  }
  // The first byte picks the block size, so that blocks may cut a message anywhere.
  const std::size_t blockBytes = 1 + data[0];
  ++data;
  --size;
  const std::span<const std::uint8_t> file(data, size);
  const firmware::SplitPlan plan =
      firmware::PlanFirmwareFile(testfiles::BlocksOf(file, blockBytes), NoYield);
  Check(plan == reference::PlanByBytes(file));
  Check(plan.byteCount <= size);
  if (plan.verdict != firmware::SplitVerdict::kFits) {
    Check(!firmware::DescribeRefusal(plan).empty());
    return 0;
  }
  Check(plan.messageCount >= 1 && plan.messageCount <= firmware::kRowCount);

  Check(firmware::StoreFirmwareFile(testfiles::BlocksOf(file, blockBytes), plan,
                                    {buffer, rowEnds, &lastMessage}, NoYield));
  Check(lastMessage == plan.messageCount - 1);
  std::size_t offset = 0;
  bool carriesData = false;
  for (std::int64_t row = 0; row <= lastMessage; ++row) {
    const std::int64_t end = rowEnds[row];
    Check(end >= 0 && end < firmware::kRowBytes);
    const std::uint8_t* stored = &buffer[row * firmware::kRowBytes];
    Check(stored[end] == firmware::kEndOfExclusive);
    // Only what MIDI carries as it stands: F0, data bytes, F7; or an empty message.
    Check(end == 0 || stored[0] == firmware::kStartOfExclusive);
    for (std::int64_t column = 1; column < end; ++column) {
      Check(stored[column] < 0x80);
    }
    Check(std::memcmp(stored, data + offset, end + 1) == 0);
    offset += end + 1;
    carriesData = carriesData || end > 0;
  }
  // Something to send, and the file read up to its end message or whole: a file cut inside a
  // message never loads.
  Check(carriesData);
  Check(offset == plan.byteCount);
  Check(plan.endMessageSeen || offset == size);
  return 0;
}
