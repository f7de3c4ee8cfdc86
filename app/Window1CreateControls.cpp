// Builds the window from its layout streams: the window's own properties, then the 27
// controls, each created, added under its name, given its stream and bound to its handler
// before the next one is created.
#include <optional>
#include <string>
#include <string_view>

#include "Window1.h"
#include "Window1Layout.h"
#include "host/events.h"
#include "host/runtime.h"

namespace {

using Window1Layout::Kind;

host::Ref<host::Object> NewControl(Kind kind) {
  switch (kind) {
    case Kind::RoundRectangle:
      return host::New<host::RoundRectangle>();
    case Kind::Label:
      return host::New<host::Label>();
    case Kind::PopupMenu:
      return host::New<host::PopupMenu>();
    case Kind::PushButton:
      return host::New<host::PushButton>();
    case Kind::ProgressBar:
      return host::New<host::ProgressBar>();
    case Kind::Timer:
      return host::New<Window1::_wrapper_Timer1>();
  }
  __builtin_unreachable();
}

void Construct(host::Object& control) {
  if (auto* rect = dynamic_cast<host::RectControl*>(&control)) {
    rect->Constructor();
  } else if (auto* timer = dynamic_cast<host::Timer*>(&control)) {
    timer->Constructor();
  }
}

const host::ClassDescription& ClassOf(Kind kind) {
  switch (kind) {
    case Kind::RoundRectangle:
      return host::RoundRectangle::Class();
    case Kind::Label:
      return host::Label::Class();
    case Kind::PopupMenu:
      return host::PopupMenu::Class();
    case Kind::PushButton:
      return host::PushButton::Class();
    case Kind::ProgressBar:
      return host::ProgressBar::Class();
    case Kind::Timer:
      return host::Timer::Class();
  }
  __builtin_unreachable();
}

struct HandlerBinding {
  int eventIndex;
  host::Delegate delegate;
};

// The handler of the control's event, bound through the window's (possibly overridden)
// method; none for the 20 controls without one.
std::optional<HandlerBinding> HandlerFor(Window1& window, std::string_view control) {
  using host::RuntimeCreateDelegate;
  constexpr int kChange = host::PopupMenu::kChangeEvent;
  constexpr int kAction = host::PushButton::kActionEvent;
  if (control == "ChooseMidiOut_PopMenu") {
    return HandlerBinding{kChange,
                          RuntimeCreateDelegate(window, &Window1::ChooseMidiOut_PopMenu_Change)};
  }
  if (control == "ChooseMidiIn_PopMenu") {
    return HandlerBinding{kChange,
                          RuntimeCreateDelegate(window, &Window1::ChooseMidiIn_PopMenu_Change)};
  }
  if (control == "PushButton1") {
    return HandlerBinding{kAction, RuntimeCreateDelegate(window, &Window1::PushButton1_Action)};
  }
  if (control == "PushButton2") {
    return HandlerBinding{kAction, RuntimeCreateDelegate(window, &Window1::PushButton2_Action)};
  }
  if (control == "PushButton3") {
    return HandlerBinding{kAction, RuntimeCreateDelegate(window, &Window1::PushButton3_Action)};
  }
  if (control == "PushButton4") {
    return HandlerBinding{kAction, RuntimeCreateDelegate(window, &Window1::PushButton4_Action)};
  }
  if (control == "Timer1") {
    return HandlerBinding{host::Timer::kActionEvent,
                          RuntimeCreateDelegate(window, &Window1::Timer1_Action)};
  }
  return std::nullopt;
}

}  // namespace

void Window1::Layout() {
  host::_SetProperties(*this, Window1Layout::WindowStream());
}

void Window1::CreateControls() {
  _CreateControls0();
}

void Window1::_CreateControls0() {
  for (const auto& layout : Window1Layout::Controls()) {
    const std::string name(layout.name);
    {
      host::Ref<host::Object> created = NewControl(layout.kind);
      Construct(*created);
      _AddControl(name, created);
    }
    {
      host::Ref<host::Object> control =
          host::RuntimeCheckCast(_ControlByName(name), ClassOf(layout.kind));
      host::_SetProperties(*control, layout.stream);
    }
    if (auto binding = HandlerFor(*this, layout.name)) {
      host::Ref<host::Object> control =
          host::RuntimeCheckCast(_ControlByName(name), ClassOf(layout.kind));
      host::RuntimeAddEventHandler(*control, binding->eventIndex, std::move(binding->delegate));
    }
  }
}
