// Loading the largest firmware file the store holds (100001 messages of 141 bytes) through
// OPEN's split: the check with its per-byte yield, then the write into a full-size store.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "FirmwareSplit.h"
#include "firmware_files.h"
#include "host/runtime.h"

namespace {

void BM_LoadLargestFirmware(benchmark::State& state) {
  const testfiles::Bytes file = testfiles::FullStore();
  std::vector<std::uint8_t> buffer(firmware::kRowCount * firmware::kRowBytes);
  std::vector<std::int64_t> rowEnds(firmware::kRowCount);
  std::int64_t lastMessage = 0;
  for (auto _ : state) {
    const firmware::SplitPlan plan = firmware::PlanFirmwareSplit(file, host::RuntimeBackgroundTask);
    firmware::StoreFirmwareSplit(file, plan, {buffer, rowEnds, &lastMessage});
    benchmark::DoNotOptimize(lastMessage);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_LoadLargestFirmware)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
