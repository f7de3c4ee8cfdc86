// Start-up to the shown main window and the program's peak memory after start-up, each beside
// its floor (an empty Qt Widgets window of the same size), and the peak memory with the largest
// firmware loaded and being sent. Start-up happens once per process, so every measurement runs in a
// fresh child process.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>

#include "program_harness.h"

namespace {

// Runs the measurement in a child process and answers the number it reports, or -1.
double InChild(const std::function<double()>& measure) {
  int channel[2];
  if (pipe(channel) != 0) {
    return -1;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    const double value = measure();
    const ssize_t written = write(channel[1], &value, sizeof value);
    _exit(written == sizeof value ? 0 : 1);
  }
  close(channel[1]);
  double value = -1;
  if (read(channel[0], &value, sizeof value) != sizeof value) {
    value = -1;
  }
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return value;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Lets the shown window be exposed and painted, as it would be on a screen.
void LetWindowsPaint() {
  QApplication::processEvents(QEventLoop::AllEvents, 100);
}

// The floor of start-up: an empty Qt Widgets window of the main window's size, shown. Answers
// what measure reports while the window is up.
double WithEmptyWindow(const std::function<double()>& measure) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  int argc = 1;
  char name[] = "bench_startup_memory";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QWidget window;
  window.resize(815, 480);
  window.show();
  return measure();
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times start-up to a shown window in fresh processes, one per iteration.
void TimeInChildren(benchmark::State& state, double (*startUp)()) {
  for (auto _ : state) {
    const double seconds = InChild(startUp);
    if (seconds < 0) {
      state.SkipWithError("the child process failed");
      return;
    }
    state.SetIterationTime(seconds);
  }
}

void BM_StartUpToShownWindow(benchmark::State& state) {
  TimeInChildren(state, [] {
    const auto start = std::chrono::steady_clock::now();
    harness::Program::Get();
    return SecondsSince(start);
  });
}
BENCHMARK(BM_StartUpToShownWindow)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_EmptyWindowToShown(benchmark::State& state) {
  TimeInChildren(state, [] {
    const auto start = std::chrono::steady_clock::now();
    return WithEmptyWindow([start] { return SecondsSince(start); });
  });
}
BENCHMARK(BM_EmptyWindowToShown)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PeakMemory(benchmark::State& state) {
  for (auto _ : state) {
    const double emptyWindow = InChild([] {
      return WithEmptyWindow([] {
        LetWindowsPaint();
        return PeakMegabytes();
      });
    });
    const double afterStartUp = InChild([] {
      harness::Program::Get();
      LetWindowsPaint();
      return PeakMegabytes();
    });
    const double whileSending = InChild([] {
      harness::Program& program = harness::Program::Get();
      program.LoadFirmware(testfiles::FullStore());
      program.Update();
      for (int tick = 0; tick < 100; ++tick) {
        program.Window().Timer1_Action(*program.Window().Timer1());
      }
      return PeakMegabytes();
    });
    state.counters["peak_MB_empty_window"] = emptyWindow;
    state.counters["peak_MB_started"] = afterStartUp;
    state.counters["peak_MB_started_over_empty_window"] = afterStartUp - emptyWindow;
    state.counters["peak_MB_largest_loaded_sending"] = whileSending;
  }
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
