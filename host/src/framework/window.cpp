#include "host/window.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <array>
#include <limits>

#include "control_peer.h"
#include "framework_internal.h"
#include "host/controls.h"
#include "host/runtime.h"
#include "property_table.h"
#include "qt_support.h"
#include "window_peer.h"

namespace host {
namespace {

using namespace framework;
using Row = PropertyRow<Window>;

constexpr std::array kWindowProperties{
    Row{"Width", LVT::Integer, [](Window& w, const LayoutValue& v) { w.SetWidth(AsInteger(v)); }},
    Row{"Height", LVT::Integer, [](Window& w, const LayoutValue& v) { w.SetHeight(AsInteger(v)); }},
    Row{"MinimumWidth", LVT::Integer,
        [](Window& w, const LayoutValue& v) { w.SetMinimumWidth(AsInteger(v)); }},
    Row{"MinimumHeight", LVT::Integer,
        [](Window& w, const LayoutValue& v) { w.SetMinimumHeight(AsInteger(v)); }},
    Row{"MaximumWidth", LVT::Integer,
        [](Window& w, const LayoutValue& v) { w.SetMaximumWidth(AsInteger(v)); }},
    Row{"MaximumHeight", LVT::Integer,
        [](Window& w, const LayoutValue& v) { w.SetMaximumHeight(AsInteger(v)); }},
    Row{"Type", LVT::Integer, [](Window& w, const LayoutValue& v) { w.SetType(AsInteger(v)); }},
    Row{"Title", LVT::String, [](Window& w, const LayoutValue& v) { w.SetTitle(AsString(v)); }},
    Row{"HasCloseButton", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetHasCloseButton(AsBoolean(v)); }},
    Row{"HasMaximizeButton", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetHasMaximizeButton(AsBoolean(v)); }},
    Row{"HasMinimizeButton", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetHasMinimizeButton(AsBoolean(v)); }},
    Row{"HasFullScreenButton", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetHasFullScreenButton(AsBoolean(v)); }},
    Row{"Resizeable", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetResizeable(AsBoolean(v)); }},
    Row{"Composite", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetComposite(AsBoolean(v)); }},
    Row{"MacProcID", LVT::Integer,
        [](Window& w, const LayoutValue& v) { w.SetMacProcID(AsInteger(v)); }},
    Row{"FullScreen", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetFullScreen(AsBoolean(v)); }},
    Row{"DefaultLocation", LVT::Integer,
        [](Window& w, const LayoutValue& v) { w.SetDefaultLocation(AsInteger(v)); }},
    Row{"Visible", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetVisible(AsBoolean(v)); }},
    Row{"HasBackgroundColor", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetHasBackgroundColor(AsBoolean(v)); }},
    Row{"BackgroundColor", LVT::Color,
        [](Window& w, const LayoutValue& v) { w.SetBackgroundColor(AsColor(v)); }},
    Row{"MenuBarVisible", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetMenuBarVisible(AsBoolean(v)); }},
    Row{"LiveResize", LVT::Boolean,
        [](Window& w, const LayoutValue& v) { w.SetLiveResize(AsBoolean(v)); }},
};

int WidgetSize(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, QWIDGETSIZE_MAX));
}

class WindowWidget : public QWidget {
 public:
  explicit WindowWidget(WindowPeer& peer) : peer_(peer) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->accept();
    peer_.Closed();
  }

 private:
  WindowPeer& peer_;
};

}  // namespace

WindowPeer::WindowPeer(Window& window) : window_(window), widget_(new WindowWidget(*this)) {}

WindowPeer::~WindowPeer() {
  delete widget_.data();
}

void WindowPeer::Closed() {
  window_.PeerClosed();
}

void WindowPeer::ApplyFlags(Qt::WindowFlags flags) {
  if (flags == flags_ || !widget_)
    return;
  flags_ = flags;
  widget_->setWindowFlags(flags);
}

const ClassDescription& Window::Class() {
  static const ClassDescription& cls = framework::DescribeFrameworkClass("Window", nullptr);
  return cls;
}

Window::Window(const ClassDescription& cls) : Object(cls) {}

Window::~Window() {
  ExpireWeakReferences();
  StopTimers();
  // Controls first: their widgets are children of the window's.
  controls_.clear();
  peer_.reset();
}

void Window::Constructor() {
  RuntimeCheckMainThread("Window.Constructor");
  framework::HoldWindow(Ref<Window>::Retain(this));
  constructing_ = true;
  try {
    Peer();
    Layout();
    CreateControls();
    constructing_ = false;
    SyncPeer();
    Open();
  } catch (...) {
    constructing_ = false;
    Close();
    throw;
  }
}

void Window::_AddControl(std::string name, Ref<Object> control) {
  RuntimeCheckMainThread("Window._AddControl");
  if (!control)
    Raise("NilObjectException", "no control to add under the name " + name);
  if (auto* rect = dynamic_cast<RectControl*>(control.get())) {
    rect->SetName(name);
    rect->AttachToWindow(*this);
  } else if (auto* timer = dynamic_cast<Timer*>(control.get())) {
    timer->_SetWindow(this);
    timer->_SetIndex(static_cast<std::int64_t>(controls_.size()));
  }
  names_.push_back(std::move(name));
  controls_.push_back(std::move(control));
  RestackFrames();
}

