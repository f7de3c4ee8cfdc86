// What the framework's own files share and nobody else needs.
#pragma once

#include <string>

#include "host/object.h"

namespace host {
class Window;
}

namespace host::framework {

// A class of the framework, described once and kept for the run.
const ClassDescription& DescribeFrameworkClass(const std::string& name,
                                               const ClassDescription* super);

// The framework's hold on its open windows.
void HoldWindow(Ref<Window> window);
// Drops the framework's hold on a window that closed. The last reference goes later, from
// the event loop, so a window is never freed inside one of its own events.
void ReleaseWindowLater(Window& window);

// Forgets a reported unhandled exception and the exit status, so that a test can go on
// after provoking one.
void ResetRuntimeStatus();

}  // namespace host::framework
