#include "gui_fixture.h"

#include "qt_access.h"

namespace gui_test {

bool TraceWindow::IsShown() {
  return test_support::WidgetOf(*this)->isVisible();
}

host::Ref<TraceWindow> GuiTest::ShowWindow(std::function<void(TraceWindow&)> build) {
  auto window = host::New<TraceWindow>();
  window->SetWidth(400);
  window->SetHeight(300);
  window->createControls = std::move(build);
  window->Constructor();
  return window;
}

}  // namespace gui_test
