// A window to put controls in, and the clean-up every GUI test needs.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/controls.h"
#include "host/runtime.h"
#include "host/window.h"
#include "scripted_modal_provider.h"
#include "ui_driver.h"

namespace gui_test {

// Records the events the framework raises and the handlers it runs.
class TraceWindow : public host::Window {
 public:
  static const host::ClassDescription& Class() {
    static const host::ClassDescription& cls = []() -> host::ClassDescription& {
      auto* description = new host::ClassDescription;
      description->name = "TraceWindow.TraceWindow";
      description->super = &host::Window::Class();
      return *description;
    }();
    return cls;
  }
  TraceWindow() : host::Window(Class()) {}

  void Layout() override { trace.push_back("Layout"); }
  void CreateControls() override {
    trace.push_back("CreateControls");
    if (createControls)
      createControls(*this);
  }
  void Open() override { trace.push_back(IsShown() ? "Open shown" : "Open hidden"); }

  void ButtonAction(host::PushButton& sender) { trace.push_back("Action " + sender.Name()); }
  void MenuChange(host::PopupMenu& sender) {
    trace.push_back("Change " + std::to_string(sender.ListIndex()));
  }
  void TimerAction(host::Timer&) { ++ticks; }

  bool IsShown();

  std::vector<std::string> trace;
  std::function<void(TraceWindow&)> createControls;
  int ticks = 0;
};

class GuiTest : public ::testing::Test {
 protected:
  void TearDown() override {
    host::RuntimePerformFinalizers();
    test_support::ForgetUnhandledException();
  }

  // A constructed, shown window of 400 x 300 with the controls that `build` adds.
  host::Ref<TraceWindow> ShowWindow(std::function<void(TraceWindow&)> build = {});

  // Creates a control, runs its constructor and adds it to the window.
  template <class T>
  host::Ref<T> Add(host::Window& window, const std::string& name, int left, int top, int width,
                   int height) {
    auto control = host::New<T>();
    control->Constructor();
    control->SetLeft(left);
    control->SetTop(top);
    control->SetWidth(width);
    control->SetHeight(height);
    window._AddControl(name, control);
    return control;
  }

  test_support::ScopedScriptedModal modal_;
};

}  // namespace gui_test
