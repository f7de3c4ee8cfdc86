#include "Window1.h"

#include <string_view>

#include "AppClasses.h"
#include "host/runtime.h"

namespace {

// Every use of a control finds it anew by name and checks its kind.
template <class Kind>
host::Ref<Kind> ControlNamed(const Window1& window, std::string_view name) {
  return host::RuntimeCheckCastTo<Kind>(window._ControlByName(name));
}

constexpr std::string_view kClassName = "Window1.Window1";

}  // namespace

const host::ClassDescription& Window1::Class() {
  static host::ClassDescription& described =
      DescribeAppClass(std::string(kClassName), &host::Window::Class());
  return described;
}

Window1::Window1(const host::ClassDescription& cls) : host::Window(cls) {}

host::Ref<Window1> Window1::ImplicitInstance() {
  host::Ref<host::Window> window = host::_GetImplicitWindow(kClassName);
  if (!window) {
    auto created = host::New<Window1>();
    created->Constructor();
    window = created;
  }
  return host::RuntimeCheckCastTo<Window1>(window);
}

void Window1::Open() {
  Event_Open();
}

const host::ClassDescription& Window1::_wrapper_Timer1::Class() {
  static host::ClassDescription& described =
      DescribeAppClass("Window1._wrapper_Timer1", &host::Timer::Class());
  return described;
}

Window1::_wrapper_Timer1::_wrapper_Timer1(const host::ClassDescription& cls) : host::Timer(cls) {}

void Window1::_wrapper_Timer1::_SetWindow(host::Window* window) {
  ownerWindow = host::WeakRef(window);
}

host::Ref<host::Window> Window1::_wrapper_Timer1::Window() {
  return host::RuntimeCheckCastTo<host::Window>(ownerWindow.Value());
}

std::int64_t Window1::_wrapper_Timer1::_Index() {
  return Index;
}

void Window1::_wrapper_Timer1::_SetIndex(std::int64_t index) {
  Index = index;
}

host::Ref<host::RoundRectangle> Window1::RoundRectangle1() {
  return ControlNamed<host::RoundRectangle>(*this, "RoundRectangle1");
}
host::Ref<host::Label> Window1::Label1() {
  return ControlNamed<host::Label>(*this, "Label1");
}
host::Ref<host::Label> Window1::Label2() {
  return ControlNamed<host::Label>(*this, "Label2");
}
host::Ref<host::Label> Window1::Label3() {
  return ControlNamed<host::Label>(*this, "Label3");
}
host::Ref<host::PopupMenu> Window1::ChooseMidiOut_PopMenu() {
  return ControlNamed<host::PopupMenu>(*this, "ChooseMidiOut_PopMenu");
}
host::Ref<host::PopupMenu> Window1::ChooseMidiIn_PopMenu() {
  return ControlNamed<host::PopupMenu>(*this, "ChooseMidiIn_PopMenu");
}
host::Ref<host::Label> Window1::Label133() {
  return ControlNamed<host::Label>(*this, "Label133");
}
host::Ref<host::PushButton> Window1::PushButton1() {
  return ControlNamed<host::PushButton>(*this, "PushButton1");
}
host::Ref<host::RoundRectangle> Window1::RoundRectangle2() {
  return ControlNamed<host::RoundRectangle>(*this, "RoundRectangle2");
}
host::Ref<host::Label> Window1::Label4() {
  return ControlNamed<host::Label>(*this, "Label4");
}
host::Ref<host::Label> Window1::Label5() {
  return ControlNamed<host::Label>(*this, "Label5");
}
host::Ref<host::Label> Window1::Label6() {
  return ControlNamed<host::Label>(*this, "Label6");
}
host::Ref<host::PushButton> Window1::PushButton2() {
  return ControlNamed<host::PushButton>(*this, "PushButton2");
}
host::Ref<host::RoundRectangle> Window1::RoundRectangle3() {
  return ControlNamed<host::RoundRectangle>(*this, "RoundRectangle3");
}
host::Ref<host::Label> Window1::Label7() {
  return ControlNamed<host::Label>(*this, "Label7");
}
host::Ref<host::PushButton> Window1::PushButton3() {
  return ControlNamed<host::PushButton>(*this, "PushButton3");
}
host::Ref<host::ProgressBar> Window1::ProgressBar1() {
  return ControlNamed<host::ProgressBar>(*this, "ProgressBar1");
}
host::Ref<host::Label> Window1::Label16() {
  return ControlNamed<host::Label>(*this, "Label16");
}
host::Ref<host::RoundRectangle> Window1::RoundRectangle4() {
  return ControlNamed<host::RoundRectangle>(*this, "RoundRectangle4");
}
host::Ref<host::Label> Window1::Label8() {
  return ControlNamed<host::Label>(*this, "Label8");
}
host::Ref<host::PushButton> Window1::PushButton4() {
  return ControlNamed<host::PushButton>(*this, "PushButton4");
}
host::Ref<host::Label> Window1::Label9() {
  return ControlNamed<host::Label>(*this, "Label9");
}
host::Ref<host::Label> Window1::Label10() {
  return ControlNamed<host::Label>(*this, "Label10");
}
host::Ref<host::Label> Window1::Label11() {
  return ControlNamed<host::Label>(*this, "Label11");
}
host::Ref<host::Label> Window1::Label12() {
  return ControlNamed<host::Label>(*this, "Label12");
}
// The timer is a Window1._wrapper_Timer1, handed out as its base class.
host::Ref<host::Timer> Window1::Timer1() {
  return ControlNamed<host::Timer>(*this, "Timer1");
}
host::Ref<host::Label> Window1::Label132() {
  return ControlNamed<host::Label>(*this, "Label132");
}
