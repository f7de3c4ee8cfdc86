#include <QTimer>
#include <algorithm>
#include <array>
#include <climits>

#include "framework_internal.h"
#include "host/controls.h"
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

class TimerPeer {
 public:
  explicit TimerPeer(Timer& timer) {
    // Precise: a repeating timer keeps its period instead of drifting by a few percent.
    qtimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&qtimer_, &QTimer::timeout, [&timer] { timer.Tick(); });
  }
  QTimer& Qt() { return qtimer_; }

 private:
  QTimer qtimer_;
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
  return peer_ && peer_->Qt().isActive();
}

void Timer::Reschedule() {
  const bool run = enabled_ && (runMode_ == kModeSingle || runMode_ == kModeMultiple);
  if (!run) {
    if (peer_)
      peer_->Qt().stop();
    return;
  }
  if (!peer_) {
    RuntimeCheckMainThread("starting a timer");
    peer_ = std::make_unique<TimerPeer>(*this);
  }
  QTimer& qtimer = peer_->Qt();
  const int interval = static_cast<int>(std::clamp<std::int64_t>(period_, 1, INT_MAX));
  qtimer.setSingleShot(runMode_ == kModeSingle);
  // A timer that already runs at this period keeps its rhythm.
  if (!qtimer.isActive() || qtimer.interval() != interval)
    qtimer.start(interval);
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
