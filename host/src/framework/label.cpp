#include <QApplication>
#include <QLabel>
#include <array>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "property_table.h"
#include "qt_support.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<Label>;

constexpr std::array kLabelProperties{
    Row{"Text", LVT::String, [](Label& c, const LayoutValue& v) { c.SetText(AsString(v)); }},
    Row{"TextColor", LVT::Color,
        [](Label& c, const LayoutValue& v) { c.SetTextColor(AsColor(v)); }},
    Row{"TextAlignment", LVT::Integer,
        [](Label& c, const LayoutValue& v) { c.SetTextAlignment(AsInteger(v)); }},
    Row{"Multiline", LVT::Boolean,
        [](Label& c, const LayoutValue& v) { c.SetMultiline(AsBoolean(v)); }},
    Row{"Selectable", LVT::Boolean,
        [](Label& c, const LayoutValue& v) { c.SetSelectable(AsBoolean(v)); }},
    Row{"DataSource", LVT::String,
        [](Label& c, const LayoutValue& v) { c.SetDataSource(AsString(v)); }},
    Row{"DataField", LVT::String,
        [](Label& c, const LayoutValue& v) { c.SetDataField(AsString(v)); }},
};

Qt::Alignment HorizontalAlignment(std::int64_t textAlignment) {
  switch (textAlignment) {
    case 2:
      return Qt::AlignHCenter;
    case 3:
      return Qt::AlignRight;
    default:
      return Qt::AlignLeft;
  }
}

}  // namespace

class LabelPeer : public ControlPeer {
 public:
  explicit LabelPeer(Label& label) : ControlPeer(new QLabel), label_(label) {}

  void Sync() override {
    auto* widget = static_cast<QLabel*>(Widget());
    widget->setText(ToQt(label_.Text()));
    widget->setFont(MakeFont(QApplication::font(widget), label_.FontName(), label_.FontSize(),
                             label_.Bold(), label_.Italic(), label_.Underline()));
    widget->setAlignment(HorizontalAlignment(label_.TextAlignment()) | Qt::AlignVCenter);
    widget->setWordWrap(label_.Multiline());
    widget->setTextInteractionFlags(label_.Selectable() ? Qt::TextSelectableByMouse
                                                        : Qt::NoTextInteraction);
    // The same colour in every state: a disabled label stays as legible as an enabled one.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::All, QPalette::WindowText, ToQColor(label_.TextColor()));
    palette.setColor(QPalette::All, QPalette::Text, ToQColor(label_.TextColor()));
    widget->setPalette(palette);
  }

 private:
  Label& label_;
};

const ClassDescription& Label::Class() {
  static const ClassDescription& cls = DescribeFrameworkClass("Label", &RectControl::Class());
  return cls;
}

Label::Label(const ClassDescription& cls) : TextControl(cls) {}

std::unique_ptr<ControlPeer> Label::MakePeer() {
  return std::make_unique<LabelPeer>(*this);
}

void Label::SetText(std::string value) {
  text_ = std::move(value);
  SyncPeer();
}
void Label::SetTextColor(Color value) {
  textColor_ = value;
  SyncPeer();
}
void Label::SetTextAlignment(std::int64_t value) {
  textAlignment_ = value;
  SyncPeer();
}
void Label::SetMultiline(bool value) {
  multiline_ = value;
  SyncPeer();
}
void Label::SetSelectable(bool value) {
  selectable_ = value;
  SyncPeer();
}

std::optional<LayoutValueType> Label::LayoutPropertyType(std::string_view name) const {
  if (const Row* row = FindProperty<Label>(kLabelProperties, name))
    return row->type;
  return TextControl::LayoutPropertyType(name);
}

void Label::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<Label>(kLabelProperties, name)) {
    row->apply(*this, value);
  } else {
    TextControl::SetLayoutProperty(name, value);
  }
}

}  // namespace host
