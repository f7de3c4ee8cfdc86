# The framework's application services over Qt 6 Widgets.
target_sources(host_framework PRIVATE
  src/framework/array.cpp
  src/framework/binary_stream.cpp
  src/framework/events.cpp
  src/framework/label.cpp
  src/framework/layout_stream.cpp
  src/framework/modal.cpp
  src/framework/popup_menu.cpp
  src/framework/progress_bar.cpp
  src/framework/push_button.cpp
  src/framework/qt_modal_provider.cpp
  src/framework/qt_support.cpp
  src/framework/rect_control.cpp
  src/framework/round_rectangle.cpp
  src/framework/runtime.cpp
  src/framework/set_properties.cpp
  src/framework/text.cpp
  src/framework/thin_progress_bar.cpp
  src/framework/timer.cpp
  src/framework/weak_ref.cpp
  src/framework/window.cpp
)
