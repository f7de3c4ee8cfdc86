#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <array>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "property_table.h"
#include "qt_support.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<RoundRectangle>;

constexpr std::array kFrameProperties{
    Row{"BorderColor", LVT::Color,
        [](RoundRectangle& c, const LayoutValue& v) { c.SetBorderColor(AsColor(v)); }},
    Row{"BorderThickness", LVT::Double,
        [](RoundRectangle& c, const LayoutValue& v) { c.SetBorderThickness(AsDouble(v)); }},
    Row{"FillColor", LVT::Color,
        [](RoundRectangle& c, const LayoutValue& v) { c.SetFillColor(AsColor(v)); }},
    Row{"CornerWidth", LVT::Double,
        [](RoundRectangle& c, const LayoutValue& v) { c.SetCornerWidth(AsDouble(v)); }},
    Row{"CornerHeight", LVT::Double,
        [](RoundRectangle& c, const LayoutValue& v) { c.SetCornerHeight(AsDouble(v)); }},
};

class FrameWidget : public QWidget {
 public:
  explicit FrameWidget(const RoundRectangle& frame) : frame_(frame) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double thickness = std::max(0.0, frame_.BorderThickness());
    if (thickness > 0) {
      painter.setPen(QPen(ToQColor(frame_.BorderColor()), thickness));
    } else {
      painter.setPen(Qt::NoPen);
    }
    painter.setBrush(ToQColor(frame_.FillColor()));
    // The border lies inside the control's bounds; corners are ellipses of the corner
    // width and height.
    const double inset = thickness / 2;
    const QRectF bounds = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    painter.drawRoundedRect(bounds, std::max(0.0, frame_.CornerWidth() / 2),
                            std::max(0.0, frame_.CornerHeight() / 2));
  }

 private:
  const RoundRectangle& frame_;
};

class FramePeer : public ControlPeer {
 public:
  explicit FramePeer(RoundRectangle& frame) : ControlPeer(new FrameWidget(frame)) {}
  void Sync() override { Widget()->update(); }
};

}  // namespace

const ClassDescription& RoundRectangle::Class() {
  static const ClassDescription& cls =
      DescribeFrameworkClass("RoundRectangle", &RectControl::Class());
  return cls;
}

RoundRectangle::RoundRectangle(const ClassDescription& cls) : RectControl(cls) {}

std::unique_ptr<ControlPeer> RoundRectangle::MakePeer() {
  return std::make_unique<FramePeer>(*this);
}

void RoundRectangle::SetBorderColor(Color value) {
  borderColor_ = value;
  SyncPeer();
}
void RoundRectangle::SetBorderThickness(double value) {
  borderThickness_ = value;
  SyncPeer();
}
void RoundRectangle::SetFillColor(Color value) {
  fillColor_ = value;
  SyncPeer();
}
void RoundRectangle::SetCornerWidth(double value) {
  cornerWidth_ = value;
  SyncPeer();
}
void RoundRectangle::SetCornerHeight(double value) {
  cornerHeight_ = value;
  SyncPeer();
}

std::optional<LayoutValueType> RoundRectangle::LayoutPropertyType(std::string_view name) const {
  if (const Row* row = FindProperty<RoundRectangle>(kFrameProperties, name))
    return row->type;
  return RectControl::LayoutPropertyType(name);
}

void RoundRectangle::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<RoundRectangle>(kFrameProperties, name)) {
    row->apply(*this, value);
  } else {
    RectControl::SetLayoutProperty(name, value);
  }
}

}  // namespace host
