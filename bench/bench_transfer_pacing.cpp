// The pacing of a 500-message transfer with the real 76 ms timer. Each tick that put a
// message on the wire is timestamped through a hook on the timer's event; message k is due
// at UPDATE + (k + 1) x 76 ms. Then the pacing after the program is held up inside a tick,
// once after the tick's write and once inside the write itself: the shortest gap between two
// messages once it runs again.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "fake_portmidi.h"
#include "program_harness.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kMessages = 500;
constexpr double kPeriodMs = 76.0;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Least-squares slope of the lateness against the message index, in ms per 100 messages.
double DriftPer100(const std::vector<double>& lateness) {
  const double n = static_cast<double>(lateness.size());
  double sumK = 0, sumL = 0, sumKK = 0, sumKL = 0;
  for (std::size_t k = 0; k < lateness.size(); ++k) {
    sumK += k;
    sumL += lateness[k];
    sumKK += static_cast<double>(k) * k;
    sumKL += k * lateness[k];
  }
  return 100.0 * (n * sumKL - sumK * sumL) / (n * sumKK - sumK * sumK);
}

void BM_TransferPacing(benchmark::State& state) {
  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
  std::vector<Clock::time_point> sent;
  std::size_t logged = 0;
  window.Timer1()->SetEventHandler(host::Timer::kActionEvent, [&](host::Object& timer) {
    window.Timer1_Action(static_cast<host::Timer&>(timer));
    const std::size_t now = fake_portmidi::Written(harness::kSecondOutput).size();
    if (now != logged) {
      sent.push_back(Clock::now());
      logged = now;
    }
  });

  for (auto _ : state) {
    program.LoadFirmware(testfiles::Firmware(kMessages, 0));
    sent.clear();
    logged = fake_portmidi::Written(harness::kSecondOutput).size();
    const Clock::time_point update = Clock::now();
    program.Update();
    program.RunUntil([&] { return !window.Timer1()->Enabled(); }, 120s);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - update).count());

    if (sent.size() != kMessages) {
      state.SkipWithError("not every message was sent");
      return;
    }
    std::vector<double> lateness;
    double minGap = 1e9;
    for (std::size_t k = 0; k < sent.size(); ++k) {
      lateness.push_back(Milliseconds(sent[k] - update) - (k + 1) * kPeriodMs);
      if (k > 0) {
        minGap = std::min(minGap, Milliseconds(sent[k] - sent[k - 1]));
      }
    }
    const auto [early, late] = std::minmax_element(lateness.begin(), lateness.end());
    state.counters["max_late_ms"] = *late;
    state.counters["max_early_ms"] = -*early;
    state.counters["drift_ms_per_100"] = DriftPer100(lateness);
    state.counters["min_gap_ms"] = minGap;
  }
}
BENCHMARK(BM_TransferPacing)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// 30 messages; the program is held up for 3.8 periods in the tick of message 10, so that the
// hold-up ends shortly before a tick of the old rhythm was due. Argument 0: the event loop
// stalls after the tick's write; 1: the write itself blocks before its bytes arrive.
void BM_TransferPacingAfterStall(benchmark::State& state) {
  constexpr int kStallMessages = 30;
  constexpr int kStalledTick = 10;
  const auto holdUp = std::chrono::milliseconds(static_cast<int>(3.8 * kPeriodMs));
  const bool insideWrite = state.range(0) == 1;
  harness::Program& program = harness::Program::Get();
  Window1& window = program.Window();
  int ticks = 0;
  window.Timer1()->SetEventHandler(host::Timer::kActionEvent, [&](host::Object& timer) {
    const bool stalled = ++ticks == kStalledTick;
    if (stalled && insideWrite) {
      fake_portmidi::HoldNextSend(holdUp);
    }
    window.Timer1_Action(static_cast<host::Timer&>(timer));
    if (stalled && !insideWrite) {
      std::this_thread::sleep_for(holdUp);
    }
  });

  for (auto _ : state) {
    program.LoadFirmware(testfiles::Firmware(kStallMessages, 0));
    ticks = 0;
    const std::size_t before = fake_portmidi::Writes(harness::kSecondOutput).size();
    const Clock::time_point update = Clock::now();
    program.Update();
    program.RunUntil([&] { return !window.Timer1()->Enabled(); }, 60s);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - update).count());

    const auto writes = fake_portmidi::Writes(harness::kSecondOutput);
    if (writes.size() - before != kStallMessages) {
      state.SkipWithError("not every message was sent");
      return;
    }
    // The message whose write comes last because of the hold-up.
    const std::size_t late = before + kStalledTick - (insideWrite ? 1 : 0);
    double minGapAfter = 1e9;
    for (std::size_t k = late + 1; k < writes.size(); ++k) {
      minGapAfter = std::min(minGapAfter, Milliseconds(writes[k].at - writes[k - 1].at));
    }
    state.counters["stall_ms"] = Milliseconds(writes[late].at - writes[late - 1].at);
    state.counters["min_gap_after_stall_ms"] = minGapAfter;
  }
}
BENCHMARK(BM_TransferPacingAfterStall)
    ->ArgName("inside_write")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
