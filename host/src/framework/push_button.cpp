#include <QApplication>
#include <QPushButton>
#include <array>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "property_table.h"
#include "qt_support.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<PushButton>;

constexpr std::array kButtonProperties{
    Row{"Caption", LVT::String,
        [](PushButton& c, const LayoutValue& v) { c.SetCaption(AsString(v)); }},
    Row{"Default", LVT::Boolean,
        [](PushButton& c, const LayoutValue& v) { c.SetDefault(AsBoolean(v)); }},
    Row{"Cancel", LVT::Boolean,
        [](PushButton& c, const LayoutValue& v) { c.SetCancel(AsBoolean(v)); }},
    Row{"MacButtonStyle", LVT::Integer,
        [](PushButton& c, const LayoutValue& v) { c.SetMacButtonStyle(AsInteger(v)); }},
};

}  // namespace

class PushButtonPeer : public ControlPeer {
 public:
  explicit PushButtonPeer(PushButton& button) : ControlPeer(new QPushButton), button_(button) {
    QObject::connect(static_cast<QPushButton*>(Widget()), &QPushButton::clicked,
                     [this] { button_.RaiseEvent(button_, PushButton::kActionEvent); });
  }

  void Sync() override {
    auto* widget = static_cast<QPushButton*>(Widget());
    widget->setText(ToQt(button_.Caption()));
    widget->setFont(MakeFont(QApplication::font(widget), button_.FontName(), button_.FontSize(),
                             button_.Bold(), button_.Italic(), button_.Underline()));
    widget->setDefault(button_.Default());
  }

 private:
  PushButton& button_;
};

const ClassDescription& PushButton::Class() {
  static const ClassDescription& cls = DescribeFrameworkClass("PushButton", &RectControl::Class());
  return cls;
}

PushButton::PushButton(const ClassDescription& cls) : TextControl(cls) {}

std::unique_ptr<ControlPeer> PushButton::MakePeer() {
  return std::make_unique<PushButtonPeer>(*this);
}

void PushButton::SetCaption(std::string value) {
  caption_ = std::move(value);
  SyncPeer();
}

void PushButton::SetDefault(bool value) {
  default_ = value;
  SyncPeer();
}

std::optional<LayoutValueType> PushButton::LayoutPropertyType(std::string_view name) const {
  if (const Row* row = FindProperty<PushButton>(kButtonProperties, name))
    return row->type;
  return TextControl::LayoutPropertyType(name);
}

void PushButton::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<PushButton>(kButtonProperties, name)) {
    row->apply(*this, value);
  } else {
    TextControl::SetLayoutProperty(name, value);
  }
}

}  // namespace host
