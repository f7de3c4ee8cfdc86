#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>

#include "framework_internal.h"
#include "host/controls.h"
#include "host/exception.h"
#include "host/runtime.h"
#include "host/window.h"
#include "property_table.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<Timer>;

constexpr std::array kTimerProperties{
    Row{"RunMode", LVT::Integer,
        [](Timer& t, const LayoutValue& v) { t.SetRunMode(AsInteger(v)); }},
    Row{"Period", LVT::Integer, [](Timer& t, const LayoutValue& v) { t.SetPeriod(AsInteger(v)); }},
    Row{"Enabled", LVT::Boolean,
        [](Timer& t, const LayoutValue& v) { t.SetEnabled(AsBoolean(v)); }},
};

}  // namespace

// A tick read later than this after its due time starts a new rhythm.
constexpr std::int64_t kLateToleranceNs = 2'000'000;

// The ticks come from a kernel timerfd watched by the event loop. Qt's own timers, precise
// ones included, wake up several milliseconds late at times under the GLib dispatcher; the
// timerfd keeps every tick of a 76 ms transfer within a fraction of a millisecond of its due
// time, and its period is counted by the kernel from the start, so ticks never drift.
// After a stall of the process, though, the kernel's rhythm would bring the next tick early
// to make up for the late one: two messages a few milliseconds apart can overrun a device's
// receive buffer. So a tick that comes late restarts the rhythm, a full period from itself.
class TimerPeer {
 public:
  explicit TimerPeer(Timer& timer)
      : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (fd_ < 0) {
      Raise("RuntimeException",
            std::string("the timer could not be created: ") + std::strerror(errno));
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this, &timer] {
      std::uint64_t expirations = 0;
      // Ticks missed while a handler ran are not made up: one event per wake-up.
      if (read(fd_, &expirations, sizeof expirations) != sizeof expirations || !active_)
        return;
      if (!repeating_)
        active_ = false;
      else if (CameLate(expirations))
        Start(period_, true);
      timer.Tick();
    });
  }
  TimerPeer(const TimerPeer&) = delete;
  TimerPeer& operator=(const TimerPeer&) = delete;
  ~TimerPeer() {
    notifier_.reset();
    close(fd_);
  }

  void Start(std::int64_t periodMs, bool repeating) {
    const timespec period{static_cast<time_t>(periodMs / 1000),
                          static_cast<long>(periodMs % 1000) * 1'000'000};
    itimerspec spec{};
    spec.it_value = period;
    if (repeating)
      spec.it_interval = period;
    timerfd_settime(fd_, 0, &spec, nullptr);
    period_ = periodMs;
    repeating_ = repeating;
    active_ = true;
  }
  // Disarming also drops an expiry that has not been read yet.
  void Stop() {
    const itimerspec disarmed{};
    timerfd_settime(fd_, 0, &disarmed, nullptr);
    active_ = false;
  }
  bool IsActive() const { return active_; }
  bool RunsAt(std::int64_t periodMs, bool repeating) const {
    return active_ && period_ == periodMs && repeating_ == repeating;
  }

 private:
  // Whether the tick just read came late: expiries were missed, or the next one is due
  // sooner than a period less the tolerance.
  bool CameLate(std::uint64_t expirations) const {
    if (expirations > 1)
      return true;
    itimerspec left{};
    timerfd_gettime(fd_, &left);
    const std::int64_t leftNs =
        std::int64_t{left.it_value.tv_sec} * 1'000'000'000 + left.it_value.tv_nsec;
    return period_ * 1'000'000 - leftNs > kLateToleranceNs;
  }

  int fd_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::int64_t period_ = 0;
  bool repeating_ = false;
  bool active_ = false;
};

const ClassDescription& Timer::Class() {
  static const ClassDescription& cls = DescribeFrameworkClass("Timer", nullptr);
  return cls;
}

Timer::Timer(const ClassDescription& cls) : Object(cls) {}

Timer::~Timer() {
  ExpireWeakReferences();
  peer_.reset();
}

void Timer::SetRunMode(std::int64_t value) {
  runMode_ = value;
  Reschedule();
}

void Timer::SetPeriod(std::int64_t value) {
  period_ = value;
  Reschedule();
}

void Timer::SetEnabled(bool value) {
  enabled_ = value;
  Reschedule();
}

bool Timer::IsTicking() const {
  return peer_ && peer_->IsActive();
}

void Timer::Reschedule() {
  const bool run = enabled_ && (runMode_ == kModeSingle || runMode_ == kModeMultiple);
  if (!run) {
    if (peer_)
      peer_->Stop();
    return;
  }
  if (!peer_) {
    RuntimeCheckMainThread("starting a timer");
    peer_ = std::make_unique<TimerPeer>(*this);
  }
  const std::int64_t period = std::clamp<std::int64_t>(period_, 1, INT_MAX);
  const bool repeating = runMode_ == kModeMultiple;
  // A timer that already runs at this period keeps its rhythm.
  if (!peer_->RunsAt(period, repeating))
    peer_->Start(period, repeating);
}

void Timer::Tick() {
  if (runMode_ == kModeSingle)
    enabled_ = false;
  RaiseEvent(*this, kActionEvent);
}

void Timer::_SetWindow(host::Window* window) {
  window_ = WeakRef(window);
}

Ref<host::Window> Timer::Window() {
  Ref<Object> window = window_.Value();
  return Ref<host::Window>::Adopt(static_cast<host::Window*>(window.Detach()));
}

std::int64_t Timer::_Index() {
  return index_;
}

void Timer::_SetIndex(std::int64_t index) {
  index_ = index;
}

std::optional<LayoutValueType> Timer::LayoutPropertyType(std::string_view name) const {
  const Row* row = FindProperty<Timer>(kTimerProperties, name);
  if (!row)
    return std::nullopt;
  return row->type;
}

void Timer::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<Timer>(kTimerProperties, name))
    row->apply(*this, value);
}

}  // namespace host
