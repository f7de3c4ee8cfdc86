// The program's start-up, in its fixed order: initialisers (class descriptions, then the
// shared state), high-resolution and dark-mode support, the binding of the plugin, the
// application object, and last the main window.
#pragma once

#include <functional>
#include <string_view>

enum class StartUpStep {
  Initializers,
  BindPlugin,
  ApplicationObject,
  MainWindow,
};

// Called just before each step runs; lets a caller follow the order of start-up.
using StartUpObserver = std::function<void(StartUpStep)>;
void SetStartUpObserver(StartUpObserver observer);

// Runs start-up up to a shown main window, without the event loop. An error that a step
// raises skips the steps after it and goes to the framework's unhandled-exception report.
void StartUp();

// Ends the program once the event loop has returned: the framework's finalisers (which
// close the windows, their timers first), then the shared state's plugin objects.
void ShutDown();

// StartUp, then the event loop until the application quits, then ShutDown. Answers the
// process's exit status.
int RunApplication();
