#include <algorithm>
#include <array>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "host/runtime.h"
#include "host/window.h"
#include "property_table.h"
#include "qt_support.h"
#include "window_peer.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<RectControl>;

constexpr std::array kRectProperties{
    Row{"Name", LVT::String, [](RectControl& c, const LayoutValue& v) { c.SetName(AsString(v)); }},
    Row{"Index", LVT::Integer,
        [](RectControl& c, const LayoutValue& v) { c.SetIndex(AsInteger(v)); }},
    Row{"Left", LVT::Integer,
        [](RectControl& c, const LayoutValue& v) { c.SetLeft(AsInteger(v)); }},
    Row{"Top", LVT::Integer, [](RectControl& c, const LayoutValue& v) { c.SetTop(AsInteger(v)); }},
    Row{"Width", LVT::Integer,
        [](RectControl& c, const LayoutValue& v) { c.SetWidth(AsInteger(v)); }},
    Row{"Height", LVT::Integer,
        [](RectControl& c, const LayoutValue& v) { c.SetHeight(AsInteger(v)); }},
    Row{"LockLeft", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetLockLeft(AsBoolean(v)); }},
    Row{"LockTop", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetLockTop(AsBoolean(v)); }},
    Row{"LockRight", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetLockRight(AsBoolean(v)); }},
    Row{"LockBottom", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetLockBottom(AsBoolean(v)); }},
    Row{"TabIndex", LVT::Integer,
        [](RectControl& c, const LayoutValue& v) { c.SetTabIndex(AsInteger(v)); }},
    Row{"TabPanelIndex", LVT::Integer,
        [](RectControl& c, const LayoutValue& v) { c.SetTabPanelIndex(AsInteger(v)); }},
    Row{"TabStop", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetTabStop(AsBoolean(v)); }},
    Row{"AllowAutoDeactivate", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetAllowAutoDeactivate(AsBoolean(v)); }},
    Row{"Enabled", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetEnabled(AsBoolean(v)); }},
    Row{"Visible", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetVisible(AsBoolean(v)); }},
    Row{"Tooltip", LVT::String,
        [](RectControl& c, const LayoutValue& v) { c.SetTooltip(AsString(v)); }},
    Row{"Transparent", LVT::Boolean,
        [](RectControl& c, const LayoutValue& v) { c.SetTransparent(AsBoolean(v)); }},
    Row{"InitialParent", LVT::String,
        [](RectControl& c, const LayoutValue& v) { c.SetInitialParent(AsString(v)); }},
};

int Pixels(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

}  // namespace

const ClassDescription& RectControl::Class() {
  static const ClassDescription& cls = DescribeFrameworkClass("RectControl", nullptr);
  return cls;
}

RectControl::RectControl(const ClassDescription& cls) : Object(cls) {}

RectControl::~RectControl() {
  ExpireWeakReferences();
  peer_.reset();
}

void RectControl::Constructor() {
  RuntimeCheckMainThread("RectControl.Constructor");
  Peer();
}

ControlPeer& RectControl::Peer() {
  if (!peer_) {
    RuntimeCheckMainThread("creating a control");
    peer_ = MakePeer();
    SyncPeer();
  }
  return *peer_;
}

void RectControl::AttachToWindow(Window& window) {
  QWidget* widget = Peer().Widget();
  if (widget)
    widget->setParent(window.Peer().Widget());
  SyncPeer();
}

void RectControl::SyncPeer() {
  if (!peer_ || !peer_->Widget())
    return;
  QWidget& widget = *peer_->Widget();
  widget.setGeometry(Pixels(left_), Pixels(top_), std::max(0, Pixels(width_)),
                     std::max(0, Pixels(height_)));
  widget.setEnabled(enabled_);
  widget.setToolTip(ToQt(tooltip_));
  // A label that took focus would draw its disabled text greyed out.
  widget.setFocusPolicy(tabStop_ ? peer_->NaturalFocus() : Qt::NoFocus);
  peer_->Sync();
  // A widget without a parent would show as a window of its own.
  if (widget.parentWidget())
    widget.setVisible(visible_);
}

#define HOST_CONTROL_SETTER(Class, Setter, field, type) \
  void Class::Setter(type value) {                      \
    field = std::move(value);                           \
    SyncPeer();                                         \
  }
HOST_CONTROL_SETTER(RectControl, SetLeft, left_, std::int64_t)
HOST_CONTROL_SETTER(RectControl, SetTop, top_, std::int64_t)
HOST_CONTROL_SETTER(RectControl, SetWidth, width_, std::int64_t)
HOST_CONTROL_SETTER(RectControl, SetHeight, height_, std::int64_t)
HOST_CONTROL_SETTER(RectControl, SetTabStop, tabStop_, bool)
HOST_CONTROL_SETTER(RectControl, SetEnabled, enabled_, bool)
HOST_CONTROL_SETTER(RectControl, SetVisible, visible_, bool)
HOST_CONTROL_SETTER(RectControl, SetTooltip, tooltip_, std::string)
HOST_CONTROL_SETTER(TextControl, SetFontName, fontName_, std::string)
HOST_CONTROL_SETTER(TextControl, SetFontSize, fontSize_, float)
HOST_CONTROL_SETTER(TextControl, SetFontUnit, fontUnit_, std::uint8_t)
HOST_CONTROL_SETTER(TextControl, SetBold, bold_, bool)
HOST_CONTROL_SETTER(TextControl, SetItalic, italic_, bool)
HOST_CONTROL_SETTER(TextControl, SetUnderline, underline_, bool)
#undef HOST_CONTROL_SETTER

std::optional<LayoutValueType> RectControl::LayoutPropertyType(std::string_view name) const {
  const Row* row = FindProperty<RectControl>(kRectProperties, name);
  if (!row)
    return std::nullopt;
  return row->type;
}

void RectControl::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<RectControl>(kRectProperties, name))
    row->apply(*this, value);
}

namespace {
using TextRow = PropertyRow<TextControl>;
constexpr std::array kTextProperties{
    TextRow{"FontName", LVT::String,
            [](TextControl& c, const LayoutValue& v) { c.SetFontName(AsString(v)); }},
    TextRow{"FontSize", LVT::Single,
            [](TextControl& c, const LayoutValue& v) { c.SetFontSize(AsSingle(v)); }},
    TextRow{"FontUnit", LVT::FontUnits,
            [](TextControl& c, const LayoutValue& v) { c.SetFontUnit(AsFontUnit(v)); }},
    TextRow{"Bold", LVT::Boolean,
            [](TextControl& c, const LayoutValue& v) { c.SetBold(AsBoolean(v)); }},
    TextRow{"Italic", LVT::Boolean,
            [](TextControl& c, const LayoutValue& v) { c.SetItalic(AsBoolean(v)); }},
    TextRow{"Underline", LVT::Boolean,
            [](TextControl& c, const LayoutValue& v) { c.SetUnderline(AsBoolean(v)); }},
};
}  // namespace

std::optional<LayoutValueType> TextControl::LayoutPropertyType(std::string_view name) const {
  if (const TextRow* row = FindProperty<TextControl>(kTextProperties, name))
    return row->type;
  return RectControl::LayoutPropertyType(name);
}

void TextControl::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const TextRow* row = FindProperty<TextControl>(kTextProperties, name)) {
    row->apply(*this, value);
  } else {
    RectControl::SetLayoutProperty(name, value);
  }
}

}  // namespace host
