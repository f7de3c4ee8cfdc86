// Splits arbitrary bytes into a full-size store and checks that an accepted file lands in it
// byte for byte, inside the store's bounds, and that a refused one says why.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "FirmwareSplit.h"

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

  const std::span<const std::uint8_t> file(data, size);
  const firmware::SplitPlan plan = firmware::PlanFirmwareSplit(file, NoYield);
  Check(plan.byteCount <= size);
  if (plan.verdict != firmware::SplitVerdict::kFits) {
    Check(!firmware::DescribeRefusal(plan).empty());
    return 0;
  }
  Check(plan.messageCount >= 1 && plan.messageCount <= firmware::kRowCount);

  firmware::StoreFirmwareSplit(file, plan, {buffer, rowEnds, &lastMessage});
  Check(lastMessage == plan.messageCount - 1);
  std::size_t offset = 0;
  for (std::int64_t row = 0; row <= lastMessage; ++row) {
    const std::int64_t end = rowEnds[row];
    Check(end >= 0 && end < firmware::kRowBytes);
    const std::uint8_t* stored = &buffer[row * firmware::kRowBytes];
    Check(stored[end] == firmware::kEndOfExclusive);
    Check(std::memchr(stored, firmware::kEndOfExclusive, end) == nullptr);
    Check(std::memcmp(stored, data + offset, end + 1) == 0);
    offset += end + 1;
  }
  Check(offset <= plan.byteCount);
  const std::size_t trailing = plan.byteCount - offset;
  Check(trailing <= firmware::kRowBytes);
  if (trailing > 0) {
    Check(!plan.endMessageSeen && lastMessage + 1 < firmware::kRowCount);
    const std::uint8_t* stored = &buffer[(lastMessage + 1) * firmware::kRowBytes];
    Check(std::memcmp(stored, data + offset, trailing) == 0);
  }
  return 0;
}
