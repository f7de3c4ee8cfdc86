#include <sys/timerfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <memory>
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

// A tick whose handler ends later than this after the tick's due time starts a new rhythm.
constexpr std::int64_t kLateToleranceNs = 2'000'000;

std::int64_t MonotonicNowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

}  // namespace

// The ticks come from a kernel timerfd watched by the event loop. Qt's own timers, precise
// ones included, wake up several milliseconds late at times under the GLib dispatcher; the
// timerfd fires within a fraction of a millisecond of its due time.
//
// Each tick is armed on its own, at an absolute time, once the handler of the tick before
// has returned: a period after that tick's due time while the handler ended on time, so the
// rhythm never drifts; a full period after the handler ended when it ended late. A device
// sees the work of a tick, its writes, somewhere between the tick's start and its handler's
// end, so wherever the program was held up (before the tick was read or inside the handler,
// before or after a write), the next tick starts no sooner than a period less the tolerance
// after the last write: two messages a few milliseconds apart could overrun a device's
// receive buffer. Missed ticks are never made up, and no tick can come while a handler runs.
class TimerPeer {
 public:
  explicit TimerPeer(Timer& timer)
      : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (fd_ < 0) {
      Raise("RuntimeException",
            std::string("the timer could not be created: ") + std::strerror(errno));
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated,
                     [this, &timer] { TickExpired(timer); });
  }
  TimerPeer(const TimerPeer&) = delete;
  TimerPeer& operator=(const TimerPeer&) = delete;
  ~TimerPeer() {
    *alive_ = false;
    notifier_.reset();
    close(fd_);
  }

  void Start(std::int64_t periodMs, bool repeating) {
    periodNs_ = periodMs * 1'000'000;
    repeating_ = repeating;
    active_ = true;
    ArmAt(MonotonicNowNs() + periodNs_);
  }
  // Disarming also drops an expiry that has not been read yet.
  void Stop() {
    const itimerspec disarmed{};
    timerfd_settime(fd_, 0, &disarmed, nullptr);
    active_ = false;
    armed_ = false;
  }
  bool IsActive() const { return active_; }
  bool RunsAt(std::int64_t periodMs, bool repeating) const {
    return active_ && periodNs_ == periodMs * 1'000'000 && repeating_ == repeating;
  }

 private:
  void ArmAt(std::int64_t dueNs) {
    itimerspec spec{};
    spec.it_value = {static_cast<time_t>(dueNs / 1'000'000'000),
                     static_cast<long>(dueNs % 1'000'000'000)};
    timerfd_settime(fd_, TFD_TIMER_ABSTIME, &spec, nullptr);
    dueNs_ = dueNs;
    armed_ = true;
  }

  void TickExpired(Timer& timer) {
    std::uint64_t expirations = 0;
    if (read(fd_, &expirations, sizeof expirations) != sizeof expirations || !active_)
      return;
    armed_ = false;
    if (!repeating_)
      active_ = false;
    // The handler may stop or restart the timer, or free it with its window.
    const std::shared_ptr<bool> alive = alive_;
    timer.Tick();
    if (!*alive || !active_ || armed_)
      return;
    const std::int64_t endedNs = MonotonicNowNs();
    const bool endedLate = endedNs - dueNs_ > kLateToleranceNs;
    ArmAt(endedLate ? endedNs + periodNs_ : dueNs_ + periodNs_);
  }

  int fd_;
  std::unique_ptr<QSocketNotifier> notifier_;
  // Cleared when the peer goes, so that a tick whose handler freed it touches nothing after.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::int64_t periodNs_ = 0;
  std::int64_t dueNs_ = 0;
  bool repeating_ = false;
  bool active_ = false;
  // Whether an expiry is set and not read yet.
  bool armed_ = false;
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
