#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "property_table.h"
#include "thin_progress_bar.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<ProgressBar>;

constexpr std::array kBarProperties{
    Row{"MaximumValue", LVT::Integer,
        [](ProgressBar& c, const LayoutValue& v) { c.SetMaximum(AsInteger(v)); }},
    Row{"Maximum", LVT::Integer,
        [](ProgressBar& c, const LayoutValue& v) { c.SetMaximum(AsInteger(v)); }},
    Row{"Value", LVT::Double,
        [](ProgressBar& c, const LayoutValue& v) { c.SetValue(AsDouble(v)); }},
    Row{"Indeterminate", LVT::Boolean,
        [](ProgressBar& c, const LayoutValue& v) { c.SetIndeterminate(AsBoolean(v)); }},
};

class ProgressBarPeer : public ControlPeer {
 public:
  explicit ProgressBarPeer(ProgressBar& bar) : ControlPeer(new ThinProgressBar), bar_(bar) {}

  void Sync() override {
    auto* widget = static_cast<ThinProgressBar*>(Widget());
    if (bar_.Indeterminate()) {
      widget->SetRange(0);
      return;
    }
    // The bar is drawn within its range: above the maximum a full bar, below zero an empty
    // one; the control keeps the value as given.
    const int maximum = static_cast<int>(std::clamp<std::int64_t>(bar_.Maximum(), 0, INT_MAX));
    const double value = std::isnan(bar_.Value()) ? 0.0 : bar_.Value();
    widget->SetRange(std::max(maximum, 1));
    widget->SetValue(static_cast<int>(std::clamp(std::round(value), 0.0, double(maximum))));
  }

 private:
  ProgressBar& bar_;
};

}  // namespace

const ClassDescription& ProgressBar::Class() {
  static const ClassDescription& cls = DescribeFrameworkClass("ProgressBar", &RectControl::Class());
  return cls;
}

ProgressBar::ProgressBar(const ClassDescription& cls) : RectControl(cls) {}

std::unique_ptr<ControlPeer> ProgressBar::MakePeer() {
  return std::make_unique<ProgressBarPeer>(*this);
}

void ProgressBar::SetMaximum(std::int64_t value) {
  maximum_ = value;
  SyncPeer();
}

void ProgressBar::SetValue(double value) {
  value_ = value;
  SyncPeer();
}

void ProgressBar::SetIndeterminate(bool value) {
  indeterminate_ = value;
  SyncPeer();
}

std::optional<LayoutValueType> ProgressBar::LayoutPropertyType(std::string_view name) const {
  if (const Row* row = FindProperty<ProgressBar>(kBarProperties, name))
    return row->type;
  return RectControl::LayoutPropertyType(name);
}

void ProgressBar::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<ProgressBar>(kBarProperties, name)) {
    row->apply(*this, value);
  } else {
    RectControl::SetLayoutProperty(name, value);
  }
}

}  // namespace host
