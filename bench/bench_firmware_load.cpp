// Loading the largest firmware file the store holds (100001 messages of 141 bytes,
// 14,100,141 bytes): OPEN's split alone (the check with its per-byte yield, then the write
// into a full-size store), and the whole OPEN of the program, file reading included.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "FirmwareSplit.h"
#include "Module1.h"
#include "firmware_files.h"
#include "host/runtime.h"
#include "program_harness.h"

namespace {

void BM_SplitLargestFirmware(benchmark::State& state) {
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
BENCHMARK(BM_SplitLargestFirmware)->Unit(benchmark::kMillisecond);

void BM_OpenLargestFirmware(benchmark::State& state) {
  harness::Program& program = harness::Program::Get();
  const std::string path = harness::TemporaryFile(testfiles::FullStore(), "largest.syx");
  for (auto _ : state) {
    state.PauseTiming();
    program.Search();
    program.Pick(program.Window().ChooseMidiOut_PopMenu(), 1);
    state.ResumeTiming();
    program.Open(path);
  }
  if (Module1::FirmwareLine != firmware::kRowCount - 1) {
    state.SkipWithError("OPEN did not load the whole file");
  }
}
BENCHMARK(BM_OpenLargestFirmware)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
