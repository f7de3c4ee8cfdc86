// Loading the largest firmware file the store holds (100001 messages of 141 bytes,
// 14,100,141 bytes): OPEN's split alone (both passes over the file held in memory, with the
// yield per block, into a full-size store), the whole OPEN of the program, file reading
// included, and the floor that OPEN is measured against: reading the same file into memory
// in one go and cutting it into 141-byte rows with memchr.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "FirmwareSplit.h"
#include "Module1.h"
#include "firmware_files.h"
#include "host/runtime.h"
#include "program_harness.h"

namespace {

// As a stream hands a file over.
constexpr std::size_t kBlockBytes = 64 * 1024;

void BM_SplitLargestFirmware(benchmark::State& state) {
  const testfiles::Bytes file = testfiles::FullStore();
  std::vector<std::uint8_t> buffer(firmware::kRowCount * firmware::kRowBytes);
  std::vector<std::int64_t> rowEnds(firmware::kRowCount);
  std::int64_t lastMessage = 0;
  for (auto _ : state) {
    const firmware::SplitPlan plan = firmware::PlanFirmwareFile(
        testfiles::BlocksOf(file, kBlockBytes), host::RuntimeBackgroundTask);
    firmware::StoreFirmwareFile(testfiles::BlocksOf(file, kBlockBytes), plan,
                                {buffer, rowEnds, &lastMessage}, host::RuntimeBackgroundTask);
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
  if (Module1::FirmwareLine != firmware::kRowCount - 1 || !program.Modal().messages.empty()) {
    state.SkipWithError("OPEN did not load the whole file");
  }
}
BENCHMARK(BM_OpenLargestFirmware)->Unit(benchmark::kMillisecond);

// The floor: one read of the whole file into memory kept from run to run, then each message
// copied into its row with its closing column noted.
void BM_OpenLargestFirmwareFloor(benchmark::State& state) {
  const std::string path = harness::TemporaryFile(testfiles::FullStore(), "floor.syx");
  std::vector<std::uint8_t> file(firmware::kRowCount * firmware::kRowBytes);
  std::vector<std::uint8_t> buffer(firmware::kRowCount * firmware::kRowBytes);
  std::vector<std::int64_t> rowEnds(firmware::kRowCount);
  for (auto _ : state) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (descriptor < 0 || fstat(descriptor, &info) != 0 ||
        static_cast<std::size_t>(info.st_size) != file.size() ||
        ::read(descriptor, file.data(), file.size()) != info.st_size) {
      state.SkipWithError("can't read the file");
      break;
    }
    ::close(descriptor);
    const std::uint8_t* next = file.data();
    const std::uint8_t* const end = next + file.size();
    std::int64_t row = 0;
    while (next != end && row < firmware::kRowCount) {
      const auto* close = static_cast<const std::uint8_t*>(
          std::memchr(next, firmware::kEndOfExclusive, end - next));
      const std::uint8_t* const stop = close ? close + 1 : end;
      std::memcpy(&buffer[row * firmware::kRowBytes], next, stop - next);
      rowEnds[row++] = stop - next - 1;
      next = stop;
    }
    benchmark::DoNotOptimize(buffer.data());
    benchmark::DoNotOptimize(rowEnds.data());
  }
}
BENCHMARK(BM_OpenLargestFirmwareFloor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