Ref<Object> Window::_ControlByName(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name)
      return controls_[i];
  }
  return nullptr;
}

void Window::RestackFrames() {
  // Frames lie beneath every other control, the earliest lowest, so that a frame never hides
  // the controls drawn inside it.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    auto* frame = dynamic_cast<RoundRectangle*>(it->get());
    if (frame && frame->HasPeer() && frame->Peer().Widget())
      frame->Peer().Widget()->lower();
  }
}

void Window::Close() {
  if (closed_)
    return;
  if (peer_ && peer_->Widget() && peer_->Widget()->isVisible()) {
    peer_->Widget()->close();  // its close event ends in PeerClosed
  }
  PeerClosed();
}

void Window::PeerClosed() {
  if (closed_)
    return;
  closed_ = true;
  StopTimers();
  if (peer_ && peer_->Widget())
    peer_->Widget()->hide();
  framework::ReleaseWindowLater(*this);
}

void Window::StopTimers() {
  for (const Ref<Object>& control : controls_) {
    if (auto* timer = dynamic_cast<Timer*>(control.get()))
      timer->SetEnabled(false);
  }
}

WindowPeer& Window::Peer() {
  if (!peer_) {
    RuntimeCheckMainThread("creating a window");
    peer_ = std::make_unique<WindowPeer>(*this);
    SyncPeer();
  }
  return *peer_;
}

void Window::SyncPeer() {
  if (!peer_ || !peer_->Widget())
    return;
  QWidget& widget = *peer_->Widget();
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (hasCloseButton_)
    flags |= Qt::WindowCloseButtonHint;
  if (hasMinimizeButton_)
    flags |= Qt::WindowMinimizeButtonHint;
  if (hasMaximizeButton_)
    flags |= Qt::WindowMaximizeButtonHint;
  peer_->ApplyFlags(flags);
  widget.setWindowTitle(framework::ToQt(title_));
  if (resizeable_) {
    widget.setMinimumSize(WidgetSize(minimumWidth_), WidgetSize(minimumHeight_));
    widget.setMaximumSize(maximumWidth_ > 0 ? WidgetSize(maximumWidth_) : QWIDGETSIZE_MAX,
                          maximumHeight_ > 0 ? WidgetSize(maximumHeight_) : QWIDGETSIZE_MAX);
  } else {
    widget.setFixedSize(WidgetSize(width_), WidgetSize(height_));
  }
  widget.resize(WidgetSize(width_), WidgetSize(height_));
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, hasBackgroundColor_
                                         ? framework::ToQColor(backgroundColor_)
                                         : QApplication::palette().color(QPalette::Window));
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
  const bool shown = visible_ && !closed_ && !constructing_;
  if (!shown) {
    widget.hide();
  } else if (fullScreen_) {
    widget.showFullScreen();
  } else if (!widget.isVisible() || widget.isFullScreen()) {
    widget.showNormal();
  }
}

#define HOST_WINDOW_SETTER(Setter, field, type) \
  void Window::Setter(type value) {             \
    field = std::move(value);                   \
    SyncPeer();                                 \
  }
HOST_WINDOW_SETTER(SetWidth, width_, std::int64_t)
HOST_WINDOW_SETTER(SetHeight, height_, std::int64_t)
HOST_WINDOW_SETTER(SetMinimumWidth, minimumWidth_, std::int64_t)
HOST_WINDOW_SETTER(SetMinimumHeight, minimumHeight_, std::int64_t)
HOST_WINDOW_SETTER(SetMaximumWidth, maximumWidth_, std::int64_t)
HOST_WINDOW_SETTER(SetMaximumHeight, maximumHeight_, std::int64_t)
HOST_WINDOW_SETTER(SetTitle, title_, std::string)
HOST_WINDOW_SETTER(SetHasCloseButton, hasCloseButton_, bool)
HOST_WINDOW_SETTER(SetHasMaximizeButton, hasMaximizeButton_, bool)
HOST_WINDOW_SETTER(SetHasMinimizeButton, hasMinimizeButton_, bool)
HOST_WINDOW_SETTER(SetResizeable, resizeable_, bool)
HOST_WINDOW_SETTER(SetFullScreen, fullScreen_, bool)
HOST_WINDOW_SETTER(SetVisible, visible_, bool)
HOST_WINDOW_SETTER(SetHasBackgroundColor, hasBackgroundColor_, bool)
HOST_WINDOW_SETTER(SetBackgroundColor, backgroundColor_, Color)
#undef HOST_WINDOW_SETTER

std::optional<LayoutValueType> Window::LayoutPropertyType(std::string_view name) const {
  const Row* row = FindProperty<Window>(kWindowProperties, name);
  if (!row)
    return std::nullopt;
  return row->type;
}

void Window::SetLayoutProperty(std::string_view name, const LayoutValue& value) {
  if (const Row* row = FindProperty<Window>(kWindowProperties, name))
    row->apply(*this, value);
}

}  // namespace host
