#include "Startup.h"

#include <array>

#include "Module1.h"
#include "PluginBindings.h"
#include "Tandemorphix_Loader.h"
#include "Window1.h"
#include "host/plugin_binding.h"
#include "host/runtime.h"

namespace {

StartUpObserver gObserver;

void Observe(StartUpStep step) {
  if (gObserver)
    gObserver(step);
}

void DescribeClasses() {
  PluginBindings::RunInitializers();
  Tandemorphix_Loader::Class();
  Window1::_wrapper_Timer1::Class();
  Window1::Class();
}

// Class descriptions first, then the shared state.
constexpr std::array<host::Initializer, 2> kInitializers = {&DescribeClasses,
                                                            &Module1::RunInitializers};

// The framework keeps the window; the reference taken here is dropped at once.
void MakeDefaultView() {
  Window1::ImplicitInstance();
}

}  // namespace

void SetStartUpObserver(StartUpObserver observer) {
  gObserver = std::move(observer);
}

void StartUp() {
  host::RuntimeInit();
  // An error from any step skips the rest and goes to the unhandled-exception report.
  host::RuntimeInvokeHandler([] {
    Observe(StartUpStep::Initializers);
    host::RuntimePerformInitializers(kInitializers);
    host::ApplicationSetSupportsHiDPI(true);
    host::DesktopApplication_SetUserDarkModeSupport(true);
    Observe(StartUpStep::BindPlugin);
    host::InitPluginEntrypoints();
    host::ResolvePluginClasses();
    Observe(StartUpStep::ApplicationObject);
    Tandemorphix_Loader::NewAppInstance();
    host::RunFrameworkInitialization([] {
      Observe(StartUpStep::MainWindow);
      MakeDefaultView();
    });
  });
}

void ShutDown() {
  host::RuntimePerformFinalizers();
  Module1::RunFinalizers();
}

int RunApplication() {
  StartUp();
  host::RuntimeRun();
  ShutDown();
  return host::RuntimeExit();
}
