// For tests that check what the user sees: the toolkit widgets behind windows and controls.
#pragma once

#include <QWidget>

#include "host/controls.h"
#include "host/window.h"

namespace test_support {

QWidget* WidgetOf(host::RectControl& control);
QWidget* WidgetOf(host::Window& window);

}  // namespace test_support
